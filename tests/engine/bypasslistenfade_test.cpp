#include "enginetesthelpers.h"

#include <gtest/gtest.h>

using namespace Quorvane;
using QuorvaneTest::AudioBuffer;

namespace
{

// Feeds one-sample blocks, so that every sample is a block boundary, and
// records what the fade does. Audio has gone through already, unless asked.
struct FadeRig
{
    explicit FadeRig(float rate, bool heard = true) : in(2, 1, 0.25f), out(2, 1)
    {
        QuorvaneTest::configure(engine, 2, 2, 2, rate);
        if (heard)
            sample();
    }

    void sample()
    {
        in.fill(0.25f);
        engine.processBlock(in.data(), out.data(), 1);
    }

    // Samples until pred() holds, at most limit; returns the count or -1.
    template <typename Pred> int until(Pred pred, int limit = 100000)
    {
        for (int n = 1; n <= limit; ++n)
        {
            sample();
            if (pred())
                return n;
        }
        return -1;
    }

    const BypassListenFade& fade() const { return engine.fade(); }

    GateEngine engine;
    AudioBuffer in;
    AudioBuffer out;
};

} // namespace

TEST(BypassListenFade, FullCycleFallsAndRisesIn441SamplesAt44k)
{
    FadeRig rig(44100.0f);
    EXPECT_FALSE(rig.fade().fading());
    rig.engine.setBypass(1);
    EXPECT_EQ(rig.until([&] { return rig.fade().gain() <= 0.01f; }), 441);
    EXPECT_FALSE(rig.engine.fade().bypass()) << "switches only at the next block boundary";

    rig.sample();
    EXPECT_TRUE(rig.fade().bypass());
    EXPECT_FALSE(rig.fade().fadingOut());
    // The dry input, under the fade.
    EXPECT_EQ(rig.out.at(0, 0), 0.25f * rig.fade().gain());

    EXPECT_EQ(rig.until([&] { return rig.fade().gain() == 1.0f; }), 440);
    EXPECT_TRUE(rig.fade().fading());
    rig.sample();
    EXPECT_FALSE(rig.fade().fading());
    EXPECT_EQ(rig.out.at(0, 0), 0.25f);
}

TEST(BypassListenFade, OnlyARealChangeFades)
{
    // Requests (b: Bypass, l: Listen, in upper case on; a digit: that many
    // hundred samples), then the samples until the fade is at rest and the
    // bypass state then. A full cycle takes 883 samples.
    const struct
    {
        const char* steps;
        bool heard;
        int toRest;
        bool bypass;
    } cases[] = {
        {"bl", true, 0, false},      // the values in force
        {"Bb", true, 0, false},      // there and back before a sample
        {"B1B1B1", true, 583, true}, // the change sent again while fading
        {"B1b", true, 783, false},   // back to the value in force while fading out
        {"Bl", true, 883, true},     // the other switch's value in force
        {"B", false, 0, true},       // nothing heard yet: at once
    };
    for (const auto& c : cases)
    {
        FadeRig rig(44100.0f, c.heard);
        for (const char* step = c.steps; *step; ++step)
            if (*step >= '1' && *step <= '9')
                rig.until([] { return false; }, 100 * (*step - '0'));
            else
                (*step == 'b' || *step == 'B' ? rig.engine.setBypass(*step == 'B')
                                              : rig.engine.setListen(*step == 'L'));
        const int toRest =
            rig.fade().fading() ? rig.until([&] { return !rig.fade().fading(); }) : 0;
        EXPECT_EQ(toRest, c.toRest) << c.steps;
        EXPECT_EQ(rig.fade().bypass(), c.bypass) << c.steps;
    }
}

TEST(BypassListenFade, ChangeDuringTheRiseStillSwitchesAtASilentPoint)
{
    FadeRig rig(44100.0f);
    rig.engine.setBypass(1);
    rig.until([&] { return rig.fade().bypass(); });
    rig.until([&] { return rig.fade().gain() > 0.5f; });
    ASSERT_FALSE(rig.fade().fadingOut());

    rig.engine.setBypass(0);
    float gainAtSwitch = 1.0f;
    ASSERT_GT(rig.until(
                  [&]
                  {
                      const bool switched = !rig.fade().bypass();
                      gainAtSwitch = switched ? gainAtSwitch : rig.fade().gain();
                      return switched;
                  }),
              0);
    EXPECT_LE(gainAtSwitch, 0.01f);
    EXPECT_GT(rig.until([&] { return !rig.fade().fading(); }), 0);
}

TEST(BypassListenFade, PendingChangeSurvivesASampleRateChange)
{
    FadeRig rig(44100.0f);
    rig.engine.setListen(1);
    rig.until([&] { return rig.fade().gain() < 0.5f; });
    rig.engine.setSampleRate(48000.0f);
    EXPECT_EQ(rig.fade().gain(), 1.0f);
    EXPECT_TRUE(rig.fade().fading());
    EXPECT_TRUE(rig.fade().listenPending());

    // A fresh fall at the new rate: 480 samples to the floor.
    float gainAtSwitch = 1.0f;
    EXPECT_EQ(rig.until(
                  [&]
                  {
                      const bool switched = rig.fade().listen();
                      gainAtSwitch = switched ? gainAtSwitch : rig.fade().gain();
                      return switched;
                  }),
              481);
    EXPECT_LE(gainAtSwitch, 0.01f);
}
