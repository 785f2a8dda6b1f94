#include "com/ControlSite.h"

#include "SiteEventSink.h"
#include "com/ObjectLoader.h"
#include "com/Registry.h"

#include <QBuffer>
#include <QResizeEvent>

namespace com {

namespace {

template <class T>
T* queryRaw(IUnknown* object, const Iid& iid) {
    void* p = nullptr;
    return succeeded(object->QueryInterface(iid, &p)) ? static_cast<T*>(p) : nullptr;
}

template <class T>
void releaseRaw(T*& p) {
    if (p)
        std::exchange(p, nullptr)->Release();
}

} // namespace

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
    IUnknown* object = nullptr;
    const HRESULT hr =
        loader::createInstance(registry, clsid, IID_IUnknown, reinterpret_cast<void**>(&object));
    if (failed(hr))
        return hr;
    const HRESULT hosted = hostObject(object);
    object->Release();
    return hosted;
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
    m_control = queryRaw<IControl>(object, IID_IControl);
    if (!m_control)
        return E_NOINTERFACE;
    object->AddRef();
    m_unknown = object;
    m_dispatch = queryRaw<IDispatch>(object, IID_IDispatch);
    m_events = queryRaw<IEventSource>(object, IID_IEventSource);
    if (m_events) {
        m_sink = new SiteEventSink(this);
        if (failed(m_events->Advise(m_sink, &m_cookie)))
            m_cookie = 0;
    }
    updateGeometry();
    return S_OK;
}

void ControlSite::close() {
    if (!m_unknown)
        return;
    if (m_events && m_cookie)
        m_events->Unadvise(m_cookie);
    m_cookie = 0;
    if (m_sink) {
        m_sink->detach();
        releaseRaw(m_sink);
    }
    m_control->Close(); // deletes the control window while this widget still exists
    releaseRaw(m_events);
    releaseRaw(m_dispatch);
    releaseRaw(m_control);
    releaseRaw(m_unknown);
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
        IPersistStreamInit* persist =
            queryRaw<IPersistStreamInit>(m_unknown, IID_IPersistStreamInit);
        if (!persist)
            return E_NOINTERFACE;
        const HRESULT hr = persist->InitNew();
        persist->Release();
        return hr;
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
        IPersistStreamInit* persist =
            queryRaw<IPersistStreamInit>(m_unknown, IID_IPersistStreamInit);
        if (!persist)
            return E_NOINTERFACE;
        const HRESULT hr = persist->Load(stream);
        persist->Release();
        return hr;
    });
}

HRESULT ControlSite::saveStream(QByteArray* bytes, bool clearDirty) {
    if (!bytes)
        return E_POINTER;
    if (!m_unknown)
        return E_UNEXPECTED;
    IPersistStreamInit* persist = queryRaw<IPersistStreamInit>(m_unknown, IID_IPersistStreamInit);
    if (!persist)
        return E_NOINTERFACE;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const HRESULT hr = persist->Save(&buffer, clearDirty);
    persist->Release();
    if (succeeded(hr))
        *bytes = buffer.data();
    return hr;
}

HRESULT ControlSite::loadBag(const PropertyBag& bag) {
    return loadWith([this, &bag] {
        IPersistPropertyBag* persist =
            queryRaw<IPersistPropertyBag>(m_unknown, IID_IPersistPropertyBag);
        if (!persist)
            return E_NOINTERFACE;
        const HRESULT hr = persist->Load(bag);
        persist->Release();
        return hr;
    });
}

HRESULT ControlSite::saveBag(PropertyBag* bag, bool clearDirty) {
    if (!bag)
        return E_POINTER;
    if (!m_unknown)
        return E_UNEXPECTED;
    IPersistPropertyBag* persist =
        queryRaw<IPersistPropertyBag>(m_unknown, IID_IPersistPropertyBag);
    if (!persist)
        return E_NOINTERFACE;
    const HRESULT hr = persist->Save(*bag, clearDirty);
    persist->Release();
    return hr;
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
    const ComPtr<IDispatch> dispatch(m_dispatch);
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
