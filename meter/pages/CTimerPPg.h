// The Timer page: the meter's internal timer on or off, its frequency in hertz, and the data
// simulation. While the page's dialog exists and is on screen the meter's timer is held.
#pragma once

#include "MeterPropertyPage.h"

namespace gaugekit::pages {

class CTimerPPg : public MeterPropertyPage {
public:
    enum : int {
        IDC_USE_TIMER = 233,
        IDC_FREQUENCY = 232,
        IDC_SIMULATION = 241,
    };

    explicit CTimerPPg(com::ServerModule* module = nullptr);

    static const DialogTemplate& dialogTemplate();

    const TimerPageValues& values() const { return m_values; }

protected:
    QList<FieldBinding> bindings() override;
    void exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) override;
    void preStore() override;
    void postLoad() override;
    void postStore() override;
    void onDialogCreated() override;
    void onShow(bool visible) override;
    void onDialogDestroying() override;

private:
    void releaseTimer();
    void showFrequency();

    TimerPageValues m_values;
};

} // namespace gaugekit::pages
