#pragma once

// A second schedule of the crossover ladder for one or two channels: each
// vector holds the channels twice, and its two halves run two different
// biquads of the same crossover at once.
//
// Like the pipeline of crossoverladder.h, this one runs consecutive samples
// overlapped, but two biquads share a vector: the first low-pass of crossover
// k with its first high-pass one sample behind it, and the two second passes
// likewise. A step runs the second passes on the first passes' vector of the
// same step; the first passes combine halves of earlier steps' results. The
// upper half's input high + low is computed as 1 * high + low, which is the
// same number. With half as many vector operations per sample, one or two
// channels run about twice as fast as with one biquad per vector.

#include "crossoverladder.h"

namespace Quorvane
{
namespace Ladder
{

// Ops: vector type V of two halves, plus load/store of a whole V (kRingWidth
// doubles) in the ring of recent results, add, sub, mul, broadcastHalf(p),
// lowerHalves(a, b) and upperHalves(a, b) (the lower or upper halves of the
// ring's vectors at a and b, read as whole vectors, since a half-sized load
// from a vector just stored may not be forwarded from the store queue),
// loadState/storeState (a pair's filter state in the group's state layout),
// coefficient(p) (a pair's coefficients, kHalf doubles per half),
// loadGains(p) (a sample's gains as the first passes multiply by them: g
// below, 1 above), setUpperOnes(p) (rewrites the gains at p so that a whole
// load of them is that, as one whole store, so that the steps' loads of it
// can be forwarded from the store queue in short runs), broadcastInput(p)
// (a sample's inputs in both halves), storeOutput (a sample's outputs),
// keepLower(old, now) and keepUpper(old, now) (now with the named half taken
// from old), and kHalf (doubles per half in the coefficient table).
// The memory side of Ops for a pass whose vector is one pair of lanes in
// the ring, the states, the gains and the samples alike.
template <class Vectors> struct OnePairOps : Vectors
{
    using V = typename Vectors::V;
    static constexpr int kRingWidth = 2 * Vectors::kHalf;
    static V loadState(const double* p) { return Vectors::load(p); }
    static void storeState(double* p, V v) { Vectors::store(p, v); }
    static V coefficient(const double* p) { return Vectors::load(p); }
    static V loadGains(const double* p) { return Vectors::load(p); }
    static V broadcastInput(const double* p) { return Vectors::broadcastHalf(p); }
    static void storeOutput(double* p, V v) { Vectors::storeLower(p, v); }
};

// SharedB2: the table's b2IsB0 holds, and b2 * x reuses b0 * x.
template <class Ops, bool SharedB2> class PairedPipeline
{
    using V = typename Ops::V;
    static constexpr int kHalf = Ops::kHalf;
    struct States
    {
        V s1[kPairs];
        V s2[kPairs];
    };
    // The outputs of the odd pairs (each crossover's second passes), which
    // later steps read: four slots, as reads reach back two steps.
    using Ring = double[kCrossovers][4][Ops::kRingWidth];

public:
    PairedPipeline(const CoefficientTable& table, double* state) : state_(state)
    {
        if constexpr (kHalf == 2)
            coefficients_ = &table.pairedTwo[0][0][0];
        else
            coefficients_ = &table.pairedOne[0][0][0];
        load(Pairs{});
        // A half outside the run reads slots not written yet: they must be finite.
        for (auto& pair : ring_)
            for (auto& slot : pair)
                for (double& value : slot)
                    value = 0.0;
    }

    ~PairedPipeline() { store(Pairs{}); }

    // True when the filter states are all finite after the run.
    bool finite() const
    {
        return allFinite<Ops>(states_.s1, kPairs) && allFinite<Ops>(states_.s2, kPairs);
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
        // (Through the argument: a store through the member could change the
        // member, as far as the compiler knows, so it would be read again
        // for every sample.)
        int i = 0;
        for (; i + 4 <= n; i += 4)
            for (int k = 0; k < 4; ++k)
                Ops::setUpperOnes(gains + (i + k) * kLanes);
        for (; i < n; ++i)
            Ops::setUpperOnes(gains + i * kLanes);
        if (n < kOutputStage)
        {
            // Filling and draining overlap: every step checks every half.
            for (int t = 0; t < n + kOutputStage; ++t)
                guarded(t, n, Crossovers{});
            return;
        }
        fill(Steps{});
        // One step of code for the whole steady part, its ring slots worked
        // out at run time. Unrolling four steps so that the slots are
        // constants takes fewer instructions but makes a block's code
        // larger, which costs more time in small blocks than the slot
        // arithmetic (which runs beside the vector work) does in long ones.
        // The states in a local copy, which nothing else can reach, so that
        // the compiler keeps what it can of them in registers.
        States st = states_;
        for (int t = kOutputStage; t < n; ++t)
            steady<kAnySlot>(st, t, Crossovers{});
        states_ = st;
        // Draining reads the last two steps' slots; renumbered so that
        // step n has slot 0, every slot of the drain is a constant.
        renumberSlots(n & 3);
        drain(n, Steps{});
    }

private:
    using Crossovers = std::make_integer_sequence<int, kCrossovers>;
    using Pairs = std::make_integer_sequence<int, kPairs>;
    // A slot known only at run time.
    static constexpr int kAnySlot = -1;

    static constexpr int lowerOf(int p) { return pairLower(p); }
    static constexpr int upperOf(int p) { return pairUpper(p); }
    // How many steps after its input sample a biquad runs. The serial chain
    // of 18 layers (the first crossover's low- and high-pass side by side)
    // is cut into stages of two: in one step a crossover's second passes
    // take the first passes' outputs of the same step, so each step holds
    // five short chains, which is work enough to overlap, and the pipeline
    // is only nine steps deep.
    static constexpr int stageOf(int biquad)
    {
        return (biquad < 4 ? biquad % 2
                           : 4 * (biquad / 4) - 2 + (biquad % 2) + 2 * ((biquad % 4) / 2)) /
               2;
    }
    // Step t writes the output of sample t - kOutputStage.
    static constexpr int kOutputStage = stageOf(kBiquads - 1) + 1;
    using Steps = std::make_integer_sequence<int, kOutputStage>;

    double* s1(int biquad) { return state_ + (2 * biquad) * kLanes; }
    double* s2(int biquad) { return state_ + (2 * biquad + 1) * kLanes; }

    // The filter states into the pairs and back, every address a constant.
    // They are kept in the pair layout (see pairedStateLayout): pair p's
    // vector is stored whole where its lower biquad's state is.
    template <int... P> void load(std::integer_sequence<int, P...>)
    {
        ((states_.s1[P] = Ops::loadState(s1(lowerOf(P))),
          states_.s2[P] = Ops::loadState(s2(lowerOf(P)))),
         ...);
    }
    template <int... P> void store(std::integer_sequence<int, P...>)
    {
        ((Ops::storeState(s1(lowerOf(P)), states_.s1[P]),
          Ops::storeState(s2(lowerOf(P)), states_.s2[P])),
         ...);
    }

    // The ring slot of step t - back. Slot is t's own slot when known at
    // compile time.
    template <int Slot> static int slot(int t, int back)
    {
        if constexpr (Slot == kAnySlot)
            return (t - back) & 3;
        else
            return (Slot - back) & 3;
    }

    template <int P> V coefficient(int which) const
    {
        return Ops::coefficient(coefficients_ + (P * CoefficientTable::kCount + which) * 2 * kHalf);
    }

    template <int P> V biquad(States& st, V x)
    {
        using C = CoefficientTable;
        const V b0x = Ops::mul(coefficient<P>(C::B0), x);
        const V y = Ops::add(b0x, st.s1[P]);
        st.s1[P] = Ops::add(
            Ops::sub(Ops::mul(coefficient<P>(C::B1), x), Ops::mul(coefficient<P>(C::A1), y)),
            st.s2[P]);
        const V b2x = SharedB2 ? b0x : Ops::mul(coefficient<P>(C::B2), x);
        st.s2[P] = Ops::sub(b2x, Ops::mul(coefficient<P>(C::A2), y));
        return y;
    }

    // The first passes of crossover K (pair 2K) at step t; its lower half
    // works on sample t - stageOf(lowerOf(2K)). With Clamp, a gain is never
    // read beyond sample last (while draining, the lower half may be past
    // the end).
    template <int K, int Slot, bool Clamp> V firstPasses(States& st, int t, int last)
    {
        constexpr int P = 2 * K;
        if constexpr (K == 0)
        {
            // g * x below, x above.
            const V x = Ops::broadcastInput(xy_ + t * kLanes);
            return biquad<0>(st, Ops::mul(Ops::loadGains(g_ + t * kLanes), x));
        }
        else
        {
            // g * high + low of crossover K - 1 below; one sample earlier,
            // 1 * high of crossover K - 1 + low of crossover K above.
            constexpr int i = stageOf(lowerOf(P));
            const V high =
                Ops::upperHalves(ring_[K - 1][slot<Slot>(t, 1)], ring_[K - 1][slot<Slot>(t, 2)]);
            const V low = Ops::lowerHalves(ring_[K - 1][slot<Slot>(t, K == 1 ? 1 : 2)],
                                           ring_[K][slot<Slot>(t, 1)]);
            int gi = t - i;
            if constexpr (Clamp)
                gi = gi < last ? gi : last;
            const V g = Ops::loadGains(g_ + gi * kLanes);
            return biquad<P>(st, Ops::add(Ops::mul(g, high), low));
        }
    }

    // The second passes of crossover K (pair 2K + 1) on the first passes'
    // outputs of the same step.
    template <int K, int Slot> void secondPasses(States& st, int t, V first)
    {
        Ops::store(ring_[K][slot<Slot>(t, 0)], biquad<2 * K + 1>(st, first));
    }

    // Which halves of pair P have a sample inside the run.
    enum class Halves
    {
        None,
        Lower,
        Upper,
        Both
    };

    // Pair P's filter state with the half outside the run put back (its
    // input was stale but finite).
    template <int P, Halves Valid> void keepValid(States& st, V keep1, V keep2)
    {
        if constexpr (Valid == Halves::Lower)
        {
            st.s1[P] = Ops::keepUpper(keep1, st.s1[P]);
            st.s2[P] = Ops::keepUpper(keep2, st.s2[P]);
        }
        else
        {
            st.s1[P] = Ops::keepLower(keep1, st.s1[P]);
            st.s2[P] = Ops::keepLower(keep2, st.s2[P]);
        }
    }

    // Crossover K at step t, both of its pairs having the halves Valid in
    // the run.
    template <int K, int Slot, bool Clamp, Halves Valid> void crossover(States& st, int t, int last)
    {
        constexpr int P = 2 * K;
        if constexpr (Valid == Halves::Both)
            secondPasses<K, Slot>(st, t, firstPasses<K, Slot, Clamp>(st, t, last));
        else if constexpr (Valid != Halves::None)
        {
            const V keep1 = st.s1[P], keep2 = st.s2[P];
            const V keep3 = st.s1[P + 1], keep4 = st.s2[P + 1];
            const V first = firstPasses<K, Slot, Clamp>(st, t, last);
            keepValid<P, Valid>(st, keep1, keep2);
            secondPasses<K, Slot>(st, t, first);
            keepValid<P + 1, Valid>(st, keep3, keep4);
        }
    }

    // The output of sample t - kOutputStage: g * high + low of the last crossover.
    template <int Slot> void output(int t)
    {
        const int j = t - kOutputStage;
        const double* high = ring_[kCrossovers - 1][slot<Slot>(t, 1)];
        const double* low = ring_[kCrossovers - 1][slot<Slot>(t, 2)];
        Ops::storeOutput(xy_ + j * kLanes, Ops::add(Ops::mul(Ops::loadGains(g_ + j * kLanes),
                                                             Ops::upperHalves(high, high)),
                                                    Ops::broadcastHalf(low)));
    }

    template <int Slot, int... K> void steady(States& st, int t, std::integer_sequence<int, K...>)
    {
        (crossover<K, Slot, false, Halves::Both>(st, t, 0), ...);
        output<Slot>(t);
    }

    // Halves of crossover K's pairs with a sample at fill step T (the halves
    // whose stage is at most T) or at drain step D (those whose stage is
    // above D). Both pairs of a crossover have the same stages.
    template <int K> static constexpr Halves filling(int T)
    {
        const bool lower = T >= stageOf(lowerOf(2 * K));
        const bool upper = T >= stageOf(upperOf(2 * K));
        return lower && upper ? Halves::Both : lower ? Halves::Lower : Halves::None;
    }
    template <int K> static constexpr Halves draining(int D)
    {
        const bool lower = D < stageOf(lowerOf(2 * K));
        const bool upper = D < stageOf(upperOf(2 * K));
        return lower && upper ? Halves::Both : upper ? Halves::Upper : Halves::None;
    }

    // Filling, for runs of at least kOutputStage samples. Which halves work
    // at each step is known at compile time, so each step does only its own
    // work.
    template <int T, int... K> void fillStep(std::integer_sequence<int, K...>)
    {
        (crossover<K, T % 4, false, filling<K>(T)>(states_, T, 0), ...);
    }
    template <int... T> void fill(std::integer_sequence<int, T...>)
    {
        (fillStep<T>(Crossovers{}), ...);
    }

    // Moves the ring contents from slot s to slot (s - shift) & 3.
    void renumberSlots(int shift)
    {
        if (shift == 0)
            return;
        for (int k = 0; k < kCrossovers; ++k)
        {
            V slots[4];
            for (int s = 0; s < 4; ++s)
                slots[s] = Ops::load(ring_[k][s]);
            for (int s = 0; s < 4; ++s)
                Ops::store(ring_[k][(s - shift) & 3], slots[s]);
        }
    }

    // Draining, for runs of at least kOutputStage samples: step n + D
    // finishes sample n + D - kOutputStage. Step n + D has slot D % 4.
    template <int D, int... K> void drainStep(int n, std::integer_sequence<int, K...>)
    {
        (crossover<K, D % 4, true, draining<K>(D)>(states_, n + D, n - 1), ...);
        output<D % 4>(n + D);
    }
    template <int... D> void drain(int n, std::integer_sequence<int, D...>)
    {
        (drainStep<D>(n, Crossovers{}), ...);
    }

    // A step of a short run, where filling and draining overlap: the halves
    // are checked at run time.
    template <int K> void guardedCrossover(int t, int n)
    {
        const int lowerSample = t - stageOf(lowerOf(2 * K));
        const int upperSample = t - stageOf(upperOf(2 * K));
        const bool lower = lowerSample >= 0 && lowerSample < n;
        const bool upper = upperSample >= 0 && upperSample < n;
        if (lower && upper)
            crossover<K, kAnySlot, true, Halves::Both>(states_, t, n - 1);
        else if (lower)
            crossover<K, kAnySlot, true, Halves::Lower>(states_, t, n - 1);
        else if (upper)
            crossover<K, kAnySlot, true, Halves::Upper>(states_, t, n - 1);
    }

    template <int... K> void guarded(int t, int n, std::integer_sequence<int, K...>)
    {
        (guardedCrossover<K>(t, n), ...);
        const int j = t - kOutputStage;
        if (j >= 0 && j < n)
            output<kAnySlot>(t);
    }

    double* state_;
    const double* coefficients_;
    double* xy_ = nullptr;
    double* g_ = nullptr;
    States states_;
    alignas(32) Ring ring_;
};

} // namespace Ladder
} // namespace Quorvane
