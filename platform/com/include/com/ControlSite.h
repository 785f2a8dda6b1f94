#pragma once

#include "com/Control.h"
#include "com/Dispatch.h"
#include "com/Events.h"
#include "com/Persist.h"
#include "com/PropertyBag.h"

#include <QWidget>
#include <functional>

namespace com {

class Registry;
class SiteEventSink;

// A container's place for one control: creates it (by class id or ProgID through the registry
// and loader, or takes one made elsewhere), loads or resets its state, activates it so that its
// window fills the site, relays its events as controlEvent(), and offers late-bound calls by
// DISPID and by name. On destruction (or close()) the control is closed, which deletes its
// window, and released, before the site's own widget goes.
class ControlSite : public QWidget {
    Q_OBJECT
public:
    explicit ControlSite(QWidget* parent = nullptr);
    ~ControlSite() override;

    // Creation (closes any control held before). The control is not yet loaded or active.
    [[nodiscard]] HRESULT create(const Clsid& clsid);
    [[nodiscard]] HRESULT create(const Registry& registry, const Clsid& clsid);
    [[nodiscard]] HRESULT createByProgId(const QString& progId);
    [[nodiscard]] HRESULT createByProgId(const Registry& registry, const QString& progId);
    // Hosts an object created elsewhere (takes its own reference).
    [[nodiscard]] HRESULT attach(IUnknown* object);

    // State. loadStream() also sizes the site to the control's stored extent.
    [[nodiscard]] HRESULT initNew();
    [[nodiscard]] HRESULT loadStream(const QByteArray& bytes);
    // Loads from an open device (a file), reading only what the control asks for: its own
    // bounds on each field, not the device's size, limit what is read.
    [[nodiscard]] HRESULT loadStream(QIODevice* stream);
    [[nodiscard]] HRESULT saveStream(QByteArray* bytes, bool clearDirty = true);
    [[nodiscard]] HRESULT loadBag(const PropertyBag& bag);
    [[nodiscard]] HRESULT saveBag(PropertyBag* bag, bool clearDirty = true);

    // Creates the control window inside the site, filling it.
    [[nodiscard]] HRESULT activate();
    // Closes and releases the control.
    void close();

    bool hasControl() const { return bool(m_unknown); }
    IUnknown* unknown() const { return m_unknown.get(); }
    IDispatch* dispatch() const { return m_dispatch.get(); }
    IControl* control() const { return m_control.get(); }
    QWidget* controlWindow() const;
    // The control's extent in pixels (its size hint).
    QSize controlSize() const;
    QSize sizeHint() const override;

    // Late-bound calls.
    [[nodiscard]] HRESULT invoke(DispId id, std::uint16_t flags, const VariantList& args,
                                 Variant* result = nullptr);
    [[nodiscard]] HRESULT dispIdOfName(const QString& name, DispId* id) const;
    [[nodiscard]] HRESULT getProperty(DispId id, Variant* value);
    [[nodiscard]] HRESULT getProperty(const QString& name, Variant* value);
    [[nodiscard]] HRESULT setProperty(DispId id, const Variant& value);
    [[nodiscard]] HRESULT setProperty(const QString& name, const Variant& value);
    [[nodiscard]] HRESULT getIndexedProperty(DispId id, std::int32_t index, Variant* value);
    [[nodiscard]] HRESULT setIndexedProperty(DispId id, std::int32_t index, const Variant& value);
    [[nodiscard]] HRESULT callMethod(DispId id, const VariantList& args = {},
                                     Variant* result = nullptr);
    [[nodiscard]] HRESULT callMethod(const QString& name, const VariantList& args = {},
                                     Variant* result = nullptr);

signals:
    // An event of the hosted control, with its arguments in declared order.
    void controlEvent(int dispid, const com::VariantList& args);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class SiteEventSink;
    [[nodiscard]] HRESULT hostObject(IUnknown* object);
    void deliverEvent(DispId id, const VariantList& args);
    [[nodiscard]] HRESULT loadWith(const std::function<HRESULT()>& load);

    ComPtr<IUnknown> m_unknown;
    ComPtr<IDispatch> m_dispatch;
    ComPtr<IControl> m_control;
    ComPtr<IEventSource> m_events;
    ComPtr<SiteEventSink> m_sink;
    std::uint32_t m_cookie = 0;
};

} // namespace com
