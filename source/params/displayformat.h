#pragma once

#include <cstddef>

namespace Quorvane
{

// Display texts are composed as 8-bit text in a working buffer of this size
// before they are widened for the host.
constexpr std::size_t kDisplayBufferSize = 32;

// The whole text of a switched-off time or "Beat Skip": a leading blank, no unit.
extern const char kOffText[];

// Narrows a host value to single precision. Values beyond the float range
// become infinities of the same sign, NaN stays NaN.
float narrowToFloat(double value);

// A host's normalized value as a parameter shows it: brought into 0..1 (a value outside shows
// as the nearest end) and narrowed. NaN, which has no nearest end, stays NaN.
float narrowNormalized(double value);

// Each formatter writes a zero-terminated text of at most size - 1 characters,
// whatever the value (NaN and infinities included).

// "%.1f dB": -20 gives "-20.0 dB"; a value that rounds to zero gives "0.0 dB", never "-0.0 dB".
void formatDecibels(float dB, char* buffer, std::size_t size);

// Milliseconds with 0 to 3 decimals chosen by magnitude: 35 gives "35.0 ms",
// 1 gives "1.00 ms", 0.005 gives "0.005 ms". Negative values and NaN get 3.
void formatMilliseconds(float ms, char* buffer, std::size_t size);

// A fraction as a whole percentage: 0.5 gives "50%".
void formatPercent(float fraction, char* buffer, std::size_t size);

} // namespace Quorvane
