#include "ChartSettings.h"

#include "ClassicPalette.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace trazoplot {

ChartSettings::ChartSettings() {
    AxisSettings& time = m_axes[0];
    time.maximum = 60.0;
    time.step = 10.0;
    m_axes[1].colorCode = 12;
    m_axes[2].colorCode = 1;
    m_axes[2].position = time.maximum;
}

void ChartSettings::repair() {
    const ChartSettings defaults;
    for (std::size_t i = 0; i < m_axes.size(); ++i) {
        AxisSettings& a = m_axes[i];
        const AxisSettings& d = defaults.m_axes[i];
        for (auto [value, fallback] :
             {std::pair{&a.minimum, d.minimum}, std::pair{&a.maximum, d.maximum},
              std::pair{&a.position, d.position}})
            if (!std::isfinite(*value))
                *value = fallback;
        if (!std::isfinite(a.step) || !(a.step > 0.0))
            a.step = d.step;
        if (!ClassicPalette::isValid(a.colorCode))
            a.colorCode = d.colorCode;
    }
    for (std::int32_t& n : m_density)
        n = std::clamp(n, 1, kMaxDensity);
    touch();
}

int ChartSettings::axisSlot(std::int32_t axis) {
    switch (axis) {
    case axis::Time:
        return 0;
    case axis::Left:
        return 1;
    case axis::Right:
        return 2;
    default:
        return -1;
    }
}

template <class F>
com::HRESULT ChartSettings::change(std::int32_t index, F&& apply) {
    const int s = axisSlot(index);
    if (s < 0)
        return com::DISP_E_BADINDEX;
    const com::HRESULT hr = apply(m_axes[static_cast<std::size_t>(s)]);
    if (com::succeeded(hr))
        touch();
    return hr;
}

com::HRESULT ChartSettings::axis(std::int32_t index, const AxisSettings** out) const {
    const int s = axisSlot(index);
    if (s < 0)
        return com::DISP_E_BADINDEX;
    *out = &m_axes[static_cast<std::size_t>(s)];
    return com::S_OK;
}

com::HRESULT ChartSettings::setVisible(std::int32_t index, bool visible) {
    return change(index, [&](AxisSettings& a) {
        a.visible = visible;
        return com::S_OK;
    });
}

namespace {

template <class F>
com::HRESULT setFinite(double value, F&& assign) {
    if (!std::isfinite(value))
        return com::E_INVALIDARG;
    assign(value);
    return com::S_OK;
}

} // namespace

com::HRESULT ChartSettings::setMinimum(std::int32_t index, double value) {
    return change(
        index, [&](AxisSettings& a) { return setFinite(value, [&](double v) { a.minimum = v; }); });
}

com::HRESULT ChartSettings::setMaximum(std::int32_t index, double value) {
    return change(
        index, [&](AxisSettings& a) { return setFinite(value, [&](double v) { a.maximum = v; }); });
}

com::HRESULT ChartSettings::setStep(std::int32_t index, double value) {
    if (!(value > 0.0))
        return axisSlot(index) < 0 ? com::DISP_E_BADINDEX : com::E_INVALIDARG;
    return change(index,
                  [&](AxisSettings& a) { return setFinite(value, [&](double v) { a.step = v; }); });
}

com::HRESULT ChartSettings::setPosition(std::int32_t index, double value) {
    if (index == axis::Time)
        return com::DISP_E_BADINDEX;
    return change(index, [&](AxisSettings& a) {
        return setFinite(value, [&](double v) { a.position = v; });
    });
}

com::HRESULT ChartSettings::setColorCode(std::int32_t index, std::int32_t code) {
    return change(index, [&](AxisSettings& a) {
        if (!ClassicPalette::isValid(code))
            return com::E_INVALIDARG;
        a.colorCode = code;
        return com::S_OK;
    });
}

com::HRESULT ChartSettings::setTitle(std::int32_t index, const QString& title) {
    return change(index, [&](AxisSettings& a) {
        a.title = title;
        return com::S_OK;
    });
}

com::HRESULT ChartSettings::density(std::int32_t channel, double* out) const {
    if (!isChannel(channel))
        return com::DISP_E_BADINDEX;
    *out = m_density[static_cast<std::size_t>(channel)];
    return com::S_OK;
}

com::HRESULT ChartSettings::setDensity(std::int32_t channel, double value) {
    if (!isChannel(channel))
        return com::DISP_E_BADINDEX;
    if (!std::isfinite(value) || value < 0.5)
        return com::E_INVALIDARG;
    const long n = std::lround(std::min(value, double(kMaxDensity)));
    m_density[static_cast<std::size_t>(channel)] = static_cast<std::int32_t>(n);
    touch();
    return com::S_OK;
}

} // namespace trazoplot
