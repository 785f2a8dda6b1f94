#include "CMAlrmPPg.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"

namespace gaugekit::pages {

namespace {

using K = ControlKind;

DialogTemplate makeTemplate() {
    using P = CMAlrmPPg;
    const QRect normal(93, 48, 36, 14), lowFrom(66, 87, 40, 14), lowTo(66, 106, 40, 14),
        lowColor(66, 127, 42, 14), highFrom(159, 86, 40, 14), highTo(159, 105, 40, 14),
        highColor(159, 125, 42, 14);
    DialogTemplate t;
    t.units = QSize(250, 150);
    t.controls = {
        {P::IDC_ARCS_ENABLE, K::CheckBox, "Enable Alarm Arcs", QRect(51, 18, 72, 10), {}},
        {P::IDC_ARC_THICKNESS, K::Edit, {}, QRect(93, 30, 40, 14), {}},
        {P::IDC_NORMAL_COLOR, K::Button, "Color", normal, {}},
        {P::IDC_LOW_FROM, K::Edit, {}, lowFrom, {}},
        {P::IDC_LOW_TO, K::Edit, {}, lowTo, {}},
        {P::IDC_LOW_COLOR, K::Button, "Color", lowColor, {}},
        {P::IDC_HIGH_FROM, K::Edit, {}, highFrom, {}},
        {P::IDC_HIGH_TO, K::Edit, {}, highTo, {}},
        {P::IDC_HIGH_COLOR, K::Button, "Color", highColor, {}},
    };
    t.statics = {
        group("General", QRect(36, 6, 174, 60)),
        label("Alarm Arc\nThickness", QRect(51, 29, 40, 18)),
        labelBefore("Normal Arc", 51, normal),
        group("Low Alarm Arc", QRect(36, 70, 80, 74)),
        labelBefore("From", 42, lowFrom),
        labelBefore("To", 42, lowTo),
        labelBefore("Arc", 42, lowColor),
        group("High Alarm Arc", QRect(129, 69, 80, 75)),
        labelBefore("From", 135, highFrom),
        labelBefore("To", 135, highTo),
        labelBefore("Arc", 135, highColor),
    };
    return t;
}

} // namespace

CMAlrmPPg::CMAlrmPPg(com::ServerModule* module)
    : MeterPropertyPage(PageKind::Alarm, dialogTemplate(), module) {}

const DialogTemplate& CMAlrmPPg::dialogTemplate() {
    static const DialogTemplate t = makeTemplate();
    return t;
}

QList<FieldBinding> CMAlrmPPg::bindings() {
    return {
        FieldBinding::of(IDC_ARCS_ENABLE, m_values, dispid::MeterAlarmArcsEnable,
                         QStringLiteral("Enable Alarm Arcs")),
        FieldBinding::of(IDC_ARC_THICKNESS, m_values, dispid::MeterAlarmArcThickness,
                         QStringLiteral("Alarm Arc Thickness")),
        FieldBinding::of(IDC_HIGH_FROM, m_values, dispid::MeterHighAlarmStart,
                         QStringLiteral("High alarm from")),
        FieldBinding::of(IDC_HIGH_TO, m_values, dispid::MeterHighAlarmStop,
                         QStringLiteral("High alarm to")),
        FieldBinding::of(IDC_LOW_FROM, m_values, dispid::MeterLowAlarmStart,
                         QStringLiteral("Low alarm from")),
        FieldBinding::of(IDC_LOW_TO, m_values, dispid::MeterLowAlarmStop,
                         QStringLiteral("Low alarm to")),
    };
}

void CMAlrmPPg::exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) {
    meter.ExchangeAlarmPage(m_values, direction);
}

void CMAlrmPPg::connectControls() {
    onButton(IDC_NORMAL_COLOR,
             [this] { chooseColor(m_values.integer(dispid::MeterNormalAlarmColor)); });
    onButton(IDC_LOW_COLOR, [this] { chooseColor(m_values.integer(dispid::MeterLowAlarmColor)); });
    onButton(IDC_HIGH_COLOR,
             [this] { chooseColor(m_values.integer(dispid::MeterHighAlarmColor)); });
}

} // namespace gaugekit::pages
