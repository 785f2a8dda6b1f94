// Basic types of the lum drawing library: colours, result codes, handles and callbacks.
#pragma once

#include <QtGlobal>

#include <functional>

namespace lum {

/// A colour reference 0x00BBGGRR (red in the low byte).
using Colorref = quint32;

/// HRESULT-style result: negative values are failures.
using Result = qint32;

inline constexpr Result kOk = 0;
inline constexpr Result kFalse = 1;
inline constexpr Result kErrNotImplemented = static_cast<Result>(0x80004001u);
inline constexpr Result kErrFail = static_cast<Result>(0x80004005u);
inline constexpr Result kErrInvalidHandle = static_cast<Result>(0x80070006u);
inline constexpr Result kErrInvalidArg = static_cast<Result>(0x80070057u);
/// The library was used before `LbInitialize` succeeded.
inline constexpr Result kErrNotInitialized = static_cast<Result>(0x8007139Fu);
/// Library error 65 as a result code: a plot window without an owner was painted.
inline constexpr Result kErrPlotWithoutOwner = static_cast<Result>(0x80040041u);
/// Library error 66 as a result code: the system is too old for the library.
inline constexpr Result kErrSystemTooOld = static_cast<Result>(0x80040042u);

constexpr bool succeeded(Result r) {
    return r >= 0;
}
constexpr bool failed(Result r) {
    return r < 0;
}

/// Library error numbers understood by `LbReportError`.
inline constexpr int kLibErrorPlotWithoutOwner = 65;
inline constexpr int kLibErrorSystemTooOld = 66;

/// The flags a meter control passes to `LbInitialize`.
inline constexpr quint32 kInitFlags = 0x202B;

/// Picture formats of `LbSavePageMetafile`.
inline constexpr int kMetafileSvg = 1; ///< scalable vector graphics, lines and text kept
inline constexpr int kMetafilePdf = 2; ///< a one-page PDF document of the page's size
inline constexpr int kMetafilePng = 3; ///< the screen picture, one pixel per pixel

/// Kinds of objects the library hands out handles for.
enum class HandleKind : quint8 { Page = 1, Plot = 2, Dc = 3, ProcessVar = 4, Meter = 5 };

/// A small value handle: kind, slot index and generation packed in 64 bits. Every library
/// call checks the kind, the slot and the generation, so a stale handle (its object was
/// destroyed), a handle of the wrong kind or a made-up value is refused with
/// `kErrInvalidHandle` and never dereferenced. The null handle (raw 0) names nothing.
template <HandleKind K>
class Handle {
public:
    constexpr Handle() = default;
    /// Rebuilds a handle from `raw()`; the value is validated only when it is used.
    static constexpr Handle fromRaw(quint64 raw) {
        Handle h;
        h.m_raw = raw;
        return h;
    }
    constexpr quint64 raw() const { return m_raw; }
    constexpr bool isNull() const { return m_raw == 0; }
    constexpr explicit operator bool() const { return m_raw != 0; }
    friend constexpr bool operator==(Handle a, Handle b) { return a.m_raw == b.m_raw; }

private:
    quint64 m_raw = 0;
};

using PageHandle = Handle<HandleKind::Page>;
using PlotHandle = Handle<HandleKind::Plot>;
/// The paint "DC" of a plot area: one per plot, valid as long as the plot.
using DcHandle = Handle<HandleKind::Dc>;
using ProcessVarHandle = Handle<HandleKind::ProcessVar>;
using MeterHandle = Handle<HandleKind::Meter>;

/// Called once, at the first paint of a page, with the owner given to `LbCreatePage`.
using PageFirstPaintCallback = std::function<void(void* owner, PageHandle page)>;
/// Called once, at the first paint of a plot area, with the owner given to
/// `LbCreatePlotArea`, the plot and its paint DC. The meter is built here.
using PlotFirstPaintCallback = std::function<void(void* owner, PlotHandle plot, DcHandle dc)>;
/// Called at every change of a channel's alarm state; the result is ignored (return 0).
using AlarmCallback =
    std::function<int(ProcessVarHandle pv, int channel, int alarmCode, double value, bool alarm)>;

/// Alarm codes of a process variable.
inline constexpr int kAlarmOk = 0;
inline constexpr int kAlarmHigh = 1;
inline constexpr int kAlarmLow = 2;

/// Channel argument of `LrCreateNeedleMeter` meaning "every channel, one needle each".
inline constexpr int kAllChannels = -1;
/// Most channels a process variable holds.
inline constexpr int kMaxChannels = 5;

/// Text position codes of `LbAddText` (the anchor point of the text at x, y). Horizontal
/// part: 0 left, 2 right, 6 centre. Vertical part: 0 top, 8 bottom, 16 middle, 24 baseline.
/// Add one of each: 6 is top centre, 14 bottom centre, 22 the centre of the text.
inline constexpr int kTextLeft = 0;
inline constexpr int kTextRight = 2;
inline constexpr int kTextCenter = 6;
inline constexpr int kTextTop = 0;
inline constexpr int kTextBottom = 8;
inline constexpr int kTextMiddle = 16;
inline constexpr int kTextBaseline = 24;

/// Font style bits of `LbSetFont`.
inline constexpr int kFontBold = 1;
inline constexpr int kFontItalic = 2;
inline constexpr int kFontUnderline = 4;

/// Tick and tick-label positions relative to the scale arc.
inline constexpr int kTicksInside = 0;
inline constexpr int kTicksMiddle = 3;
inline constexpr int kTicksOutside = 4;

/// Plot bevels of `LbSetPlotBevel`.
inline constexpr int kBevelFlat = 0;
inline constexpr int kBevelHigh = 1;
inline constexpr int kBevelDeep = 2;

/// Needle styles of `LrCreateNeedleMeter`.
enum NeedleStyle : int {
    kNeedleThinLine = 0,
    kNeedleThickLine = 1,
    kNeedleShortFilledTriangle = 2,
    kNeedleShortHollowTriangle = 3,
    kNeedleLongFilledTriangle = 4,
    kNeedleLongHollowTriangle = 5,
};

/// Meter border shapes of `LrAddMeterBorder`.
inline constexpr int kBorderRectangle = 1;
inline constexpr int kBorderCircle = 2;
inline constexpr int kBorderRoundedRectangle = 3;

} // namespace lum
