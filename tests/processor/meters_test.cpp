// The output parameters (meters and side-chain indicator) as the host receives them.
#include "processorfixture.h"

#include <cmath>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

namespace {

struct Layout
{
    const char* name;
    SpeakerArrangement in, out;
};

const Layout kLayouts[] = {
    {"mono", SpeakerArr::kMono, SpeakerArr::kMono},
    {"stereo", SpeakerArr::kStereo, SpeakerArr::kStereo},
    {"mono to stereo", SpeakerArr::kMono, SpeakerArr::kStereo},
    {"stereo to mono", SpeakerArr::kStereo, SpeakerArr::kMono},
    {"5.1", SpeakerArr::k51, SpeakerArr::k51},
};

// What the input does over a run, one phase after another.
enum class Phase { Silence, Loud, Quiet, Bypassed, Listening };

float sampleFor(Phase phase, int channel, long n)
{
    const float tone = float(std::sin(0.03 * double(n) + channel));
    switch (phase)
    {
        case Phase::Silence: return 0.f;
        case Phase::Loud: return (channel == 0 ? 4.0f : 0.3f) * tone;   // +12 dB on the first
        case Phase::Quiet: return 1e-6f * tone;                         // -120 dB
        case Phase::Bypassed:
        case Phase::Listening: return 0.5f * tone;
    }
    return 0.f;
}

} // namespace

// Every value sent to the host is a normalized value: finite and within 0..1 on every block, in
// every layout, linked or not, with or without side chain, also on the first meter update (when
// a key channel that never carried signal is measured) and while bypassed.
TEST_F(ProcessorTest, OutputParametersAreFiniteAndWithinTheUnitRangeOnEveryBlock)
{
    constexpr int kFrames = 480;
    const Phase phases[] = {Phase::Silence, Phase::Loud, Phase::Quiet, Phase::Bypassed, Phase::Listening};
    for (const Layout& layout : kLayouts)
        for (bool sideChain : {false, true})
            for (bool linked : {true, false})
            {
                const std::string where = std::string(layout.name) + (sideChain ? ", side chain" : "") +
                                          (linked ? ", linked" : ", unlinked");
                auto* p = new Quorvane::again;
                ASSERT_EQ(p->initialize(&host), kResultOk);
                SpeakerArrangement in[2] = {layout.in, layout.in};
                SpeakerArrangement out = layout.out;
                ASSERT_EQ(p->setBusArrangements(in, 2, &out, 1), kResultTrue) << where;
                ProcessSetup s {kRealtime, kSample32, kFrames, 48000.0};
                ASSERT_EQ(p->setupProcessing(s), kResultOk);
                if (sideChain)
                {
                    ASSERT_EQ(p->activateBus(kAudio, kInput, 1, true), kResultTrue);
                }
                p->setActive(true);

                const int nIn = SpeakerArr::getChannelCount(layout.in);
                const int nOut = SpeakerArr::getChannelCount(layout.out);
                BlockBuffers b(nIn, nOut, sideChain ? nIn : 0, kFrames);
                long n = 0;
                int block = 0;
                for (Phase phase : phases)
                    for (int i = 0; i < 12; ++i, ++block)
                    {
                        ParameterChanges changes {4, 2};
                        int32 index = 0;
                        if (i == 0)
                        {
                            changes.addParameterData(Quorvane::kChannelLinkingId, index)
                                ->addPoint(0, linked ? 1.0 : 0.0, index);
                            changes.addParameterData(Quorvane::kBypassId, index)
                                ->addPoint(0, phase == Phase::Bypassed ? 1.0 : 0.0, index);
                            changes.addParameterData(Quorvane::kListenId, index)
                                ->addPoint(0, phase == Phase::Listening ? 1.0 : 0.0, index);
                        }
                        for (int f = 0; f < kFrames; ++f, ++n)
                        {
                            for (int c = 0; c < nIn; ++c)
                                b.in[size_t(c)][size_t(f)] = sampleFor(sideChain ? Phase::Quiet : phase, c, n);
                            for (auto& key : b.side)
                                key[size_t(f)] = sampleFor(phase, 0, n);
                        }

                        outChanges.clearQueue();
                        ProcessData data;
                        data.numSamples = kFrames;
                        data.numInputs = sideChain ? 2 : 1;
                        data.numOutputs = 1;
                        data.inputs = b.buses;
                        data.outputs = &b.outBus;
                        data.inputParameterChanges = &changes;
                        data.outputParameterChanges = &outChanges;
                        ASSERT_EQ(p->process(data), kResultOk);

                        ASSERT_EQ(outChanges.getParameterCount(), 5) << where;
                        for (ParamID id = Quorvane::kMaxVuId; id <= Quorvane::kSideChainMonitorId; ++id)
                        {
                            const double v = outputValue(id);
                            ASSERT_TRUE(std::isfinite(v) && v >= 0.0 && v <= 1.0)
                                << where << ", block " << block << ", ID " << id << ": " << v;
                        }
                        EXPECT_EQ(outputValue(Quorvane::kSideChainMonitorId), sideChain ? 1.0 : 0.0);
                    }
                p->setActive(false);
                p->terminate();
                p->release();
            }
}

// A key channel that has not carried a sample yet counts as silent, like one that has been quiet.
TEST_F(ProcessorTest, KeyPeaksStartAtSilenceAfterEveryArrangement)
{
    const auto& engine = processor->gateEngine();
    for (int c = 0; c < engine.sideChainChannels(); ++c)
        EXPECT_EQ(engine.keyPeak(c), 1e-25f) << c;
    SpeakerArrangement in[2] = {SpeakerArr::kMono, SpeakerArr::kMono};
    SpeakerArrangement out = SpeakerArr::kMono;
    ASSERT_EQ(processor->setBusArrangements(in, 2, &out, 1), kResultTrue);
    ASSERT_EQ(engine.sideChainChannels(), 2);
    for (int c = 0; c < 2; ++c)
        EXPECT_EQ(engine.keyPeak(c), 1e-25f) << c;
}
