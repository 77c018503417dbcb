#include "displayformat.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace Quorvane
{

const char kOffText[] = " off";

float narrowToFloat(double value)
{
    // A double beyond the float range has no defined conversion in C++, so
    // saturate to infinity explicitly instead of relying on the hardware.
    if (value > static_cast<double>(FLT_MAX))
        return std::numeric_limits<float>::infinity();
    if (value < -static_cast<double>(FLT_MAX))
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

float narrowNormalized(double value)
{
    if (value < 0.)
        return 0.f;
    if (value > 1.)
        return 1.f;
    return static_cast<float>(value);
}

// All formatters print with snprintf bounded by the buffer size: the 32-byte
// working buffer holds every text of an in-range value, but a normalized value
// far outside 0..1 maps to a physical value with dozens of digits (a float
// can print 39 integer digits), and such text must be cut, not overrun.

void formatDecibels(float dB, char* buffer, std::size_t size)
{
    std::snprintf(buffer, size, "%.1f dB", static_cast<double>(dB));
    // A level just below zero prints as "-0.0": no such level exists, and the text typed back
    // would show "0.0 dB". It shows as that.
    if (std::strncmp(buffer, "-0.0 ", 5) == 0)
        std::memmove(buffer, buffer + 1, std::strlen(buffer));
}

void formatMilliseconds(float ms, char* buffer, std::size_t size)
{
    // The bounds are single-precision constants compared in single precision,
    // so that a value that rounds up to the next decade drops a decimal.
    int decimals = 3;
    if (ms >= 99.95f)
        decimals = 0;
    else if (ms >= 9.995f)
        decimals = 1;
    else if (ms >= 0.009995f)
        decimals = 2;
    std::snprintf(buffer, size, "%.*f ms", decimals, static_cast<double>(ms));
}

void formatPercent(float fraction, char* buffer, std::size_t size)
{
    std::snprintf(buffer, size, "%.0f%%", static_cast<double>(fraction) * 100.0);
}

} // namespace Quorvane
