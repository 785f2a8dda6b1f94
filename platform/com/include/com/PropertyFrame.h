#pragma once

#include "com/PropertyPage.h"

#include <QDialog>
#include <QList>
#include <functional>
#include <memory>

class QPushButton;
class QTabWidget;

namespace com {

class Registry;

// The container side of property pages: the frame asks for each page class by its class id
// (through the registry, module and factory, as controls are created), hands every page the
// objects to edit, and shows the pages as tabs with the buttons OK (default), Cancel, Apply
// (enabled while a page has changes) and Help. A page's dialog is created when its tab is
// first chosen. OK applies the changed pages and closes unless a page refused a field, in
// which case that page comes to the front with the focus on the refused field; Cancel closes
// without storing. A page otherwise brought to the front gives the focus to its first control
// in tab order.
class PropertyFrame : public QDialog {
    Q_OBJECT
public:
    // Makes the page of one class id (S_OK and an AddRef'ed page, or the failure).
    using PageCreator = std::function<HRESULT(const Clsid& clsid, IPropertyPage** page)>;

    // `caption` names the objects ("Meter" gives the title "Meter Properties"). An empty
    // creator creates pages through the default registry.
    PropertyFrame(const QString& caption, const QList<IUnknown*>& objects,
                  const QList<Clsid>& pages, QWidget* parent = nullptr,
                  PageCreator creator = PageCreator());
    ~PropertyFrame() override;

    // S_OK when every page was made; otherwise the first failure (such pages are left out).
    [[nodiscard]] HRESULT status() const { return m_status; }
    int pageCount() const;
    IPropertyPage* page(int index) const;
    int currentPage() const;
    // Brings page `index` to the front, creating its dialog the first time.
    void setCurrentPage(int index);

    // Applies every changed page; false when a page refused a field (it is then current).
    bool applyPages();

    QTabWidget* tabs() const { return m_tabs; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* applyButton() const { return m_apply; }
    QPushButton* helpButton() const { return m_help; }

    void accept() override;

signals:
    // Changed pages were applied (Apply, or OK before the frame closes).
    void applied();

private:
    class Site;
    struct Entry {
        ComPtr<IPropertyPage> page;
        QWidget* tab = nullptr;
        bool active = false;
    };

    void addPage(const Clsid& clsid, const QList<IUnknown*>& objects);
    void activate(int index);
    void onTabChanged(int index);
    // The first control of the page in tab order takes the focus.
    static void focusFirstControl(QWidget* pageWindow);
    // Brings the page that refused a field to the front with the focus on that field.
    void showRefusedField(int index);
    void onStatusChange();
    void showHelp();
    void layoutFrame(const QSize& pageSize);

    PageCreator m_creator;
    std::unique_ptr<Site> m_site;
    QList<Entry> m_pages;
    int m_shown = -1;
    HRESULT m_status = S_OK;
    QTabWidget* m_tabs = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_help = nullptr;
};

// Shows the property frame modally for `objects` with the pages `pages`, opened on page
// `initialPage`; returns when it closes (S_OK), E_ABORT when it went with its parent (deleted
// while open), or the failure that kept it from opening.
// `creator` makes the pages (empty: through the default registry); `applied` is called each
// time changed pages are applied while the frame is open.
[[nodiscard]] HRESULT showPropertyFrame(QWidget* parent, const QString& caption,
                                        const QList<IUnknown*>& objects, const QList<Clsid>& pages,
                                        int initialPage = 0,
                                        const PropertyFrame::PageCreator& creator = {},
                                        const std::function<void()>& applied = {});

// Shows the property frame of one control: its pages as it lists them (IControl), the
// control as the object edited. E_NOINTERFACE when the object is not a control.
[[nodiscard]] HRESULT showPropertyPages(QWidget* parent, IUnknown* control, const QString& caption,
                                        int initialPage = 0,
                                        const PropertyFrame::PageCreator& creator = {},
                                        const std::function<void()>& applied = {});

} // namespace com
