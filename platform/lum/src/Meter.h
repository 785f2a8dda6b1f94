// A meter on a plot area: the static face it contributes to the plot's cached layer and the
// moving parts (needles, value arc, pie, readout) drawn over it.
#pragma once

#include "DialPainter.h"
#include "MeterStyle.h"
#include "ProcessVar.h"
#include "Readout.h"

#include <QList>

#include <array>
#include <optional>

class QPainter;
class QPixmap;

namespace lum {

class Meter {
public:
    /// `channels`: the channels of `pv` this meter shows (one needle/arc/pie each).
    Meter(const MeterStyle& style, ProcessVarHandle pv, QList<int> channels);
    virtual ~Meter() = default;
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    ProcessVarHandle processVar() const { return m_pv; }
    MeterStyle& style() { return m_style; }
    const MeterStyle& style() const { return m_style; }

    /// Copies the channel values, alarm levels and units of the process variable.
    void takeValues(const ProcessVar& pv);
    void setBorder(const MeterBorder& border) { m_border = border; }

    /// Border shape (drawn first, behind every meter of the plot).
    void drawBorder(QPainter& p, QSizeF plotSize) const;
    /// The face: alarm arcs, scale arc, ticks and labels.
    virtual void drawStatic(QPainter& p, QSizeF plotSize) const;
    /// Needles, value arc or pie, and the readout. `bareFace`: the plot's face (drawn at the
    /// painter's origin) when `p` shows nothing over it yet, else null.
    virtual void drawDynamic(QPainter& p, QSizeF plotSize, const QPixmap* bareFace) const = 0;

protected:
    const QList<int>& channels() const { return m_channels; }
    double value(int channel) const;
    /// The readout lines of the shown channels (value, units, alarm colour).
    QList<ReadoutLine> readoutLines(const std::array<Colorref, kMaxChannels>* swatches) const;
    virtual int labelPosition() const { return kTicksOutside; }
    /// The readout's kept font and box (drawing is const; the cache is not part of the state).
    Readout& readout() const { return m_readout; }

private:
    MeterStyle m_style;
    ProcessVarHandle m_pv;
    QList<int> m_channels;
    std::array<double, kMaxChannels> m_values = {};
    AlarmLevels m_levels;
    QString m_units;
    std::optional<MeterBorder> m_border;
    mutable Readout m_readout;
};

} // namespace lum
