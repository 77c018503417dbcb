#include "crossovergainstage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

using Quorvane::CrossoverGainStage;

namespace
{

const double kPi = std::acos(-1.0);

// Steady-state gain of the stage for a sine at hz with a constant gate gain,
// measured by correlation over whole periods after the filters have settled.
double magnitudeAt(double hz, float gain, double rate = 44100.0)
{
    CrossoverGainStage stage;
    stage.setSampleRate(rate);
    stage.setChannels(1);
    const double w = 2.0 * kPi * hz / rate;
    const int settle = static_cast<int>(rate);
    const int measure = static_cast<int>(std::round(std::round(hz) * rate / hz));
    double re = 0.0;
    double im = 0.0;
    for (int n = 0; n < settle + measure; ++n)
    {
        const float y = stage.processSample(static_cast<float>(std::sin(w * n)), 0, gain);
        if (n >= settle)
        {
            re += y * std::sin(w * n);
            im += y * std::cos(w * n);
        }
    }
    return 2.0 * std::hypot(re, im) / measure;
}

} // namespace

TEST(CrossoverGainStage, LowestCrossoverCoefficientsAt44k)
{
    CrossoverGainStage stage;
    stage.setSampleRate(44100.0);
    const auto& lp = stage.lowPass(0);
    const auto& hp = stage.highPass(0);
    EXPECT_NEAR(lp.b0, 2.2522732e-05, 1e-12);
    EXPECT_NEAR(lp.b1, 2.0 * lp.b0, 1e-15);
    EXPECT_NEAR(lp.b2, lp.b0, 1e-15);
    EXPECT_NEAR(lp.a1, -1.9865318, 1e-7);
    EXPECT_NEAR(lp.a2, 0.9866219, 1e-7);
    EXPECT_NEAR(hp.b0, 0.9932884, 1e-7);
    EXPECT_NEAR(hp.b1, -2.0 * hp.b0, 1e-12);
    EXPECT_NEAR(hp.a1, lp.a1, 1e-12);
    EXPECT_NEAR(hp.a2, lp.a2, 1e-12);
}

TEST(CrossoverGainStage, SteadyStateResponseAtUnityGain)
{
    EXPECT_NEAR(magnitudeAt(20.0, 1.0f), 1.0, 0.005);
    EXPECT_NEAR(magnitudeAt(100.0, 1.0f), 1.0, 0.005);
    EXPECT_NEAR(magnitudeAt(1000.0, 1.0f), 0.947, 0.001);
    EXPECT_NEAR(magnitudeAt(CrossoverGainStage::kFrequencies[0], 1.0f), 1.001, 0.001);
    for (int k = 1; k < CrossoverGainStage::kNumCrossovers; ++k)
    {
        const double m = magnitudeAt(CrossoverGainStage::kFrequencies[k], 1.0f);
        EXPECT_GT(m, 0.743) << "crossover " << k;
        EXPECT_LT(m, 0.751) << "crossover " << k;
    }
}

TEST(CrossoverGainStage, ZeroGainGivesExactSilenceOnceTheLowPassesDecay)
{
    CrossoverGainStage stage;
    stage.setSampleRate(44100.0);
    stage.setChannels(2);
    for (int n = 0; n < 4410; ++n)
        stage.processSample(static_cast<float>(std::sin(0.05 * n)), 0, 1.0f);
    float last = 1.0f;
    for (int n = 0; n < 44100 * 4; ++n)
        last = stage.processSample(static_cast<float>(std::sin(0.05 * n)), 0, 0.0f);
    EXPECT_EQ(last, 0.0f);
}

TEST(CrossoverGainStage, ChannelsKeepSeparateStates)
{
    CrossoverGainStage stage;
    stage.setSampleRate(48000.0);
    stage.setChannels(2);
    CrossoverGainStage reference;
    reference.setSampleRate(48000.0);
    reference.setChannels(1);
    for (int n = 0; n < 1000; ++n)
    {
        const float x = static_cast<float>(std::sin(0.01 * n));
        stage.processSample(0.9f, 1, 0.3f);
        ASSERT_EQ(stage.processSample(x, 0, 0.7f), reference.processSample(x, 0, 0.7f));
    }
    // A new channel count starts from zeroed states.
    stage.setChannels(2);
    reference.setChannels(1);
    EXPECT_EQ(stage.processSample(0.25f, 1, 1.0f), reference.processSample(0.25f, 0, 1.0f));
}

TEST(CrossoverGainStage, StaysStableWhenCrossoversLieAboveNyquist)
{
    // At 8 kHz the two highest crossovers are above half the rate.
    for (double rate : {8000.0, 11025.0})
    {
        const double m = magnitudeAt(100.0, 1.0f, rate);
        EXPECT_TRUE(std::isfinite(m)) << rate;
        EXPECT_NEAR(m, 1.0, 0.01) << rate;
    }
}

namespace
{

// Two stages with the same channels: `blocks` runs blocks through
// processGroup (vector lanes, pipelined), `samples` the same input sample by
// sample through processSample; every output must be the same number.
struct TwinStages
{
    static constexpr int kLanes = CrossoverGainStage::kGroupLanes;

    TwinStages(int channelCount, double rate) : channels(channelCount)
    {
        for (CrossoverGainStage* s : {&blocks, &samples})
        {
            s->setSampleRate(rate);
            s->setChannels(channels);
        }
    }

    float next()
    {
        noise = noise * 1664525u + 1013904223u;
        return static_cast<float>(noise >> 8) / 16777216.0f - 0.5f;
    }

    // One block of n samples of fresh noise and gains through both.
    void block(int n, const std::string& label)
    {
        std::vector<double> x(static_cast<size_t>(blocks.groups()) * n * kLanes, 0.0);
        std::vector<double> g(x.size(), 0.0);
        std::vector<float> expected(static_cast<size_t>(channels) * n);
        auto at = [n](int i, int c)
        { return (static_cast<size_t>(c / kLanes) * n + i) * kLanes + c % kLanes; };
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
            {
                const float in = next();
                const float gain = 0.5f + next();
                x[at(i, c)] = in;
                g[at(i, c)] = gain;
                expected[static_cast<size_t>(c) * n + i] = samples.processSample(in, c, gain);
            }
        for (int group = 0; group < blocks.groups(); ++group)
        {
            const size_t offset = static_cast<size_t>(group) * n * kLanes;
            blocks.processGroup(group, &x[offset], &g[offset], n);
        }
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                ASSERT_EQ(static_cast<float>(x[at(i, c)]), expected[static_cast<size_t>(c) * n + i])
                    << label << ", block of " << n << ", sample " << i << ", channel " << c;
    }

    int channels;
    uint32_t noise = 99;
    CrossoverGainStage blocks;
    CrossoverGainStage samples;
};

} // namespace

TEST(CrossoverGainStage, GroupsMatchSampleBySampleForEveryChannelCount)
{
    // Across block boundaries, with and without AVX; both share one state
    // layout as far as anyone outside can tell, so they may also be mixed.
    // At 8 kHz crossovers lie above the Nyquist frequency, and the ladders
    // run their general form.
    for (double rate : {48000.0, 8000.0})
        for (bool avx : {true, false})
            for (int channels = 1; channels <= 8; ++channels)
            {
                TwinStages twins(channels, rate);
                twins.blocks.allowAvx(avx);
                const std::string label = std::to_string(channels) + " channels at " +
                                          std::to_string(rate) + " Hz, avx " + std::to_string(avx);
                // Runs shorter than the pipelines (eighteen steps deep for one
                // channel in AVX, nine for pairs, eighteen for SSE2's two lanes),
                // exactly as long and a little longer, and long runs, one of
                // them longer than a four-lane pass takes in one piece.
                for (int n : {1, 30, 17, 200, 3, 8, 9, 10, 11, 12, 18, 19, 21, 35, 1100})
                {
                    twins.block(n, label);
                    ASSERT_FALSE(HasFatalFailure());
                }
                // One more sample each way: the states still agree.
                EXPECT_EQ(twins.blocks.processSample(0.25f, channels - 1, 0.8f),
                          twins.samples.processSample(0.25f, channels - 1, 0.8f));
            }
}

TEST(CrossoverGainStage, SwitchingSchedulesBetweenBlocksKeepsEveryFilterState)
{
    // One and two channels (and the odd channel of three) keep their filter
    // states in another layout while the paired passes run them; turning
    // AVX on and off, or a processSample, between blocks hands the states
    // from one layout to the other. Any state lost or misplaced on the way
    // changes the output of later blocks.
    for (int channels = 1; channels <= 6; ++channels)
    {
        TwinStages twins(channels, 44100.0);
        const int sizes[] = {40, 5, 64, 9, 3, 100};
        for (int round = 0; round < 12; ++round)
        {
            twins.blocks.allowAvx(round % 3 != 1);
            const std::string label =
                std::to_string(channels) + " channels, round " + std::to_string(round);
            twins.block(sizes[round % 6], label);
            ASSERT_FALSE(HasFatalFailure());
            if (round % 4 == 3)
            {
                // A sample between blocks, on every channel.
                for (int c = 0; c < channels; ++c)
                    ASSERT_EQ(twins.blocks.processSample(0.125f, c, 0.9f),
                              twins.samples.processSample(0.125f, c, 0.9f))
                        << label << ", channel " << c;
            }
        }
    }
}

TEST(CrossoverGainStage, AChannelWithNonFiniteMemoryStartsAgainAndTheOthersCarryOn)
{
    // The last channel, or the first, gets an infinite gain in the third
    // block; from the next block on it runs as a stage started then, the
    // others as if nothing had happened. In every layout of the states: AVX
    // or not, paired passes for one and two channels, a pair and the odd
    // channel of three, two pairs of four.
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    constexpr int n = 40;
    for (bool avx : {true, false})
        for (int channels = 1; channels <= 6; ++channels)
            for (bool last : {true, false})
            {
                // The last is alone in its pass for 1, 3 and 5 channels.
                const int hit = last ? channels - 1 : 0;
                auto isHit = [&](int c) { return c == hit; };
                CrossoverGainStage poisoned, clean, fresh;
                for (CrossoverGainStage* s : {&poisoned, &clean, &fresh})
                {
                    s->setChannels(channels);
                    s->allowAvx(avx);
                }
                const size_t size = static_cast<size_t>(clean.groups()) * n * kLanes;
                auto run = [&](CrossoverGainStage& s, int block, bool poison)
                {
                    std::vector<double> x(size), g(size, 0.7);
                    for (size_t i = 0; i < size; ++i)
                        x[i] = std::sin(0.01 * static_cast<double>(i + size * block));
                    for (int c = 0; c < channels && poison; ++c)
                        if (isHit(c))
                            g[static_cast<size_t>(c / kLanes * n + 3) * kLanes + c % kLanes] =
                                std::numeric_limits<double>::infinity();
                    for (int group = 0; group < s.groups(); ++group)
                        s.processGroup(group, &x[group * n * kLanes], &g[group * n * kLanes], n);
                    return x;
                };
                for (int block = 0; block < 6; ++block)
                {
                    const auto a = run(poisoned, block, block == 2);
                    const auto c = run(clean, block, false);
                    const auto f = block > 2 ? run(fresh, block, false) : c;
                    for (size_t i = 0; i < size && block != 2; ++i)
                    {
                        const int channel =
                            static_cast<int>(i / (n * kLanes) * kLanes + i % kLanes);
                        if (channel < channels)
                        {
                            ASSERT_EQ(a[i], isHit(channel) ? f[i] : c[i])
                                << channels << " channels, avx " << avx << ", hit " << hit
                                << ", block " << block;
                        }
                    }
                }
            }
}
