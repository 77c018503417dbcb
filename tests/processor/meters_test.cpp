// The output parameters (meters and side-chain indicator) as the host receives them.
#include "processorfixture.h"

#include <algorithm>
#include <cmath>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

namespace
{

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
enum class Phase
{
    Silence,
    Loud,
    Quiet,
    Bypassed,
    Listening
};

float sampleFor(Phase phase, int channel, long n)
{
    const float tone = float(std::sin(0.03 * double(n) + channel));
    switch (phase)
    {
    case Phase::Silence:
        return 0.f;
    case Phase::Loud:
        return (channel == 0 ? 4.0f : 0.3f) * tone; // +12 dB on the first
    case Phase::Quiet:
        return 1e-6f * tone; // -120 dB
    case Phase::Bypassed:
    case Phase::Listening:
        return 0.5f * tone;
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
    const Phase phases[] = {Phase::Silence, Phase::Loud, Phase::Quiet, Phase::Bypassed,
                            Phase::Listening};
    for (const Layout& layout : kLayouts)
        for (bool sideChain : {false, true})
            for (bool linked : {true, false})
            {
                const std::string where = std::string(layout.name) +
                                          (sideChain ? ", side chain" : "") +
                                          (linked ? ", linked" : ", unlinked");
                auto* p = new Quorvane::again;
                ASSERT_EQ(p->initialize(&host), kResultOk);
                SpeakerArrangement in[2] = {layout.in, layout.in};
                SpeakerArrangement out = layout.out;
                ASSERT_EQ(p->setBusArrangements(in, 2, &out, 1), kResultTrue) << where;
                ProcessSetup s{kRealtime, kSample32, kFrames, 48000.0};
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
                        ParameterChanges changes{4, 2};
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
                                b.in[size_t(c)][size_t(f)] =
                                    sampleFor(sideChain ? Phase::Quiet : phase, c, n);
                            for (auto& key : b.side)
                                key[size_t(f)] = sampleFor(phase, 0, n);
                        }

                        outChanges.clearQueue();
                        ProcessData data =
                            b.processData(kFrames, sideChain ? 2 : 1, &changes, &outChanges);
                        ASSERT_EQ(p->process(data), kResultOk);

                        ASSERT_EQ(outChanges.getParameterCount(), 5) << where;
                        for (ParamID id = Quorvane::kMaxVuId; id <= Quorvane::kSideChainMonitorId;
                             ++id)
                        {
                            const double v = outputValue(id);
                            ASSERT_TRUE(std::isfinite(v) && v >= 0.0 && v <= 1.0)
                                << where << ", block " << block << ", ID " << id << ": " << v;
                        }
                        EXPECT_EQ(outputValue(Quorvane::kSideChainMonitorId),
                                  sideChain ? 1.0 : 0.0);
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

// The meters show the engine's current levels on the scale the host is told about (−76 dB to
// 0 dB), block after block: when levels rise, fall, stand still, come back to an earlier value,
// and across bypass, a restart and a new arrangement.
TEST_F(ProcessorTest, MetersShowTheCurrentLevelsOnEveryBlock)
{
    auto onScale = [](float level)
    {
        const double m = 20.0 * std::log10(double(level)) / 76.0 + 1.0;
        return m > 0.0 ? std::min(m, 1.0) : 0.0;
    };
    ASSERT_EQ(setup(48000, 256), kResultOk);
    processor->setActive(true);
    BlockBuffers b(2, 2, 0, 256);
    const auto& engine = processor->gateEngine();
    int block = 0;
    auto runAt = [&](float level, int blocks, IParameterChanges* changes = nullptr)
    {
        for (int i = 0; i < blocks; ++i, ++block)
        {
            for (size_t c = 0; c < b.in.size(); ++c)
                for (size_t f = 0; f < b.in[c].size(); ++f)
                    b.in[c][f] = (c == 0 ? level : 0.5f * level) * (f % 2 ? 1.f : -1.f);
            ASSERT_EQ(run(b, 256, i == 0 ? changes : nullptr), kResultOk);
            const float levels[4] = {engine.maxVu(), engine.minVu(), engine.maxGate(),
                                     engine.minGate()};
            for (ParamID id = Quorvane::kMaxVuId; id <= Quorvane::kMinGateId; ++id)
                ASSERT_NEAR(outputValue(id), onScale(levels[id - Quorvane::kMaxVuId]), 1e-6)
                    << "block " << block << ", ID " << id << ", level "
                    << levels[id - Quorvane::kMaxVuId];
        }
    };
    auto switchTo = [](ParameterChanges& changes, ParamID id, double value)
    {
        int32 index = 0;
        changes.addParameterData(id, index)->addPoint(0, value, index);
    };

    runAt(0.f, 4);
    runAt(0.5f, 20);
    runAt(0.f, 40);
    runAt(0.5f, 20);
    runAt(0.01f, 20);
    runAt(0.5f, 10);
    ParameterChanges bypassOn(2, 1), bypassOff(2, 1), linkOff(2, 1);
    switchTo(bypassOn, Quorvane::kBypassId, 1.0);
    switchTo(bypassOff, Quorvane::kBypassId, 0.0);
    switchTo(linkOff, Quorvane::kChannelLinkingId, 0.0);
    runAt(0.5f, 10, &bypassOn);
    runAt(0.5f, 10, &bypassOff);
    runAt(0.2f, 10, &linkOff);

    processor->setActive(false);
    processor->setActive(true);
    runAt(0.2f, 10);
    processor->setActive(false);
    SpeakerArrangement in[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
    SpeakerArrangement out = SpeakerArr::kStereo;
    ASSERT_EQ(processor->setBusArrangements(in, 2, &out, 1), kResultTrue);
    processor->setActive(true);
    runAt(0.f, 5);
    runAt(0.2f, 10);
    processor->setActive(false);
}
