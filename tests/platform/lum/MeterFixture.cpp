#include "MeterFixture.h"

using namespace lum;

namespace {

Context fixtureContext;

} // namespace

void installFixtureCallbacks() {
    LbInitialize(
        &fixtureContext,
        [](void* owner, PageHandle page) {
            auto* f = static_cast<MeterFixture*>(owner);
            f->pageCallbacks++;
            f->onPage(page);
        },
        [](void* owner, PlotHandle plot, DcHandle dc) {
            auto* f = static_cast<MeterFixture*>(owner);
            f->plotCallbacks++;
            f->onPlot(plot, dc);
        },
        kInitFlags);
}

MeterFixture::MeterFixture(MeterSetup s, QSize size)
    : setup(std::move(s)) {
    host.resize(size);
    page = LbCreatePage(QStringLiteral("GAUGEKIT0"), &host, QStringLiteral("Meter"),
                        QStringLiteral("PageMenu"), 0xC0C0C0, 10, 0, 0, 0, 0, size.width(),
                        size.height(), this);
}

MeterFixture::~MeterFixture() {
    LbDestroyPage(page);
    LrDestroyProcessVar(pv);
}

QImage MeterFixture::grab() {
    return diag::grabPage(page);
}

Result MeterFixture::update(std::span<const double> values, bool withPlot) {
    return LrUpdateProcessVar(pv, values, withPlot ? plot : PlotHandle{});
}

void MeterFixture::onPage(PageHandle p) {
    LrDestroyProcessVar(pv);
    pv = LrCreateProcessVar(QStringLiteral("METER"), setup.channels, setup.units, 0, 0);
    plot = LbCreatePlotArea(&fixtureContext, p, 0.01, 0.01, 0.99, 0.99, setup.background, 0,
                            setup.frameThickness, this);
    LrUpdateProcessVar(pv, std::span(setup.values.data(), setup.channels), plot);
}

void MeterFixture::onPlot(PlotHandle p, DcHandle d) {
    const MeterSetup& s = setup;
    dc = d;
    if (s.bevel >= 0)
        LbSetPlotBevel(p, s.bevel);
    LbSetFont(s.labelColor, QStringLiteral("Arial"), s.labelPoints, 0);
    LbSetLineAttributes(p, d, 0, 1, s.lineColor);
    LrSetAlarm(pv, kAlarmHigh, s.highStart, QStringLiteral("High Alarm"));
    LrSetAlarm(pv, kAlarmLow, s.lowStop, QStringLiteral("Low Alarm"));
    LrSetAlarm(pv, kAlarmOk, 0.0, QStringLiteral("OK"));
    const bool units = !s.units.isEmpty();
    switch (s.type) {
    case 0:
        meter = LrCreateNeedleMeter(p, pv, kAllChannels, s.scaleMin, s.scaleMax, s.centerX,
                                    s.centerY, s.diameter, s.startArc, s.stopArc, s.needleStyle,
                                    s.channelColors, 0.1, s.tickStep, s.minorTicks, s.tickPosition,
                                    s.labelPosition, 0, true, 1, s.arcEnable, units, s.alarmArcs,
                                    s.alarmArcThickness, s.alarmColors);
        break;
    case 1:
        meter = LrCreateArcMeter(p, pv, 0, s.scaleMin, s.scaleMax, 0.0, s.centerX, s.centerY,
                                 s.diameter, s.startArc, s.stopArc, s.channelColors[0],
                                 s.channelColors[1], 0.15, 0.1, s.tickStep, s.minorTicks,
                                 s.tickPosition, 0, true, 1, s.arcEnable, units, s.alarmArcs,
                                 s.alarmArcThickness, s.alarmColors);
        break;
    default:
        meter = LrCreatePieMeter(p, pv, 0, s.scaleMin, s.scaleMax, 0.0, s.centerX, s.centerY,
                                 s.diameter, s.startArc, s.stopArc, s.channelColors[0],
                                 s.channelColors[1], 0.1, s.tickStep, s.minorTicks, s.tickPosition,
                                 0, s.arcEnable, s.alarmArcs, s.alarmArcThickness, s.alarmColors);
        break;
    }
    LrSetAlarmArcRange(p, meter, s.lowStart, s.highStop);
    if (s.borderStyle != 0)
        LrAddMeterBorder(p, meter, 0.5, 0.5, 0.8, 0.8, 0xFFFFFF, s.borderStyle, 0, 1);
    if (!s.title.isEmpty()) {
        LbSetFont(s.titleColor, QStringLiteral("Arial"), s.titlePoints, 0);
        LbAddText(p, d, s.title, 0.5, 0.01 + 0.005 * s.frameThickness, kTextCenter | kTextTop, 0);
    }
    if (!s.footer.isEmpty()) {
        LbSetFont(0, QStringLiteral("Arial"), 4, 0);
        LbAddText(p, d, s.footer, 0.5, 0.99 - 0.005 * s.frameThickness, kTextCenter | kTextBottom,
                  0);
    }
}
