#include "processorfixture.h"

#include "allocationcounter.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;
using Quorvane::ParamMirror;

namespace
{

void addPoints(ParameterChanges& changes, ParamID id,
               std::initializer_list<std::pair<int32, double>> points)
{
    int32 index = 0;
    IParamValueQueue* q = changes.addParameterData(id, index);
    ASSERT_NE(q, nullptr);
    for (const auto& p : points)
        q->addPoint(p.first, p.second, index);
}

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
    ParameterChanges changes{32, 8};
    BlockBuffers block{2, 2, 2, 512};
};

TEST_F(ProcessLoopTest, LastPointOfEachQueueWinsForTheWholeBlock)
{
    addPoints(changes, Quorvane::kThresholdId, {{0, 0.2}, {128, 0.5}});
    addPoints(changes, Quorvane::kHoldId, {{0, 0.5}});
    addPoints(changes, Quorvane::kNoteTruncationId, {{0, 0.3}, {10, 0.0}});
    run(block, 64, &changes);

    const auto& m = processor->parameterMirror();
    EXPECT_EQ(m.value(Quorvane::kThresholdId), 0.5f);
    EXPECT_NEAR(processor->gateEngine().settings().openThreshold, std::pow(10.f, -38.f / 20.f),
                1e-7);
    EXPECT_EQ(m.value(Quorvane::kHoldId), 0.5f);
    EXPECT_EQ(processor->gateEngine().settings().holdSamples, int(70.71f * 44.1f + 0.5f));
    EXPECT_EQ(processor->gateEngine().settings().truncationEndSamples, 0) << "truncation off";
}

TEST_F(ProcessLoopTest, IgnoredQueuesChangeNothing)
{
    const ParamMirror before = processor->parameterMirror();
    addPoints(changes, Quorvane::kReleaseId, {}); // no points
    addPoints(changes, Quorvane::kMaxVuId, {{0, 0.9}});
    addPoints(changes, Quorvane::kSideChainMonitorId, {{0, 0.9}});
    addPoints(changes, 22, {{0, 0.9}});
    addPoints(changes, 0xFFFFFFFF, {{0, 0.9}});
    run(block, 64, &changes);
    const ParamMirror& after = processor->parameterMirror();
    EXPECT_EQ(0, std::memcmp(before.switches, after.switches, sizeof(before.switches)));
    EXPECT_EQ(0, std::memcmp(before.values, after.values, sizeof(before.values)));
}

// The host's values are doubles: one just above 0.5 turns a switch on even where it rounds to 0.5
// in single precision, as the controller shows it; exactly 0.5 and anything below is off.
TEST_F(ProcessLoopTest, SwitchesTurnOnStrictlyAboveOneHalf)
{
    struct Case
    {
        double value;
        bool on;
    };
    const Case cases[] = {
        {0.5 + 1e-12, true},
        {0.5, false},
        {std::nextafter(0.5, 1.0), true},
        {std::nextafter(0.5, 0.0), false},
        {0.5000001, true},
        {0.0, false},
        {1.0, true},
    };
    ASSERT_EQ(float(0.5 + 1e-12), 0.5f) << "the value this test is about rounds to one half";
    for (const Case& c : cases)
    {
        for (bool startOn : {false, true})
        {
            ParameterChanges start{4, 2}, change{4, 2};
            addPoints(start, Quorvane::kDuckingId, {{0, startOn ? 1.0 : 0.0}});
            addPoints(start, Quorvane::kChannelLinkingId, {{0, startOn ? 1.0 : 0.0}});
            run(block, 64, &start);
            addPoints(change, Quorvane::kDuckingId, {{0, c.value}});
            addPoints(change, Quorvane::kChannelLinkingId, {{0, c.value}});
            run(block, 64, &change);

            const auto& m = processor->parameterMirror();
            EXPECT_EQ(m.switches[Quorvane::kDuckingId], c.on) << c.value;
            EXPECT_EQ(processor->gateEngine().settings().ducking, c.on) << c.value;
            EXPECT_EQ(m.switches[Quorvane::kChannelLinkingId], c.on) << c.value;
            EXPECT_EQ(processor->gateEngine().channelLinking(), c.on) << c.value;
        }
    }
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

// The host only takes normalized values: levels below -76 dB (silence among them) report 0 and
// levels above 0 dB report 1.
TEST_F(ProcessLoopTest, MetersUseTheDecibelScaleLimitedToTheUnitRange)
{
    // Full-scale input for more than a meter interval (50 ms) gives a 0 dB peak; linked mode
    // reports silence as the minimum.
    block.fillInput(1.0f);
    for (int i = 0; i < 6; ++i)
        run(block, 512);
    EXPECT_DOUBLE_EQ(outputValue(Quorvane::kMaxVuId), 1.0);
    EXPECT_EQ(outputValue(Quorvane::kMinVuId), 0.0);
    EXPECT_EQ(outputValue(Quorvane::kMaxGateId), outputValue(Quorvane::kMinGateId));

    // -76 dB maps to 0, -38 dB to one half.
    block.fillInput(std::pow(10.f, -3.8f));
    for (int i = 0; i < 10; ++i)
        run(block, 512);
    EXPECT_NEAR(outputValue(Quorvane::kMaxVuId), 0.0, 1e-5);
    block.fillInput(std::pow(10.f, -1.9f));
    for (int i = 0; i < 10; ++i)
        run(block, 512);
    EXPECT_NEAR(outputValue(Quorvane::kMaxVuId), 0.5, 1e-5);

    // +12 dB reports full scale.
    block.fillInput(4.0f);
    for (int i = 0; i < 10; ++i)
        run(block, 512);
    EXPECT_EQ(outputValue(Quorvane::kMaxVuId), 1.0);

    // Bypassed, the engine holds its meters at silence once the fade has switched.
    addPoints(changes, Quorvane::kBypassId, {{0, 1.0}});
    run(block, 512, &changes);
    for (int i = 0; i < 4; ++i)
        run(block, 512);
    EXPECT_EQ(processor->gateEngine().maxVu(), 1e-25f);
    EXPECT_EQ(outputValue(Quorvane::kMaxVuId), 0.0);
    EXPECT_EQ(outputValue(Quorvane::kMaxGateId), 0.0);
    EXPECT_EQ(outputValue(Quorvane::kMinGateId), 0.0);
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
    block.fillInput(0.001f); // −60 dB audio, below the −20 dB threshold
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

namespace
{

// A processor of its own, active at 44.1 kHz with blocks of up to 512 samples.
struct ActiveProcessor
{
    explicit ActiveProcessor(Steinberg::FUnknown* host)
    {
        p->initialize(host);
        ProcessSetup setup{kRealtime, kSample32, 512, 44100.0};
        p->setupProcessing(setup);
        p->setActive(true);
    }
    ~ActiveProcessor()
    {
        p->setActive(false);
        p->terminate();
        p->release();
    }
    void run(BlockBuffers& b, int frames, IParameterChanges* changes)
    {
        ProcessData data = b.processData(frames, 1, changes, &meters);
        meters.clearQueue();
        p->process(data);
    }
    double meter(ParamID id)
    {
        for (int32 i = 0; i < meters.getParameterCount(); ++i)
        {
            IParamValueQueue* q = meters.getParameterData(i);
            int32 offset = 0;
            ParamValue v = 0;
            if (q->getParameterId() == id && q->getPoint(0, offset, v) == kResultOk)
                return v;
        }
        return -1.0;
    }

    Quorvane::again* p = new Quorvane::again;
    ParameterChanges meters{8, 4};
};

// Bursts of a 0.5 sine, 2000 samples on and 6000 at -66 dB; each channel starts at its own place
// in the pattern so that unlinked detectors differ.
float burst(int channel, long n)
{
    const long t = n + channel * 2500;
    const float tone = float(std::sin(0.07 * double(t)));
    return (t % 8000) < 2000 ? 0.5f * tone : 0.0005f * tone;
}

float peakOf(const std::vector<float>& samples)
{
    float peak = 0.f;
    for (float x : samples)
        peak = std::max(peak, std::fabs(x));
    return peak;
}

} // namespace

// A host that passes fewer channels than the arrangement it agreed to: the channels it does pass
// are gated exactly as at the agreed width with silence on the missing inputs, and the meters
// agree too.
TEST_F(ProcessLoopTest, FewerHostChannelsAreGatedAsAtTheAgreedWidth)
{
    struct Case
    {
        int inputs, outputs;
        bool linked;
    };
    const Case cases[] = {{1, 1, true}, {1, 1, false}, {1, 2, true}, {1, 2, false}, {2, 1, false}};
    constexpr int kFrames = 512;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.inputs << " in, " << c.outputs << " out, "
                                          << (c.linked ? "linked" : "unlinked"));
        ActiveProcessor narrow(&host), full(&host);
        BlockBuffers narrowBlock(c.inputs, c.outputs, 0, kFrames);
        BlockBuffers fullBlock(2, 2, 0, kFrames);
        bool opened = false, closed = false;
        for (int b = 0; b < 40; ++b)
        {
            ParameterChanges settings{4, 2};
            ParameterChanges* changes = nullptr;
            if (b == 0)
            {
                addPoints(settings, Quorvane::kChannelLinkingId, {{0, c.linked ? 1.0 : 0.0}});
                addPoints(settings, Quorvane::kThresholdId, {{0, 0.5}}); // -38 dB
                changes = &settings;
            }
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < kFrames; ++i)
                {
                    const float x = burst(ch, long(b) * kFrames + i);
                    fullBlock.in[size_t(ch)][size_t(i)] = ch < c.inputs ? x : 0.f;
                    if (ch < c.inputs)
                        narrowBlock.in[size_t(ch)][size_t(i)] = x;
                }
            narrow.run(narrowBlock, kFrames, changes);
            full.run(fullBlock, kFrames, changes);
            for (int ch = 0; ch < c.outputs; ++ch)
                ASSERT_EQ(narrowBlock.out[size_t(ch)], fullBlock.out[size_t(ch)])
                    << "block " << b << " channel " << ch;
            for (ParamID id = Quorvane::kMaxVuId; id <= Quorvane::kMinGateId; ++id)
                ASSERT_EQ(narrow.meter(id), full.meter(id)) << "block " << b << " meter " << id;
            opened = opened || peakOf(narrowBlock.out[0]) > 0.1f;
            closed = closed || peakOf(narrowBlock.out[0]) < 1e-6f;
        }
        EXPECT_TRUE(opened && closed) << "the gate opens and closes on the way";
    }
}

TEST_F(ProcessLoopTest, ProcessDoesNotAllocate)
{
    addPoints(changes, Quorvane::kThresholdId, {{0, 0.4}});
    addPoints(changes, Quorvane::kBypassId, {{0, 1.0}});
    processor->activateBus(kAudio, kInput, 1, true);
    block.fillInput(0.3f);
    run(block, 512); // warm-up
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
    EXPECT_EQ(processor->parameterMirror().value(Quorvane::kAttackGradualId), -1.0f)
        << "kept as received";

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

namespace
{

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
    IParamValueQueue* PLUGIN_API addParameterData(const ParamID&, int32&) override
    {
        return nullptr;
    }
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
