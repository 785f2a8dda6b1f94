// Identifiers of the TRAZOPLOT strip-chart control shared by its module and its containers.
//
// Containers store the class identifier with their designs and drive the chart late-bound by
// the dispatch identifiers below, so these values are fixed for good.
#pragma once

#include <com/ControlModuleIds.h>

#include <cstdint>

namespace trazoplot {

inline constexpr com::ControlModuleIds kIds{
    .libId = "{81D7A90C-8841-47C3-BE76-67E190198B88}",
    .iidDispatch = "{20E98A29-2225-4AEE-9ABA-E6DFF7B85506}",
    .iidEvents = "{F6847594-F5FC-4FE1-B507-A3FFED9D6FC7}",
    .clsidControl = "{D02407C7-B898-4B39-AC92-61326F8F6A2F}",
    .progId = "TRAZOPLOTLib.TrazoPlot",
    .typeName = "TrazoPlot Strip Chart",
    .typeLibMajor = 1,
    .typeLibMinor = 0,
    .miscStatus = 0x20191,
};

// Axis indices of the indexed axis settings.
namespace axis {
enum : std::int32_t {
    Time = 0,
    Left = 1,  // the first value axis (humidity in the console)
    Right = 3, // the second value axis (pressure in the console)
};
} // namespace axis

// Channels of the chart; channel 0 is drawn in the colour of axis 1, channel 1 in that of
// axis 3.
inline constexpr int kChannelCount = 2;

// Dispatch identifiers of _DTrazoPlot.
namespace dispid {
enum : std::int32_t {
    Refresh = 41,        // method: apply the settings and redraw
    AppendSample = 52,   // method (channel I4, values R8 by reference): append one sample
    AppendSamples = 53,  // method (channel I4, values R8 by reference): append them all (NaN: gap)
    PrintChart = 54,     // method: print the chart
    PrintSetup = 55,     // method: printer set-up for the next print
    PrintTarget = 56,    // method, BStr result: where the last print went (file or printer)
    PrintTitle = 57,     // BStr: first line of the printed report's header (the station)
    AxisMinimum = 58,    // indexed R8: lower end (time axis in minutes)
    AxisMaximum = 59,    // indexed R8: upper end (time axis in minutes)
    AxisVisible = 61,    // indexed Bool
    AxisPosition = 65,   // indexed R8: where a value axis stands along the time axis (minutes)
    AxisMajorStep = 69,  // indexed R8: major division step
    AxisTitle = 78,      // indexed BStr
    AxisColor = 84,      // indexed I4: colour code 0..15 of the classic 16-colour palette
    SampleDensity = 115, // indexed by channel, R8: draw groups of N samples as min and max
};
} // namespace dispid

} // namespace trazoplot
