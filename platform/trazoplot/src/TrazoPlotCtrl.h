// The TRAZOPLOT strip-chart control: two channels plotted against time on a scrolling chart
// with a time axis and two value axes, driven through its dispatch interface _DTrazoPlot.
#pragma once

#include "ChartPrinter.h"
#include "ChartRenderer.h"
#include "StripChart.h"

#include <com/ControlImpl.h>

namespace com {
class ServerModule;
}

namespace trazoplot {

class TrazoPlotCtrl : public com::ControlImpl<TrazoPlotCtrl> {
public:
    // `module` is kept locked while the control lives (null when built into a program).
    explicit TrazoPlotCtrl(com::ServerModule* module = nullptr);

    static const com::DispatchTable<TrazoPlotCtrl>& dispatchTable();
    static com::ControlIdentity controlIdentity(com::ServerModule* module);
    static com::InterfaceDescription dispatchInterface();
    static com::InterfaceDescription eventInterface();

    const StripChart& chart() const { return m_chart; }
    const ChartPrinter& printer() const { return m_printer; }

    // Indexed axis settings (axis 0, 1 or 3) and the density of a channel (0 or 1).
    [[nodiscard]] com::HRESULT axisVisible(std::int32_t axis, bool* out) const;
    [[nodiscard]] com::HRESULT setAxisVisible(std::int32_t axis, bool value);
    [[nodiscard]] com::HRESULT axisMinimum(std::int32_t axis, double* out) const;
    [[nodiscard]] com::HRESULT setAxisMinimum(std::int32_t axis, double value);
    [[nodiscard]] com::HRESULT axisMaximum(std::int32_t axis, double* out) const;
    [[nodiscard]] com::HRESULT setAxisMaximum(std::int32_t axis, double value);
    [[nodiscard]] com::HRESULT axisMajorStep(std::int32_t axis, double* out) const;
    [[nodiscard]] com::HRESULT setAxisMajorStep(std::int32_t axis, double value);
    [[nodiscard]] com::HRESULT axisPosition(std::int32_t axis, double* out) const;
    [[nodiscard]] com::HRESULT setAxisPosition(std::int32_t axis, double value);
    [[nodiscard]] com::HRESULT axisColor(std::int32_t axis, std::int32_t* out) const;
    [[nodiscard]] com::HRESULT setAxisColor(std::int32_t axis, std::int32_t value);
    [[nodiscard]] com::HRESULT axisTitle(std::int32_t axis, QString* out) const;
    [[nodiscard]] com::HRESULT setAxisTitle(std::int32_t axis, QString value);
    [[nodiscard]] com::HRESULT sampleDensity(std::int32_t channel, double* out) const;
    [[nodiscard]] com::HRESULT setSampleDensity(std::int32_t channel, double value);
    QString printTitle() const { return m_printTitle; }
    void setPrintTitle(const QString& title) { m_printTitle = title; }

    // Methods.
    void refresh();
    // Reads the value from `first`; `count` is how many doubles the caller owns there.
    [[nodiscard]] com::HRESULT appendSample(std::int32_t channel, const double* first,
                                            qsizetype count);
    // Appends all `count` values (a stretch of history; NaN stands for a second without a
    // reading) and repaints once.
    [[nodiscard]] com::HRESULT appendSamples(std::int32_t channel, const double* first,
                                             qsizetype count);
    [[nodiscard]] com::HRESULT printSetup();
    [[nodiscard]] com::HRESULT printChart();

protected:
    void doPropExchange(com::PropExchange& px) override;
    void onDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) override;
    void onDrawForeign(QPainter& dc, const QRect& bounds) override;

private:
    ~TrazoPlotCtrl() override = default;

    template <class V, class F>
    [[nodiscard]] com::HRESULT readAxis(std::int32_t axis, V* out, F&& field) const;
    [[nodiscard]] com::HRESULT changed(com::HRESULT hr);
    // The printed report's header: title, the span shown with its clock times, printing time.
    QStringList printHeader() const;

    StripChart m_chart;
    ChartRenderer m_renderer;
    ChartPrinter m_printer;
    QString m_printTitle;
    qint64 m_newestAtMs = 0; // when the newest sample arrived (ms since 1970, UTC)
};

} // namespace trazoplot
