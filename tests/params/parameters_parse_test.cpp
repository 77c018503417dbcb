#include "parametertestutil.h"

#include "paramconverter.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Quorvane;
using namespace QuorvaneTest;

namespace
{

constexpr ParamValue kUntouched = 0.123456;

// Parses text into a parameter; returns the physical value it stands for.
struct ParseRow
{
    ParamID id;
    const char* text;
    float physical; // value the normalized result maps back to
};

TEST(ParameterParseTest, ReadsTheFirstNumberInTheText)
{
    const ParseRow rows[] = {
        {kReleaseId, "12,5 ms", 12.5f}, // decimal comma
        {kReleaseId, "12.5", 12.5f},
        {kHoldId, "ms 20", 20.f}, // a prefix that is not a number is skipped
        {kHoldId, "35.0 ms", 35.f},
        {kAttackSynthId, "  250ms", 250.f},
        {kAttackGradualId, "0.01 ms", 0.01f},
        {kThresholdId, "-20 dB", -20.f},
        {kThresholdId, "-38,0 dB", -38.f},
        {kOutputLevelId, "+6", 6.f},
        {kRangeId, "-120.0 dB", -120.f},
        {kHysteresisId, "-3", -3.f},
        {kHoldClosedId, "100", 100.f},
        {kAttackDelayId, "1e2 ms", 100.f},
    };
    const ParamConverter conv;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.text);
        auto p = makeContinuousParameter(row.id);
        ParamValue normalized = kUntouched;
        ASSERT_TRUE(parse(*p, row.text, normalized));
        const float back = conv.toPhysical(row.id, static_cast<float>(normalized));
        EXPECT_NEAR(back, row.physical, 1e-4f * std::max(1.f, std::fabs(row.physical)));
    }
}

// Text without a number fails, and so does the word "off" where no " off" is ever shown.
TEST(ParameterParseTest, TextWithoutANumberFailsAndLeavesTheValue)
{
    for (ParamID id : continuousIds())
    {
        auto p = makeContinuousParameter(id);
        const bool showsOff = display(*p, 0.0) == " off";
        const std::pair<const char*, bool> texts[] = {
            {"off", true}, {" off", true}, {"OFF ", true}, {"", false},       {"ms", false},
            {"-", false},  {".", false},   {"dB", false},  {"offset", false}, {"On", false}};
        for (auto [text, isOffWord] : texts)
        {
            ParamValue normalized = kUntouched;
            const bool reads = showsOff && isOffWord;
            EXPECT_EQ(parse(*p, text, normalized), reads) << "id " << id << " '" << text << "'";
            EXPECT_EQ(normalized, reads ? 0.0 : kUntouched) << "id " << id << " '" << text << "'";
        }
    }
}

// sscanf reads "nan", "inf" and overflowing exponents as numbers; none of
// them may reach a parameter.
TEST(ParameterParseTest, NonFiniteNumbersFailAndLeaveTheValue)
{
    for (ParamID id : continuousIds())
    {
        auto p = makeContinuousParameter(id);
        for (const char* text :
             {"nan", "NaN ms", "inf", "-inf", "Infinity", "1e999", "-1e999 dB", "nan(1)"})
        {
            ParamValue normalized = kUntouched;
            EXPECT_FALSE(parse(*p, text, normalized)) << "id " << id << " '" << text << "'";
            EXPECT_EQ(normalized, kUntouched);
        }
    }
}

// Numbers beyond the float range saturate and are clamped like any other
// out-of-range number when applied.
TEST(ParameterParseTest, NumbersBeyondTheFloatRangeStayFinite)
{
    for (ParamID id : continuousIds())
    {
        auto p = makeContinuousParameter(id);
        for (const char* text : {"1e300", "-1e300"})
        {
            ParamValue normalized = kUntouched;
            ASSERT_TRUE(parse(*p, text, normalized)) << "id " << id << " '" << text << "'";
            EXPECT_TRUE(std::isfinite(normalized)) << "id " << id << " '" << text << "'";
        }
    }
}

TEST(ParameterParseTest, NegativeTimesGiveTheBottomOfTheRange)
{
    const struct
    {
        ParamID id;
        const char* text;
    } rows[] = {
        {kHoldId, "-5 ms"},       {kHoldId, "0"},         {kHoldClosedId, "-15"},
        {kHoldClosedId, "-400"},  {kAttackDelayId, "-1"}, {kNoteTruncationId, "-1"},
        {kAttackGradualId, "-2"}, {kAttackSynthId, "-1"}, {kReleaseId, "-3 ms"},
    };
    for (const auto& row : rows)
    {
        ParamValue normalized = kUntouched;
        ASSERT_TRUE(parse(*makeContinuousParameter(row.id), row.text, normalized)) << row.text;
        EXPECT_EQ(normalized, 0.0) << "id " << row.id << " '" << row.text << "'";
    }
}

TEST(ParameterParseTest, ZeroTypedIntoAnOffPositionShowsOff)
{
    for (ParamID id : {kHoldClosedId, kAttackDelayId, kNoteTruncationId, kBeatSkipId})
    {
        auto p = makeContinuousParameter(id);
        ParamValue normalized = kUntouched;
        ASSERT_TRUE(parse(*p, "0", normalized)) << "id " << id;
        EXPECT_EQ(normalized, 0.0) << "id " << id;
        EXPECT_EQ(display(*p, normalized), " off") << "id " << id;
    }
}

TEST(ParameterParseTest, BeatSkipReadsPercent)
{
    auto p = makeContinuousParameter(kBeatSkipId);
    for (const char* text : {"50", "50%", "50,0 %"})
    {
        ParamValue normalized = kUntouched;
        ASSERT_TRUE(parse(*p, text, normalized)) << text;
        EXPECT_EQ(normalized, 0.5) << text;
    }
}

// A typed number beyond either end of the range gives that end, and the text of the end shows.
TEST(ParameterParseTest, NumbersBeyondTheRangeGiveItsEnd)
{
    const struct
    {
        ParamID id;
        const char* text;
        ParamValue normalized;
        const char* shown;
    } rows[] = {
        {kNoteTruncationId, "5", 0.0, " off"}, // below the 10 ms start of the curve
        {kOutputLevelId, "100", 1.0, "40.0 dB"}, {kThresholdId, "6 dB", 0.0, "0.0 dB"},
        {kThresholdId, "73", 0.0, "0.0 dB"},     {kThresholdId, "-100", 1.0, "-76.0 dB"},
        {kHysteresisId, "73", 1.0, "0.0 dB"},    {kRangeId, "-200", 0.0, "-120.0 dB"},
        {kHoldId, "1e6", 1.0, "1000 ms"},        {kReleaseId, "73000", 1.0, "4000 ms"},
        {kBeatSkipId, "150", 1.0, "100%"},       {kBeatSkipId, "-5", 0.0, " off"},
    };
    for (const auto& row : rows)
    {
        auto p = makeContinuousParameter(row.id);
        ParamValue normalized = kUntouched;
        ASSERT_TRUE(parse(*p, row.text, normalized)) << "id " << row.id << " '" << row.text << "'";
        EXPECT_EQ(normalized, row.normalized) << "id " << row.id << " '" << row.text << "'";
        EXPECT_EQ(display(*p, normalized), row.shown) << "id " << row.id << " '" << row.text << "'";
    }
}

// What a parameter shows, typed back, lands on the same place on its curve
// (within the rounding of the text).
TEST(ParameterParseTest, DisplayedTextParsesBackToTheSameValue)
{
    for (ParamID id : continuousIds())
    {
        auto p = makeContinuousParameter(id);
        for (ParamValue n : {0.1, 0.33, 0.5, 0.77, 1.0})
        {
            const std::string text = display(*p, n);
            ParamValue back = kUntouched;
            ASSERT_TRUE(parse(*p, text, back)) << "id " << id << " '" << text << "'";
            EXPECT_NEAR(back, n, 2e-3) << "id " << id << " '" << text << "'";
        }
    }
}

} // namespace
