// Hooks for tests, benchmarks and offscreen rendering tools.
#pragma once

#include "lum/LumTypes.h"

#include <QImage>

class QPainter;

namespace lum::diag {

/// How many times the plot's cached static layer (face, scale, ticks, labels, alarm arcs,
/// border, texts) has been drawn; -1 for an invalid plot.
int staticLayerBuilds(PlotHandle plot);
/// Renders the plot (cached layer plus needles and readouts) into `painter` at its origin,
/// exactly as a paint of its widget would. Returns kErrInvalidHandle for an invalid plot.
Result renderPlot(PlotHandle plot, QPainter& painter);
/// Renders the page offscreen with its plots, running any pending first-paint callbacks
/// first (they may create plot areas and meters); a null image for an invalid page.
QImage grabPage(PageHandle page);
/// Number of meters alive on the plot; -1 for an invalid plot.
int meterCount(PlotHandle plot);

} // namespace lum::diag
