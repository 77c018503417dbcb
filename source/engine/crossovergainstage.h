#pragma once

#include "crossoverladder.h"

#include <array>
#include <complex>
#include <vector>

namespace Quorvane
{

// Applies the gate gain inside a ladder of five fourth-order Linkwitz-Riley
// crossovers (each a second-order Butterworth section run twice) instead of a
// plain multiplication. The gain enters the ladder at six points. Filters run
// in double precision; every output channel has its own filter state.
//
// Blocks go through processGroup: channels are handled kGroupLanes at a time
// in SIMD lanes and consecutive samples overlap in a software pipeline
// (crossoverladder.h), with the same results as processSample bit for bit.
class CrossoverGainStage
{
public:
    static constexpr int kNumCrossovers = 5;
    static constexpr int kStatesPerChannel = 4 * kNumCrossovers;
    static constexpr int kGroupLanes = Ladder::kLanes;
    // Crossover frequencies in ladder order (Hz), each 3.1274786 times the previous.
    static constexpr std::array<double, kNumCrossovers> kFrequencies = {
        66.8433613814533, 209.05118043533, 653.803087370331, 2044.75514639445, 6394.92790638715};

    struct Coefficients
    {
        double b0 = 0.0, b1 = 0.0, b2 = 0.0;
        double a0 = 1.0, a1 = 0.0, a2 = 0.0; // a0 is always 1 and not used by the filter
    };

    CrossoverGainStage();

    // Recomputes all coefficients; the filter states stay as they are.
    void setSampleRate(double hz);
    // Forgets the audio heard so far: every filter state back to zero.
    void clearMemory();
    // Replaces all states with zeroed ones for count channels. On allocation
    // failure (or count < 0) returns false and keeps the old states.
    bool setChannels(int count);

    // One sample of one channel with that channel's current gain.
    float processSample(float sample, int channel, float gain);

    // numSamples samples of channel group `group` (channels kGroupLanes * group
    // onwards). samples and gains hold kGroupLanes doubles per sample, one per
    // channel; samples receives the outputs, still in double precision.
    // Lanes without a channel are computed too and must hold finite values;
    // their gains may be overwritten (with 1). A channel whose filter states
    // are no longer finite afterwards starts again from zero.
    void processGroup(int group, double* samples, double* gains, int numSamples);
    int groups() const { return (channels_ + kGroupLanes - 1) / kGroupLanes; }

    // AVX handles every group when the processor has it and it is allowed
    // (the default); otherwise SSE2 and scalar passes do.
    void allowAvx(bool allowed) { useAvx_ = allowed && Ladder::avxAvailable(); }
    bool usesAvx() const { return useAvx_; }

    double sampleRate() const { return sampleRate_; }
    int channels() const { return channels_; }
    const Coefficients& lowPass(int k) const { return lowPass_[k]; }
    const Coefficients& highPass(int k) const { return highPass_[k]; }

private:
    // Filter state of one biquad of one channel, inside the group layout.
    struct StateRef
    {
        double& s1;
        double& s2;
    };

    StateRef state(int channel, int biquad);
    double biquad(const Coefficients& c, int channel, int index, double x);
    // A filter applied twice in series, with two consecutive states.
    double twice(const Coefficients& c, int channel, int first, double x);

    void design(int k);
    // Runs the group's passes; false when a filter state is not finite afterwards.
    bool runGroup(int group, double* state, double* samples, double* gains, int numSamples);

    double sampleRate_ = 44100.0;
    double pi_;
    std::complex<double> p1_;
    std::complex<double> p2_;
    std::array<Coefficients, kNumCrossovers> lowPass_;
    std::array<Coefficients, kNumCrossovers> highPass_;
    Ladder::CoefficientTable table_;
    bool useAvx_ = false;
    int channels_ = 0;
    // Ladder::kStatesPerGroup per group of kGroupLanes channels. Biquads are
    // numbered for each crossover: low-pass passes 1 and 2, then high-pass
    // passes 1 and 2.
    std::vector<double> states_;

    // Where a group's states are in the pair layout of a paired pass
    // (Ladder::toPairLayout); half 0: nowhere. upperHalf > 0: lanes 0 and 1
    // in that layout and the others in the rows it leaves unused, as a pair
    // (2) or lane 2 alone (1) (Ladder::toSplitLayout). A group stays in the
    // layout of the pass that ran it last, and changes only when another
    // kind of pass (or processSample) comes to it.
    struct PairLayout
    {
        int first = 0;
        int half = 0;
        int upperHalf = 0;
        bool operator==(const PairLayout& o) const
        {
            return first == o.first && half == o.half && upperHalf == o.upperHalf;
        }
    };
    void useLayout(int group, PairLayout wanted);
    // Zeroes the states of the group's channels that are not all finite, and
    // of its lanes without a channel.
    void restartNonFinite(int group);
    std::vector<PairLayout> layouts_;
    // The gains of the second pair of a four-channel group
    // (Ladder::runTwoPairsAvx).
    std::vector<double> upperPairGains_;
};

} // namespace Quorvane
