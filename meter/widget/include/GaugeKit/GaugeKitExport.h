// Symbol visibility of the GaugeKit meter library.
#pragma once

#if defined(GAUGEKIT_METER_LIBRARY)
#define GAUGEKIT_METER_EXPORT __attribute__((visibility("default")))
#else
#define GAUGEKIT_METER_EXPORT
#endif
