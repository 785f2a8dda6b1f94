#include "CMScalPPg.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"

namespace gaugekit::pages {

namespace {

using K = ControlKind;

DialogTemplate makeTemplate() {
    using P = CMScalPPg;
    const QRect from(54, 15, 35, 14), to(54, 34, 35, 14), initial(54, 51, 35, 14),
        labelsPosition(141, 17, 48, 43), precision(141, 34, 35, 14), units(141, 53, 35, 14),
        step(54, 85, 35, 14), minor(54, 103, 35, 14), tickPosition(134, 87, 48, 43),
        thickness(134, 103, 40, 14), arcWidth(204, 102, 22, 14);
    DialogTemplate t;
    t.units = QSize(250, 151);
    t.controls = {
        {P::IDC_SCALE_FROM, K::Edit, {}, from, {}},
        {P::IDC_SCALE_TO, K::Edit, {}, to, {}},
        {P::IDC_INITIAL_VALUE, K::Edit, {}, initial, {}},
        {P::IDC_LABELS_POSITION, K::ComboBox, {}, labelsPosition, {"Inside", "Outside"}},
        {P::IDC_LABELS_PRECISION, K::Edit, {}, precision, {}},
        {P::IDC_UNITS, K::Edit, {}, units, {}},
        {P::IDC_LABELS_FONT, K::Button, "Font", QRect(198, 18, 34, 15), {}},
        {P::IDC_TICK_STEP, K::Edit, {}, step, {}},
        {P::IDC_MINOR_TICKS, K::Edit, {}, minor, {}},
        {P::IDC_TICK_LENGTH, K::Edit, {}, QRect(54, 120, 35, 14), {}},
        {P::IDC_TICK_POSITION, K::ComboBox, {}, tickPosition, {"Inside", "Outside", "Middle", ""}},
        {P::IDC_TICK_THICKNESS, K::Edit, {}, thickness, {}},
        {P::IDC_TICK_COLOR, K::Button, "Color", QRect(96, 126, 31, 12), {}},
        {P::IDC_ARC_WIDTH, K::Edit, {}, arcWidth, {}},
    };
    t.statics = {
        group("Range", QRect(7, 7, 92, 63)),
        labelBefore("From", 13, from),
        labelBefore("To", 13, to),
        labelBefore("Initial Value", 13, initial),
        group("Tick Labels", QRect(102, 7, 137, 64)),
        labelBefore("Position", 108, labelsPosition),
        labelBefore("Precision", 108, precision),
        labelBefore("Units", 108, units),
        group("Ticks", QRect(7, 76, 179, 68)),
        labelBefore("Step", 13, step),
        labelBefore("Minor Ticks", 13, minor),
        label("Relative\nLength", QRect(13, 118, 39, 18)),
        labelBefore("Position", 94, tickPosition),
        labelBefore("Thickness", 94, thickness),
        group("Arc Meter Misc", QRect(189, 76, 53, 68)),
        labelAbove("Arc Width", arcWidth, 36),
    };
    return t;
}

} // namespace

CMScalPPg::CMScalPPg(com::ServerModule* module)
    : MeterPropertyPage(PageKind::Scale, dialogTemplate(), module) {}

const DialogTemplate& CMScalPPg::dialogTemplate() {
    static const DialogTemplate t = makeTemplate();
    return t;
}

std::int32_t CMScalPPg::positionOfEntry(int index) {
    switch (index) {
    case 1:
        return 4;
    case 2:
        return 3;
    default:
        return 0;
    }
}

int CMScalPPg::entryOfPosition(std::int32_t position) {
    switch (position) {
    case 4:
        return 1;
    case 3:
        return 2;
    default:
        return 0;
    }
}

QList<FieldBinding> CMScalPPg::bindings() {
    return {
        FieldBinding::of(IDC_TICK_THICKNESS, m_values, dispid::MeterLineThickness,
                         QStringLiteral("Tick thickness")),
        FieldBinding::of(IDC_MINOR_TICKS, m_values, dispid::MeterMinorTicks,
                         QStringLiteral("Minor Ticks")),
        FieldBinding::of(IDC_SCALE_TO, m_values, dispid::MeterScaleMax, QStringLiteral("Scale to")),
        FieldBinding::of(IDC_SCALE_FROM, m_values, dispid::MeterScaleMin,
                         QStringLiteral("Scale from")),
        FieldBinding::of(IDC_LABELS_PRECISION, m_values, dispid::MeterTickLabelsPrecision,
                         QStringLiteral("Tick labels precision")),
        FieldBinding::of(IDC_TICK_LENGTH, m_values, dispid::MeterTickRelLength,
                         QStringLiteral("Relative Length")),
        FieldBinding::of(IDC_TICK_STEP, m_values, dispid::MeterTickStep,
                         QStringLiteral("Tick step")),
        FieldBinding::of(IDC_ARC_WIDTH, m_values, dispid::MeterValueArcThickness,
                         QStringLiteral("Arc Width")),
        FieldBinding::of(IDC_UNITS, m_values, dispid::MeterUnitsString, QStringLiteral("Units")),
        FieldBinding::of(IDC_INITIAL_VALUE, m_values, dispid::MeterInitialValue,
                         QStringLiteral("Initial Value")),
    };
}

void CMScalPPg::exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) {
    meter.ExchangeScalePage(m_values, direction);
}

void CMScalPPg::postLoad() {
    selectEntry(IDC_LABELS_POSITION,
                entryOfPosition(m_values.integer(dispid::MeterTickLabelsPosition)));
    selectEntry(IDC_TICK_POSITION, entryOfPosition(m_values.integer(dispid::MeterTickPosition)));
}

void CMScalPPg::connectControls() {
    onConfirmed(IDC_LABELS_POSITION, [this](int i) {
        m_values.integer(dispid::MeterTickLabelsPosition) = positionOfEntry(i);
    });
    onConfirmed(IDC_TICK_POSITION, [this](int i) {
        m_values.integer(dispid::MeterTickPosition) = positionOfEntry(i);
    });
    onButton(IDC_LABELS_FONT, [this] {
        chooseFont(m_values.text(dispid::MeterTickLabelsFont),
                   m_values.integer(dispid::MeterTickLabelsSize),
                   m_values.integer(dispid::MeterTickLabelsFontStyle),
                   m_values.integer(dispid::MeterTickLabelsColor));
    });
    onButton(IDC_TICK_COLOR, [this] { chooseColor(m_values.integer(dispid::MeterLineColor)); });
}

} // namespace gaugekit::pages
