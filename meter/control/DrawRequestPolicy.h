// What the control does with one draw request of its container: nothing, create its drawing
// window for the first time, recreate it for new bounds, or merely redraw the plot.
#pragma once

#include <QRect>
#include <QSize>

namespace gaugekit {

enum class DrawAction { None, FirstDraw, Recreate, Redraw };

struct DrawState {
    bool firstDraw = true;         // not drawn yet (or rendered into a foreign context since)
    bool hasDrawingWindow = false; // the page window exists
    QSize remembered;              // size of the bounds the drawing window was created for
    bool bigEnough = false;        // the drawing window is at least the minimum size
    bool controlHasWindow = false; // the control has a window of its own
};

class DrawRequestPolicy {
public:
    // A drawing window smaller than this in either direction holds no meter.
    static constexpr int kMinimumSide = 50;
    // Size changes up to this many pixels only redraw; larger ones recreate the window.
    static constexpr int kResizeTolerance = 1;

    static DrawAction decide(const DrawState& state, const QRect& bounds, const QRect& invalid);
    static bool isBigEnough(const QSize& size);
};

} // namespace gaugekit
