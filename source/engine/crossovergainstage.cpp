#include "crossovergainstage.h"

#include <cmath>
#include <new>

namespace Quorvane {

CrossoverGainStage::CrossoverGainStage()
    : pi_(std::acos(-1.0)),
      // Poles of the second-order Butterworth prototype.
      p1_(std::exp(std::complex<double>(0.0, 3.0 * pi_ / 4.0))),
      p2_(std::exp(std::complex<double>(0.0, 5.0 * pi_ / 4.0)))
{
    setSampleRate(sampleRate_);
}

void CrossoverGainStage::setSampleRate(double hz)
{
    sampleRate_ = hz;
    for (int k = 0; k < kNumCrossovers; ++k)
        design(k);
}

void CrossoverGainStage::design(int k)
{
    using Complex = std::complex<double>;
    Coefficients& lp = lowPass_[k];
    Coefficients& hp = highPass_[k];

    const double ratio = kFrequencies[k] / sampleRate_;
    if (!(ratio < 0.5))
    {
        // A crossover at or above the Nyquist frequency has no band above it:
        // use the limit of the design (low-pass passes everything, high-pass
        // passes nothing) rather than the unstable filter pre-warping would give.
        lp = Coefficients{1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
        hp = Coefficients{0.0, 0.0, 0.0, 1.0, 0.0, 0.0};
        return;
    }

    // Bilinear transform with pre-warping.
    const double w = std::tan(pi_ * kFrequencies[k] / sampleRate_);
    const Complex one(1.0, 0.0);

    Complex s1 = w * p1_;
    Complex s2 = w * p2_;
    Complex z1 = (one + s1) / (one - s1);
    Complex z2 = (one + s2) / (one - s2);
    Complex gain = (w * w) / ((one - s1) * (one - s2));
    lp.b0 = gain.real();
    lp.b1 = (2.0 * gain).real();
    lp.b2 = gain.real();
    lp.a0 = 1.0;
    lp.a1 = (-(z1 + z2)).real();
    lp.a2 = (z1 * z2).real();

    s1 = w / p1_;
    s2 = w / p2_;
    z1 = (one + s1) / (one - s1);
    z2 = (one + s2) / (one - s2);
    gain = one / ((one - s1) * (one - s2));
    hp.b0 = gain.real();
    hp.b1 = (-2.0 * gain).real();
    hp.b2 = gain.real();
    hp.a0 = 1.0;
    hp.a1 = (-(z1 + z2)).real();
    hp.a2 = (z1 * z2).real();
}

bool CrossoverGainStage::setChannels(int count)
{
    if (count < 0)
        return false;
    try
    {
        std::vector<BiquadState> fresh(static_cast<size_t>(count) * kStatesPerChannel);
        states_.swap(fresh);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    channels_ = count;
    return true;
}

double CrossoverGainStage::biquad(const Coefficients& c, BiquadState& s, double x)
{
    // Transposed direct form II.
    const double y = c.b0 * x + s.s1;
    s.s1 = c.b1 * x - c.a1 * y + s.s2;
    s.s2 = c.b2 * x - c.a2 * y;
    return y;
}

double CrossoverGainStage::twice(const Coefficients& c, BiquadState* s, double x)
{
    return biquad(c, s[1], biquad(c, s[0], x));
}

float CrossoverGainStage::processSample(float sample, int channel, float gain)
{
    BiquadState* s = &states_[static_cast<size_t>(channel) * kStatesPerChannel];
    const double x = sample;
    const double g = gain;

    double low = twice(lowPass_[0], s, g * x);
    double high = twice(highPass_[0], s + 2, x);
    for (int k = 1; k < kNumCrossovers; ++k)
    {
        BiquadState* sk = s + 4 * k;
        low = twice(lowPass_[k], sk, g * high + low);
        high = twice(highPass_[k], sk + 2, high + low);
    }
    return static_cast<float>(g * high + low);
}

} // namespace Quorvane
