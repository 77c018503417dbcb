#pragma once

#include "paramconverter.h"

#include "pluginterfaces/vst/vsttypes.h"

namespace Quorvane
{

// One mapping direction of a ParamConverter, e.g. &ParamConverter::toPhysicalHold.
using ConverterMapping = float (ParamConverter::*)(float) const;

// Widens an 8-bit display text into the host's UTF-16 string (at most 127
// units and a terminator).
void writeDisplayText(const char* text, Steinberg::Vst::String128 string);

// Reads the first decimal number in a typed text: "," counts as ".", a
// prefix that is not a number is skipped and whatever follows the number
// (a unit, say) is ignored. Returns false when there is no number, or when the
// number is not finite ("nan", "inf"); a finite number beyond the float range
// is saturated to the largest float of its sign.
bool scanTypedNumber(const Steinberg::Vst::TChar* text, float& number);

// Whether a typed text is WORD (lower-case ASCII) in any case, with blanks around it: the
// shown " off" reads back, and so do "off" and "OFF ".
bool isTypedWord(const Steinberg::Vst::TChar* text, const char* word);

// Both show a normalized value outside 0..1 as the nearest end of the range.

// Text of a normalized value on a dB curve.
void showDecibels(const ParamConverter& converter, ConverterMapping toPhysical,
                  Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string);

// Text of a normalized value on a time curve. With offAtZero an exact
// normalized 0 shows " off"; the test is made on the normalized value, so a
// tiny non-zero value can still show 0.000 ms.
void showMilliseconds(const ParamConverter& converter, ConverterMapping toPhysical, bool offAtZero,
                      Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string);

// A mapped value as a parameter takes it: brought into 0..1. False, and valueNormalized left
// untouched, for a value that is not finite.
bool clampedNormalized(float mapped, Steinberg::Vst::ParamValue& valueNormalized);

// A number given for a switch: above 0.5 is on (1), anything else off (0).
bool switchFromNumber(float number, Steinberg::Vst::ParamValue& valueNormalized);

// Parses a typed physical value and maps it to a normalized value in 0..1: a value beyond
// either end of the range gives that end. With offAtZero the word "off" (as shown) gives 0.
// On failure valueNormalized is left untouched.
bool readPhysical(const ParamConverter& converter, ConverterMapping fromPhysical, bool offAtZero,
                  const Steinberg::Vst::TChar* text, Steinberg::Vst::ParamValue& valueNormalized);

} // namespace Quorvane
