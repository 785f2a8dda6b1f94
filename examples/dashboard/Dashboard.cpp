#include "Dashboard.h"

#include "ui_Dashboard.h"

Dashboard::Dashboard(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::Dashboard>()) {
    m_ui->setupUi(this);
    const auto watch = [this](GaugeKit::MeterWidget* meter, const QString& name) {
        connect(meter, &GaugeKit::MeterWidget::alarmChanged, this,
                [this, name](int channel, GaugeKit::MeterWidget::AlarmCode code, double value,
                             bool alarm) { showAlarm(name, channel, code, value, alarm); });
    };
    watch(m_ui->humidity, tr("Humidity"));
    watch(m_ui->pressure, tr("Pressure"));
    watch(m_ui->wind, tr("Wind"));
}

Dashboard::~Dashboard() = default;

void Dashboard::showReading(const QList<double>& values) {
    if (values.size() > 0)
        m_ui->humidity->setValue(0, values.at(0));
    if (values.size() > 1)
        m_ui->pressure->setValue(0, values.at(1));
    if (values.size() > 2)
        m_ui->wind->setValues(values.mid(2));
}

void Dashboard::showAlarm(const QString& meter, int channel, GaugeKit::MeterWidget::AlarmCode code,
                          double value, bool alarm) {
    const QString state = !alarm                                     ? tr("back to normal")
                          : code == GaugeKit::MeterWidget::AlarmHigh ? tr("high")
                                                                     : tr("low");
    m_ui->alarm->setText(tr("%1, channel %2: %3 at %4")
                             .arg(meter)
                             .arg(channel + 1)
                             .arg(state)
                             .arg(value, 0, 'f', 1));
}
