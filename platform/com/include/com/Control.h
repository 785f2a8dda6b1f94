#pragma once

#include "com/Unknown.h"

#include <QList>
#include <QRect>
#include <QSize>

class QPainter;
class QWidget;

namespace com {

// What a container uses to place, show and close a control.
class IControl : public IUnknown {
public:
    [[nodiscard]] virtual HRESULT GetClassID(Clsid* clsid) = 0;
    // Creates the control window as a child of `parent` at `geometry` (pixels) and shows it.
    // Activating an active control moves it to the new parent/geometry.
    [[nodiscard]] virtual HRESULT Activate(QWidget* parent, const QRect& geometry) = 0;
    // Deletes the control window and disconnects every event sink. The control object itself
    // lives until its last Release().
    [[nodiscard]] virtual HRESULT Close() = 0;
    // The control window, or nullptr when not active.
    virtual QWidget* Window() = 0;
    // Size in HIMETRIC (0.01 mm; pixels at 96 dpi * 2540 / 96).
    [[nodiscard]] virtual HRESULT GetExtent(QSize* himetric) = 0;
    [[nodiscard]] virtual HRESULT SetExtent(const QSize& himetric) = 0;
    [[nodiscard]] virtual HRESULT GetMiscStatus(std::uint32_t* status) = 0;
    // Class ids of the control's property pages, in the order the frame shows them.
    [[nodiscard]] virtual HRESULT GetPropertyPages(QList<Clsid>* pages) = 0;
    // Renders into a foreign device (printer, picture) at `bounds`.
    [[nodiscard]] virtual HRESULT Draw(QPainter* dc, const QRect& bounds) = 0;
};

// HIMETRIC <-> pixels at 96 dpi, rounded to nearest (200 px -> 5292).
int pixelsToHimetric(int pixels);
int himetricToPixels(int himetric);

// The largest control window, per side, in pixels. An extent read from a stream or bag (or set
// by a caller) is clamped to it and negative sides to 0: a stored extent may be anything, and
// a meter keeps several buffers of its window size, so 4096 x 4096 (64 MiB a buffer) is the
// most one control may ask for; no screen needs a single meter larger than that.
constexpr int kMaxControlPixels = 4096;
// `himetric` clamped to 0..kMaxControlPixels pixels per side, in pixels and in HIMETRIC.
QSize boundedControlPixels(const QSize& himetric);
QSize boundedExtent(const QSize& himetric);

} // namespace com
