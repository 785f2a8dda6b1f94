// Builds a page with one plot area and one meter the way a meter control does: the plot is
// created at the page's first paint and the meter at the plot's first paint.
#pragma once

#include "lum/Lum.h"
#include "lum/LumDiagnostics.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

struct MeterSetup {
    int type = 0; // 0 needle, 1 arc, 2 pie
    int channels = 1;
    double scaleMin = 0.0;
    double scaleMax = 10.0;
    int startArc = 0;
    int stopArc = 180;
    double centerX = 0.5;
    double centerY = 0.6;
    double diameter = 0.9;
    int needleStyle = 5;
    double tickStep = 2.0;
    int tickPosition = 0;
    int labelPosition = 0;
    bool alarmArcs = true;
    double lowStart = 0.0;
    double lowStop = 1.0;
    double highStart = 9.0;
    double highStop = 10.0;
    int borderStyle = 0;
    int bevel = 0; // -1: none
    int frameThickness = 1;
    lum::Colorref background = 0xC0C0C0;
    bool arcEnable = true;
    int minorTicks = 3;
    int labelPoints = 8;
    lum::Colorref labelColor = 0;
    lum::Colorref lineColor = 0;
    double alarmArcThickness = 0.1;
    std::array<lum::Colorref, 5> channelColors = {0x800000, 0x008000, 0x000080, 0x00FFFF, 0x808000};
    std::array<lum::Colorref, 3> alarmColors = {0x008000, 0x000080, 0x800000};
    QString units;
    QString title = QStringLiteral("Meter");
    lum::Colorref titleColor = 0;
    int titlePoints = 8;
    QString footer = QStringLiteral("Ondavia");
    std::array<double, 5> values = {4.0, 6.5, 2.0, 8.0, 5.0};
};

class MeterFixture {
public:
    explicit MeterFixture(MeterSetup setup, QSize size = QSize(259, 161));
    ~MeterFixture();

    /// Runs the first paints (builds the meter) and renders the page.
    QImage grab();
    /// Sends new values to the process variable (with or without naming the plot).
    lum::Result update(std::span<const double> values, bool withPlot = true);

    QWidget host;
    lum::PageHandle page;
    lum::PlotHandle plot;
    lum::DcHandle dc;
    lum::ProcessVarHandle pv;
    lum::MeterHandle meter;
    int pageCallbacks = 0;
    int plotCallbacks = 0;
    MeterSetup setup;

    /// The page's first paint: process variable, plot area, initial values.
    void onPage(lum::PageHandle page);
    /// The plot's first paint: the meter build.
    void onPlot(lum::PlotHandle plot, lum::DcHandle dc);
};

/// Installs the fixture's first-paint callbacks (they dispatch to the owner fixture).
void installFixtureCallbacks();
