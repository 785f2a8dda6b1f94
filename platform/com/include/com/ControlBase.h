#pragma once

#include "com/Control.h"
#include "com/Dispatch.h"
#include "com/DispatchMap.h"
#include "com/EventConnections.h"
#include "com/Events.h"
#include "com/Persist.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <atomic>

class QEvent;
class QTimer;

namespace com {

class ControlWindow;
class PropExchange;
class ServerModule;

// What a control class tells its framework about itself.
struct ControlIdentity {
    Clsid clsid;
    Iid dispatchIid;      // answered by QueryInterface with the dispatch interface
    QString dispatchName; // e.g. "_DMeter"
    QString dispatchHelp;
    InterfaceDescription eventInterface; // iid, name, help and the events
    std::uint32_t version = 0x00010001;  // persisted version (major << 16 | minor)
    std::uint32_t miscStatus = 0;
    QList<Clsid> propertyPages;
    QSize initialSize{200, 200}; // pixels
    // The longest string or blob a stream load accepts, in bytes (-1: what the stream holds).
    qint64 persistedLengthLimit = -1;
    ServerModule* module = nullptr; // kept locked while the control lives (may be null)
};

// The control framework: a control class derives from ControlImpl<Self> (which derives from
// this) and gets reference counting and interface lookup, dispatch through its table, its
// connection point with stock events, stream and property-bag persistence around its own
// doPropExchange(), and a control window whose painting calls onDraw().
//
// Persisted form: the version DWORD, the extent as two longs (width, height in HIMETRIC), the
// stock-property mask (unsigned long 0) and then the control's own values. In a property bag
// these are "_Version", "_ExtentX", "_ExtentY" and "_StockProps".
//
// Stock events fired from the control window's input: Click, DblClick (no arguments);
// KeyDown/KeyUp (I2 key code, I2 shift state); KeyPress (I2 character); MouseDown/MouseMove/
// MouseUp (I2 button, I2 shift state, I4 x, I4 y in pixels). Buttons: 1 left, 2 right,
// 4 middle; shift state: 1 Shift, 2 Ctrl, 4 Alt. Key codes are the virtual-key numbers
// ('A'..'Z', '0'..'9', 0x70 F1, 0x25..0x28 arrows, 0x0D Enter, ...).
class ControlBase : public IDispatch,
                    public IEventSource,
                    public IPersistStreamInit,
                    public IPersistPropertyBag,
                    public IControl {
public:
    // IUnknown
    [[nodiscard]] HRESULT QueryInterface(const Iid& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    // IDispatch
    [[nodiscard]] HRESULT Invoke(DispId id, std::uint16_t flags, const VariantList& args,
                                 Variant* result) override;
    [[nodiscard]] HRESULT GetIDOfName(const QString& name, DispId* id) override;
    [[nodiscard]] HRESULT GetTypeInfo(InterfaceDescription* out) override;

    // IEventSource
    [[nodiscard]] HRESULT Advise(IEventSink* sink, std::uint32_t* cookie) override;
    [[nodiscard]] HRESULT Unadvise(std::uint32_t cookie) override;
    [[nodiscard]] HRESULT GetEventInterface(Iid* iid) override;

    // IPersistStreamInit / IPersistPropertyBag
    [[nodiscard]] HRESULT GetClassID(Clsid* clsid) override;
    [[nodiscard]] HRESULT IsDirty() override;
    [[nodiscard]] HRESULT Load(QIODevice* stream) override;
    [[nodiscard]] HRESULT Save(QIODevice* stream, bool clearDirty) override;
    [[nodiscard]] HRESULT InitNew() override;
    [[nodiscard]] HRESULT Load(const PropertyBag& bag) override;
    [[nodiscard]] HRESULT Save(PropertyBag& bag, bool clearDirty) override;

    // IControl
    [[nodiscard]] HRESULT Activate(QWidget* parent, const QRect& geometry) override;
    [[nodiscard]] HRESULT Close() override;
    QWidget* Window() override;
    [[nodiscard]] HRESULT GetExtent(QSize* himetric) override;
    [[nodiscard]] HRESULT SetExtent(const QSize& himetric) override;
    [[nodiscard]] HRESULT GetMiscStatus(std::uint32_t* status) override;
    [[nodiscard]] HRESULT GetPropertyPages(QList<Clsid>* pages) override;
    [[nodiscard]] HRESULT Draw(QPainter* dc, const QRect& bounds) override;

    // The IUnknown of this object (for handing it around as one pointer).
    IUnknown* unknown() { return static_cast<IDispatch*>(this); }
    const ControlIdentity& identity() const { return m_identity; }
    // The members of the dispatch interface, described (the type library's view).
    InterfaceDescription describeDispatch() const;

    // Fires an event to every connected sink.
    void fireEvent(DispId id, const VariantList& args = {});
    void setModifiedFlag(bool modified = true) { m_modified = modified; }
    bool isModified() const { return m_modified; }

    // The control window, or nullptr before activation and after Close().
    QWidget* controlWindow() const;
    bool hasWindow() const { return controlWindow() != nullptr; }
    // The control's size in pixels (from its extent).
    QSize sizePixels() const;
    // Schedules a repaint of `rect` (everything when empty) of the control window.
    void invalidateControl(const QRect& rect = {});

    // Window timers, identified by the control's own ids. Starting a running id restarts it
    // with the new interval. Without a control window setTimer does nothing; closing the
    // window stops every timer.
    void setTimer(int id, int intervalMs);
    void killTimer(int id);
    bool isTimerActive(int id) const;
    int timerInterval(int id) const; // -1 when not active
    // Delivers one tick of timer `id` now (the timer's own path; tests call it directly).
    void deliverTimer(int id);

    // Input from the control window (or a drawing child forwarding its input): fires the
    // stock events. Returns true when the event was one of them.
    bool handleInput(QEvent* event);

protected:
    explicit ControlBase(const ControlIdentity& identity);
    ~ControlBase() override;

    // The control's own values, in all modes (see PropExchange).
    virtual void doPropExchange(PropExchange& px) = 0;
    // Paints the control: `bounds` is the control's rectangle, `invalid` what needs painting.
    virtual void onDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) = 0;
    // Renders into a foreign device; by default the same as onDraw.
    virtual void onDrawForeign(QPainter& dc, const QRect& bounds);
    virtual void onTimer(int id);
    // Default: fire the stock Click / DblClick.
    virtual void onClick();
    virtual void onDblClick();
    // After the control window has been created and shown.
    virtual void onWindowCreated();
    // Before the control window is deleted (Close(), or the object's destruction).
    virtual void onWindowDestroying();
    // After the control window changed size (the extent already follows it).
    virtual void onResized(const QSize& pixels);

    // The member table and the object it is invoked on; ControlImpl<T> supplies both.
    virtual const DispatchMap& dispatchMap() const = 0;
    virtual void* dispatchObject() = 0;

private:
    friend class ControlWindow;
    void windowPaint(QPainter& dc, const QRect& invalid);
    void windowResized(const QSize& pixels);
    void exchangeFrameworkPart(PropExchange& px);
    [[nodiscard]] HRESULT runExchange(PropExchange& px, bool clearDirty);
    [[nodiscard]] HRESULT resetState();
    void destroyWindow();

    ControlIdentity m_identity;
    std::atomic<std::uint32_t> m_refs{1};
    EventConnections m_events;
    bool m_modified = false;
    bool m_pressed = false;
    QSize m_extent; // HIMETRIC
    QPointer<ControlWindow> m_window;
    QHash<int, QTimer*> m_timers;
};

} // namespace com
