#pragma once

// One channel through the ladder in AVX, four biquads per vector. Include it
// only from code compiled with -mavx (crossoverladderavx.cpp).
//
// Like the paired schedule of crossoverladderpaired.h, a vector holds a
// crossover's first passes (its first low-pass and first high-pass) side by
// side, and here two crossovers' pairs at once: crossovers 0 and 1, 2 and 3,
// and 4 alone (its upper half computes nothing that is kept). A vector of
// second passes holds the same crossovers' second low-pass and high-pass.
//
// One channel has too little work per step to hide a long chain of
// dependent operations, so the second passes run one step after the first
// passes, on their outputs from the previous step, straight from registers:
// from one step to the next a value goes through one biquad, and each biquad
// takes one sample a step as in the one-layer-per-step pipeline. A sample
// passes the ladder in 18 steps. Each biquad still sees its samples in order
// with the scalar ladder's operations, so the results are the same bits.
//
// The pair layout of the filter states is the one the SSE2 paired pass uses
// for one channel, so the two passes can take turns on a channel.

#include "crossoverladder.h"

#include <immintrin.h>

#include <algorithm>
#include <utility>

namespace Quorvane
{
namespace Ladder
{

// SharedB2: the table's b2IsB0 holds, and b2 * x reuses b0 * x.
template <bool SharedB2> class MonoPipeline
{
    using V = __m256d;
    using H = __m128d;
    static constexpr int kGroups = 3;
    // Step t writes the output of sample t - kOutputStage.
    static constexpr int kOutputStage = 18;
    // The ring keeps the second passes' outputs of the last kRingSteps steps;
    // a step reads those of one and three steps before.
    static constexpr int kRingSteps = 4;
    // The second passes' outputs of one step: crossover c's pair at 2 * c,
    // then the unused upper half of the last group.
    static constexpr int kSlot = 4 * kGroups;
    static constexpr int kFullMask = 0xF;

    // The filter states (vector 2G: group G's first passes, 2G + 1 its
    // second passes) and the first passes' outputs of the previous step,
    // which the second passes take.
    struct States
    {
        V s1[2 * kGroups];
        V s2[2 * kGroups];
        V first[kGroups];
    };

public:
    // The shortest run this pipeline takes: filling and draining must not overlap.
    static constexpr int kMinRun = kOutputStage;

    MonoPipeline(const CoefficientTable& table, double* state)
        : coefficients_(&table.pairedMono[0][0][0]), state_(state)
    {
        load(Groups{});
        // Lanes outside the run read values not computed yet: they must be finite.
        for (V& first : states_.first)
            first = _mm256_setzero_pd();
        for (auto& slot : ring_)
            for (double& value : slot)
                value = 0.0;
    }

    ~MonoPipeline() { store(Groups{}); }

    MonoPipeline(const MonoPipeline&) = delete;
    MonoPipeline& operator=(const MonoPipeline&) = delete;

    // samples holds the inputs on entry and the outputs on return; n is at
    // least kMinRun. The gain lane above the channel's is set to 1.
    void run(double* samples, double* gains, int n)
    {
        xy_ = samples;
        g_ = gains;
        // Each gain as the pair the first passes multiply by: g below, 1 above.
        const H ones = _mm_set1_pd(1.0);
        // (Through the argument: a store through the member could change the
        // member, as far as the compiler knows, so it would be read again
        // for every sample.)
        int i = 0;
        for (; i + 8 <= n; i += 8)
            for (int k = 0; k < 8; ++k)
                _mm_storeu_pd(gains + (i + k) * kLanes,
                              _mm_loadl_pd(ones, gains + (i + k) * kLanes));
        for (; i < n; ++i)
            _mm_storeu_pd(gains + i * kLanes, _mm_loadl_pd(ones, gains + i * kLanes));
        fill(n - 1, Steps{});
        // The steady part a ring's worth of steps at a time, so that every
        // ring slot is a constant (step t uses slot t % kRingSteps).
        // The states in a local copy, which nothing else can reach, so that
        // the compiler keeps them in registers where it can.
        constexpr int s0 = kOutputStage % kRingSteps;
        States st = states_;
        int t = kOutputStage;
        for (; t + kRingSteps <= n; t += kRingSteps)
        {
            steady<s0>(st, t);
            steady<(s0 + 1) % kRingSteps>(st, t + 1);
            steady<(s0 + 2) % kRingSteps>(st, t + 2);
            steady<(s0 + 3) % kRingSteps>(st, t + 3);
        }
        if (t < n)
            steady<s0>(st, t++);
        if (t < n)
            steady<(s0 + 1) % kRingSteps>(st, t++);
        if (t < n)
            steady<(s0 + 2) % kRingSteps>(st, t++);
        states_ = st;
        // Renumbered so that step n has slot 0, every slot of the drain is a
        // constant too.
        renumberSlots(n % kRingSteps);
        drain(n, Steps{});
    }

private:
    using Groups = std::make_integer_sequence<int, kGroups>;
    using Steps = std::make_integer_sequence<int, kOutputStage>;

    // The step at which lane l of group G's first passes works on its
    // sample (its second passes: one step later). Crossover 0's pair runs
    // both halves on the same sample; for the others the high-pass follows
    // two steps after the low-pass, once the second low-pass has the
    // sample, and a crossover starts two steps after the previous one's
    // high-pass. The last group's upper lanes hold no biquad.
    static constexpr int stage(int g, int lane)
    {
        return g == 0 ? (lane < 2 ? 0 : 2 * lane - 2) : 8 * g - 2 + 2 * lane;
    }
    static constexpr bool used(int g, int lane) { return g < kGroups - 1 || lane < 2; }

    // Lanes of group G's first (Pass 0) or second (Pass 1) passes with a
    // sample at fill step T, or at drain step D; unused lanes always count
    // as valid (nothing of theirs is kept).
    template <int G, int Pass> static constexpr int fillingMask(int T)
    {
        int mask = 0;
        for (int lane = 0; lane < 4; ++lane)
            if (!used(G, lane) || T >= stage(G, lane) + Pass)
                mask |= 1 << lane;
        return mask;
    }
    template <int G, int Pass> static constexpr int drainingMask(int D)
    {
        int mask = 0;
        for (int lane = 0; lane < 4; ++lane)
            if (!used(G, lane) || D < stage(G, lane) + Pass)
                mask |= 1 << lane;
        return mask;
    }
    template <int G> static constexpr bool anyUsed(int mask)
    {
        return (mask & (used(G, 2) ? kFullMask : 0x3)) != 0;
    }

    // Pair p's state vector for one channel, in the pair layout.
    double* pairState(int p, int s) { return state_ + (2 * pairLower(p) + s) * kLanes; }

    // Group G's first passes hold pairs 4G and 4G + 2, its second passes
    // pairs 4G + 1 and 4G + 3 (vector 2G and 2G + 1).
    template <int... G> void load(std::integer_sequence<int, G...>)
    {
        ((loadPass<G, 0>(), loadPass<G, 1>()), ...);
    }
    template <int G, int Pass> void loadPass()
    {
        for (int s = 0; s < 2; ++s)
        {
            const H lower = _mm_loadu_pd(pairState(4 * G + Pass, s));
            const H upper =
                used(G, 2) ? _mm_loadu_pd(pairState(4 * G + 2 + Pass, s)) : _mm_setzero_pd();
            (s == 0 ? states_.s1 : states_.s2)[2 * G + Pass] =
                _mm256_insertf128_pd(_mm256_castpd128_pd256(lower), upper, 1);
        }
    }
    template <int... G> void store(std::integer_sequence<int, G...>)
    {
        ((storePass<G, 0>(), storePass<G, 1>()), ...);
    }
    template <int G, int Pass> void storePass()
    {
        for (int s = 0; s < 2; ++s)
        {
            const V v = (s == 0 ? states_.s1 : states_.s2)[2 * G + Pass];
            _mm_storeu_pd(pairState(4 * G + Pass, s), _mm256_castpd256_pd128(v));
            if constexpr (used(G, 2))
                _mm_storeu_pd(pairState(4 * G + 2 + Pass, s), _mm256_extractf128_pd(v, 1));
        }
    }

    V coefficient(int vector, int which) const
    {
        return _mm256_load_pd(coefficients_ + (vector * CoefficientTable::kCount + which) * 4);
    }

    // Transposed direct form II, the operations in the scalar ladder's order.
    template <int Vec> V biquad(States& st, V x)
    {
        using C = CoefficientTable;
        const V b0x = _mm256_mul_pd(coefficient(Vec, C::B0), x);
        const V y = _mm256_add_pd(b0x, st.s1[Vec]);
        st.s1[Vec] = _mm256_add_pd(_mm256_sub_pd(_mm256_mul_pd(coefficient(Vec, C::B1), x),
                                                 _mm256_mul_pd(coefficient(Vec, C::A1), y)),
                                   st.s2[Vec]);
        const V b2x = SharedB2 ? b0x : _mm256_mul_pd(coefficient(Vec, C::B2), x);
        st.s2[Vec] = _mm256_sub_pd(b2x, _mm256_mul_pd(coefficient(Vec, C::A2), y));
        return y;
    }

    template <bool Clamp> int index(int i, int last) const
    {
        return Clamp ? std::min(std::max(i, 0), last) : i;
    }
    template <bool Clamp> H gainPair(int i, int last) const
    {
        return _mm_loadu_pd(g_ + index<Clamp>(i, last) * kLanes);
    }

    // Ring slot of the step `back` steps before a step in slot Slot.
    template <int Slot> double* slot(int back)
    {
        return ring_[(Slot + kRingSteps - back) % kRingSteps];
    }

    // The first passes' inputs of group G at step t. For crossover K > 0:
    // g * high + low of crossover K - 1 below (the high-pass one step back,
    // the low-pass three); 1 * high of crossover K - 1 (three steps back) +
    // low of crossover K (one step back) above.
    template <int G, int Slot, bool Clamp> V firstInputs(int t, int last)
    {
        const double* p1 = slot<Slot>(1);
        const double* p3 = slot<Slot>(3);
        if constexpr (G == 0)
        {
            // Crossover 0: g * x below, x above.
            const H x = _mm_loaddup_pd(xy_ + index<Clamp>(t, last) * kLanes);
            const H first = _mm_mul_pd(gainPair<Clamp>(t, last), x);
            // The previous step's vector loaded whole, which the processor
            // can forward from its store; halves of it could wait for the
            // store to reach the cache.
            const V previous = _mm256_load_pd(p1);
            const H lower = _mm256_castpd256_pd128(previous);
            const H high = _mm_unpackhi_pd(lower, _mm_loadu_pd(p3));
            const H low = _mm_unpacklo_pd(lower, _mm256_extractf128_pd(previous, 1));
            const H second =
                _mm_add_pd(_mm_mul_pd(gainPair<Clamp>(t - stage(0, 2), last), high), low);
            return _mm256_insertf128_pd(_mm256_castpd128_pd256(first), second, 1);
        }
        else
        {
            // The previous step's vectors whole (as above), then the lanes
            // across them.
            const V below = _mm256_load_pd(p1 + 4 * G - 4);
            const V own = _mm256_load_pd(p1 + 4 * G);
            const V r1 = _mm256_permute2f128_pd(below, own, 0x21);
            const V r3 = _mm256_loadu_pd(p3 + 4 * G - 2);
            const V high = _mm256_unpackhi_pd(r1, r3);
            const V low = _mm256_unpacklo_pd(r3, own);
            V g;
            if constexpr (used(G, 2))
                g = _mm256_insertf128_pd(
                    _mm256_castpd128_pd256(gainPair<Clamp>(t - stage(G, 0), last)),
                    gainPair<Clamp>(t - stage(G, 2), last), 1);
            else
                g = _mm256_broadcast_pd(
                    reinterpret_cast<const H*>(g_ + index<Clamp>(t - stage(G, 0), last) * kLanes));
            return _mm256_add_pd(_mm256_mul_pd(g, high), low);
        }
    }

    // Group G at step t with the lanes in FirstValid and SecondValid inside
    // the run; the other lanes' filter states are put back (their inputs
    // were stale but finite).
    template <int G, int Slot, bool Clamp, int FirstValid, int SecondValid>
    void group(States& st, int t, int last)
    {
        constexpr int keepFirst = ~FirstValid & kFullMask;
        constexpr int keepSecond = ~SecondValid & kFullMask;
        const V keep1 = st.s1[2 * G], keep2 = st.s2[2 * G];
        const V keep3 = st.s1[2 * G + 1], keep4 = st.s2[2 * G + 1];
        _mm256_store_pd(slot<Slot>(0) + 4 * G, biquad<2 * G + 1>(st, st.first[G]));
        st.first[G] = biquad<2 * G>(st, firstInputs<G, Slot, Clamp>(t, last));
        if constexpr (keepFirst != 0)
        {
            st.s1[2 * G] = _mm256_blend_pd(st.s1[2 * G], keep1, keepFirst);
            st.s2[2 * G] = _mm256_blend_pd(st.s2[2 * G], keep2, keepFirst);
        }
        if constexpr (keepSecond != 0)
        {
            st.s1[2 * G + 1] = _mm256_blend_pd(st.s1[2 * G + 1], keep3, keepSecond);
            st.s2[2 * G + 1] = _mm256_blend_pd(st.s2[2 * G + 1], keep4, keepSecond);
        }
    }

    template <int Slot, int... G> void groups(States& st, int t, std::integer_sequence<int, G...>)
    {
        (group<G, Slot, false, kFullMask, kFullMask>(st, t, 0), ...);
    }
    template <int Slot> void steady(States& st, int t)
    {
        groups<Slot>(st, t, Groups{});
        output<Slot>(t);
    }

    // The output of sample t - kOutputStage: g * high + low of the last
    // crossover, its high-pass one step back and its low-pass three.
    template <int Slot> void output(int t)
    {
        const double* p1 = slot<Slot>(1);
        const double* p3 = slot<Slot>(3);
        // Plain scalar arithmetic (this file has no fused multiply-add to
        // contract it into), so that the ring values are memory operands.
        const int j = (t - kOutputStage) * kLanes;
        xy_[j] = g_[j] * p1[2 * 4 + 1] + p3[2 * 4];
    }

    // Moves the ring contents from slot s to slot (s - shift) % kRingSteps.
    void renumberSlots(int shift)
    {
        if (shift == 0)
            return;
        double moved[kRingSteps][kSlot];
        for (int s = 0; s < kRingSteps; ++s)
            for (int i = 0; i < kSlot; ++i)
                moved[(s + kRingSteps - shift) % kRingSteps][i] = ring_[s][i];
        for (int s = 0; s < kRingSteps; ++s)
            for (int i = 0; i < kSlot; ++i)
                ring_[s][i] = moved[s][i];
    }

    template <int G, int Slot, bool Clamp, int FirstValid, int SecondValid>
    void groupIfUsed(int t, int last)
    {
        if constexpr (anyUsed<G>(FirstValid) || anyUsed<G>(SecondValid))
            group<G, Slot, Clamp, FirstValid, SecondValid>(states_, t, last);
    }
    template <int T, int... G> void fillStep(int last, std::integer_sequence<int, G...>)
    {
        (groupIfUsed<G, T % kRingSteps, true, fillingMask<G, 0>(T), fillingMask<G, 1>(T)>(T, last),
         ...);
    }
    template <int... T> void fill(int last, std::integer_sequence<int, T...>)
    {
        (fillStep<T>(last, Groups{}), ...);
    }

    template <int D, int... G> void drainStep(int n, std::integer_sequence<int, G...>)
    {
        (groupIfUsed<G, D % kRingSteps, true, drainingMask<G, 0>(D), drainingMask<G, 1>(D)>(n + D,
                                                                                            n - 1),
         ...);
        output<D % kRingSteps>(n + D);
    }
    template <int... D> void drain(int n, std::integer_sequence<int, D...>)
    {
        (drainStep<D>(n, Groups{}), ...);
    }

    const double* coefficients_;
    double* state_;
    double* xy_ = nullptr;
    double* g_ = nullptr;
    States states_;
    // The second-pass outputs of the last kRingSteps steps.
    alignas(32) double ring_[kRingSteps][kSlot];
};

} // namespace Ladder
} // namespace Quorvane
