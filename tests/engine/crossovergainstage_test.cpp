#include "crossovergainstage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using Quorvane::CrossoverGainStage;

namespace {

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

TEST(CrossoverGainStage, GroupsMatchSampleBySampleForEveryChannelCount)
{
    // Blocks through processGroup (vector lanes, pipelined) against
    // processSample on a second stage, across block boundaries, with and
    // without AVX; both share one state layout, so they may also be mixed.
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    for (bool avx : {true, false})
        for (int channels = 1; channels <= 6; ++channels)
        {
            CrossoverGainStage blocks;
            CrossoverGainStage samples;
            for (CrossoverGainStage* s : {&blocks, &samples})
            {
                s->setSampleRate(48000.0);
                s->setChannels(channels);
            }
            blocks.allowAvx(avx);
            uint32_t noise = 99;
            auto next = [&noise]
            {
                noise = noise * 1664525u + 1013904223u;
                return static_cast<float>(noise >> 8) / 16777216.0f - 0.5f;
            };
            // Runs shorter than the pipelines (nine steps deep for one and two
            // channels, eighteen for more), exactly as long and a little
            // longer, and long runs.
            for (int n : {1, 30, 17, 200, 3, 8, 9, 10, 11, 12, 18, 19, 21, 35})
            {
                std::vector<double> x(static_cast<size_t>(blocks.groups()) * n * kLanes, 0.0);
                std::vector<double> g(x.size(), 0.0);
                std::vector<float> expected(static_cast<size_t>(channels) * n);
                for (int i = 0; i < n; ++i)
                    for (int c = 0; c < channels; ++c)
                    {
                        const float in = next();
                        const float gain = 0.5f + next();
                        const size_t at =
                            (static_cast<size_t>(c / kLanes) * n + i) * kLanes + c % kLanes;
                        x[at] = in;
                        g[at] = gain;
                        expected[static_cast<size_t>(c) * n + i] =
                            samples.processSample(in, c, gain);
                    }
                for (int group = 0; group < blocks.groups(); ++group)
                {
                    const size_t offset = static_cast<size_t>(group) * n * kLanes;
                    blocks.processGroup(group, &x[offset], &g[offset], n);
                }
                for (int i = 0; i < n; ++i)
                    for (int c = 0; c < channels; ++c)
                    {
                        const size_t at =
                            (static_cast<size_t>(c / kLanes) * n + i) * kLanes + c % kLanes;
                        ASSERT_EQ(static_cast<float>(x[at]),
                                  expected[static_cast<size_t>(c) * n + i])
                            << channels << " channels, avx " << avx << ", block of " << n
                            << ", sample " << i << ", channel " << c;
                    }
            }
            // One more sample each way: the states still agree.
            EXPECT_EQ(blocks.processSample(0.25f, channels - 1, 0.8f),
                      samples.processSample(0.25f, channels - 1, 0.8f));
        }
}

TEST(CrossoverGainStage, SwitchingSchedulesBetweenBlocksKeepsEveryFilterState)
{
    // One and two channels (and the odd channel of three) keep their filter
    // states in another layout while the paired passes run them; turning
    // AVX on and off, or a processSample, between blocks hands the states
    // from one layout to the other. Any state lost or misplaced on the way
    // changes the output of later blocks.
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    for (int channels = 1; channels <= 6; ++channels)
    {
        CrossoverGainStage blocks;
        CrossoverGainStage samples;
        for (CrossoverGainStage* s : {&blocks, &samples})
        {
            s->setSampleRate(44100.0);
            s->setChannels(channels);
        }
        uint32_t noise = 7;
        auto next = [&noise]
        {
            noise = noise * 1664525u + 1013904223u;
            return static_cast<float>(noise >> 8) / 16777216.0f - 0.5f;
        };
        const int sizes[] = {40, 5, 64, 9, 3, 100};
        for (int round = 0; round < 12; ++round)
        {
            blocks.allowAvx(round % 3 != 1);
            const int n = sizes[round % 6];
            std::vector<double> x(static_cast<size_t>(blocks.groups()) * n * kLanes, 0.0);
            std::vector<double> g(x.size(), 0.0);
            std::vector<float> expected(static_cast<size_t>(channels) * n);
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                {
                    const float in = next();
                    const float gain = 0.5f + next();
                    const size_t at = (static_cast<size_t>(c / kLanes) * n + i) * kLanes + c % kLanes;
                    x[at] = in;
                    g[at] = gain;
                    expected[static_cast<size_t>(c) * n + i] = samples.processSample(in, c, gain);
                }
            for (int group = 0; group < blocks.groups(); ++group)
            {
                const size_t offset = static_cast<size_t>(group) * n * kLanes;
                blocks.processGroup(group, &x[offset], &g[offset], n);
            }
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                {
                    const size_t at = (static_cast<size_t>(c / kLanes) * n + i) * kLanes + c % kLanes;
                    ASSERT_EQ(static_cast<float>(x[at]), expected[static_cast<size_t>(c) * n + i])
                        << channels << " channels, round " << round << ", sample " << i
                        << ", channel " << c;
                }
            if (round % 4 == 3)
            {
                // A sample between blocks, on every channel.
                for (int c = 0; c < channels; ++c)
                    ASSERT_EQ(blocks.processSample(0.125f, c, 0.9f),
                              samples.processSample(0.125f, c, 0.9f))
                        << channels << " channels, round " << round << ", channel " << c;
            }
        }
    }
}
