#pragma once

// A second schedule of the crossover ladder for one or two channels: each
// vector holds the channels twice, and its two halves run two different
// biquads of the same crossover at once.
//
// The pipeline of crossoverladder.h runs the layers of one step side by side
// anyway, so two of them can share a vector: the first low-pass of crossover
// k (layer 4k - 2, sample i) with its first high-pass (layer 4k, sample
// i - 2), and the two second passes likewise. The second passes take their
// input straight from the first passes' vector of the previous step; the
// first passes combine halves of earlier results. The upper half's input
// high + low is computed as 1 * high + low, which is the same number. With
// half as many vector operations per sample, one or two channels run about
// twice as fast as with one biquad per vector.

#include "crossoverladder.h"

namespace Quorvane {
namespace Ladder {

// Ops: vector type V of two halves, plus load/store of a whole V, add, sub,
// mul, combine(lower, upper) from two half-sized memory locations,
// broadcastHalf(p), gainPair(p) (the half at p below a half of ones),
// storeLower, storeUpper, keepLower(old, now) and keepUpper(old, now) (now
// with the named half taken from old), and kHalf (doubles per half).
template <class Ops> class PairedPipeline
{
    using V = typename Ops::V;
    static constexpr int kHalf = Ops::kHalf;
    static constexpr int kPairs = kBiquads / 2;

public:
    PairedPipeline(const CoefficientTable& table, double* state) : state_(state)
    {
        for (int p = 0; p < kPairs; ++p)
        {
            for (int which = 0; which < CoefficientTable::kCount; ++which)
                coefficients_[p][which] = Ops::combine(table.c[filterOf(lowerOf(p))][which],
                                                       table.c[filterOf(upperOf(p))][which]);
            s1_[p] = Ops::combine(s1(lowerOf(p)), s1(upperOf(p)));
            s2_[p] = Ops::combine(s2(lowerOf(p)), s2(upperOf(p)));
        }
        for (auto& pair : ring_)
            for (auto& slot : pair)
                for (double& value : slot)
                    value = 0.0;
    }

    ~PairedPipeline()
    {
        for (int p = 0; p < kPairs; ++p)
        {
            Ops::storeLower(s1(lowerOf(p)), s1_[p]);
            Ops::storeUpper(s1(upperOf(p)), s1_[p]);
            Ops::storeLower(s2(lowerOf(p)), s2_[p]);
            Ops::storeUpper(s2(upperOf(p)), s2_[p]);
        }
    }

    PairedPipeline(const PairedPipeline&) = delete;
    PairedPipeline& operator=(const PairedPipeline&) = delete;

    // samples holds the inputs on entry and the outputs on return.
    void run(double* samples, const double* gains, int n)
    {
        xy_ = samples;
        g_ = gains;
        if (n <= 0)
            return;
        for (int t = 0; t < kLastLayer; ++t)
            guarded(t, n, Pairs{});
        for (int t = kLastLayer; t < n; ++t)
        {
            steady(t, n - 1, Pairs{});
            output(t - kLastLayer);
        }
        for (int t = n > kLastLayer ? n : kLastLayer; t < n + kLastLayer; ++t)
            guarded(t, n, Pairs{});
    }

private:
    using Pairs = std::make_integer_sequence<int, kPairs>;

    // Pair 0 holds biquads 0 and 2, pair 1 biquads 1 and 3; for crossover
    // k > 0, pair 2k holds biquads 4k and 4k + 2, pair 2k + 1 biquads 4k + 1
    // and 4k + 3.
    static constexpr int lowerOf(int p) { return p < 2 ? p : 4 * (p / 2) + p % 2; }
    static constexpr int upperOf(int p) { return lowerOf(p) + 2; }
    static constexpr int filterOf(int biquad) { return biquad / 2; }
    // The layer of a biquad in the one-biquad-per-vector pipeline, which is
    // how many steps after its input sample it runs.
    static constexpr int layerOf(int biquad)
    {
        return biquad < 4 ? biquad % 2
                          : 4 * (biquad / 4) - 2 + (biquad % 2) + 2 * ((biquad % 4) / 2);
    }

    double* s1(int biquad) { return state_ + (2 * biquad) * kLanes; }
    double* s2(int biquad) { return state_ + (2 * biquad + 1) * kLanes; }

    // Pair output of step t (four slots: reads reach back three steps).
    double* out(int p, int t) { return ring_[p][t & 3]; }
    double* lower(int p, int t) { return out(p, t); }
    double* upper(int p, int t) { return out(p, t) + kHalf; }

    template <int P> V biquad(V x)
    {
        const V* c = coefficients_[P];
        const V y = Ops::add(Ops::mul(c[CoefficientTable::B0], x), s1_[P]);
        s1_[P] = Ops::add(
            Ops::sub(Ops::mul(c[CoefficientTable::B1], x), Ops::mul(c[CoefficientTable::A1], y)),
            s2_[P]);
        s2_[P] =
            Ops::sub(Ops::mul(c[CoefficientTable::B2], x), Ops::mul(c[CoefficientTable::A2], y));
        return y;
    }

    // Pair P at step t; its lower half works on sample t - layerOf(lowerOf(P)).
    // last: the last sample of the run; a gain is never read beyond it.
    template <int P> void pair(int t, int last)
    {
        constexpr int i = layerOf(lowerOf(P));
        if constexpr (P == 0)
        {
            // g * x below, x above.
            const V x = Ops::broadcastHalf(xy_ + t * kLanes);
            Ops::store(out(0, t), biquad<0>(Ops::mul(Ops::gainPair(g_ + t * kLanes), x)));
        }
        else if constexpr (P % 2 == 1)
        {
            Ops::store(out(P, t), biquad<P>(Ops::load(out(P - 1, t - 1))));
        }
        else
        {
            // g * high + low of crossover k - 1 below; two samples earlier,
            // 1 * high of crossover k - 1 + low of crossover k above.
            const V high = Ops::combine(upper(P - 1, t - 1), upper(P - 1, t - 3));
            const V low = Ops::combine(lower(P - 1, P == 2 ? t - 1 : t - 3), lower(P + 1, t - 1));
            // While draining, the lower half may be past the end.
            const int gi = t - i < last ? t - i : last;
            const V g = Ops::gainPair(g_ + gi * kLanes);
            Ops::store(out(P, t), biquad<P>(Ops::add(Ops::mul(g, high), low)));
        }
    }

    // The output of sample j: g * high + low of the last crossover.
    void output(int j)
    {
        const int t = j + kLastLayer;
        const V high = Ops::broadcastHalf(upper(kPairs - 1, t - 1));
        const V low = Ops::broadcastHalf(lower(kPairs - 1, t - 3));
        Ops::storeLower(xy_ + j * kLanes,
                        Ops::add(Ops::mul(Ops::gainPair(g_ + j * kLanes), high), low));
    }

    template <int... P> void steady(int t, int last, std::integer_sequence<int, P...>)
    {
        (pair<P>(t, last), ...);
    }

    // A step while filling or draining: a half whose sample lies outside the
    // run still computes, but its filter state is put back afterwards.
    template <int P> void guardedPair(int t, int n)
    {
        const int lowerSample = t - layerOf(lowerOf(P));
        const int upperSample = t - layerOf(upperOf(P));
        const bool lowerValid = lowerSample >= 0 && lowerSample < n;
        const bool upperValid = upperSample >= 0 && upperSample < n;
        if (!lowerValid && !upperValid)
            return;
        const V keep1 = s1_[P];
        const V keep2 = s2_[P];
        pair<P>(t, n - 1);
        if (!lowerValid)
        {
            s1_[P] = Ops::keepLower(keep1, s1_[P]);
            s2_[P] = Ops::keepLower(keep2, s2_[P]);
        }
        else if (!upperValid)
        {
            s1_[P] = Ops::keepUpper(keep1, s1_[P]);
            s2_[P] = Ops::keepUpper(keep2, s2_[P]);
        }
    }

    template <int... P> void guarded(int t, int n, std::integer_sequence<int, P...>)
    {
        (guardedPair<P>(t, n), ...);
        const int j = t - kLastLayer;
        if (j >= 0 && j < n)
            output(j);
    }

    double* state_;
    double* xy_ = nullptr;
    const double* g_ = nullptr;
    V coefficients_[kPairs][CoefficientTable::kCount];
    V s1_[kPairs];
    V s2_[kPairs];
    alignas(32) double ring_[kPairs][4][2 * kHalf];
};

} // namespace Ladder
} // namespace Quorvane
