#include "parametertestutil.h"

#include "paramconverter.h"
#include "paramtable.h"

#include "public.sdk/source/vst/vstparameters.h"

#include <gtest/gtest.h>

using namespace Quorvane;
using namespace QuorvaneTest;

namespace
{

TEST(ParameterSetupTest, ContinuousParametersDeclareWhatTheTableSays)
{
    const struct
    {
        ParamID id;
        const char* title;
        ParamValue initial;
    } rows[] = {
        {kOutputLevelId, "Output Level", 0.5},
        {kThresholdId, "Threshold", 0.2631579},
        {kRangeId, "Range", 0.0},
        {kHysteresisId, "Hysteresis", 1.0},
        {kAttackGradualId, "Attack (gradual)", 0.08543431},
        {kAttackSynthId, "Attack (synth)", 0.1959078},
        {kReleaseId, "Release", 0.2242749},
        {kHoldId, "Hold", 0.3672695},
        {kHoldClosedId, "Hold Closed", 0.0},
        {kBeatSkipId, "Beat Skip", 0.0},
        {kAttackDelayId, "Attack Delay", 0.0},
        {kNoteTruncationId, "Note Truncation", 0.0},
    };
    const ParamConverter conv;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.title);
        auto p = makeContinuousParameter(row.id);
        const ParameterInfo& info = p->getInfo();
        EXPECT_EQ(info.id, row.id);
        EXPECT_EQ(narrow(info.title), row.title);
        EXPECT_EQ(narrow(info.units), "");
        EXPECT_EQ(narrow(info.shortTitle), "");
        EXPECT_EQ(info.stepCount, 0);
        EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
        EXPECT_EQ(info.unitId, Steinberg::Vst::kRootUnitId);
        EXPECT_NEAR(p->getNormalized(), row.initial, 1e-6);
        // A host that resets the parameter gets the value it started with.
        EXPECT_EQ(info.defaultNormalizedValue, p->getNormalized());
        // The value a parameter starts with is exactly the one the processor
        // and the controller's state reader derive from the same defaults.
        EXPECT_EQ(p->getNormalized(), static_cast<ParamValue>(conv.defaultNormalized(row.id)));
        // No plain-value mapping: a host asking for one gets the normalized value.
        EXPECT_EQ(p->toPlain(0.3), 0.3);
        EXPECT_EQ(p->toNormalized(0.3), 0.3);
    }
}

TEST(ParameterSetupTest, SetNormalizedClamps)
{
    for (ParamID id : continuousIds())
    {
        auto p = makeContinuousParameter(id);
        p->setNormalized(1.75);
        EXPECT_EQ(p->getNormalized(), 1.0) << "id " << id;
        p->setNormalized(-0.25);
        EXPECT_EQ(p->getNormalized(), 0.0) << "id " << id;
        p->setNormalized(0.625);
        EXPECT_EQ(p->getNormalized(), 0.625) << "id " << id;
    }
}

TEST(ParamTableTest, DescribesEveryParameterByIndex)
{
    const char* const titles[kNumParams] = {
        "Bypass",
        "Listen",
        "Channel Linking",
        "Ducking",
        "Gradual Att Envelope",
        "Output Level",
        "Threshold",
        "Range",
        "Hysteresis",
        "Attack (gradual)",
        "Attack (synth)",
        "Release",
        "Hold",
        "Hold Closed",
        "Beat Skip",
        "Attack Delay",
        "Note Truncation",
        "Max Vu",
        "Min Vu",
        "Max Gate",
        "Min Gate",
        "Side Chain Monitor: on/off",
    };
    // The reported defaults are the values a fresh instance starts with (0 dB output,
    // -20 dB threshold, -120 dB range, 1 ms / 5 ms attack, 10 ms release, 35 ms hold).
    const ParamValue infoDefaults[kNumParams] = {
        0.0, 0.0,       1.0, 0.0, 1.0,                                         // switches
        0.5, 0.2631579, 0.0, 1.0, 0.08543431, 0.1959078, 0.2242749, 0.3672695, // continuous
        0.0, 0.0,       0.0, 0.0,                                              //
        0.0, 0.0,       0.0, 0.0, 0.0,                                         // outputs
    };
    const ParamConverter conv;
    for (ParamID id = 0; id < kNumParams; ++id)
    {
        SCOPED_TRACE(id);
        EXPECT_NEAR(infoDefault(id), infoDefaults[id], 1e-7);
        EXPECT_EQ(infoDefault(id), static_cast<ParamValue>(conv.defaultNormalized(id)));
        const ParamDescription* d = findParamDescription(id);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->id, id);
        EXPECT_EQ(narrow(d->title), titles[id]);
        EXPECT_EQ(d->stepCount, isSwitchParam(id) ? 1 : 0);
        const bool bypass = (d->flags & ParameterInfo::kIsBypass) != 0;
        EXPECT_EQ(bypass, id == kBypassId);
        EXPECT_EQ(d->unitId, id == kBypassId ? kGateUnitId : Steinberg::Vst::kRootUnitId);
        if (isOutputParam(id))
            EXPECT_EQ(d->flags, ParameterInfo::kIsReadOnly);
        else
            EXPECT_EQ(d->flags & ~ParameterInfo::kIsBypass, ParameterInfo::kCanAutomate);
    }
    EXPECT_EQ(findParamDescription(kNumParams), nullptr);
    EXPECT_EQ(infoDefault(kNumParams), 0.0);
    EXPECT_EQ(narrow(gateUnitName()), "Unit1");
}

TEST(ParamTableTest, ParameterObjectsAgreeWithTheTable)
{
    for (ParamID id : continuousIds())
    {
        SCOPED_TRACE(id);
        auto p = makeContinuousParameter(id);
        const ParamDescription* d = findParamDescription(id);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(narrow(p->getInfo().title), narrow(d->title));
        EXPECT_EQ(p->getInfo().flags, d->flags);
        EXPECT_EQ(p->getInfo().defaultNormalizedValue, infoDefault(id));
        EXPECT_EQ(p->getInfo().stepCount, d->stepCount);
        EXPECT_EQ(p->getInfo().unitId, d->unitId);
    }
}

// What the controller registers: every parameter from the table, in ID order, each starting at
// the default it reports; the continuous ones are objects of their own classes (their texts are
// not the plain parameter's bare number).
TEST(ParamTableTest, RegistersAllParametersFromTheTable)
{
    Steinberg::Vst::ParameterContainer container;
    addAllParameters(container);
    ASSERT_EQ(container.getParameterCount(), static_cast<Steinberg::int32>(kNumParams));
    for (ParamID id = 0; id < kNumParams; ++id)
    {
        SCOPED_TRACE(id);
        Parameter* p = container.getParameterByIndex(static_cast<Steinberg::int32>(id));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(container.getParameter(id), p);
        const ParameterInfo& info = p->getInfo();
        const ParamDescription& d = *findParamDescription(id);
        EXPECT_EQ(info.id, id);
        EXPECT_EQ(narrow(info.title), narrow(d.title));
        EXPECT_EQ(narrow(info.units), "");
        EXPECT_EQ(narrow(info.shortTitle), "");
        EXPECT_EQ(info.stepCount, d.stepCount);
        EXPECT_EQ(info.flags, d.flags);
        EXPECT_EQ(info.unitId, d.unitId);
        EXPECT_EQ(info.defaultNormalizedValue, infoDefault(id));
        EXPECT_EQ(p->getNormalized(), infoDefault(id));
        if (isContinuousParam(id))
        {
            EXPECT_EQ(display(*p, 0.5), display(*makeContinuousParameter(id), 0.5));
        }
    }
    EXPECT_EQ(display(*container.getParameter(kOutputLevelId), 0.5), "0.0 dB");
    EXPECT_EQ(display(*container.getParameter(kListenId), 1.0), "On");
    EXPECT_EQ(createParameter(kNumParams), nullptr);
}

} // namespace
