// What the container sets on the chart: three axes (time, left and right value axes) and the
// sample density of each channel. Every setter checks its index and value and answers with an
// automation result, leaving the settings unchanged on failure.
#pragma once

#include "TrazoPlotIds.h"

#include <com/HResult.h>

#include <QString>
#include <array>

namespace trazoplot {

struct AxisSettings {
    bool visible = true;
    double minimum = 0.0;
    double maximum = 100.0;
    double step = 20.0;
    double position = 0.0; // along the time axis, in its units (value axes only)
    std::int32_t colorCode = 0;
    QString title;
};

class ChartSettings {
public:
    static constexpr std::int32_t kMaxDensity = 3600;

    ChartSettings();

    // Slot of an axis index (0, 1, 3), or -1.
    static int axisSlot(std::int32_t axis);
    static bool isChannel(std::int32_t channel) { return channel >= 0 && channel < kChannelCount; }

    // DISP_E_BADINDEX for an unknown axis or channel, E_INVALIDARG for an unusable value
    // (non-finite number, step not above zero, colour code outside 0..15, density below 1).
    [[nodiscard]] com::HRESULT axis(std::int32_t index, const AxisSettings** out) const;
    [[nodiscard]] com::HRESULT setVisible(std::int32_t index, bool visible);
    [[nodiscard]] com::HRESULT setMinimum(std::int32_t index, double value);
    [[nodiscard]] com::HRESULT setMaximum(std::int32_t index, double value);
    [[nodiscard]] com::HRESULT setStep(std::int32_t index, double value);
    [[nodiscard]] com::HRESULT setPosition(std::int32_t index, double value);
    [[nodiscard]] com::HRESULT setColorCode(std::int32_t index, std::int32_t code);
    [[nodiscard]] com::HRESULT setTitle(std::int32_t index, const QString& title);
    [[nodiscard]] com::HRESULT density(std::int32_t channel, double* out) const;
    // Rounded to a whole number of samples; above kMaxDensity it is kMaxDensity.
    [[nodiscard]] com::HRESULT setDensity(std::int32_t channel, double value);

    const AxisSettings& timeAxis() const { return m_axes[0]; }
    const AxisSettings& leftAxis() const { return m_axes[1]; }
    const AxisSettings& rightAxis() const { return m_axes[2]; }
    // The value axis a channel is drawn against (channel 0 left, 1 right).
    const AxisSettings& channelAxis(int channel) const { return m_axes[channel == 0 ? 1 : 2]; }
    int densityOf(int channel) const { return m_density[static_cast<std::size_t>(channel)]; }

    // Axis by slot (0 time, 1 left, 2 right), for persistence.
    AxisSettings& slot(int s) { return m_axes[static_cast<std::size_t>(s)]; }
    const AxisSettings& slot(int s) const { return m_axes[static_cast<std::size_t>(s)]; }
    std::int32_t& densitySlot(int channel) { return m_density[static_cast<std::size_t>(channel)]; }

    // After loading stored values: every value a setter would refuse goes back to its
    // default, so that a damaged design never reaches the drawing.
    void repair();

    // Bumped by every change, so that cached pictures know when they are stale.
    std::uint64_t revision() const { return m_revision; }
    void touch() { ++m_revision; }

private:
    template <class F>
    [[nodiscard]] com::HRESULT change(std::int32_t index, F&& apply);

    std::array<AxisSettings, 3> m_axes;
    std::array<std::int32_t, kChannelCount> m_density{1, 1};
    std::uint64_t m_revision = 0;
};

} // namespace trazoplot
