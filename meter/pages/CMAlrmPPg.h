// The Alarms page: whether the alarm arcs are drawn, their thickness, the normal arc's colour,
// and the range and colour of the low and the high alarm arc.
#pragma once

#include "MeterPropertyPage.h"

namespace gaugekit::pages {

class CMAlrmPPg : public MeterPropertyPage {
public:
    enum : int {
        IDC_ARCS_ENABLE = 230,
        IDC_ARC_THICKNESS = 231,
        IDC_NORMAL_COLOR = 235,
        IDC_LOW_FROM = 228,
        IDC_LOW_TO = 229,
        IDC_LOW_COLOR = 233,
        IDC_HIGH_FROM = 226,
        IDC_HIGH_TO = 227,
        IDC_HIGH_COLOR = 232,
    };

    explicit CMAlrmPPg(com::ServerModule* module = nullptr);

    static const DialogTemplate& dialogTemplate();

    const AlarmPageValues& values() const { return m_values; }

protected:
    QList<FieldBinding> bindings() override;
    void exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) override;
    void connectControls() override;

private:
    AlarmPageValues m_values;
};

} // namespace gaugekit::pages
