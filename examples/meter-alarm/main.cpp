#include <GaugeKit/MeterWidget.h>
#include <QApplication>
#include <QMetaEnum>
#include <QTimer>

using GaugeKit::MeterWidget;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    MeterWidget meter;
    meter.setNeedleStyle(MeterWidget::LongFilledTriangle);
    meter.setTickLabelsPosition(MeterWidget::LabelsOutside);
    meter.setHighAlarmStart(7.5); // the high alarm starts at 7.5 on the 0..10 scale
    meter.updateMeter();
    QObject::connect(&meter, &MeterWidget::alarmChanged,
                     [](int channel, MeterWidget::AlarmCode code, double value, bool on) {
                         const char* name =
                             QMetaEnum::fromType<MeterWidget::AlarmCode>().valueToKey(code);
                         qInfo("channel %d: alarm %d at %g %s (%s)", channel, int(code), value,
                               on ? "on" : "off", name);
                     });
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, &meter, [&meter] { meter.setValue(0, 8.5); });
    feed.start(250);
    meter.show();
    return app.exec();
}
