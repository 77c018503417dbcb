#include "processorfixture.h"

#include "allocationcounter.h"

#include <cmath>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;
using Quorvane::ParamMirror;

namespace {

void addPoints(ParameterChanges& changes, ParamID id, std::initializer_list<std::pair<int32, double>> points)
{
    int32 index = 0;
    IParamValueQueue* q = changes.addParameterData(id, index);
    ASSERT_NE(q, nullptr);
    for (const auto& p : points)
        q->addPoint(p.first, p.second, index);
}

constexpr double kSilenceOnMeterScale = -500.0 / 76.0 + 1.0;

} // namespace

class ProcessLoopTest : public ProcessorTest
{
protected:
    void SetUp() override
    {
        ProcessorTest::SetUp();
        ASSERT_EQ(setup(44100), kResultOk);
        processor->setActive(true);
    }
    void TearDown() override
    {
        processor->setActive(false);
        ProcessorTest::TearDown();
    }
    ParameterChanges changes {32, 8};
    BlockBuffers block {2, 2, 2, 512};
};

TEST_F(ProcessLoopTest, LastPointOfEachQueueWinsForTheWholeBlock)
{
    addPoints(changes, Quorvane::kThresholdId, {{0, 0.2}, {128, 0.5}});
    addPoints(changes, Quorvane::kHoldId, {{0, 0.5}});
    addPoints(changes, Quorvane::kNoteTruncationId, {{0, 0.3}, {10, 0.0}});
    run(block, 64, &changes);

    const auto& m = processor->parameterMirror();
    EXPECT_EQ(m.value(Quorvane::kThresholdId), 0.5f);
    EXPECT_NEAR(processor->gateEngine().settings().openThreshold, std::pow(10.f, -38.f / 20.f), 1e-7);
    EXPECT_EQ(m.value(Quorvane::kHoldId), 0.5f);
    EXPECT_EQ(processor->gateEngine().settings().holdSamples, int(70.71f * 44.1f + 0.5f));
    EXPECT_EQ(processor->gateEngine().truncationMs(), 0.f);
}

TEST_F(ProcessLoopTest, IgnoredQueuesChangeNothing)
{
    const ParamMirror before = processor->parameterMirror();
    addPoints(changes, Quorvane::kReleaseId, {});            // no points
    addPoints(changes, Quorvane::kMaxVuId, {{0, 0.9}});
    addPoints(changes, Quorvane::kSideChainMonitorId, {{0, 0.9}});
    addPoints(changes, 22, {{0, 0.9}});
    addPoints(changes, 0xFFFFFFFF, {{0, 0.9}});
    run(block, 64, &changes);
    const ParamMirror& after = processor->parameterMirror();
    EXPECT_EQ(0, std::memcmp(before.switches, after.switches, sizeof(before.switches)));
    EXPECT_EQ(0, std::memcmp(before.values, after.values, sizeof(before.values)));
}

TEST_F(ProcessLoopTest, SwitchesTurnOnStrictlyAboveOneHalf)
{
    addPoints(changes, Quorvane::kDuckingId, {{0, 0.5}});
    addPoints(changes, Quorvane::kChannelLinkingId, {{0, 0.5000001}});
    run(block, 64, &changes);
    EXPECT_FALSE(processor->parameterMirror().switches[Quorvane::kDuckingId]);
    EXPECT_FALSE(processor->gateEngine().settings().ducking);
    EXPECT_TRUE(processor->parameterMirror().switches[Quorvane::kChannelLinkingId]);
    EXPECT_TRUE(processor->gateEngine().channelLinking());
}

TEST_F(ProcessLoopTest, ParameterOnlyCallAppliesChangesWithoutOutputs)
{
    addPoints(changes, Quorvane::kRangeId, {{0, 0.75}});
    run(block, 64, &changes, /*numInputs*/ 0);
    EXPECT_EQ(processor->parameterMirror().value(Quorvane::kRangeId), 0.75f);
    EXPECT_EQ(outChanges.getParameterCount(), 0);
}

TEST_F(ProcessLoopTest, EveryAudioBlockReportsFiveMetersEvenWithZeroSamples)
{
    run(block, 0);
    ASSERT_EQ(outChanges.getParameterCount(), 5);
    for (ParamID id = Quorvane::kMaxVuId; id <= Quorvane::kSideChainMonitorId; ++id)
        EXPECT_FALSE(std::isnan(outputValue(id))) << id;
    EXPECT_EQ(block.outBus.silenceFlags, 0u);
}

TEST_F(ProcessLoopTest, MetersUseTheDecibelScaleUnclamped)
{
    // Full-scale input for more than a meter interval (50 ms) gives a 0 dB peak; linked mode
    // reports silence as the minimum.
    block.fillInput(1.0f);
    for (int i = 0; i < 6; ++i)
        run(block, 512);
    EXPECT_DOUBLE_EQ(outputValue(Quorvane::kMaxVuId), 1.0);
    EXPECT_NEAR(outputValue(Quorvane::kMinVuId), kSilenceOnMeterScale, 1e-5);
    EXPECT_EQ(outputValue(Quorvane::kMaxGateId), outputValue(Quorvane::kMinGateId));

    // −76 dB maps to 0.
    block.fillInput(std::pow(10.f, -3.8f));
    for (int i = 0; i < 10; ++i)
        run(block, 512);
    EXPECT_NEAR(outputValue(Quorvane::kMaxVuId), 0.0, 1e-5);

    // Bypassed, the engine holds its meters at silence once the fade has switched.
    addPoints(changes, Quorvane::kBypassId, {{0, 1.0}});
    run(block, 512, &changes);
    for (int i = 0; i < 4; ++i)
        run(block, 512);
    EXPECT_NEAR(outputValue(Quorvane::kMaxVuId), kSilenceOnMeterScale, 1e-5);
    EXPECT_NEAR(outputValue(Quorvane::kMaxGateId), kSilenceOnMeterScale, 1e-5);
}

TEST_F(ProcessLoopTest, SideChainIndicatorFollowsTheAuxBus)
{
    run(block, 64, nullptr, 2);
    EXPECT_EQ(outputValue(Quorvane::kSideChainMonitorId), 0.0);

    ASSERT_EQ(processor->activateBus(kAudio, kInput, 1, true), kResultOk);
    run(block, 64, nullptr, 2);
    EXPECT_EQ(outputValue(Quorvane::kSideChainMonitorId), 1.0);

    // Active aux bus but the host passes no side-chain buffers: processed without side chain.
    run(block, 64, nullptr, 1);
    EXPECT_EQ(outputValue(Quorvane::kSideChainMonitorId), 0.0);
    block.buses[1].channelBuffers32 = nullptr;
    run(block, 64, nullptr, 2);
    EXPECT_EQ(outputValue(Quorvane::kSideChainMonitorId), 0.0);
    block.buses[1].channelBuffers32 = block.sidePtrs.data();
    block.buses[1].numChannels = 0;
    run(block, 64, nullptr, 2);
    EXPECT_EQ(outputValue(Quorvane::kSideChainMonitorId), 0.0);
}

TEST_F(ProcessLoopTest, SideChainKeyOpensTheGate)
{
    ASSERT_EQ(processor->activateBus(kAudio, kInput, 1, true), kResultOk);
    block.fillInput(0.001f);   // −60 dB audio, below the −20 dB threshold
    for (auto& c : block.side)
        std::fill(c.begin(), c.end(), 0.5f);
    for (int i = 0; i < 8; ++i)
        run(block, 512, nullptr, 2);
    EXPECT_GT(processor->gateEngine().detector(0).gain, 0.9f);
}

TEST_F(ProcessLoopTest, FewerHostChannelsThanAgreedAreHandledSafely)
{
    BlockBuffers narrow(1, 1, 0, 300);
    narrow.fillInput(0.5f);
    narrow.out[0].assign(300, 123.f);
    EXPECT_EQ(run(narrow, 300), kResultOk);
    for (float v : narrow.out[0])
        ASSERT_TRUE(std::isfinite(v) && v != 123.f);

    // Longer than the scratch the processor keeps for such blocks.
    BlockBuffers longNarrow(1, 1, 0, 5000);
    EXPECT_EQ(run(longNarrow, 5000), kResultOk);

    BlockBuffers none(2, 2, 0, 64);
    none.buses[0].channelBuffers32 = nullptr;
    EXPECT_EQ(run(none, 64), kResultOk);
}

TEST_F(ProcessLoopTest, ProcessDoesNotAllocate)
{
    addPoints(changes, Quorvane::kThresholdId, {{0, 0.4}});
    addPoints(changes, Quorvane::kBypassId, {{0, 1.0}});
    processor->activateBus(kAudio, kInput, 1, true);
    block.fillInput(0.3f);
    run(block, 512);   // warm-up
    AllocationProbe probe;
    run(block, 512, &changes, 2);
    run(block, 512, nullptr, 2);
    run(block, 512, nullptr, 1);
    EXPECT_EQ(probe.count(), 0u);
}

// Values a host should never send must not poison the engine: non-numbers are ignored, and
// values far outside 0..1 still give finite audio.
TEST_F(ProcessLoopTest, NonFiniteAndOutOfRangeValuesKeepTheOutputFinite)
{
    const float thresholdBefore = processor->parameterMirror().value(Quorvane::kThresholdId);
    addPoints(changes, Quorvane::kThresholdId, {{0, std::nan("")}});
    addPoints(changes, Quorvane::kReleaseId, {{0, INFINITY}});
    addPoints(changes, Quorvane::kAttackGradualId, {{0, -1.0}});
    addPoints(changes, Quorvane::kAttackSynthId, {{0, 1e30}});
    addPoints(changes, Quorvane::kHoldId, {{0, -1e30}});
    run(block, 64, &changes);
    EXPECT_EQ(processor->parameterMirror().value(Quorvane::kThresholdId), thresholdBefore);
    EXPECT_EQ(processor->parameterMirror().value(Quorvane::kAttackGradualId), -1.0f) << "kept as received";

    for (int i = 0; i < 40; ++i)
    {
        for (auto& c : block.in)
            for (size_t n = 0; n < c.size(); ++n)
                c[n] = (n / 50) % 2 ? 0.8f : 0.0f;
        run(block, 512);
        for (auto& c : block.out)
            for (float x : c)
                ASSERT_TRUE(std::isfinite(x));
    }
}

namespace {

// A host's queue that claims a point count of its own and answers any index with the same point.
class ClaimingQueue : public IParamValueQueue, public IParameterChanges
{
public:
    int32 claimed = 0;

    ParamID PLUGIN_API getParameterId() override { return Quorvane::kThresholdId; }
    int32 PLUGIN_API getPointCount() override { return claimed; }
    tresult PLUGIN_API getPoint(int32, int32& sampleOffset, ParamValue& value) override
    {
        sampleOffset = 0;
        value = 0.9;
        return kResultOk;
    }
    tresult PLUGIN_API addPoint(int32, ParamValue, int32&) override { return kResultFalse; }
    int32 PLUGIN_API getParameterCount() override { return 1; }
    IParamValueQueue* PLUGIN_API getParameterData(int32) override { return this; }
    IParamValueQueue* PLUGIN_API addParameterData(const ParamID&, int32&) override { return nullptr; }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }
};

} // namespace

TEST_F(ProcessLoopTest, QueuesClaimingNoOrNegativePointsAreIgnored)
{
    const float before = processor->parameterMirror().value(Quorvane::kThresholdId);
    ClaimingQueue queue;
    for (int32 claimed : {0, -1, std::numeric_limits<int32>::min()})
    {
        queue.claimed = claimed;
        run(block, 64, &queue);
        EXPECT_EQ(processor->parameterMirror().value(Quorvane::kThresholdId), before) << claimed;
    }
    queue.claimed = 1;
    run(block, 64, &queue);
    EXPECT_EQ(processor->parameterMirror().value(Quorvane::kThresholdId), 0.9f);
}
