#include "displayformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using namespace Quorvane;

namespace
{

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

std::string milliseconds(float v)
{
    char buffer[kDisplayBufferSize];
    formatMilliseconds(v, buffer, sizeof(buffer));
    return buffer;
}

TEST(DisplayFormatTest, MillisecondsChooseDecimalsByMagnitude)
{
    const struct
    {
        float value;
        const char* text;
    } rows[] = {
        {3000.f, "3000 ms"},
        {100.f, "100 ms"},
        {99.94f, "99.9 ms"},
        {35.f, "35.0 ms"},
        {9.99f, "9.99 ms"},
        {1.f, "1.00 ms"},
        {0.01f, "0.01 ms"},
        {0.005f, "0.005 ms"},
        // The bounds themselves drop a decimal, so no value shows as "100.0 ms" or "10.00 ms".
        {99.95f, "100 ms"},
        {9.995f, "10.0 ms"},
        {0.009995f, "0.01 ms"},
        {0.f, "0.000 ms"},
        // Negative values get three decimals.
        {-1.f, "-1.000 ms"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(milliseconds(row.value), row.text) << "value " << row.value;
}

// Physical values of normalized values far outside 0..1 print with dozens
// of digits; the text must be cut at the buffer, and the bytes behind it
// left alone.
TEST(DisplayFormatTest, HugeValuesNeverWritePastTheBuffer)
{
    using Formatter = void (*)(float, char*, std::size_t);
    const Formatter formatters[] = {formatDecibels, formatMilliseconds, formatPercent};
    for (Formatter format : formatters)
    {
        for (float v : {1e30f, -1e30f, std::numeric_limits<float>::max(),
                        -std::numeric_limits<float>::max(), kInf, -kInf, kNaN})
        {
            char guarded[kDisplayBufferSize + 8];
            std::memset(guarded, '#', sizeof(guarded));
            format(v, guarded, kDisplayBufferSize);
            const std::size_t length = strnlen(guarded, kDisplayBufferSize);
            EXPECT_LT(length, kDisplayBufferSize) << "value " << v;
            EXPECT_GT(length, 0u) << "value " << v;
            for (std::size_t i = kDisplayBufferSize; i < sizeof(guarded); ++i)
                EXPECT_EQ(guarded[i], '#') << "value " << v;
        }
    }
}

TEST(DisplayFormatTest, NarrowingSaturatesOutsideTheFloatRange)
{
    EXPECT_EQ(narrowToFloat(1e300), kInf);
    EXPECT_EQ(narrowToFloat(-1e300), -kInf);
    EXPECT_EQ(narrowToFloat(0.25), 0.25f);
    EXPECT_TRUE(std::isnan(narrowToFloat(std::numeric_limits<double>::quiet_NaN())));
}

} // namespace
