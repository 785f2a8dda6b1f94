// The Scale page: the scale's range and the needle's initial value, major and minor ticks,
// tick labels (position, precision, units, font) and the value arc's thickness.
#pragma once

#include "MeterPropertyPage.h"

namespace gaugekit::pages {

class CMScalPPg : public MeterPropertyPage {
public:
    enum : int {
        IDC_SCALE_FROM = 214,
        IDC_SCALE_TO = 215,
        IDC_INITIAL_VALUE = 238,
        IDC_LABELS_POSITION = 218,
        IDC_LABELS_PRECISION = 221,
        IDC_UNITS = 237,
        IDC_LABELS_FONT = 222,
        IDC_TICK_STEP = 212,
        IDC_MINOR_TICKS = 213,
        IDC_TICK_LENGTH = 216,
        IDC_TICK_POSITION = 219,
        IDC_TICK_THICKNESS = 220,
        IDC_TICK_COLOR = 217,
        IDC_ARC_WIDTH = 236,
    };

    explicit CMScalPPg(com::ServerModule* module = nullptr);

    static const DialogTemplate& dialogTemplate();
    // Position lists: entry 0 "Inside" is 0, 1 "Outside" is 4, 2 "Middle" is 3, others 0.
    static std::int32_t positionOfEntry(int index);
    static int entryOfPosition(std::int32_t position);

    const ScalePageValues& values() const { return m_values; }

protected:
    QList<FieldBinding> bindings() override;
    void exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) override;
    void postLoad() override;
    void connectControls() override;

private:
    ScalePageValues m_values;
};

} // namespace gaugekit::pages
