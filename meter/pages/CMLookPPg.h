// The Appearance page: kind of meter and needle, position and size, the arc the scale spans,
// the channels and their colours, and the readout of the value.
#pragma once

#include "MeterPropertyPage.h"

namespace gaugekit::pages {

class UpDownControl;

class CMLookPPg : public MeterPropertyPage {
public:
    enum : int {
        IDC_TYPE = 206,
        IDC_CHANNELS = 233,
        IDC_NEEDLE = 209,
        IDC_CENTER_X = 201,
        IDC_CENTER_Y = 202,
        IDC_DIAMETER = 203,
        IDC_ARC_FROM = 204,
        IDC_ARC_TO = 205,
        IDC_ARC_ENABLE = 224,
        IDC_CHANNEL_NUMBER = 213,
        IDC_CHANNEL_ARROWS = 212,
        IDC_CHANNEL_COLOR = 211,
        IDC_PRECISION = 225,
        IDC_DYNTEXT_ENABLE = 226,
    };
    static constexpr int kLastChannel = 4;

    explicit CMLookPPg(com::ServerModule* module = nullptr);

    static const DialogTemplate& dialogTemplate();

    const LookPageValues& values() const { return m_values; }
    int selectedChannel() const { return m_channel; }
    UpDownControl* arrows() const;

protected:
    QList<FieldBinding> bindings() override;
    void exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) override;
    void postLoad() override;
    void connectControls() override;

private:
    void switchChannel(int step);

    LookPageValues m_values;
    int m_channel = 1;
};

} // namespace gaugekit::pages
