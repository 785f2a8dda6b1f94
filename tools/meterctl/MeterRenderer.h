// Draws a hosted meter offscreen through its own drawing, at a given size and with given
// channel values.
#pragma once

#include <QList>
#include <QSize>
#include <QString>

namespace com {
class ControlSite;
}

class MeterRenderer {
public:
    static constexpr QSize kDefaultSize{259, 161};

    // Shows the meter at `size` with the channel values and lets it draw itself; false when
    // the meter cannot be shown.
    static bool draw(com::ControlSite& site, const QSize& size, const QList<double>& values);
    // Paints the site until the meter in it is built (its drawing is created over a few paints).
    static void settle(com::ControlSite& site);
};
