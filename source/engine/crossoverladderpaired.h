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
// broadcastHalf(p), lowerHalves(a, b) and upperHalves(a, b) (the lower or
// upper halves of the vectors at a and b, read as whole vectors, since a
// half-sized load from a vector just stored may not be forwarded from the
// store queue), setUpperOnes(p) (writes ones to the half above p),
// storeLower, storeUpper, keepLower(old, now) and keepUpper(old, now) (now
// with the named half taken from old), and kHalf (doubles per half).
// SharedB2: the table's b2IsB0 holds, and b2 * x reuses b0 * x.
template <class Ops, bool SharedB2> class PairedPipeline
{
    using V = typename Ops::V;
    static constexpr int kHalf = Ops::kHalf;
    using Ring = double[kPairs][4][2 * kHalf];

public:
    PairedPipeline(const CoefficientTable& table, double* state) : state_(state)
    {
        if constexpr (kHalf == 2)
            coefficients_ = &table.pairedTwo[0][0][0];
        else
            coefficients_ = &table.pairedOne[0][0][0];
        for (int p = 0; p < kPairs; ++p)
        {
            s1_[p] = Ops::combine(s1(lowerOf(p)), s1(upperOf(p)));
            s2_[p] = Ops::combine(s2(lowerOf(p)), s2(upperOf(p)));
        }
        // A half outside the run reads slots not written yet: they must be finite.
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

    // samples holds the inputs on entry and the outputs on return. The lanes
    // of gains above the pass's own (which belong to no channel) are set to 1.
    void run(double* samples, double* gains, int n)
    {
        xy_ = samples;
        g_ = gains;
        if (n <= 0)
            return;
        // Each gain as the pair the first passes multiply by: g below, 1 above.
        for (int i = 0; i < n; ++i)
            Ops::setUpperOnes(g_ + i * kLanes);
        if (n < kLastLayer)
        {
            // Filling and draining overlap: every step checks every half.
            for (int t = 0; t < n + kLastLayer; ++t)
                guarded(t, n, Pairs{});
            return;
        }
        fill(Steps{});
        // Four steps per round, so that every ring slot is a constant; the
        // first steady step, kLastLayer, is at slot 2.
        int t = kLastLayer;
        for (; t + 4 <= n; t += 4)
        {
            steady<2>(t, Pairs{});
            steady<3>(t + 1, Pairs{});
            steady<0>(t + 2, Pairs{});
            steady<1>(t + 3, Pairs{});
        }
        for (; t < n; ++t)
            steady<kAnySlot>(t, Pairs{});
        // Draining reads the last three steps' slots; renumbered so that
        // step n has slot 0, every slot of the drain is a constant.
        renumberSlots(n & 3);
        drain(n, Steps{});
    }

private:
    using Pairs = std::make_integer_sequence<int, kPairs>;
    using Steps = std::make_integer_sequence<int, kLastLayer>;
    // A slot known only at run time.
    static constexpr int kAnySlot = -1;

    static constexpr int lowerOf(int p) { return pairLower(p); }
    static constexpr int upperOf(int p) { return pairUpper(p); }
    // The layer of a biquad in the one-biquad-per-vector pipeline, which is
    // how many steps after its input sample it runs.
    static constexpr int layerOf(int biquad)
    {
        return biquad < 4 ? biquad % 2
                          : 4 * (biquad / 4) - 2 + (biquad % 2) + 2 * ((biquad % 4) / 2);
    }

    double* s1(int biquad) { return state_ + (2 * biquad) * kLanes; }
    double* s2(int biquad) { return state_ + (2 * biquad + 1) * kLanes; }

    // The ring slot of step t - back (four slots: reads reach back three
    // steps). Slot is t's own slot when known at compile time.
    template <int Slot> static int slot(int t, int back)
    {
        if constexpr (Slot == kAnySlot)
            return (t - back) & 3;
        else
            return (Slot - back) & 3;
    }
    double* lower(int p, int s) { return ring_[p][s]; }

    template <int P> V coefficient(int which) const
    {
        return Ops::load(coefficients_ + (P * CoefficientTable::kCount + which) * 2 * kHalf);
    }

    template <int P> V biquad(V x)
    {
        using C = CoefficientTable;
        const V b0x = Ops::mul(coefficient<P>(C::B0), x);
        const V y = Ops::add(b0x, s1_[P]);
        s1_[P] = Ops::add(
            Ops::sub(Ops::mul(coefficient<P>(C::B1), x), Ops::mul(coefficient<P>(C::A1), y)),
            s2_[P]);
        const V b2x = SharedB2 ? b0x : Ops::mul(coefficient<P>(C::B2), x);
        s2_[P] = Ops::sub(b2x, Ops::mul(coefficient<P>(C::A2), y));
        return y;
    }

    // Pair P at step t; its lower half works on sample t - layerOf(lowerOf(P)).
    // With Clamp, a gain is never read beyond sample last (while draining,
    // the lower half may be past the end).
    template <int P, int Slot, bool Clamp> void pair(int t, int last)
    {
        constexpr int i = layerOf(lowerOf(P));
        double* result = ring_[P][slot<Slot>(t, 0)];
        if constexpr (P == 0)
        {
            // g * x below, x above.
            const V x = Ops::broadcastHalf(xy_ + t * kLanes);
            Ops::store(result, biquad<0>(Ops::mul(Ops::load(g_ + t * kLanes), x)));
        }
        else if constexpr (P % 2 == 1)
        {
            Ops::store(result, biquad<P>(Ops::load(ring_[P - 1][slot<Slot>(t, 1)])));
        }
        else
        {
            // g * high + low of crossover k - 1 below; two samples earlier,
            // 1 * high of crossover k - 1 + low of crossover k above.
            const V high =
                Ops::upperHalves(ring_[P - 1][slot<Slot>(t, 1)], ring_[P - 1][slot<Slot>(t, 3)]);
            const V low = Ops::lowerHalves(ring_[P - 1][slot<Slot>(t, P == 2 ? 1 : 3)],
                                           ring_[P + 1][slot<Slot>(t, 1)]);
            int gi = t - i;
            if constexpr (Clamp)
                gi = gi < last ? gi : last;
            const V g = Ops::load(g_ + gi * kLanes);
            Ops::store(result, biquad<P>(Ops::add(Ops::mul(g, high), low)));
        }
    }

    // The output of sample t - kLastLayer: g * high + low of the last crossover.
    template <int Slot> void output(int t)
    {
        const int j = t - kLastLayer;
        const double* last = ring_[kPairs - 1][slot<Slot>(t, 1)];
        const V high = Ops::upperHalves(last, last);
        const V low = Ops::broadcastHalf(lower(kPairs - 1, slot<Slot>(t, 3)));
        Ops::storeLower(xy_ + j * kLanes, Ops::add(Ops::mul(Ops::load(g_ + j * kLanes), high), low));
    }

    template <int Slot, int... P> void steady(int t, std::integer_sequence<int, P...>)
    {
        (pair<P, Slot, false>(t, 0), ...);
        output<Slot>(t);
    }

    // Pair P at a step where only one half has a sample inside the run: that
    // half's filter state is put back afterwards (the other half's input is
    // stale but finite).
    template <int P, int Slot, bool Clamp> void halfPair(int t, int last, bool lowerValid)
    {
        const V keep1 = s1_[P];
        const V keep2 = s2_[P];
        pair<P, Slot, Clamp>(t, last);
        if (!lowerValid)
        {
            s1_[P] = Ops::keepLower(keep1, s1_[P]);
            s2_[P] = Ops::keepLower(keep2, s2_[P]);
        }
        else
        {
            s1_[P] = Ops::keepUpper(keep1, s1_[P]);
            s2_[P] = Ops::keepUpper(keep2, s2_[P]);
        }
    }

    // Filling, for runs of at least kLastLayer samples: at step T the halves
    // whose layer is at most T have a sample. Which ones is known at compile
    // time, so each step does only the work it needs.
    template <int T, int P> void fillPair()
    {
        constexpr bool lowerValid = T >= layerOf(lowerOf(P));
        constexpr bool upperValid = T >= layerOf(upperOf(P));
        if constexpr (lowerValid && upperValid)
            pair<P, T % 4, false>(T, 0);
        else if constexpr (lowerValid)
            halfPair<P, T % 4, false>(T, 0, true);
    }
    template <int T, int... P> void fillStep(std::integer_sequence<int, P...>)
    {
        (fillPair<T, P>(), ...);
    }
    template <int... T> void fill(std::integer_sequence<int, T...>) { (fillStep<T>(Pairs{}), ...); }

    // Moves the ring contents from slot s to slot (s - shift) & 3.
    void renumberSlots(int shift)
    {
        if (shift == 0)
            return;
        for (int p = 0; p < kPairs; ++p)
        {
            V slots[4];
            for (int s = 0; s < 4; ++s)
                slots[s] = Ops::load(ring_[p][s]);
            for (int s = 0; s < 4; ++s)
                Ops::store(ring_[p][(s - shift) & 3], slots[s]);
        }
    }

    // Draining, for runs of at least kLastLayer samples: at step n + D the
    // halves whose layer is above D still have a sample, and sample
    // n + D - kLastLayer is finished. Step n + D has slot D % 4.
    template <int D, int P> void drainPair(int t, int last)
    {
        constexpr bool lowerValid = D < layerOf(lowerOf(P));
        constexpr bool upperValid = D < layerOf(upperOf(P));
        if constexpr (lowerValid && upperValid)
            pair<P, D % 4, false>(t, last);
        else if constexpr (upperValid)
            halfPair<P, D % 4, true>(t, last, false);
    }
    template <int D, int... P> void drainStep(int n, std::integer_sequence<int, P...>)
    {
        (drainPair<D, P>(n + D, n - 1), ...);
        output<D % 4>(n + D);
    }
    template <int... D> void drain(int n, std::integer_sequence<int, D...>)
    {
        (drainStep<D>(n, Pairs{}), ...);
    }

    // A step of a short run, where filling and draining overlap: a half
    // whose sample lies outside the run still computes, but its filter
    // state is put back afterwards.
    template <int P> void guardedPair(int t, int n)
    {
        const int lowerSample = t - layerOf(lowerOf(P));
        const int upperSample = t - layerOf(upperOf(P));
        const bool lowerValid = lowerSample >= 0 && lowerSample < n;
        const bool upperValid = upperSample >= 0 && upperSample < n;
        if (lowerValid && upperValid)
            pair<P, kAnySlot, true>(t, n - 1);
        else if (lowerValid || upperValid)
            halfPair<P, kAnySlot, true>(t, n - 1, lowerValid);
    }

    template <int... P> void guarded(int t, int n, std::integer_sequence<int, P...>)
    {
        (guardedPair<P>(t, n), ...);
        const int j = t - kLastLayer;
        if (j >= 0 && j < n)
            output<kAnySlot>(t);
    }

    double* state_;
    const double* coefficients_;
    double* xy_ = nullptr;
    double* g_ = nullptr;
    V s1_[kPairs];
    V s2_[kPairs];
    alignas(32) Ring ring_;
};

} // namespace Ladder
} // namespace Quorvane
