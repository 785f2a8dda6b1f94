#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include <array>
#include <memory>

namespace GaugeKit {
class MeterWidget;
}

namespace http {

// The page's two meters, drawn by GAUGEKIT itself: one meter widget per quantity, set up as
// the console sets up its own, kept off screen, and saved through the control's SVG picture
// output when the page asks and the value changed since the last picture. Needs a QApplication
// (the service runs one on the offscreen platform); without it there are no pictures.
class MeterPictures {
public:
    enum Quantity { Humidity, Pressure };
    struct Picture {
        QByteArray svg;
        QByteArray etag; // quoted, as the header carries it
    };

    MeterPictures();
    ~MeterPictures();

    bool isAvailable() const { return m_available; }
    void show(Quantity q, double value);
    // The current picture; an empty one when it cannot be drawn.
    const Picture& picture(Quantity q);

private:
    struct Meter {
        std::unique_ptr<GaugeKit::MeterWidget> widget;
        double value = 0.0;
        bool dirty = true;
        Picture picture;
        quint64 version = 0;
    };
    void setUp(Meter& m, double min, double max, const QColor& color);

    bool m_available = false;
    QTemporaryDir m_dir;
    std::array<Meter, 2> m_meters;
};

} // namespace http
