#pragma once

#include <array>
#include <complex>
#include <vector>

namespace Quorvane {

// Applies the gate gain inside a ladder of five fourth-order Linkwitz-Riley
// crossovers (each a second-order Butterworth section run twice) instead of a
// plain multiplication. The gain enters the ladder at six points. Filters run
// in double precision; every output channel has its own filter state.
class CrossoverGainStage
{
public:
    static constexpr int kNumCrossovers = 5;
    static constexpr int kStatesPerChannel = 4 * kNumCrossovers;
    // Crossover frequencies in ladder order (Hz), each 3.1274786 times the previous.
    static constexpr std::array<double, kNumCrossovers> kFrequencies = {
        66.8433613814533, 209.05118043533, 653.803087370331, 2044.75514639445,
        6394.92790638715};

    struct Coefficients
    {
        double b0 = 0.0, b1 = 0.0, b2 = 0.0;
        double a0 = 1.0, a1 = 0.0, a2 = 0.0; // a0 is always 1 and not used by the filter
    };

    CrossoverGainStage();

    // Recomputes all coefficients; the filter states stay as they are.
    void setSampleRate(double hz);
    // Replaces all states with zeroed ones for count channels. On allocation
    // failure (or count < 0) returns false and keeps the old states.
    bool setChannels(int count);

    // One sample of one channel with that channel's current gain.
    float processSample(float sample, int channel, float gain);

    double sampleRate() const { return sampleRate_; }
    int channels() const { return channels_; }
    const Coefficients& lowPass(int k) const { return lowPass_[k]; }
    const Coefficients& highPass(int k) const { return highPass_[k]; }

private:
    struct BiquadState
    {
        double s1 = 0.0;
        double s2 = 0.0;
    };

    static double biquad(const Coefficients& c, BiquadState& s, double x);
    // A filter applied twice in series, with two consecutive states.
    static double twice(const Coefficients& c, BiquadState* s, double x);

    void design(int k);

    double sampleRate_ = 44100.0;
    double pi_;
    std::complex<double> p1_;
    std::complex<double> p2_;
    std::array<Coefficients, kNumCrossovers> lowPass_;
    std::array<Coefficients, kNumCrossovers> highPass_;
    int channels_ = 0;
    // kStatesPerChannel per channel: for each crossover, low-pass passes 1 and
    // 2, then high-pass passes 1 and 2.
    std::vector<BiquadState> states_;
};

} // namespace Quorvane
