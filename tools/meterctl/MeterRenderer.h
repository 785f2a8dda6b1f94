// Draws a hosted meter offscreen through its own drawing, at a given size and with given
// channel values.
#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

namespace com {
class ControlSite;
}

class MeterRenderer {
public:
    static constexpr QSize kDefaultSize{259, 161};

    // Null image when the meter cannot be drawn.
    static QImage render(com::ControlSite& site, const QSize& size, const QList<double>& values);
    // Paints the site until the meter in it is built (its drawing is created over a few paints).
    static void settle(com::ControlSite& site);
    // The picture type SavePageMeta writes for a file name's extension (.svg 1, .pdf 2, .png 3,
    // any case); 0 for another one.
    static int pictureType(const QString& fileName);
};
