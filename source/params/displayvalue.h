// A parameter's value in the units the editor shows it in: dB, ms, percent, 0 or 1 for a switch.
// Formats whose hosts read and write plain values (LV2's control ports) use these; the
// normalized value they give is the one the parameter's own text entry gives for the same
// number, so both paths reach the processor with the same bits.
#pragma once

#include "paramids.h"

#include "pluginterfaces/vst/vsttypes.h"

namespace Quorvane
{

enum class DisplayUnit
{
    toggle,
    decibels,
    milliseconds,
    percent,
};

struct DisplayRange
{
    float minimum;
    float maximum;
    float defaultValue; // what a fresh instance starts with
    DisplayUnit unit;
};

// The meters show their level in dB from this floor (normalized 0) up to 0 dB (normalized 1).
constexpr float kMeterFloorDecibels = -76.0f;

// The range, default and unit of any of the 22 parameters (an unknown ID gives a toggle at 0).
DisplayRange displayRange(uint32_t id);

// The normalized value of a parameter at a display value, as an input parameter's typed text
// would give it: a value beyond the range gives the nearer end, a switch takes the nearer of its
// two positions. False for a value that is not a finite number and for unknown IDs:
// `normalized` is then left as it was.
bool normalizedFromDisplay(uint32_t id, float display, Steinberg::Vst::ParamValue& normalized);

// The display value of a normalized value, which is first brought into 0..1; a value that is
// not a number shows as the bottom of the range. Finite and within displayRange for every ID.
float displayFromNormalized(uint32_t id, Steinberg::Vst::ParamValue normalized);

} // namespace Quorvane
