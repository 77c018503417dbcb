#include "crossovergainstage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace Quorvane
{

CrossoverGainStage::CrossoverGainStage()
    : pi_(std::acos(-1.0)),
      // Poles of the second-order Butterworth prototype.
      p1_(std::exp(std::complex<double>(0.0, 3.0 * pi_ / 4.0))),
      p2_(std::exp(std::complex<double>(0.0, 5.0 * pi_ / 4.0)))
{
    setSampleRate(sampleRate_);
    allowAvx(true);
    // Allocated once, here, not on the audio thread.
    upperPairGains_.assign(static_cast<size_t>(Ladder::kUpperGainRows) * kGroupLanes, 1.0);
}

void CrossoverGainStage::setSampleRate(double hz)
{
    sampleRate_ = hz;
    for (int k = 0; k < kNumCrossovers; ++k)
    {
        design(k);
        const Coefficients* filters[2] = {&lowPass_[k], &highPass_[k]};
        for (int h = 0; h < 2; ++h)
        {
            const Coefficients& f = *filters[h];
            const double values[Ladder::CoefficientTable::kCount] = {f.b0, f.b1, f.b2, f.a1, f.a2};
            for (int which = 0; which < Ladder::CoefficientTable::kCount; ++which)
                for (int lane = 0; lane < kGroupLanes; ++lane)
                    table_.c[2 * k + h][which][lane] = values[which];
        }
    }
    table_.b2IsB0 = true;
    for (int f = 0; f < 2 * kNumCrossovers; ++f)
        table_.b2IsB0 = table_.b2IsB0 && std::memcmp(&table_.c[f][Ladder::CoefficientTable::B0][0],
                                                     &table_.c[f][Ladder::CoefficientTable::B2][0],
                                                     sizeof(double)) == 0;
    // Filter f of the table is biquad b's for f = b / 2.
    for (int p = 0; p < Ladder::kPairs; ++p)
        for (int which = 0; which < Ladder::CoefficientTable::kCount; ++which)
        {
            const double lower = table_.c[Ladder::pairLower(p) / 2][which][0];
            const double upper = table_.c[Ladder::pairUpper(p) / 2][which][0];
            const double two[4] = {lower, lower, upper, upper};
            for (int lane = 0; lane < 4; ++lane)
                table_.pairedTwo[p][which][lane] = two[lane];
            table_.pairedOne[p][which][0] = lower;
            table_.pairedOne[p][which][1] = upper;
        }
    for (int v = 0; v < 5; ++v)
    {
        // Pairs 4G + pass and 4G + 2 + pass for vector 2G + pass; pairs 8
        // and 9 for vector 4.
        const int pairs[2] = {4 * (v / 2) + v % 2, v == 4 ? 9 : 4 * (v / 2) + v % 2 + 2};
        for (int which = 0; which < Ladder::CoefficientTable::kCount; ++which)
            for (int lane = 0; lane < 4; ++lane)
                table_.pairedMono[v][which][lane] =
                    table_.pairedOne[pairs[lane / 2]][which][lane % 2];
    }
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
        const size_t groups = (static_cast<size_t>(count) + kGroupLanes - 1) / kGroupLanes;
        std::vector<double> fresh(groups * Ladder::kStatesPerGroup, 0.0);
        std::vector<PairLayout> freshLayouts(groups);
        states_.swap(fresh);
        layouts_.swap(freshLayouts);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    channels_ = count;
    return true;
}

void CrossoverGainStage::clearMemory()
{
    std::fill(states_.begin(), states_.end(), 0.0);
    std::fill(layouts_.begin(), layouts_.end(), PairLayout{});
}

void CrossoverGainStage::restartNonFinite(int group)
{
    useLayout(group, PairLayout{});
    double* state = &states_[static_cast<size_t>(group) * Ladder::kStatesPerGroup];
    const int lanes = channels_ - group * kGroupLanes;
    for (int lane = 0; lane < kGroupLanes; ++lane)
    {
        bool finite = lane < lanes;
        for (int i = lane; finite && i < Ladder::kStatesPerGroup; i += kGroupLanes)
            finite = std::isfinite(state[i]);
        if (!finite)
            for (int i = lane; i < Ladder::kStatesPerGroup; i += kGroupLanes)
                state[i] = 0.0;
    }
}

void CrossoverGainStage::useLayout(int group, PairLayout wanted)
{
    PairLayout& now = layouts_[static_cast<size_t>(group)];
    if (now == wanted)
        return;
    double* state = &states_[static_cast<size_t>(group) * Ladder::kStatesPerGroup];
    if (now.upperHalf > 0)
        Ladder::fromSplitLayout(state, now.upperHalf);
    else if (now.half > 0)
        Ladder::fromPairLayout(state, now.first, now.half);
    if (wanted.upperHalf > 0)
        Ladder::toSplitLayout(state, wanted.upperHalf);
    else if (wanted.half > 0)
        Ladder::toPairLayout(state, wanted.first, wanted.half);
    now = wanted;
}

CrossoverGainStage::StateRef CrossoverGainStage::state(int channel, int biquad)
{
    double* group = &states_[static_cast<size_t>(channel / kGroupLanes) * Ladder::kStatesPerGroup];
    double* s1 = group + 2 * biquad * kGroupLanes + channel % kGroupLanes;
    return {s1[0], s1[kGroupLanes]};
}

double CrossoverGainStage::biquad(const Coefficients& c, int channel, int index, double x)
{
    // Transposed direct form II.
    StateRef s = state(channel, index);
    const double y = c.b0 * x + s.s1;
    s.s1 = c.b1 * x - c.a1 * y + s.s2;
    s.s2 = c.b2 * x - c.a2 * y;
    return y;
}

double CrossoverGainStage::twice(const Coefficients& c, int channel, int first, double x)
{
    return biquad(c, channel, first + 1, biquad(c, channel, first, x));
}

float CrossoverGainStage::processSample(float sample, int channel, float gain)
{
    useLayout(channel / kGroupLanes, PairLayout{});
    const double x = sample;
    const double g = gain;

    double low = twice(lowPass_[0], channel, 0, g * x);
    double high = twice(highPass_[0], channel, 2, x);
    for (int k = 1; k < kNumCrossovers; ++k)
    {
        low = twice(lowPass_[k], channel, 4 * k, g * high + low);
        high = twice(highPass_[k], channel, 4 * k + 2, high + low);
    }
    return static_cast<float>(g * high + low);
}

void CrossoverGainStage::processGroup(int group, double* samples, double* gains, int numSamples)
{
    double* state = &states_[static_cast<size_t>(group) * Ladder::kStatesPerGroup];
    // Once per run, not per sample: a non-finite state would otherwise stay
    // for good. The passes check the states they ran while those are still
    // in registers; slots of the group they leave alone hold copies of
    // states that were finite when made.
    if (!runGroup(group, state, samples, gains, numSamples))
        restartNonFinite(group);
}

bool CrossoverGainStage::runGroup(int group, double* state, double* samples, double* gains,
                                  int numSamples)
{
    const int lanes = channels_ - group * kGroupLanes;
    if (useAvx_ && lanes >= 4)
    {
        // Two pairs take fewer instructions than one biquad per lane in four lanes.
        useLayout(group, PairLayout{0, 2, 2});
        return Ladder::runTwoPairsAvx(table_, state, samples, gains, upperPairGains_.data(),
                                      numSamples);
    }
    if (useAvx_ && lanes == 3)
    {
        // A four-lane pass would carry an empty lane; two channels paired
        // and one alone do a quarter less work. The single channel goes
        // first: the paired pass sets the gains of lanes 2 and 3 to 1.
        useLayout(group, PairLayout{0, 2, 1});
        const bool third = Ladder::runMonoAvx(table_, state + Ladder::kThirdLaneState, samples + 2,
                                              gains + 2, numSamples);
        return Ladder::runPairedAvx(table_, state, samples, gains, numSamples) && third;
    }
    if (useAvx_ && lanes == 2)
    {
        useLayout(group, PairLayout{0, 2});
        return Ladder::runPairedAvx(table_, state, samples, gains, numSamples);
    }
    if (useAvx_ && lanes == 1)
    {
        useLayout(group, PairLayout{0, 1});
        return Ladder::runMonoAvx(table_, state, samples, gains, numSamples);
    }
    // Lanes 0 and 1, then lanes 2 and 3; a single channel goes alone.
    const int single = lanes % 2 == 1 && lanes < kGroupLanes ? lanes - 1 : -1;
    useLayout(group, single >= 0 ? PairLayout{single, 1} : PairLayout{});
    bool finite = true;
    for (int first = 0; first < lanes && first < kGroupLanes; first += 2)
    {
        if (first != single)
            finite = Ladder::runSse2(table_, state + first, samples + first, gains + first,
                                     numSamples) &&
                     finite;
        else
            finite = Ladder::runPairedSse2(table_, state + first, samples + first, gains + first,
                                           numSamples) &&
                     finite;
    }
    return finite;
}

} // namespace Quorvane
