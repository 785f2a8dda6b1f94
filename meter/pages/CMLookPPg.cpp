#include "CMLookPPg.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "UpDownControl.h"

namespace gaugekit::pages {

namespace {

using K = ControlKind;

DialogTemplate makeTemplate() {
    using P = CMLookPPg;
    // The type list is wider than designed (38 units), up to the frame, so that "Needle"
    // shows whole beside the drop-down button.
    const QRect type(33, 18, 50, 44), channels(9, 45, 40, 14), needle(9, 78, 78, 48),
        centerX(133, 15, 28, 14), centerY(132, 35, 28, 14), diameter(133, 55, 28, 14),
        from(198, 18, 28, 14), to(198, 38, 28, 14), arrows(40, 115, 10, 14),
        precision(219, 108, 20, 14);
    DialogTemplate t;
    t.units = QSize(250, 150);
    t.controls = {
        {P::IDC_TYPE, K::ComboBox, {}, type, {"Needle", "Arc", "Pie"}},
        {P::IDC_CHANNELS, K::Edit, {}, channels, {}},
        {P::IDC_NEEDLE,
         K::ComboBox,
         {},
         needle,
         {"Thin line", "Thick line", "Short Filled Triangle", "Short Hollow Triangle",
          "Long Filled Triangle", "Long Hollow Triangle"}},
        {P::IDC_CENTER_X, K::Edit, {}, centerX, {}},
        {P::IDC_CENTER_Y, K::Edit, {}, centerY, {}},
        {P::IDC_DIAMETER, K::Edit, {}, diameter, {}},
        {P::IDC_ARC_FROM, K::Edit, {}, from, {}},
        {P::IDC_ARC_TO, K::Edit, {}, to, {}},
        {P::IDC_ARC_ENABLE, K::CheckBox, "Draw Meter Arc", QRect(177, 55, 61, 10), {}},
        {P::IDC_CHANNEL_NUMBER, K::Edit, {}, QRect(53, 114, 21, 14), {}},
        {P::IDC_CHANNEL_ARROWS, K::UpDown, {}, arrows, {}},
        {P::IDC_CHANNEL_COLOR, K::Button, "Color", QRect(95, 114, 25, 14), {}},
        {P::IDC_PRECISION, K::Edit, {}, precision, {}},
        {P::IDC_DYNTEXT_ENABLE, K::CheckBox, "Enable", QRect(183, 126, 38, 10), {}},
    };
    t.statics = {
        group("General", QRect(3, 3, 87, 93)),
        labelBefore("Type", 9, type),
        labelAbove("Number of Channels", channels, 76),
        labelAbove("Needle Style", needle, 76),
        group("Position (Normalized)", QRect(96, 3, 75, 93)),
        labelBefore("Center X", 102, centerX),
        labelBefore("Center Y", 102, centerY),
        labelBefore("Diameter", 102, diameter),
        group("Arc Position", QRect(174, 3, 68, 93)),
        labelBefore("From", 177, from),
        labelBefore("To", 177, to),
        group("Channel Attributes", QRect(3, 99, 168, 42)),
        labelBefore("Channel", 9, arrows),
        group("Dynamic Text", QRect(174, 99, 68, 42)),
        labelBefore("Precision", 180, precision),
    };
    return t;
}

} // namespace

CMLookPPg::CMLookPPg(com::ServerModule* module)
    : MeterPropertyPage(PageKind::Look, dialogTemplate(), module) {}

const DialogTemplate& CMLookPPg::dialogTemplate() {
    static const DialogTemplate t = makeTemplate();
    return t;
}

UpDownControl* CMLookPPg::arrows() const {
    return qobject_cast<UpDownControl*>(control(IDC_CHANNEL_ARROWS));
}

QList<FieldBinding> CMLookPPg::bindings() {
    return {
        FieldBinding::of(IDC_DYNTEXT_ENABLE, m_values, dispid::MeterDynTextEnable,
                         QStringLiteral("Dynamic text")),
        FieldBinding::of(IDC_ARC_ENABLE, m_values, dispid::MeterArcEnable,
                         QStringLiteral("Draw Meter Arc")),
        FieldBinding::of(IDC_CENTER_X, m_values, dispid::MeterCenterX, QStringLiteral("Center X")),
        FieldBinding::of(IDC_CENTER_Y, m_values, dispid::MeterCenterY, QStringLiteral("Center Y")),
        FieldBinding::of(IDC_DIAMETER, m_values, dispid::MeterDiameter, QStringLiteral("Diameter")),
        FieldBinding::of(IDC_PRECISION, m_values, dispid::MeterDynTextPrecision,
                         QStringLiteral("Precision")),
        FieldBinding::of(IDC_CHANNELS, m_values, dispid::MeterNumChannels,
                         QStringLiteral("Number of Channels")),
        FieldBinding::of(IDC_ARC_FROM, m_values, dispid::MeterStartArc, QStringLiteral("Arc from")),
        FieldBinding::of(IDC_ARC_TO, m_values, dispid::MeterStopArc, QStringLiteral("Arc to")),
    };
}

void CMLookPPg::exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) {
    meter.ExchangeLookPage(m_values, direction);
}

void CMLookPPg::postLoad() {
    selectEntry(IDC_NEEDLE, m_values.integer(dispid::MeterNeedleStyle));
    selectEntry(IDC_TYPE, m_values.integer(dispid::MeterType));
    if (UpDownControl* a = arrows())
        a->setRange(0, kLastChannel);
}

void CMLookPPg::connectControls() {
    onConfirmed(IDC_TYPE, [this](int i) { m_values.integer(dispid::MeterType) = i; });
    onConfirmed(IDC_NEEDLE, [this](int i) { m_values.integer(dispid::MeterNeedleStyle) = i; });
    onButton(IDC_CHANNEL_COLOR, [this] {
        if (m_channel >= 0 && m_channel < m_values.channelColor.size())
            chooseColor(m_values.channelColor[m_channel]);
    });
    if (UpDownControl* a = arrows())
        QObject::connect(a, &UpDownControl::stepping, dialog(),
                         [this](int step) { switchChannel(step); });
}

void CMLookPPg::switchChannel(int step) {
    const UpDownControl* a = arrows();
    const int next = qBound(0, (a ? a->position() : 0) + step, kLastChannel);
    selectionSwitch([this, next] { m_channel = next; });
}

} // namespace gaugekit::pages
