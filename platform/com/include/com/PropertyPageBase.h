#pragma once

#include "com/PropertyPage.h"

#include <QPointer>
#include <QWidget>
#include <atomic>

namespace com {

class ServerModule;

// The page framework: reference counting and interface lookup, the objects and the frame site,
// the dialog's life (created at activation, hidden and shown by the frame, destroyed at
// deactivation) and the changed state that the frame reads. A page class derives from it and
// builds its dialog, loads it from its objects and stores it back.
class PropertyPageBase : public IPropertyPage {
public:
    // IUnknown
    [[nodiscard]] HRESULT QueryInterface(const Iid& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    // IPropertyPage
    [[nodiscard]] HRESULT SetPageSite(IPropertyPageSite* site) override;
    [[nodiscard]] HRESULT Activate(QWidget* parent, const QRect& rect) override;
    [[nodiscard]] HRESULT Deactivate() override;
    [[nodiscard]] HRESULT GetPageInfo(PageInfo* info) override;
    [[nodiscard]] HRESULT SetObjects(const QList<IUnknown*>& objects) override;
    [[nodiscard]] HRESULT Show(bool visible) override;
    QWidget* Window() override { return m_dialog; }
    [[nodiscard]] HRESULT IsPageDirty() override;
    [[nodiscard]] HRESULT Apply() override;
    [[nodiscard]] HRESULT Help(QString* text) override;

    // Marks the page changed (or not) and tells the frame.
    void setModified(bool modified = true);
    bool isModified() const { return m_modified; }
    const QList<ComPtr<IUnknown>>& objects() const { return m_objects; }
    QWidget* dialog() const { return m_dialog; }

protected:
    // `module` is kept locked while the page lives (may be null).
    PropertyPageBase(const PageInfo& info, ServerModule* module);
    virtual ~PropertyPageBase();

    // Builds the dialog's controls inside `dialog` (already sized to the page).
    virtual void buildDialog(QWidget* dialog) = 0;
    // After the dialog has been built: fill the fields from the objects.
    virtual void onDialogCreated() = 0;
    // Stores the fields into the objects; false when a field was refused.
    virtual bool applyChanges() = 0;
    // The dialog was shown or hidden by the frame.
    virtual void onShow(bool visible);
    // Before the dialog is destroyed.
    virtual void onDialogDestroying();

private:
    void releaseObjects();

    PageInfo m_info;
    ServerModule* m_module;
    std::atomic<std::uint32_t> m_refs{1};
    ComPtr<IPropertyPageSite> m_site;
    QList<ComPtr<IUnknown>> m_objects;
    QPointer<QWidget> m_dialog;
    bool m_modified = false;
};

} // namespace com
