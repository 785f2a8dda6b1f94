// The stored form of a new meter, typed out from the published property table on its own,
// so that the tests compare the control's output against an independent reference.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtEndian>
#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace expected {

class Writer {
public:
    Writer& u32(std::uint32_t v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
        return *this;
    }
    Writer& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    Writer& u16(std::uint16_t v) {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
        return *this;
    }
    Writer& f64(double v) {
        std::uint64_t raw;
        std::memcpy(&raw, &v, 8);
        char b[8];
        qToLittleEndian(raw, b);
        bytes.append(b, 8);
        return *this;
    }
    Writer& boolean(bool v) {
        bytes.append(char(v ? 1 : 0));
        return *this;
    }
    // Short strings only: a one-byte length, then Latin-1 characters.
    Writer& str(const char* s) {
        const auto n = std::strlen(s);
        bytes.append(char(n));
        bytes.append(s, qsizetype(n));
        return *this;
    }
    Writer& strings(std::initializer_list<const char*> list) {
        Writer inner;
        inner.u16(std::uint16_t(list.size()));
        for (const char* s : list)
            inner.str(s);
        return blob(inner.bytes);
    }
    Writer& longs(std::initializer_list<std::int32_t> list) {
        Writer inner;
        inner.u16(std::uint16_t(list.size()));
        for (std::int32_t v : list)
            inner.i32(v);
        return blob(inner.bytes);
    }
    Writer& blob(const QByteArray& b) {
        u32(std::uint32_t(b.size()));
        bytes.append(b);
        return *this;
    }

    QByteArray bytes;
};

// The 52 scalars of a new meter, in stored order.
inline void defaultScalars(Writer& w, bool withInitialValue = true) {
    w.i32(0xFFFFFF)     // PlotBackgroundColor
        .i32(0)         // WindowBorderColor
        .i32(0xC0C0C0)  // WindowBackgroundColor
        .i32(0)         // WindowBorderStyle
        .i32(1)         // WindowBorderThickness
        .i32(0)         // MeterBorderColor
        .i32(1)         // MeterBorderThickness
        .i32(0)         // MeterBorderStyle
        .f64(0.8)       // MeterBorderWidth
        .f64(0.8)       // MeterBorderHeight
        .i32(0)         // MeterType
        .i32(5)         // MeterNeedleStyle
        .boolean(true)  // MeterDynTextEnable
        .boolean(true)  // MeterArcEnable
        .f64(0.5)       // MeterCenterX
        .f64(0.5)       // MeterCenterY
        .i32(1)         // MeterDynTextPrecision
        .f64(0.5)       // MeterDiameter
        .i32(1)         // MeterNumChannels
        .i32(0)         // MeterStartArc
        .i32(180)       // MeterStopArc
        .i32(0x800000)  // MeterLowAlarmColor
        .i32(0x000080)  // MeterHighAlarmColor
        .i32(0x008000)  // MeterNormalAlarmColor
        .boolean(true)  // MeterAlarmArcsEnable
        .f64(0.1)       // MeterAlarmArcThickness
        .f64(9.0)       // MeterHighAlarmStart
        .f64(10.0)      // MeterHighAlarmStop
        .f64(0.0)       // MeterLowAlarmStart
        .f64(1.0)       // MeterLowAlarmStop
        .i32(0)         // MeterTickPosition
        .i32(0)         // MeterTickLabelsPosition
        .i32(0)         // MeterTickLabelsColor
        .i32(8)         // MeterTickLabelsSize
        .i32(0)         // MeterTickLabelsFontStyle
        .str("Arial")   // MeterTickLabelsFont
        .i32(0)         // MeterLineColor
        .str("")        // MeterUnitsString
        .boolean(false) // MeterUnitsStringEnable
        .i32(1)         // MeterLineThickness
        .f64(0.1)       // MeterValueArcThickness
        .f64(0.0)       // MeterScaleCenter
        .i32(3)         // MeterMinorTicks
        .f64(0.0)       // MeterScaleMin
        .f64(10.0)      // MeterScaleMax
        .i32(0)         // MeterTickLabelsPrecision
        .f64(2.0)       // MeterTickStep
        .f64(0.1)       // MeterTickRelLength
        .boolean(false) // EnableInternalTimer
        .boolean(false) // SDataSimulationMode
        .f64(1.0);      // TimerFrequency
    if (withInitialValue)
        w.f64(1.0); // MeterInitialValue
}

inline void defaultBlobs(Writer& w) {
    w.strings({"Meter", "", "Ondavia"})                            // TitleString
        .strings({"Arial", "Arial", "Arial"})                      // TitleFont
        .longs({0, 0, 0})                                          // TitleColor
        .longs({0, 0, 0})                                          // TitleFontStyle
        .longs({8, 6, 4})                                          // TitleFontSize
        .longs({4, 4, 4})                                          // TitlePos
        .longs({0x800000, 0x008000, 0x000080, 0x00FFFF, 0x808000}) // MeterChannelColor
        .strings({"", "", "", "", ""});                            // MeterChannelTagName
}

// A whole stream: version, extent (200 x 200 pixels in HIMETRIC), stock mask, scalars, blobs.
inline QByteArray defaultStream(std::uint32_t version = 0x00010001) {
    Writer w;
    w.u32(version).i32(5292).i32(5292).u32(0);
    defaultScalars(w, version > 0x00010000);
    defaultBlobs(w);
    return w.bytes;
}

} // namespace expected
