#include "paramconverter.h"
#include "paramids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Quorvane;

namespace
{

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

struct LogCurveRow
{
    const char* name;
    Curve curve;
    uint32_t id;
    float b;
    float a;
    float physical[5]; // at normalized 0, 0.25, 0.5, 0.75, 1
};

// Reference figures of every logarithmic curve, printed to four or seven
// significant digits.
const LogCurveRow kLogCurves[] = {
    {"Attack (gradual)",
     Curve::AttackGradual,
     kAttackGradualId,
     0.009950331f,
     7.996751f,
     {0.01f, 6.457f, 54.05f, 405.5f, 3000.f}},
    {"Attack (synth)",
     Curve::AttackSynth,
     kAttackSynthId,
     0.009950331f,
     9.095141f,
     {0.01f, 8.813f, 94.35f, 925.4f, 9000.f}},
    {"Release",
     Curve::Release,
     kReleaseId,
     0.6931472f,
     7.601152f,
     {1.f, 12.38f, 88.45f, 597.3f, 4000.f}},
    {"Hold", Curve::Hold, kHoldId, 1.609438f, 5.298317f, {5.f, 18.80f, 70.71f, 265.9f, 1000.f}},
    {"Hold Closed",
     Curve::HoldClosed,
     kHoldClosedId,
     2.708050f,
     5.589742f,
     {0.f, 45.67f, 230.4f, 977.6f, 4000.f}},
    {"Attack Delay",
     Curve::AttackDelay,
     kAttackDelayId,
     0.f,
     6.908755f,
     {0.f, 4.625f, 30.64f, 177.0f, 1000.f}},
    {"Note Truncation",
     Curve::NoteTruncation,
     kNoteTruncationId,
     2.397895f,
     4.510860f,
     {0.f, 32.97f, 103.9f, 323.1f, 1000.f}},
};

// Tolerance for a figure rounded to four significant digits: half a unit in
// its last digit. A zero is exact: the " off" positions are exactly 0 ms.
float fourDigits(float expected)
{
    if (expected == 0.f)
        return 0.f;
    const float lastDigit = std::pow(10.f, std::floor(std::log10(std::fabs(expected))) - 3.f);
    return 0.5f * lastDigit * 1.001f;
}

TEST(ParamConverterTest, LogarithmicCurvesMatchReferenceTable)
{
    const ParamConverter conv;
    const float ns[5] = {0.f, 0.25f, 0.5f, 0.75f, 1.f};
    for (const auto& row : kLogCurves)
    {
        SCOPED_TRACE(row.name);
        const CurveRecord& r = conv.curve(row.curve);
        EXPECT_NEAR(r.b, row.b, 2e-6f);
        EXPECT_NEAR(r.a, row.a, 2e-6f);
        for (int i = 0; i < 5; ++i)
        {
            SCOPED_TRACE(ns[i]);
            EXPECT_NEAR(conv.toPhysical(row.id, ns[i]), row.physical[i],
                        fourDigits(row.physical[i]));
        }
    }
}

struct LinearRow
{
    const char* name;
    uint32_t id;
    float a; // physical = n * a + b
    float b;
};

const LinearRow kLinearCurves[] = {
    {"Output Level", kOutputLevelId, 80.f, -40.f},
    {"Threshold", kThresholdId, -76.f, 0.f},
    {"Range", kRangeId, 120.f, -120.f},
    {"Hysteresis", kHysteresisId, 70.f, -70.f},
};

TEST(ParamConverterTest, LinearCurvesFollowTheirStraightLines)
{
    const ParamConverter conv;
    for (const auto& row : kLinearCurves)
    {
        SCOPED_TRACE(row.name);
        for (float n : {-0.5f, 0.f, 0.125f, 0.5f, 0.8f, 1.f, 1.5f})
        {
            const float p = n * row.a + row.b;
            EXPECT_FLOAT_EQ(conv.toPhysical(row.id, n), p) << "n = " << n;
            EXPECT_NEAR(conv.fromPhysical(row.id, p), n, 1e-6f) << "n = " << n;
        }
    }
}

struct RangeRow
{
    uint32_t id;
    float atZero;
    float atOne;
};

TEST(ParamConverterTest, NormalizedEndsGiveRangeEnds)
{
    const RangeRow rows[] = {
        {kOutputLevelId, -40.f, 40.f},     {kThresholdId, 0.f, -76.f},
        {kRangeId, -120.f, 0.f},           {kHysteresisId, -70.f, 0.f},
        {kAttackGradualId, 0.01f, 3000.f}, {kAttackSynthId, 0.01f, 9000.f},
        {kReleaseId, 1.f, 4000.f},         {kHoldId, 5.f, 1000.f},
        {kHoldClosedId, 0.f, 4000.f},      {kAttackDelayId, 0.f, 1000.f},
        {kNoteTruncationId, 0.f, 1000.f},
    };
    const ParamConverter conv;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.id);
        EXPECT_NEAR(conv.toPhysical(row.id, 0.f), row.atZero, std::fabs(row.atZero) * 1e-6f);
        EXPECT_NEAR(conv.toPhysical(row.id, 1.f), row.atOne, std::fabs(row.atOne) * 2e-6f);
    }
}

TEST(ParamConverterTest, OffPositionsAreExactZeros)
{
    const ParamConverter conv;
    // Note Truncation jumps from "off" straight to about 10 ms.
    EXPECT_EQ(conv.toPhysicalNoteTruncation(0.f), 0.f);
    EXPECT_EQ(conv.fromPhysicalNoteTruncation(0.f), 0.f);
    EXPECT_GT(conv.toPhysicalNoteTruncation(1e-6f), 9.99f);
    EXPECT_GT(conv.toPhysicalNoteTruncation(std::numeric_limits<float>::denorm_min()), 9.99f);
    // The shifted curves are exactly 0 ms at normalized 0 and back, both by name and by ID,
    // and positive just above it.
    for (uint32_t id : {kHoldClosedId, kAttackDelayId})
    {
        SCOPED_TRACE(id);
        EXPECT_EQ(conv.toPhysical(id, 0.f), 0.f);
        EXPECT_FALSE(std::signbit(conv.toPhysical(id, 0.f)));
        EXPECT_EQ(conv.fromPhysical(id, 0.f), 0.f);
        EXPECT_GT(conv.toPhysical(id, 1e-6f), 0.f);
    }
    EXPECT_EQ(conv.toPhysicalHoldClosed(0.f), 0.f);
    EXPECT_EQ(conv.toPhysicalAttackDelay(0.f), 0.f);
    EXPECT_EQ(conv.fromPhysicalHoldClosed(0.f), 0.f);
    EXPECT_EQ(conv.fromPhysicalAttackDelay(0.f), 0.f);
    // Threshold's top is +0 dB, not -0 dB.
    EXPECT_FALSE(std::signbit(conv.toPhysicalThreshold(0.f)));
}

TEST(ParamConverterTest, RoundTripReturnsTheNormalizedValue)
{
    const ParamConverter conv;
    for (uint32_t id = kFirstContinuousId; id <= kLastContinuousId; ++id)
    {
        SCOPED_TRACE(id);
        for (int i = 0; i <= 40; ++i)
        {
            const float n = static_cast<float>(i) / 40.f;
            EXPECT_NEAR(conv.fromPhysical(id, conv.toPhysical(id, n)), n, 2e-6f) << "n = " << n;
        }
    }
}

TEST(ParamConverterTest, DefaultsMapToTheInitialValues)
{
    const struct
    {
        uint32_t id;
        float normalized;
    } rows[] = {
        {kBypassId, 0.f},
        {kListenId, 0.f},
        {kChannelLinkingId, 1.f},
        {kDuckingId, 0.f},
        {kGradualAttEnvelopeId, 1.f},
        {kOutputLevelId, 0.5f},
        {kThresholdId, 0.2631579f},
        {kRangeId, 0.f},
        {kHysteresisId, 1.f},
        {kAttackGradualId, 0.08543431f},
        {kAttackSynthId, 0.1959078f},
        {kReleaseId, 0.2242749f},
        {kHoldId, 0.3672695f},
        {kHoldClosedId, 0.f},
        {kBeatSkipId, 0.f},
        {kAttackDelayId, 0.f},
        {kNoteTruncationId, 0.f},
    };
    const ParamConverter conv;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.id);
        if (row.normalized == 0.f || row.normalized == 1.f || row.normalized == 0.5f)
            EXPECT_EQ(conv.defaultNormalized(row.id), row.normalized);
        else
            EXPECT_NEAR(conv.defaultNormalized(row.id), row.normalized, 1e-6f);
    }
    for (uint32_t id = kMaxVuId; id < kNumParams; ++id)
        EXPECT_EQ(conv.defaultNormalized(id), 0.f);
}

TEST(ParamConverterTest, BeatSkipAndUnmappedIdsPassThrough)
{
    const ParamConverter conv;
    for (uint32_t id : {uint32_t(kBeatSkipId), uint32_t(kBypassId), uint32_t(kMaxVuId), 999u})
    {
        EXPECT_EQ(conv.toPhysical(id, 0.37f), 0.37f);
        EXPECT_EQ(conv.fromPhysical(id, 0.37f), 0.37f);
    }
}

// A negative time typed by a user has no logarithm: it must come out as the
// bottom of the range, never as NaN or infinity.
TEST(ParamConverterTest, PhysicalValuesWithoutLogarithmMapToZero)
{
    const struct
    {
        uint32_t id;
        float k;
    } rows[] = {
        {kHoldId, 0.f},           {kHoldClosedId, 15.f},   {kAttackDelayId, 1.f},
        {kNoteTruncationId, 1.f}, {kAttackGradualId, 1.f}, {kAttackSynthId, 1.f},
        {kReleaseId, 1.f},
    };
    const ParamConverter conv;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.id);
        for (float p : {-row.k, -row.k - 0.5f, -1000.f, -kInf, kNaN})
            EXPECT_EQ(conv.fromPhysical(row.id, p), 0.f) << "p = " << p;
        // Just above -k the logarithm is finite (and very negative).
        EXPECT_TRUE(std::isfinite(conv.fromPhysical(row.id, -row.k + 1e-3f)));
        EXPECT_LT(conv.fromPhysical(row.id, -row.k + 1e-3f), 0.f);
    }
}

TEST(ParamConverterTest, NaNOnALinearCurveMapsToZero)
{
    const ParamConverter conv;
    for (uint32_t id : {kOutputLevelId, kThresholdId, kRangeId, kHysteresisId})
        EXPECT_EQ(conv.fromPhysical(id, kNaN), 0.f) << "id " << id;
}

TEST(ParamConverterTest, NoClampingOutsideTheRanges)
{
    const ParamConverter conv;
    EXPECT_FLOAT_EQ(conv.fromPhysicalOutputLevel(100.f), 1.75f);
    EXPECT_FLOAT_EQ(conv.toPhysicalThreshold(2.f), -152.f);
    EXPECT_LT(conv.fromPhysicalNoteTruncation(5.f), 0.f);
    EXPECT_GT(conv.fromPhysicalRelease(8000.f), 1.f);
}

} // namespace
