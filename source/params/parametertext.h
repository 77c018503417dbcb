#pragma once

#include "paramconverter.h"

#include "pluginterfaces/vst/vsttypes.h"

namespace Quorvane {

// One mapping direction of a ParamConverter, e.g. &ParamConverter::toPhysicalHold.
using ConverterMapping = float (ParamConverter::*) (float) const;

// Widens an 8-bit display text into the host's UTF-16 string (at most 127
// units and a terminator).
void writeDisplayText (const char* text, Steinberg::Vst::String128 string);

// Reads the first decimal number in a typed text: "," counts as ".", a
// prefix that is not a number is skipped and whatever follows the number
// (a unit, say) is ignored. Returns false when there is no number, or when the
// number is not finite ("nan", "inf"); a finite number beyond the float range
// is saturated to the largest float of its sign.
bool scanTypedNumber (const Steinberg::Vst::TChar* text, float& number);

// Text of a normalized value on a dB curve.
void showDecibels (const ParamConverter& converter, ConverterMapping toPhysical,
                   Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string);

// Text of a normalized value on a time curve. With offAtZero an exact
// normalized 0 shows " off"; the test is made on the normalized value, so a
// tiny non-zero value can still show 0.000 ms.
void showMilliseconds (const ParamConverter& converter, ConverterMapping toPhysical,
                       bool offAtZero, Steinberg::Vst::ParamValue valueNormalized,
                       Steinberg::Vst::String128 string);

// Parses a typed physical value and maps it to a normalized value. The result
// is not clamped (the parameter clamps when the value is applied). On failure
// valueNormalized is left untouched.
bool readPhysical (const ParamConverter& converter, ConverterMapping fromPhysical,
                   const Steinberg::Vst::TChar* text, Steinberg::Vst::ParamValue& valueNormalized);

} // namespace Quorvane
