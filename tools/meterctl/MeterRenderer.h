// Draws a hosted meter offscreen through its own drawing, at a given size and with given
// channel values.
#pragma once

#include <QImage>
#include <QList>
#include <QSize>

namespace com {
class ControlSite;
}

class MeterRenderer {
public:
    static constexpr QSize kDefaultSize{259, 161};

    // Null image when the meter cannot be drawn.
    static QImage render(com::ControlSite& site, const QSize& size, const QList<double>& values);
};
