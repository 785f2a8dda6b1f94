#include <GaugeKit/MeterWidget.h>
#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    GaugeKit::MeterWidget meter;
    meter.setHighAlarmStart(7.5); // the high alarm starts at 7.5 on the 0..10 scale
    QObject::connect(&meter, &GaugeKit::MeterWidget::alarmChanged,
                     [](int channel, int code, double value, bool on) {
                         qInfo("channel %d: alarm %d at %g %s", channel, code, value,
                               on ? "on" : "off");
                     });
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, &meter, [&meter] { meter.setValue(0, 8.5); });
    feed.start(250);
    meter.show();
    return app.exec();
}
