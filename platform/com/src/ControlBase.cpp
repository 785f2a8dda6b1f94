#include "com/ControlBase.h"

#include "ControlWindow.h"
#include "VirtualKeys.h"
#include "com/Archive.h"
#include "com/Cp1252.h"
#include "com/PropExchange.h"
#include "com/PropertyBag.h"
#include "com/ServerModule.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace com {

namespace {

const QString kVersionKey = QStringLiteral("_Version");
const QString kExtentXKey = QStringLiteral("_ExtentX");
const QString kExtentYKey = QStringLiteral("_ExtentY");
const QString kStockPropsKey = QStringLiteral("_StockProps");
VariantList mouseArgs(const QMouseEvent* e, Qt::MouseButtons buttons) {
    const QPoint p = e->position().toPoint();
    return {Variant(buttonBitsOf(buttons)), Variant(shiftStateOf(e->modifiers())),
            Variant(std::int32_t(p.x())), Variant(std::int32_t(p.y()))};
}

} // namespace

ControlBase::ControlBase(const ControlIdentity& identity)
    : m_identity(identity)
    , m_extent(pixelsToHimetric(identity.initialSize.width()),
               pixelsToHimetric(identity.initialSize.height())) {
    if (m_identity.module)
        m_identity.module->lock();
}

ControlBase::~ControlBase() {
    // The derived part is gone: the window goes without onWindowDestroying().
    qDeleteAll(m_timers);
    m_timers.clear();
    delete m_window.data();
    m_events.clear();
    if (m_identity.module)
        m_identity.module->unlock();
}

// --- IUnknown ---

HRESULT ControlBase::QueryInterface(const Iid& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == m_identity.dispatchIid)
        *out = static_cast<IDispatch*>(this);
    else if (iid == IID_IEventSource)
        *out = static_cast<IEventSource*>(this);
    else if (iid == IID_IPersistStreamInit)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IPersistPropertyBag)
        *out = static_cast<IPersistPropertyBag*>(this);
    else if (iid == IID_IControl)
        *out = static_cast<IControl*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

std::uint32_t ControlBase::AddRef() {
    return ++m_refs;
}

std::uint32_t ControlBase::Release() {
    const std::uint32_t left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

// --- IDispatch ---

HRESULT ControlBase::Invoke(DispId id, std::uint16_t flags, const VariantList& args,
                            Variant* result) {
    return dispatchMap().invoke(dispatchObject(), id, flags, args, result);
}

HRESULT ControlBase::GetIDOfName(const QString& name, DispId* id) {
    return dispatchMap().idOfName(name, id);
}

HRESULT ControlBase::GetTypeInfo(InterfaceDescription* out) {
    if (!out)
        return E_POINTER;
    *out = describeDispatch();
    return S_OK;
}

InterfaceDescription ControlBase::describeDispatch() const {
    return InterfaceDescription{m_identity.dispatchIid, m_identity.dispatchName,
                                m_identity.dispatchHelp, false, dispatchMap().members()};
}

// --- IEventSource ---

HRESULT ControlBase::Advise(IEventSink* sink, std::uint32_t* cookie) {
    return m_events.advise(sink, cookie);
}

HRESULT ControlBase::Unadvise(std::uint32_t cookie) {
    return m_events.unadvise(cookie);
}

HRESULT ControlBase::GetEventInterface(Iid* iid) {
    if (!iid)
        return E_POINTER;
    *iid = m_identity.eventInterface.iid;
    return S_OK;
}

void ControlBase::fireEvent(DispId id, const VariantList& args) {
    const ComPtr<ControlBase> self(this); // a handler may release the container's last reference
    m_events.fire(id, args);
}

// --- persistence ---

HRESULT ControlBase::GetClassID(Clsid* clsid) {
    if (!clsid)
        return E_POINTER;
    *clsid = m_identity.clsid;
    return S_OK;
}

HRESULT ControlBase::IsDirty() {
    return m_modified ? S_OK : S_FALSE;
}

void ControlBase::exchangeFrameworkPart(PropExchange& px) {
    px.exchangeVersion(kVersionKey, m_identity.version);
    const QSize current =
        m_window ? QSize(pixelsToHimetric(m_window->width()), pixelsToHimetric(m_window->height()))
                 : m_extent;
    std::int32_t cx = current.width();
    std::int32_t cy = current.height();
    px.exchangeLong(kExtentXKey, cx, cx);
    px.exchangeLong(kExtentYKey, cy, cy);
    std::uint32_t stockProps = 0; // no stock properties: nothing follows the mask
    px.exchangeULong(kStockPropsKey, stockProps, 0);
    // The extent is clamped, never refused (see SetExtent).
    if (px.isLoading() && px.ok())
        std::ignore = SetExtent(QSize(cx, cy));
}

HRESULT ControlBase::runExchange(PropExchange& px, bool clearDirty) {
    exchangeFrameworkPart(px);
    if (px.ok())
        doPropExchange(px);
    if (px.ok() && clearDirty)
        m_modified = false;
    return px.status();
}

HRESULT ControlBase::Load(QIODevice* stream) {
    if (!stream)
        return E_POINTER;
    Archive archive(stream, Archive::Mode::Load);
    archive.setLengthLimit(m_identity.persistedLengthLimit);
    PropExchange px(archive);
    return runExchange(px, true);
}

HRESULT ControlBase::Save(QIODevice* stream, bool clearDirty) {
    if (!stream)
        return E_POINTER;
    Archive archive(stream, Archive::Mode::Store);
    PropExchange px(archive);
    return runExchange(px, clearDirty);
}

HRESULT ControlBase::InitNew() {
    return resetState();
}

HRESULT ControlBase::resetState() {
    PropExchange px;
    return runExchange(px, true);
}

HRESULT ControlBase::Load(const PropertyBag& bag) {
    // Loading never writes to the bag; the exchange object is shared with storing.
    PropertyBag copy = bag;
    PropExchange px(copy, true);
    return runExchange(px, true);
}

HRESULT ControlBase::Save(PropertyBag& bag, bool clearDirty) {
    PropExchange px(bag, false);
    return runExchange(px, clearDirty);
}

// --- IControl ---

HRESULT ControlBase::Activate(QWidget* parent, const QRect& geometry) {
    if (!parent)
        return E_POINTER;
    if (m_window) {
        m_window->setParent(parent);
        m_window->setGeometry(geometry);
        m_window->show();
        return S_OK;
    }
    m_window = new ControlWindow(this, parent);
    m_window->setGeometry(geometry);
    m_extent = QSize(pixelsToHimetric(geometry.width()), pixelsToHimetric(geometry.height()));
    m_window->show();
    onWindowCreated();
    return S_OK;
}

HRESULT ControlBase::Close() {
    const ComPtr<ControlBase> self(
        this); // sinks released below may hold the last outside reference
    destroyWindow();
    m_events.clear();
    return S_OK;
}

void ControlBase::destroyWindow() {
    if (!m_window)
        return;
    onWindowDestroying();
    for (QTimer* t : std::as_const(m_timers))
        t->stop();
    delete m_window.data();
}

QWidget* ControlBase::Window() {
    return m_window.data();
}

QWidget* ControlBase::controlWindow() const {
    return m_window.data();
}

HRESULT ControlBase::GetExtent(QSize* himetric) {
    if (!himetric)
        return E_POINTER;
    *himetric = m_extent;
    return S_OK;
}

HRESULT ControlBase::SetExtent(const QSize& himetric) {
    // Streams and bags load their extent through here: it is clamped, never refused.
    m_extent = boundedExtent(himetric);
    if (m_window)
        m_window->resize(boundedControlPixels(m_extent));
    return S_OK;
}

QSize ControlBase::sizePixels() const {
    return boundedControlPixels(m_extent);
}

HRESULT ControlBase::GetMiscStatus(std::uint32_t* status) {
    if (!status)
        return E_POINTER;
    *status = m_identity.miscStatus;
    return S_OK;
}

HRESULT ControlBase::GetPropertyPages(QList<Clsid>* pages) {
    if (!pages)
        return E_POINTER;
    *pages = m_identity.propertyPages;
    return S_OK;
}

HRESULT ControlBase::Draw(QPainter* dc, const QRect& bounds) {
    if (!dc)
        return E_POINTER;
    onDrawForeign(*dc, bounds);
    return S_OK;
}

void ControlBase::invalidateControl(const QRect& rect) {
    if (!m_window)
        return;
    if (rect.isEmpty())
        m_window->update();
    else
        m_window->update(rect);
}

// --- window side ---

void ControlBase::windowPaint(QPainter& dc, const QRect& invalid) {
    onDraw(dc, m_window ? m_window->rect() : QRect(), invalid);
}

void ControlBase::windowResized(const QSize& pixels) {
    m_extent = QSize(pixelsToHimetric(pixels.width()), pixelsToHimetric(pixels.height()));
    onResized(pixels);
}

void ControlBase::setTimer(int id, int intervalMs) {
    if (!m_window)
        return;
    QTimer*& timer = m_timers[id];
    if (!timer) {
        timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, timer, [this, id] { deliverTimer(id); });
    }
    timer->start(std::max(intervalMs, 0));
}

void ControlBase::killTimer(int id) {
    if (QTimer* t = m_timers.value(id))
        t->stop();
}

bool ControlBase::isTimerActive(int id) const {
    const QTimer* t = m_timers.value(id);
    return t && t->isActive();
}

int ControlBase::timerInterval(int id) const {
    return isTimerActive(id) ? m_timers.value(id)->interval() : -1;
}

void ControlBase::deliverTimer(int id) {
    onTimer(id);
}

bool ControlBase::handleInput(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        m_pressed = true;
        fireEvent(DISPID_MOUSEDOWN, mouseArgs(e, e->button()));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        fireEvent(DISPID_MOUSEUP, mouseArgs(e, e->button()));
        if (std::exchange(m_pressed, false) && e->button() == Qt::LeftButton)
            onClick();
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        auto* e = static_cast<QMouseEvent*>(event);
        fireEvent(DISPID_MOUSEDOWN, mouseArgs(e, e->button()));
        if (e->button() == Qt::LeftButton)
            onDblClick();
        return true;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        fireEvent(DISPID_MOUSEMOVE, mouseArgs(e, e->buttons()));
        return true;
    }
    case QEvent::KeyPress: {
        auto* e = static_cast<QKeyEvent*>(event);
        fireEvent(DISPID_KEYDOWN,
                  {Variant(virtualKeyOf(e->key())), Variant(shiftStateOf(e->modifiers()))});
        // Characters, including Enter, Escape, Backspace and control combinations; the Delete
        // key's DEL character is not one.
        if (!e->text().isEmpty() && e->text().at(0).unicode() != 0x7F) {
            const QByteArray b = cp1252::encode(e->text().left(1));
            fireEvent(DISPID_KEYPRESS, {Variant(std::int16_t(std::uint8_t(b.at(0))))});
        }
        return true;
    }
    case QEvent::KeyRelease: {
        auto* e = static_cast<QKeyEvent*>(event);
        if (e->isAutoRepeat())
            return true;
        fireEvent(DISPID_KEYUP,
                  {Variant(virtualKeyOf(e->key())), Variant(shiftStateOf(e->modifiers()))});
        return true;
    }
    default:
        return false;
    }
}

// --- overridable defaults ---

void ControlBase::onDrawForeign(QPainter& dc, const QRect& bounds) {
    onDraw(dc, bounds, bounds);
}

void ControlBase::onTimer(int) {}

void ControlBase::onClick() {
    fireEvent(DISPID_CLICK);
}

void ControlBase::onDblClick() {
    fireEvent(DISPID_DBLCLICK);
}

void ControlBase::onWindowCreated() {}
void ControlBase::onWindowDestroying() {}
void ControlBase::onResized(const QSize&) {}

} // namespace com
