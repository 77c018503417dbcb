// The engine against the plain per-sample gate pass: every output sample,
// meter, detector state and key peak must agree bit for bit, whatever the
// channel layout, linking, side chain, fade, block size or parameter changes.
#include "enginetesthelpers.h"
#include "reference/referencegate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace Quorvane;
using QuorvaneTest::ReferenceGate;

namespace
{

constexpr float kRate = 48000.0f;

uint32_t bits(float x)
{
    uint32_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

using Signal = std::vector<std::vector<float>>;

// White noise whose level jumps between silence and full scale every few
// hundred samples, with the odd denormal, infinity and NaN thrown in.
Signal randomSignal(int channels, int frames, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    std::uniform_int_distribution<int> segment(1, 900);
    const float levels[] = {0.0f, 1e-6f, 0.003f, 0.01f, 0.05f, 0.3f, 1.0f, 4.0f};
    Signal s(channels, std::vector<float>(frames));
    for (int c = 0; c < channels; ++c)
    {
        float level = 0.0f;
        int left = 0;
        for (int i = 0; i < frames; ++i)
        {
            if (left-- == 0)
            {
                level = levels[rng() % 8];
                left = segment(rng);
            }
            float v = level * uniform(rng);
            const uint32_t odd = rng() % 5000;
            if (odd == 0)
                v = std::numeric_limits<float>::quiet_NaN();
            else if (odd == 1)
                v = -std::numeric_limits<float>::infinity();
            else if (odd == 2)
                v = 1e-40f;
            s[c][i] = v;
        }
    }
    return s;
}

// Decaying tone bursts on a beat with random accents and a little hiss: notes
// that open and close the gate the way drums and plucked strings do.
Signal musicalSignal(int channels, int frames, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    Signal s(channels, std::vector<float>(frames));
    const double pi = std::acos(-1.0);
    double phase = 0.0;
    double frequency = 110.0;
    float amplitude = 0.0f;
    float decay = 0.9995f;
    for (int i = 0; i < frames; ++i)
    {
        if (i % 6000 == 0 || uniform(rng) < 0.00005f)
        {
            amplitude = 0.05f + 0.9f * uniform(rng);
            frequency = 55.0 * std::pow(2.0, std::floor(uniform(rng) * 48.0) / 12.0);
            decay = 0.999f + 0.0009f * uniform(rng);
        }
        amplitude *= decay;
        phase += 2.0 * pi * frequency / kRate;
        const float tone =
            amplitude * static_cast<float>(std::sin(phase) + 0.3 * std::sin(3.1 * phase));
        for (int c = 0; c < channels; ++c)
            s[c][i] = tone * (1.0f - 0.15f * c) + 0.0005f * (uniform(rng) - 0.5f);
    }
    return s;
}

// The engine and the reference, driven with the same calls.
class Pair
{
public:
    Pair(int inputs, int outputs, int sideChains, bool avx = true)
        : inputs_(inputs), outputs_(outputs), sideChains_(sideChains)
    {
        QuorvaneTest::configure(engine_, inputs, outputs, sideChains, kRate);
        engine_.allowAvx(avx);
        engine_.setRandomSeed(7);
        reference_.setChannels(inputs, outputs, sideChains);
        reference_.seed(7);
        reference_.setSampleRate(engine_);
        reference_.takeSettings(engine_);
    }

    template <class Change> void set(Change change)
    {
        change(engine_);
        reference_.takeSettings(engine_);
    }

    // A new rate, then every time setter again, as the processor does.
    void setRate(float hz)
    {
        engine_.setSampleRate(hz);
        engine_.setAttackGradual(3.0f);
        engine_.setAttackSynth(2.0f);
        engine_.setRelease(80.0f);
        engine_.setHold(4.0f);
        engine_.setHoldClosed(6.0f);
        engine_.setAttackDelay(0.5f);
        engine_.setNoteTruncation(30.0f);
        reference_.setSampleRate(engine_);
        reference_.takeSettings(engine_);
    }

    void bypass(bool on)
    {
        engine_.setBypass(on);
        reference_.requestBypass(on);
    }

    void listen(bool on)
    {
        engine_.setListen(on);
        reference_.requestListen(on);
    }

    // One block from frame `at` of main and side; sideChannels < 0 means no
    // side chain call. In place: the output buffers are the input buffers.
    void process(const Signal& main, const Signal& side, int at, int frames, int sideChannels,
                 bool inPlace, const std::string& where)
    {
        runOne(false, main, side, at, frames, sideChannels, inPlace);
        runOne(true, main, side, at, frames, sideChannels, inPlace);
        compare(frames, where);
    }

private:
    struct Buffers
    {
        Signal in, side, out;
        std::vector<float*> inP, sideP, outP;
    };

    void runOne(bool reference, const Signal& main, const Signal& side, int at, int frames,
                int sideChannels, bool inPlace)
    {
        Buffers& b = reference ? referenceBuffers_ : engineBuffers_;
        auto load = [&](Signal& dst, std::vector<float*>& ptr, const Signal& src, int channels)
        {
            dst.assign(channels, std::vector<float>(frames + 1));
            ptr.clear();
            for (int c = 0; c < channels; ++c)
            {
                for (int i = 0; i < frames; ++i)
                    dst[c][i] = src[c % src.size()][at + i];
                ptr.push_back(dst[c].data());
            }
        };
        const int outs = outputs_;
        load(b.in, b.inP, main, std::max(inputs_, inPlace ? outs : 0));
        load(b.side, b.sideP, side, sideChains_);
        b.out.assign(outs, std::vector<float>(frames + 1, -1.0f));
        b.outP.clear();
        for (int c = 0; c < outs; ++c)
            b.outP.push_back(inPlace ? b.in[c].data() : b.out[c].data());

        if (reference)
        {
            if (sideChannels < 0)
                reference_.processBlock(b.inP.data(), b.outP.data(), frames);
            else
                reference_.processBlockSideChain(b.sideP.data(), b.inP.data(), b.outP.data(),
                                                 sideChannels, frames);
        }
        else if (sideChannels < 0)
            engine_.processBlock(b.inP.data(), b.outP.data(), frames);
        else
            engine_.processBlockSideChain(b.sideP.data(), b.inP.data(), b.outP.data(), sideChannels,
                                          frames);
    }

    void compare(int frames, const std::string& where)
    {
        for (int c = 0; c < outputs_; ++c)
            for (int i = 0; i < frames; ++i)
            {
                const float e = engineBuffers_.outP[c][i];
                const float r = referenceBuffers_.outP[c][i];
                ASSERT_EQ(bits(e), bits(r))
                    << where << " channel " << c << " frame " << i << ": " << e << " vs " << r;
            }
        for (int c = 0; c < inputs_; ++c)
            for (int i = 0; i < frames; ++i)
                ASSERT_EQ(bits(engineBuffers_.inP[c][i]), bits(referenceBuffers_.inP[c][i]))
                    << where << " input " << c << " frame " << i;
        ASSERT_EQ(bits(engine_.maxVu()), bits(reference_.maxVu())) << where;
        ASSERT_EQ(bits(engine_.minVu()), bits(reference_.minVu())) << where;
        ASSERT_EQ(bits(engine_.maxGate()), bits(reference_.maxGate())) << where;
        ASSERT_EQ(bits(engine_.minGate()), bits(reference_.minGate())) << where;
        ASSERT_EQ(engine_.meterCount(), reference_.meterCount()) << where;
        ASSERT_EQ(bits(engine_.fade().gain()), bits(reference_.fade().gain())) << where;
        for (int c = 0; c < std::max(inputs_, sideChains_); ++c)
            ASSERT_EQ(bits(engine_.keyPeak(c)), bits(reference_.keyPeak(c)))
                << where << " peak " << c;
        for (int k = 0; k < outputs_; ++k)
        {
            const DetectorState& e = engine_.detector(k);
            const DetectorState& r = reference_.detector(k);
            const std::string at = where + " detector " + std::to_string(k);
            ASSERT_EQ(e.detectorOpen, r.detectorOpen) << at;
            ASSERT_EQ(e.wasOpen, r.wasOpen) << at;
            ASSERT_EQ(e.holdCount, r.holdCount) << at;
            ASSERT_EQ(e.attackDelayCount, r.attackDelayCount) << at;
            ASSERT_EQ(e.inAttackDelay, r.inAttackDelay) << at;
            ASSERT_EQ(e.truncationCount, r.truncationCount) << at;
            ASSERT_EQ(e.truncated, r.truncated) << at;
            ASSERT_EQ(e.holdClosedActive, r.holdClosedActive) << at;
            ASSERT_EQ(e.holdClosedCount, r.holdClosedCount) << at;
            ASSERT_EQ(e.skipNote, r.skipNote) << at;
            ASSERT_EQ(bits(e.envelope), bits(r.envelope)) << at;
            ASSERT_EQ(bits(e.gain), bits(r.gain)) << at;
        }
    }

    int inputs_, outputs_, sideChains_;
    GateEngine engine_;
    ReferenceGate reference_;
    Buffers engineBuffers_, referenceBuffers_;
};

// A random new value for one of the gate's parameters.
void changeParameter(Pair& pair, std::mt19937& rng)
{
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    const float v = u(rng);
    switch (rng() % 16)
    {
    case 0:
        pair.set([&](GateEngine& e) { e.setThreshold(-70.0f + 70.0f * v); });
        break;
    case 1:
        pair.set([&](GateEngine& e) { e.setRange(-90.0f + 90.0f * v); });
        break;
    case 2:
        pair.set([&](GateEngine& e) { e.setHysteresis(-20.0f * v); });
        break;
    case 3:
        pair.set([&](GateEngine& e) { e.setAttackSynth(0.01f + 50.0f * v); });
        break;
    case 4:
        pair.set([&](GateEngine& e) { e.setAttackGradual(0.01f + 50.0f * v); });
        break;
    case 5:
        pair.set([&](GateEngine& e) { e.setRelease(1.0f + 500.0f * v); });
        break;
    case 6:
        pair.set([&](GateEngine& e) { e.setHold(20.0f * v * v); });
        break;
    case 7:
        pair.set([&](GateEngine& e) { e.setHoldClosed(v < 0.5f ? 0.0f : 30.0f * v); });
        break;
    case 8:
        pair.set([&](GateEngine& e) { e.setBeatSkip(v); });
        break;
    case 9:
        pair.set([&](GateEngine& e) { e.setAttackDelay(v < 0.5f ? 0.0f : 10.0f * v); });
        break;
    case 10:
        pair.set([&](GateEngine& e) { e.setNoteTruncation(v < 0.5f ? 0.0f : 40.0f * v); });
        break;
    case 11:
        pair.set([&](GateEngine& e) { e.setDucking(v < 0.3f); });
        break;
    case 12:
        pair.set([&](GateEngine& e) { e.setGradualAttack(v < 0.5f); });
        break;
    case 13:
        pair.set([&](GateEngine& e) { e.setOutputLevel(-24.0f + 30.0f * v); });
        break;
    case 14:
        pair.set([&](GateEngine& e) { e.setChannelLinking(v < 0.5f); });
        break;
    default:
        pair.set([&](GateEngine& e) { e.setThreshold(-50.0f + 10.0f * v); });
        break;
    }
}

struct Layout
{
    int inputs, outputs, sideChains;
};

// Plays `frames` of main and side through both in random block sizes with
// random parameter changes and, if asked, bypass and listen toggles. Without
// avx the engine keeps to SSE2 even where the processor has AVX.
void playThrough(const Layout& layout, const Signal& main, const Signal& side, uint32_t seed,
                 bool toggles, bool avx, const std::string& name)
{
    Pair pair(layout.inputs, layout.outputs, layout.sideChains, avx);
    std::mt19937 rng(seed);
    const int blockSizes[] = {512, 512, 256, 64, 1, 0, 17, 700, 1100, 333};
    const int frames = static_cast<int>(main[0].size());
    bool bypassed = false;
    bool listening = false;
    int at = 0;
    for (int block = 0; at < frames; ++block)
    {
        const int n = std::min(blockSizes[rng() % 10], frames - at);
        if (rng() % 4 == 0)
            changeParameter(pair, rng);
        if (toggles && rng() % 12 == 0)
        {
            if (rng() % 2)
                pair.bypass(bypassed = !bypassed);
            else
                pair.listen(listening = !listening);
        }
        // No side chain, the full side chain or only part of it.
        const int mode = static_cast<int>(rng() % 4);
        const int sideChannels = mode == 0 ? -1 : mode == 1 ? 0 : mode == 2 ? layout.sideChains : 1;
        const bool inPlace = rng() % 3 == 0;
        pair.process(main, side, at, n, sideChannels, inPlace,
                     name + " block " + std::to_string(block) + " at " + std::to_string(at));
        if (::testing::Test::HasFatalFailure())
            return;
        at += n;
    }
}

const Layout kLayouts[] = {{1, 1, 1}, {2, 2, 2}, {6, 6, 6},  {1, 2, 2}, {2, 6, 1}, {6, 3, 2},
                           {4, 4, 4}, {5, 5, 3}, {3, 10, 2}, {7, 7, 2}, {8, 8, 8}};

} // namespace

TEST(GateEngineBitExact, RandomSignalsInEveryLayout)
{
    uint32_t seed = 100;
    for (const Layout& layout : kLayouts)
    {
        const int frames = 48000 * 3;
        const Signal main = randomSignal(std::max(layout.inputs, layout.outputs), frames, seed);
        const Signal side = randomSignal(layout.sideChains, frames, seed + 1);
        const std::string name = "random " + std::to_string(layout.inputs) + "/" +
                                 std::to_string(layout.outputs) + "/" +
                                 std::to_string(layout.sideChains);
        for (bool avx : {true, false})
        {
            // Toggles too: bypass and listen copy the input, non-finite samples included.
            playThrough(layout, main, side, seed + 2, true, avx, name + (avx ? "" : " SSE2"));
            ASSERT_FALSE(HasFatalFailure());
        }
        seed += 10;
    }
}

TEST(GateEngineBitExact, MusicalSignalsWithBypassAndListenToggles)
{
    uint32_t seed = 500;
    for (const Layout& layout : kLayouts)
    {
        const int frames = 48000 * 4;
        const Signal main = musicalSignal(std::max(layout.inputs, layout.outputs), frames, seed);
        const Signal side = musicalSignal(layout.sideChains, frames, seed + 1);
        const std::string name = "musical " + std::to_string(layout.inputs) + "/" +
                                 std::to_string(layout.outputs) + "/" +
                                 std::to_string(layout.sideChains);
        for (bool avx : {true, false})
        {
            playThrough(layout, main, side, seed + 2, true, avx, name + (avx ? "" : " SSE2"));
            ASSERT_FALSE(HasFatalFailure());
        }
        seed += 10;
    }
}

TEST(GateEngineBitExact, SampleRateChangesKeepBothInStep)
{
    // After a rate change the time setters are re-applied, as the processor
    // does. At 8 kHz crossovers lie above the Nyquist frequency and the
    // ladders run their general form (one channel, a pair, two pairs).
    for (int channels : {1, 2, 4})
    {
        Pair pair(channels, channels, channels);
        const Signal main = musicalSignal(channels, 48000, 9);
        int at = 0;
        for (float rate : {44100.0f, 96000.0f, 8000.0f, 48000.0f})
        {
            pair.setRate(rate);
            for (int block = 0; block < 3; ++block, at += 4000)
            {
                pair.process(main, main, at, 4000, block == 1 ? channels : -1, false,
                             std::to_string(channels) + " channels at " + std::to_string(rate) +
                                 " Hz, block " + std::to_string(block));
                ASSERT_FALSE(HasFatalFailure());
            }
        }
    }
}

namespace
{

// Notes of steady noise that hold the gate open until its envelope has
// settled, with gaps about as long as the hold (a sample either side) or
// long enough for the closed envelope to settle too, and single loud
// samples in some gaps; the edges fall on every position within 64 samples.
Signal settlingSignal(int channels, int frames, int hold, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    Signal s(channels, std::vector<float>(frames));
    int i = 0;
    while (i < frames)
    {
        const int note = 200 + static_cast<int>(rng() % 3000);
        for (int end = std::min(frames, i + note); i < end; ++i)
            for (int c = 0; c < channels; ++c)
                s[c][i] = 0.5f * noise(rng);
        const int kind = static_cast<int>(rng() % 4);
        const int gap = kind == 3 ? 3000 + static_cast<int>(rng() % 3000)
                                  : std::max(1, hold - 1 + kind); // hold - 1, hold, hold + 1
        const int spike = rng() % 3 == 0 ? static_cast<int>(rng() % (gap + 1)) : -1;
        for (int k = 0, end = std::min(frames, i + gap); i < end; ++i, ++k)
            for (int c = 0; c < channels; ++c)
                s[c][i] = k == spike ? 0.3f : 0.001f * noise(rng);
    }
    return s;
}

} // namespace

TEST(GateEngineBitExact, SettledStretchesAroundTheHoldInSmallBlocks)
{
    // Settled detectors take shortcuts (counting the hold 64 samples at a
    // time, linked or with every unlinked detector settled), and the ladder's pipeline
    // fills and drains once per block: holds on either side of 64 samples,
    // every block length modulo four, above and below the pipeline depth.
    const int blockSizes[] = {32, 33, 18, 19, 20, 21, 64, 7, 512, 130, 1, 8, 9, 10, 521};
    constexpr int kSizes = sizeof(blockSizes) / sizeof(blockSizes[0]);
    for (int hold : {0, 40, 63, 64, 65, 200})
        for (const Layout& layout : {Layout{2, 2, 2}, Layout{1, 1, 1}, Layout{3, 3, 3}})
            for (int variant = 0; variant < 4; ++variant)
            {
                // Linked and unlinked, with AVX and with SSE2 only.
                const bool avx = variant % 2 == 0;
                const bool linked = variant < 2;
                Pair pair(layout.inputs, layout.outputs, layout.sideChains, avx);
                pair.set([&](GateEngine& e) { e.setChannelLinking(linked); });
                pair.set([&](GateEngine& e) { e.setHold((hold + 0.1f) / 48.0f); });
                pair.set([&](GateEngine& e) { e.setGradualAttack(hold % 2); });
                const Signal main = settlingSignal(layout.outputs, 48000, hold, 40 + hold);
                int at = 0;
                for (int block = 0; at < 48000; ++block)
                {
                    const int n = std::min(blockSizes[block % kSizes], 48000 - at);
                    pair.process(main, main, at, n, -1, block % 5 == 0,
                                 "hold " + std::to_string(hold) + ", " +
                                     std::to_string(layout.outputs) + " channels" +
                                     (linked ? "" : " unlinked") + (avx ? "" : " SSE2") +
                                     ", block " + std::to_string(block));
                    ASSERT_FALSE(HasFatalFailure());
                    at += n;
                }
            }
}
