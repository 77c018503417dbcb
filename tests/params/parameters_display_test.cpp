#include "parametertestutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Quorvane;
using namespace QuorvaneTest;

namespace
{

struct DisplayRow
{
    ParamID id;
    ParamValue normalized;
    const char* text;
};

TEST(ParameterDisplayTest, ShowsValuesWithTheirUnits)
{
    const DisplayRow rows[] = {
        {kThresholdId, 0.0, "0.0 dB"},      {kThresholdId, 0.5, "-38.0 dB"},
        {kThresholdId, 1.0, "-76.0 dB"},    {kThresholdId, 0.2631579, "-20.0 dB"},
        {kOutputLevelId, 0.5, "0.0 dB"},    {kOutputLevelId, 1.0, "40.0 dB"},
        {kRangeId, 0.0, "-120.0 dB"},       {kHysteresisId, 0.0, "-70.0 dB"},
        {kHysteresisId, 1.0, "0.0 dB"},     {kAttackGradualId, 0.0, "0.01 ms"},
        {kAttackGradualId, 1.0, "3000 ms"}, {kAttackSynthId, 1.0, "9000 ms"},
        {kReleaseId, 0.0, "1.00 ms"},       {kReleaseId, 0.2242749, "10.0 ms"},
        {kHoldId, 0.0, "5.00 ms"},          {kHoldId, 0.3672695, "35.0 ms"},
        {kHoldId, 1.0, "1000 ms"},          {kHoldClosedId, 1.0, "4000 ms"},
        {kAttackDelayId, 1.0, "1000 ms"},   {kNoteTruncationId, 1.0, "1000 ms"},
        {kBeatSkipId, 0.5, "50%"},          {kBeatSkipId, 1.0, "100%"},
        {kBeatSkipId, 0.004, "0%"}, // rounds to nothing but is not " off"
    };
    for (const auto& row : rows)
    {
        auto p = makeContinuousParameter(row.id);
        EXPECT_EQ(display(*p, row.normalized), row.text)
            << "id " << row.id << " at " << row.normalized;
    }
}

TEST(ParameterDisplayTest, ExactZeroShowsOff)
{
    for (ParamID id : {kHoldClosedId, kAttackDelayId, kNoteTruncationId, kBeatSkipId})
    {
        auto p = makeContinuousParameter(id);
        EXPECT_EQ(display(*p, 0.0), " off") << "id " << id;
        EXPECT_EQ(display(*p, -0.0), " off") << "id " << id;
    }
    // The parameters without an off position show their range bottom instead.
    for (ParamID id : {kAttackGradualId, kAttackSynthId, kReleaseId, kHoldId})
        EXPECT_NE(display(*makeContinuousParameter(id), 0.0), " off") << "id " << id;
}

// "off" is decided on the normalized value as a float: a value too small to
// move the physical time reads 0.000 ms, and a double too small to survive
// narrowing is off.
TEST(ParameterDisplayTest, OffIsDecidedOnTheNarrowedNormalizedValue)
{
    EXPECT_EQ(display(*makeContinuousParameter(kAttackDelayId), 1e-9), "0.000 ms");
    EXPECT_EQ(display(*makeContinuousParameter(kHoldClosedId), 1e-300), " off");
    EXPECT_EQ(display(*makeContinuousParameter(kBeatSkipId), 1e-300), " off");
}

// A value outside 0..1 shows as the nearest end of the range; NaN gives some bounded text.
TEST(ParameterDisplayTest, AnyValueGivesABoundedText)
{
    const double inf = std::numeric_limits<double>::infinity();
    const ParamValue values[] = {
        1e30, -1e30, 1e300, -1e300, 2.0, -0.5, inf, -inf, std::numeric_limits<double>::quiet_NaN()};
    for (ParamID id : continuousIds())
    {
        auto p = makeContinuousParameter(id);
        for (ParamValue v : values)
        {
            const std::string text = display(*p, v);
            EXPECT_FALSE(text.empty()) << "id " << id << " at " << v;
            EXPECT_LT(text.size(), 32u) << "id " << id << " at " << v << ": " << text;
            if (!std::isnan(v))
            {
                EXPECT_EQ(text, display(*p, v < 0. ? 0. : 1.)) << "id " << id << " at " << v;
            }
        }
    }
}

} // namespace
