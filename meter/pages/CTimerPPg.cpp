#include "CTimerPPg.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "PageText.h"

#include <QComboBox>

namespace gaugekit::pages {

namespace {

using K = ControlKind;

DialogTemplate makeTemplate() {
    using P = CTimerPPg;
    DialogTemplate t;
    t.units = QSize(249, 151);
    t.controls = {
        {P::IDC_USE_TIMER, K::CheckBox, "Use Internal Timer", QRect(94, 24, 71, 10), {}},
        {P::IDC_FREQUENCY, K::ComboBox, {}, QRect(93, 51, 32, 54), {"1", "5", "10", "20", ""}},
        {P::IDC_SIMULATION, K::CheckBox, "Data Simulation", QRect(93, 82, 63, 10), {}},
    };
    t.statics = {label("Hz", QRect(133, 53, 12, 8))};
    return t;
}

} // namespace

CTimerPPg::CTimerPPg(com::ServerModule* module)
    : MeterPropertyPage(PageKind::Timer, dialogTemplate(), module) {}

const DialogTemplate& CTimerPPg::dialogTemplate() {
    static const DialogTemplate t = makeTemplate();
    return t;
}

QList<FieldBinding> CTimerPPg::bindings() {
    return {
        FieldBinding::of(IDC_USE_TIMER, m_values, dispid::EnableInternalTimer,
                         QStringLiteral("Use Internal Timer")),
        FieldBinding::of(IDC_SIMULATION, m_values, dispid::SDataSimulationMode,
                         QStringLiteral("Data Simulation")),
    };
}

void CTimerPPg::exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) {
    meter.ExchangeTimerPage(m_values, direction);
}

void CTimerPPg::preStore() {
    if (const QComboBox* box = combo(IDC_FREQUENCY))
        m_values.real(dispid::TimerFrequency) = PageText::leadingDecimal(box->currentText());
}

void CTimerPPg::postLoad() {
    showFrequency();
}

void CTimerPPg::postStore() {
    // The box shows what was stored (typed 50, stored 20), not what was typed.
    showFrequency();
}

void CTimerPPg::showFrequency() {
    if (QComboBox* box = combo(IDC_FREQUENCY))
        box->setEditText(PageText::formatAtLeastOneDecimal(m_values.real(dispid::TimerFrequency)));
}

void CTimerPPg::onDialogCreated() {
    MeterPropertyPage::onDialogCreated();
    if (CGAUGEKITCtrl* meter = findMeter())
        meter->stopTimer();
}

void CTimerPPg::onShow(bool visible) {
    if (!visible)
        releaseTimer();
}

void CTimerPPg::onDialogDestroying() {
    // The frame closed on this page (Cancel, or OK without a change): the timer runs again as
    // it would had another tab been chosen first.
    if (dialog() && !dialog()->isHidden())
        releaseTimer();
}

void CTimerPPg::releaseTimer() {
    if (CGAUGEKITCtrl* meter = findMeter()) {
        if (meter->store().enableInternalTimer)
            meter->startTimer();
    }
}

} // namespace gaugekit::pages
