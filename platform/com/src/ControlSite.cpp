#include "com/ControlSite.h"

#include "SiteEventSink.h"
#include "com/ObjectLoader.h"
#include "com/Registry.h"

#include <QBuffer>
#include <QResizeEvent>

namespace com {

ControlSite::ControlSite(QWidget* parent)
    : QWidget(parent) {
    qRegisterMetaType<com::Variant>();
    qRegisterMetaType<com::VariantList>();
}

ControlSite::~ControlSite() {
    close();
}

HRESULT ControlSite::create(const Clsid& clsid) {
    return create(Registry(), clsid);
}

HRESULT ControlSite::create(const Registry& registry, const Clsid& clsid) {
    close();
    ComPtr<IUnknown> object;
    const HRESULT hr = loader::createInstance(registry, clsid, IID_IUnknown, object.put());
    if (failed(hr))
        return hr;
    return hostObject(object.get());
}

HRESULT ControlSite::createByProgId(const QString& progId) {
    return createByProgId(Registry(), progId);
}

HRESULT ControlSite::createByProgId(const Registry& registry, const QString& progId) {
    Clsid clsid;
    const HRESULT hr = loader::clsidFromProgId(registry, progId, &clsid);
    return failed(hr) ? hr : create(registry, clsid);
}

HRESULT ControlSite::attach(IUnknown* object) {
    if (!object)
        return E_POINTER;
    close();
    return hostObject(object);
}

HRESULT ControlSite::hostObject(IUnknown* object) {
    m_control = queryInterface<IControl>(object, IID_IControl);
    if (!m_control)
        return E_NOINTERFACE;
    m_unknown = ComPtr<IUnknown>(object);
    m_dispatch = queryInterface<IDispatch>(object, IID_IDispatch);
    m_events = queryInterface<IEventSource>(object, IID_IEventSource);
    if (m_events) {
        m_sink = ComPtr<SiteEventSink>::adopt(new SiteEventSink(this));
        if (failed(m_events->Advise(m_sink.get(), &m_cookie)))
            m_cookie = 0;
    }
    updateGeometry();
    return S_OK;
}

void ControlSite::close() {
    if (!m_unknown)
        return;
    // A control that no longer knows the cookie has let the sink go already; the sink is
    // detached below either way, so nothing is left to undo.
    if (m_events && m_cookie)
        std::ignore = m_events->Unadvise(m_cookie);
    m_cookie = 0;
    if (m_sink) {
        m_sink->detach();
        m_sink.reset();
    }
    // Closing deletes the control window while this widget still exists; it cannot fail in a
    // way the site could act on, as the control is released next whatever it answers.
    std::ignore = m_control->Close();
    m_events.reset();
    m_dispatch.reset();
    m_control.reset();
    m_unknown.reset();
}

void ControlSite::deliverEvent(DispId id, const VariantList& args) {
    emit controlEvent(id, args);
}

HRESULT ControlSite::loadWith(const std::function<HRESULT()>& load) {
    if (!m_unknown)
        return E_UNEXPECTED;
    const HRESULT hr = load();
    resize(controlSize());
    updateGeometry();
    return hr;
}

HRESULT ControlSite::initNew() {
    return loadWith([this] {
        const auto persist =
            queryInterface<IPersistStreamInit>(m_unknown.get(), IID_IPersistStreamInit);
        return persist ? persist->InitNew() : E_NOINTERFACE;
    });
}

HRESULT ControlSite::loadStream(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return loadStream(&buffer);
}

HRESULT ControlSite::loadStream(QIODevice* stream) {
    if (!stream)
        return E_POINTER;
    return loadWith([this, stream] {
        const auto persist =
            queryInterface<IPersistStreamInit>(m_unknown.get(), IID_IPersistStreamInit);
        return persist ? persist->Load(stream) : E_NOINTERFACE;
    });
}

HRESULT ControlSite::saveStream(QByteArray* bytes, bool clearDirty) {
    if (!bytes)
        return E_POINTER;
    if (!m_unknown)
        return E_UNEXPECTED;
    const auto persist =
        queryInterface<IPersistStreamInit>(m_unknown.get(), IID_IPersistStreamInit);
    if (!persist)
        return E_NOINTERFACE;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const HRESULT hr = persist->Save(&buffer, clearDirty);
    if (succeeded(hr))
        *bytes = buffer.data();
    return hr;
}

HRESULT ControlSite::loadBag(const PropertyBag& bag) {
    return loadWith([this, &bag] {
        const auto persist =
            queryInterface<IPersistPropertyBag>(m_unknown.get(), IID_IPersistPropertyBag);
        return persist ? persist->Load(bag) : E_NOINTERFACE;
    });
}

HRESULT ControlSite::saveBag(PropertyBag* bag, bool clearDirty) {
    if (!bag)
        return E_POINTER;
    if (!m_unknown)
        return E_UNEXPECTED;
    const auto persist =
        queryInterface<IPersistPropertyBag>(m_unknown.get(), IID_IPersistPropertyBag);
    return persist ? persist->Save(*bag, clearDirty) : E_NOINTERFACE;
}

HRESULT ControlSite::activate() {
    if (!m_control)
        return E_UNEXPECTED;
    if (size().isEmpty())
        resize(controlSize());
    return m_control->Activate(this, rect());
}

QWidget* ControlSite::controlWindow() const {
    return m_control ? m_control->Window() : nullptr;
}

QSize ControlSite::controlSize() const {
    QSize extent;
    if (!m_control || failed(m_control->GetExtent(&extent)))
        return {};
    return boundedControlPixels(extent);
}

QSize ControlSite::sizeHint() const {
    const QSize s = controlSize();
    return s.isEmpty() ? QWidget::sizeHint() : s;
}

void ControlSite::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (QWidget* w = controlWindow())
        w->setGeometry(rect());
}

HRESULT ControlSite::invoke(DispId id, std::uint16_t flags, const VariantList& args,
                            Variant* result) {
    if (!m_dispatch)
        return E_UNEXPECTED;
    // A method that opens a dialog lets the container delete this site (and release the
    // control) before it returns: the control lives on until its method has finished.
    const ComPtr<IDispatch> dispatch = m_dispatch;
    return dispatch->Invoke(id, flags, args, result);
}

HRESULT ControlSite::dispIdOfName(const QString& name, DispId* id) const {
    if (!m_dispatch)
        return E_UNEXPECTED;
    return m_dispatch->GetIDOfName(name, id);
}

HRESULT ControlSite::getProperty(DispId id, Variant* value) {
    return invoke(id, DISPATCH_PROPERTYGET, {}, value);
}

HRESULT ControlSite::getProperty(const QString& name, Variant* value) {
    DispId id = DISPID_UNKNOWN;
    const HRESULT hr = dispIdOfName(name, &id);
    return failed(hr) ? hr : getProperty(id, value);
}

HRESULT ControlSite::setProperty(DispId id, const Variant& value) {
    return invoke(id, DISPATCH_PROPERTYPUT, {value});
}

HRESULT ControlSite::setProperty(const QString& name, const Variant& value) {
    DispId id = DISPID_UNKNOWN;
    const HRESULT hr = dispIdOfName(name, &id);
    return failed(hr) ? hr : setProperty(id, value);
}

HRESULT ControlSite::getIndexedProperty(DispId id, std::int32_t index, Variant* value) {
    return invoke(id, DISPATCH_PROPERTYGET, {Variant(index)}, value);
}

HRESULT ControlSite::setIndexedProperty(DispId id, std::int32_t index, const Variant& value) {
    return invoke(id, DISPATCH_PROPERTYPUT, {Variant(index), value});
}

HRESULT ControlSite::callMethod(DispId id, const VariantList& args, Variant* result) {
    return invoke(id, DISPATCH_METHOD, args, result);
}

HRESULT ControlSite::callMethod(const QString& name, const VariantList& args, Variant* result) {
    DispId id = DISPID_UNKNOWN;
    const HRESULT hr = dispIdOfName(name, &id);
    return failed(hr) ? hr : callMethod(id, args, result);
}

} // namespace com
