#include "gatedetector.h"
#include "gateengine.h"
#include "gaterandom.h"

#include <gtest/gtest.h>

using namespace Quorvane;

namespace
{

constexpr float kLoud = 0.5f;

// Detector settings as the engine derives them from milliseconds and decibels.
struct DetectorRig
{
    explicit DetectorRig(float rate)
    {
        engine.setSampleRate(rate);
        engine.setThreshold(-20.0f);
        engine.setHysteresis(0.0f);
        engine.setRange(-80.0f);
        engine.setAttackGradual(1.0f);
        engine.setAttackSynth(1.0f);
        engine.setRelease(10.0f);
        engine.setHold(0.0f);
        engine.setHoldClosed(0.0f);
        engine.setAttackDelay(0.0f);
        engine.setNoteTruncation(0.0f);
        engine.setBeatSkip(0.0f);
    }

    // Runs n samples at level; returns how many of them had the gate open.
    int run(int n, float level)
    {
        int open = 0;
        for (int i = 0; i < n; ++i)
        {
            decideGate(engine.settings(), state, level, random);
            open += gateIsOpen(state) ? 1 : 0;
        }
        return open;
    }

    bool step(float level)
    {
        decideGate(engine.settings(), state, level, random);
        return gateIsOpen(state);
    }

    GateEngine engine;
    DetectorState state;
    GateRandom random{7};
};

} // namespace

TEST(GateDetector, HoldKeepsTheDetectorOpenThenClosesOnTheNextQuietSample)
{
    DetectorRig rig(44100.0f);
    rig.engine.setHold(35.0f);
    ASSERT_EQ(rig.engine.settings().holdSamples, 1544);

    rig.run(10, kLoud);
    ASSERT_TRUE(rig.state.detectorOpen);
    EXPECT_EQ(rig.run(1544, kSilence), 1544);
    EXPECT_TRUE(rig.state.detectorOpen);
    rig.step(kSilence);
    EXPECT_FALSE(rig.state.detectorOpen);
    // The hold count is not reset on closing, only by a loud sample.
    EXPECT_EQ(rig.state.holdCount, 1544);
}

TEST(GateDetector, LevelExactlyAtTheThresholdNeitherOpensNorResetsTheHold)
{
    DetectorRig rig(44100.0f);
    rig.engine.setHold(35.0f);
    const float threshold = rig.engine.settings().openThreshold;
    ASSERT_EQ(threshold, rig.engine.settings().closeThreshold);

    rig.run(100, threshold);
    EXPECT_FALSE(rig.state.detectorOpen);

    rig.step(kLoud);
    ASSERT_TRUE(rig.state.detectorOpen);
    rig.run(5, threshold);
    EXPECT_EQ(rig.state.holdCount, 5);
    rig.step(kLoud);
    EXPECT_EQ(rig.state.holdCount, 0);
}

TEST(GateDetector, AttackDelayAndTruncationFrameTheNote)
{
    DetectorRig rig(48000.0f);
    rig.engine.setAttackDelay(5.0f);
    rig.engine.setNoteTruncation(10.0f);
    ASSERT_EQ(rig.engine.settings().attackDelaySamples, 240);
    ASSERT_EQ(rig.engine.settings().truncationEndSamples, 720);

    // Open exactly for note samples 241..720 (counting the opening sample as 1).
    int firstOpen = 0;
    int lastOpen = 0;
    for (int n = 1; n <= 2000; ++n)
    {
        if (rig.step(kLoud))
        {
            firstOpen = firstOpen == 0 ? n : firstOpen;
            lastOpen = n;
        }
    }
    EXPECT_EQ(firstOpen, 241);
    EXPECT_EQ(lastOpen, 720);
    EXPECT_TRUE(rig.state.truncated);

    // Closing ends the cut; the next note starts over.
    rig.run(2, kSilence);
    EXPECT_FALSE(rig.state.truncated);
    EXPECT_EQ(rig.run(720, kLoud), 480);
}

TEST(GateDetector, ZeroAttackDelayAndZeroTruncationAreOff)
{
    DetectorRig rig(48000.0f);
    for (int n = 0; n < 5000; ++n)
    {
        EXPECT_TRUE(rig.step(kLoud));
        ASSERT_FALSE(rig.state.inAttackDelay);
        ASSERT_FALSE(rig.state.truncated);
    }
    // With an attack delay, a zero truncation time still cuts nothing.
    rig.engine.setAttackDelay(2.0f);
    rig.run(2, kSilence);
    EXPECT_EQ(rig.run(5000, kLoud), 5000 - 96);
}

TEST(GateDetector, BeatSkipDrawsOncePerNote)
{
    EXPECT_FALSE(beatSkipDecision(0.0f, 0));
    EXPECT_TRUE(beatSkipDecision(1.0f, 32766));
    EXPECT_FALSE(beatSkipDecision(1.0f, 32767)); // the one draw that a probability of 1 plays
    EXPECT_TRUE(beatSkipDecision(0.5f, 16383));
    EXPECT_FALSE(beatSkipDecision(0.5f, 16384));

    auto playedNotes = [](float probability)
    {
        DetectorRig rig(48000.0f);
        rig.engine.setBeatSkip(probability);
        int played = 0;
        for (int note = 0; note < 200; ++note)
        {
            const int open = rig.run(50, kLoud);
            EXPECT_TRUE(open == 0 || open == 50) << "the decision holds for the whole note";
            played += open == 50 ? 1 : 0;
            rig.run(2, kSilence);
        }
        return played;
    };
    EXPECT_EQ(playedNotes(0.0f), 200);
    EXPECT_EQ(playedNotes(1.0f), 0);
    const int half = playedNotes(0.5f);
    EXPECT_GT(half, 60);
    EXPECT_LT(half, 140);
}

TEST(GateDetector, HoldClosedKeepsAReopenedDetectorSilentWhileItsCountersRun)
{
    DetectorRig rig(48000.0f);
    rig.engine.setHoldClosed(10.0f);
    rig.engine.setAttackDelay(1.0f);
    ASSERT_EQ(rig.engine.settings().holdClosedSamples, 480);

    rig.run(100, kLoud);
    rig.step(kSilence); // falling edge: held closed from here, 480 samples
    ASSERT_TRUE(rig.state.holdClosedActive);
    rig.run(99, kSilence);
    EXPECT_EQ(rig.run(380, kLoud), 0);
    EXPECT_TRUE(rig.state.detectorOpen);
    EXPECT_EQ(rig.state.attackDelayCount, 48);
    EXPECT_FALSE(rig.state.inAttackDelay);
    EXPECT_TRUE(rig.step(kLoud));
    EXPECT_FALSE(rig.state.holdClosedActive);
}

TEST(GateDetector, HoldClosedZeroHasNoEffect)
{
    DetectorRig rig(48000.0f);
    rig.run(100, kLoud);
    rig.step(kSilence);
    EXPECT_TRUE(rig.step(kLoud));
}

TEST(GateDetector, DuckingInvertsTheGateAfterEveryModifier)
{
    DetectorRig rig(48000.0f);
    rig.engine.setDucking(1);
    rig.engine.setAttackDelay(5.0f);
    rig.engine.setNoteTruncation(10.0f);
    rig.engine.setRelease(5.0f);
    const float floor = rig.engine.settings().rangeGain;

    // Closed detector: the attack path takes the gain to full.
    rig.run(2000, kSilence);
    EXPECT_EQ(rig.state.envelope, 1.0f);
    EXPECT_NEAR(rig.state.gain, 1.0f, 1e-5f);

    // During the attack delay the gain stays full, then the note ducks it to
    // the floor, and after the truncation it comes back.
    rig.run(240, kLoud);
    EXPECT_EQ(rig.state.envelope, 1.0f);
    rig.run(480, kLoud);
    EXPECT_EQ(rig.state.envelope, floor);
    EXPECT_NEAR(rig.state.gain, floor, 1e-6f);
    rig.run(2000, kLoud);
    EXPECT_EQ(rig.state.envelope, 1.0f);
}

TEST(GateDetector, RangeZeroDecibelsNeverLowersTheGain)
{
    DetectorRig rig(48000.0f);
    rig.engine.setRange(0.0f);
    rig.run(500, kSilence);
    for (int note = 0; note < 5; ++note)
    {
        rig.run(300, kLoud);
        EXPECT_GE(rig.state.gain, 0.99999f);
        rig.run(300, kSilence);
        EXPECT_GE(rig.state.gain, 0.99999f);
    }
}

TEST(GateDetector, AttackShapesReachFullLevelInTheAttackTime)
{
    GateSettings gradual;
    {
        DetectorRig rig(44100.0f);
        rig.engine.setGradualAttack(1);
        gradual = rig.engine.settings();
    }
    DetectorState state;
    for (int n = 1; n <= 44; ++n)
        advanceEnvelope(gradual, state, true);
    EXPECT_LT(state.envelope, 1.0f);
    advanceEnvelope(gradual, state, true);
    EXPECT_EQ(state.envelope, 1.0f);

    // From a floor below -60 dB the gradual attack starts at -60 dB at once.
    DetectorState low;
    low.envelope = 1e-4f;
    advanceEnvelope(gradual, low, true);
    EXPECT_EQ(low.envelope, 0.001f);
    // The release does not clamp at -60 dB, only at the range floor.
    gradual.rangeGain = 1e-5f;
    advanceEnvelope(gradual, low, false);
    EXPECT_LT(low.envelope, 0.001f);

    DetectorRig rig(48000.0f);
    rig.engine.setAttackSynth(5.0f); // 240 samples
    DetectorState synth;
    for (int n = 0; n < 240; ++n)
        advanceEnvelope(rig.engine.settings(), synth, true);
    EXPECT_NEAR(synth.envelope, 0.99923f, 2e-5f);
    advanceEnvelope(rig.engine.settings(), synth, true);
    EXPECT_EQ(synth.envelope, 1.0f);
}
