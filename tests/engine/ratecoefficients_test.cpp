// The rate-dependent parts of the engine, the crossover ladder's filters and the bypass/listen
// fade, at the common rates other than 44.1 kHz. Expected values are worked out here from the
// filter and fade definitions in long double, not taken from the engine's own helpers.
#include "enginetesthelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Quorvane;
using QuorvaneTest::AudioBuffer;

namespace
{

const float kRates[] = {48000.0f, 88200.0f, 96000.0f, 192000.0f};

// The crossover frequencies, lowest first (20 kHz divided by 3.1274786 five times over).
const long double kCrossoverHz[5] = {66.8433613814533L, 209.05118043533L, 653.803087370331L,
                                     2044.75514639445L, 6394.92790638715L};

struct Biquad
{
    long double b0, b1, b2, a1, a2;
};

// Second-order Butterworth sections by the bilinear transform with pre-warping, written out.
Biquad butterworth(long double hz, long double rate, bool highPass)
{
    const long double pi = std::acos(-1.0L);
    const long double w = std::tan(pi * hz / rate);
    const long double root2 = std::sqrt(2.0L);
    const long double d = 1.0L + root2 * w + w * w;
    const long double a1 = 2.0L * (w * w - 1.0L) / d;
    const long double a2 = (1.0L - root2 * w + w * w) / d;
    if (highPass)
        return {1.0L / d, -2.0L / d, 1.0L / d, a1, a2};
    return {w * w / d, 2.0L * w * w / d, w * w / d, a1, a2};
}

void expectClose(double actual, long double expected, const std::string& what)
{
    const long double tolerance = 1e-11L * std::fabs(expected) + 1e-14L;
    EXPECT_LE(std::fabs(static_cast<long double>(actual) - expected), tolerance)
        << what << ": " << actual << " instead of " << static_cast<double>(expected);
}

// One-sample blocks through a mono engine, so that every sample is a block boundary.
struct FadeRig
{
    explicit FadeRig(float rate) : in(1, 1), out(1, 1)
    {
        QuorvaneTest::configure(engine, 1, 1, 1, rate);
        sample(); // audio has gone through: a change fades
    }
    void sample()
    {
        in.fill(0.25f);
        engine.processBlock(in.data(), out.data(), 1);
    }
    GateEngine engine;
    AudioBuffer in;
    AudioBuffer out;
};

} // namespace

TEST(RateCoefficients, CrossoverFiltersAtEveryCommonRate)
{
    for (float rate : kRates)
    {
        GateEngine engine;
        engine.setSampleRate(rate);
        const CrossoverGainStage& stage = engine.crossover();
        ASSERT_EQ(stage.sampleRate(), static_cast<double>(rate));
        for (int k = 0; k < CrossoverGainStage::kNumCrossovers; ++k)
        {
            const std::string where =
                std::to_string(int(rate)) + " Hz, crossover " + std::to_string(k);
            const Biquad lp = butterworth(kCrossoverHz[k], rate, false);
            const Biquad hp = butterworth(kCrossoverHz[k], rate, true);
            const auto& l = stage.lowPass(k);
            const auto& h = stage.highPass(k);
            expectClose(l.b0, lp.b0, where + " low-pass b0");
            expectClose(l.b1, lp.b1, where + " low-pass b1");
            expectClose(l.b2, lp.b2, where + " low-pass b2");
            expectClose(l.a1, lp.a1, where + " low-pass a1");
            expectClose(l.a2, lp.a2, where + " low-pass a2");
            expectClose(h.b0, hp.b0, where + " high-pass b0");
            expectClose(h.b1, hp.b1, where + " high-pass b1");
            expectClose(h.b2, hp.b2, where + " high-pass b2");
            expectClose(h.a1, hp.a1, where + " high-pass a1");
            expectClose(h.a2, hp.a2, where + " high-pass a2");
        }
    }
}

// The fade falls to -40 dB in 10 ms and rises with the same coefficient, at every rate.
TEST(RateCoefficients, BypassFadeTakesTenMillisecondsAtEveryRate)
{
    for (float rate : kRates)
    {
        SCOPED_TRACE(std::to_string(int(rate)) + " Hz");
        const long double samples = static_cast<long double>(rate) * 0.01L; // 10 ms
        const long double coeff = std::pow(0.01L, 1.0L / samples);

        FadeRig rig(rate);
        EXPECT_NEAR(rig.engine.fade().coeff(), static_cast<double>(coeff),
                    4e-7 * static_cast<double>(coeff));

        rig.engine.setBypass(1);
        const int n10 = static_cast<int>(std::lround(samples));
        int n = 0;
        while (rig.engine.fade().gain() > 0.01f && n < 4 * n10)
        {
            rig.sample();
            ++n;
            if (n == n10 / 2)
            {
                EXPECT_NEAR(rig.engine.fade().gain(), 0.1, 0.1 * 5e-4) << "-20 dB after 5 ms";
            }
        }
        EXPECT_GE(n, n10);
        EXPECT_LE(n, n10 + 1);

        // Switched at the next block boundary, where the rise starts: after m steps 1 - gain is
        // 0.99 times the coefficient to the m.
        rig.sample();
        ASSERT_TRUE(rig.engine.fade().bypass());
        ASSERT_FALSE(rig.engine.fade().fadingOut());
        int m = 1;
        for (; m < n10 / 2; ++m)
            rig.sample();
        const long double risen = 1.0L - 0.99L * std::pow(coeff, static_cast<long double>(m));
        EXPECT_NEAR(rig.engine.fade().gain(), static_cast<double>(risen), 1e-4);
        while (rig.engine.fade().gain() < 1.0f && m < 4 * n10)
        {
            rig.sample();
            ++m;
        }
        // Full gain once 1 - gain is at most 0.01.
        const int rise =
            static_cast<int>(std::ceil(samples * std::log(0.01L / 0.99L) / std::log(0.01L)));
        EXPECT_GE(m, rise - 1);
        EXPECT_LE(m, rise + 1);
    }
}
