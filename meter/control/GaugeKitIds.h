// Identifiers of the GAUGEKIT meter control shared by the module and its containers.
//
// These values are fixed for good: containers store the control class identifier with their
// window designs and drive the control by the dispatch identifiers below. Never change them.
#pragma once

#include "MeterPropertyList.h"

#include <com/ControlModuleIds.h>

#include <cstdint>

namespace gaugekit {

inline constexpr com::ControlModuleIds kIds{
    .libId = "{99D9A993-0F7F-4E01-9262-486C18078238}",
    .iidDispatch = "{5A68E5D8-718C-4522-9883-0AEE052B14B0}",
    .iidEvents = "{BD02993D-4BA2-4122-AE38-2EF8FA6AA4A3}",
    .clsidControl = "{5C8118AC-A61E-4D40-AB02-6BB0DF14BB27}",
    .progId = "GAUGEKIT.GAUGEKITCtrl.1",
    .typeName = "Ondavia Meter Control 1.0",
    .typeLibMajor = 1,
    .typeLibMinor = 1,
    .miscStatus = 0x20191,
};

// The property-page classes, in registry form "{8-4-4-4-12}".
inline constexpr const char* kClsidGeneralPage = "{7082B295-9B1E-4F98-8367-1DD044F83F42}";
inline constexpr const char* kClsidLookPage = "{2687A295-14FB-4D90-A359-3CC33F351A6F}";
inline constexpr const char* kClsidScalePage = "{F8991793-FDF1-47F1-8834-EB6E34815B86}";
inline constexpr const char* kClsidAlarmPage = "{A253EC45-572B-4BB1-B8A6-B3F2A838FF88}";
inline constexpr const char* kClsidTimerPage = "{59F3C989-61BD-4C53-8F79-2811C6C31030}";

// Dispatch identifiers of _DGAUGEKIT.
namespace dispid {
enum : std::int32_t {
// The scalar properties, 1 to 53.
#define GAUGEKIT_DISPID(Name, id, ...) Name = id,
    GAUGEKIT_METER_PROPERTIES(GAUGEKIT_DISPID)
#undef GAUGEKIT_DISPID
        UpdateDataValue = 54,
    UpdateMeter = 55,
    SerializeLoadFile = 56,
    SerializeSaveFile = 57,
    UpdateGraph = 58,
    UpdateDynData = 59,
    SavePageMeta = 60,
    CopyToClipboard = 61,
    TitleString = 62,
    TitleFont = 63,
    TitleColor = 64,
    TitleFontStyle = 65,
    TitleFontSize = 66,
    MeterChannelColor = 67,
    MeterChannelTagName = 68,
    AboutBox = -552,
};
} // namespace dispid

// Dispatch identifiers of _DGAUGEKITEvents (the control's own; stock events use the
// platform's).
namespace eventid {
enum : std::int32_t {
    OnInternalTimer = 1,
    OnAlarmEvent = 2,
    DrawReady = 3,
};
} // namespace eventid

} // namespace gaugekit
