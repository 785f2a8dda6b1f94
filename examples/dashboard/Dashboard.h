// The dashboard window: humidity, pressure and wind meters from a Designer form, and a line
// telling the latest alarm.
#pragma once

#include <GaugeKit/MeterWidget.h>

#include <QList>
#include <QWidget>
#include <memory>

namespace Ui {
class Dashboard;
}

class Dashboard : public QWidget {
    Q_OBJECT
public:
    explicit Dashboard(QWidget* parent = nullptr);
    ~Dashboard() override;

    // Humidity, pressure, then up to three wind channels; missing values leave a meter as it is.
    void showReading(const QList<double>& values);

private:
    void showAlarm(const QString& meter, int channel, GaugeKit::MeterWidget::AlarmCode code,
                   double value, bool alarm);

    std::unique_ptr<Ui::Dashboard> m_ui;
};
