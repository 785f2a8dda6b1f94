#include "MeterPictures.h"

#include "GaugeKit/MeterWidget.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>

namespace http {

namespace {

constexpr int kSvgPicture = 1; // the control's picture type for SVG
constexpr int kWidth = 260;
constexpr int kHeight = 200;

} // namespace

MeterPictures::MeterPictures() {
    m_available =
        qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr && m_dir.isValid();
    if (!m_available) {
        return;
    }
    setUp(m_meters[Humidity], 0.0, 100.0, QColor(255, 0, 0));
    setUp(m_meters[Pressure], 0.0, 120.0, QColor(0, 0, 255));
}

MeterPictures::~MeterPictures() = default;

// The console's set-up of its meters (one channel, the needle, ticks every 10 with four minor
// ticks, labels and needle in the quantity's colour, no alarm arcs).
void MeterPictures::setUp(Meter& m, double min, double max, const QColor& color) {
    m.widget = std::make_unique<GaugeKit::MeterWidget>();
    GaugeKit::MeterWidget& w = *m.widget;
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.resize(kWidth, kHeight);
    w.setNumChannels(1);
    w.setCenterX(0.51);
    w.setCenterY(0.41);
    w.setDiameter(0.49);
    w.setNeedleStyle(2);
    w.setScaleMin(min);
    w.setScaleMax(max);
    w.setLowAlarmStop(min);
    w.setHighAlarmStart(max);
    w.setArcEnable(false);
    w.setTickStep(10);
    w.setMinorTicks(4);
    w.setTickPosition(4);
    w.setTickLabelsPrecision(0);
    w.setTickLabelsPosition(4);
    w.setTickLabelsColor(color);
    w.setChannelColor({color});
    w.setNormalAlarmColor(Qt::black);
    w.setInitialValue(min);
    w.updateMeter();
    // The control makes its drawing page on the first paint; nothing is saved before.
    w.show();
    w.grab();
    m.value = min;
}

void MeterPictures::show(Quantity q, double value) {
    Meter& m = m_meters[q];
    if (m.value != value) {
        m.value = value;
        m.dirty = true;
    }
}

const MeterPictures::Picture& MeterPictures::picture(Quantity q) {
    Meter& m = m_meters[q];
    if (!m_available || !m.dirty) {
        return m.picture;
    }
    m.widget->setValue(0, m.value);
    m.widget->grab();
    const QString file = m_dir.filePath(QStringLiteral("meter%1.svg").arg(int(q)));
    QFile f(file);
    if (m.widget->savePicture(kSvgPicture, file) && f.open(QIODevice::ReadOnly)) {
        m.picture.svg = f.readAll();
        m.picture.etag =
            '"' + QCryptographicHash::hash(m.picture.svg, QCryptographicHash::Sha1).toHex() + '"';
        m.dirty = false;
    }
    return m.picture;
}

} // namespace http
