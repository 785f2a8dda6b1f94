#include "DrawRequestPolicy.h"

#include <cstdlib>

namespace gaugekit {

DrawAction DrawRequestPolicy::decide(const DrawState& state, const QRect& bounds,
                                     const QRect& invalid) {
    if (!state.firstDraw && !state.hasDrawingWindow)
        return DrawAction::None;
    if (state.firstDraw)
        return DrawAction::FirstDraw;

    const int dw = std::abs(bounds.width() - state.remembered.width());
    const int dh = std::abs(bounds.height() - state.remembered.height());
    if (dw > kResizeTolerance || dh > kResizeTolerance)
        return DrawAction::Recreate;

    const bool sameSize = dw == 0 && dh == 0;
    if (sameSize && bounds.left() != 0 && state.controlHasWindow)
        return DrawAction::Recreate;
    if (sameSize && bounds.left() == 0 && state.bigEnough)
        return DrawAction::Redraw;
    if (invalid.width() == 0)
        return DrawAction::None;
    return state.bigEnough ? DrawAction::Redraw : DrawAction::None;
}

bool DrawRequestPolicy::isBigEnough(const QSize& size) {
    return size.width() >= kMinimumSide && size.height() >= kMinimumSide;
}

} // namespace gaugekit
