#include "enginetesthelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Quorvane;

TEST(GateEngineSettings, CoefficientsAt44k)
{
    GateEngine engine;
    engine.setSampleRate(44100.0f);
    engine.setAttackGradual(1.0f);
    engine.setAttackSynth(5.0f);
    engine.setRelease(10.0f);
    engine.setThreshold(-20.0f);
    const GateSettings& s = engine.settings();
    EXPECT_NEAR(s.gradualStep, 0.855013f, 1e-6f);
    EXPECT_NEAR(s.gradualSmooth, 0.285616f, 1e-6f);
    EXPECT_NEAR(s.synthCoeff, 0.993387f, 1e-6f);
    EXPECT_NEAR(s.synthSmooth, 0.948304f, 1e-6f);
    EXPECT_NEAR(s.releaseStep, 0.984458f, 1e-6f);
    EXPECT_NEAR(s.releaseSmooth, 0.882223f, 1e-6f);
    EXPECT_NEAR(s.openThreshold, 0.1f, 1e-7f);
    EXPECT_NEAR(engine.fade().coeff(), 0.9896117f, 1e-7f);
    EXPECT_EQ(engine.meterInterval(), 2205);
}

TEST(GateEngineSettings, DependentValuesFollowWhicheverSetterComesLast)
{
    GateEngine a;
    a.setThreshold(-20.0f);
    a.setHysteresis(-6.0f);
    GateEngine b;
    b.setHysteresis(-6.0f);
    b.setThreshold(-20.0f);
    EXPECT_NEAR(a.settings().closeThreshold, 0.1f * std::pow(10.0f, -6.0f / 20.0f), 1e-7f);
    EXPECT_EQ(a.settings().closeThreshold, b.settings().closeThreshold);

    // The truncation end counts from the end of the attack delay.
    GateEngine c;
    c.setSampleRate(48000.0f);
    c.setNoteTruncation(10.0f);
    c.setAttackDelay(5.0f);
    EXPECT_EQ(c.settings().attackDelaySamples, 240);
    EXPECT_EQ(c.settings().truncationEndSamples, 720);
    c.setAttackDelay(0.0f);
    EXPECT_EQ(c.settings().truncationEndSamples, 480);
}

TEST(GateEngineSettings, SampleCountsRoundHalfUpAndSaturate)
{
    GateEngine engine;
    engine.setSampleRate(1000.0f);
    engine.setHold(2.5f);
    EXPECT_EQ(engine.settings().holdSamples, 3);
    engine.setHold(2.49f);
    EXPECT_EQ(engine.settings().holdSamples, 2);
    engine.setHoldClosed(1e12f);
    EXPECT_EQ(engine.settings().holdClosedSamples, std::numeric_limits<int>::max());
    engine.setAttackDelay(1e12f);
    engine.setNoteTruncation(1e12f);
    EXPECT_EQ(engine.settings().truncationEndSamples, std::numeric_limits<int>::max());
}

TEST(GateEngineSettings, RejectedConfigurationLeavesTheEngineAsItWas)
{
    GateEngine engine;
    QuorvaneTest::configure(engine, 2, 2, 2, 48000.0f);
    EXPECT_FALSE(engine.setInputChannels(0));
    EXPECT_FALSE(engine.setOutputChannels(-1));
    EXPECT_FALSE(engine.setSideChainChannels(0));
    EXPECT_EQ(engine.inputChannels(), 2);
    EXPECT_EQ(engine.outputChannels(), 2);
    EXPECT_EQ(engine.sideChainChannels(), 2);

    engine.setSampleRate(0.0f);
    engine.setSampleRate(-44100.0f);
    engine.setSampleRate(std::numeric_limits<float>::quiet_NaN());
    engine.setSampleRate(std::numeric_limits<float>::infinity());
    EXPECT_EQ(engine.sampleRate(), 48000.0f);
    EXPECT_EQ(engine.crossover().sampleRate(), 48000.0);
}

TEST(GateEngineSettings, ChannelChangesStartDetectorsAndPeaksAfresh)
{
    GateEngine engine;
    QuorvaneTest::configure(engine, 2, 2, 2, 48000.0f);
    QuorvaneTest::AudioBuffer in(2, 256, 0.5f);
    QuorvaneTest::AudioBuffer out(2, 256);
    engine.processBlock(in.data(), out.data(), 256);
    ASSERT_TRUE(engine.detector(0).detectorOpen);
    ASSERT_EQ(engine.keyPeak(0), 0.5f);

    // More inputs than side-chain channels: the peaks grow with the input
    // count (the main input can be the key) and keep their values; new ones
    // start at silence, as a meter reading of them must be a level.
    ASSERT_TRUE(engine.setInputChannels(4));
    EXPECT_EQ(engine.keyPeak(0), 0.5f);
    EXPECT_EQ(engine.keyPeak(3), kSilence);

    ASSERT_TRUE(engine.setOutputChannels(3));
    for (int d = 0; d < 3; ++d)
    {
        EXPECT_FALSE(engine.detector(d).detectorOpen);
        EXPECT_EQ(engine.detector(d).envelope, 0.001f);
        EXPECT_EQ(engine.detector(d).gain, 1e-6f);
    }
    ASSERT_TRUE(engine.setSideChainChannels(2));
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(engine.keyPeak(c), kSilence) << c;
}
