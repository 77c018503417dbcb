#pragma once

// One channel through the ladder in AVX, four biquads per vector. Include it
// only from code compiled with -mavx (crossoverladderavx.cpp).
//
// Like the paired schedule of crossoverladderpaired.h, a vector holds a
// crossover's first passes (its first low-pass and first high-pass) side by
// side, and here two crossovers' pairs at once: crossovers 0 and 1, then 2
// and 3. A vector of second passes holds the same crossovers' second
// low-pass and high-pass. The last crossover has one vector of its own: its
// first passes below, its second passes above.
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
    // Groups 0 and 1 are two crossovers each, in a vector of first passes
    // (vector 2G) and one of second passes (2G + 1); group 2 is the last
    // crossover, in vector 4.
    static constexpr int kGroups = 3;
    static constexpr int kLast = kGroups - 1;
    static constexpr int kVectors = 2 * kGroups - 1;
    // Step t writes the output of sample t - kOutputStage.
    static constexpr int kOutputStage = 18;
    // The ring keeps each step's second-pass vectors (and the last
    // crossover's vector) for kRingSteps steps; a step reads those of one
    // and three steps before.
    static constexpr int kRingSteps = 4;
    static constexpr int kSlot = 4 * kGroups;
    static constexpr int kFullMask = 0xF;

    // The filter states, and each group's first passes' outputs of the
    // previous step (for the last group, its whole vector), which the
    // second passes take.
    struct States
    {
        V s1[kVectors];
        V s2[kVectors];
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

    // True when the filter states are all finite after the run (see
    // allFinite in crossoverladder.h).
    bool finite() const
    {
        const V zero = _mm256_setzero_pd();
        V sum = zero;
        for (int v = 0; v < kVectors; ++v)
            sum = _mm256_add_pd(sum, _mm256_add_pd(_mm256_mul_pd(states_.s1[v], zero),
                                                   _mm256_mul_pd(states_.s2[v], zero)));
        return _mm256_movemask_pd(_mm256_cmp_pd(sum, sum, _CMP_UNORD_Q)) == 0;
    }

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
        fill(Steps{});
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

    // The step at which lane l of group G's first passes (Pass 0) or second
    // passes (Pass 1, one step later) works on its sample. Crossover 0's
    // pair runs both halves on the same sample; for the others the high-pass
    // follows two steps after the low-pass, once the second low-pass has the
    // sample, and a crossover starts two steps after the previous one's
    // high-pass. The last group's vector has its first passes in lanes 0
    // and 1 and its second passes in lanes 2 and 3.
    static constexpr int stage(int g, int pass, int lane)
    {
        return g == 0   ? (lane < 2 ? 0 : 2 * lane - 2) + pass
               : g == 1 ? 6 + 2 * lane + pass
                        : 14 + 2 * (lane % 2) + lane / 2;
    }

    // Lanes of group G's first (Pass 0) or second (Pass 1) passes with a
    // sample at fill step T, or at drain step D. The last group has only
    // Pass 0.
    template <int G, int Pass> static constexpr int fillingMask(int T)
    {
        int mask = 0;
        for (int lane = 0; lane < 4; ++lane)
            if (T >= stage(G, Pass, lane) && (G < kLast || Pass == 0))
                mask |= 1 << lane;
        return mask;
    }
    template <int G, int Pass> static constexpr int drainingMask(int D)
    {
        int mask = 0;
        for (int lane = 0; lane < 4; ++lane)
            if (D < stage(G, Pass, lane) && (G < kLast || Pass == 0))
                mask |= 1 << lane;
        return mask;
    }

    // Pair p's state vector for one channel, in the pair layout.
    double* pairState(int p, int s) { return state_ + (2 * pairLower(p) + s) * kLanes; }
    // Vector v's pairs: 4G + pass and 4G + 2 + pass for v = 2G + pass,
    // pairs 8 and 9 for the last.
    static constexpr int lowerPair(int v) { return 4 * (v / 2) + v % 2; }
    static constexpr int upperPair(int v) { return v == kVectors - 1 ? 9 : lowerPair(v) + 2; }

    template <int... G> void load(std::integer_sequence<int, G...>)
    {
        ((loadVector<2 * G>(), (G < kLast ? loadVector<2 * G + 1>() : void())), ...);
    }
    template <int Vec> void loadVector()
    {
        if constexpr (Vec < kVectors)
            for (int s = 0; s < 2; ++s)
                (s == 0 ? states_.s1 : states_.s2)[Vec] = _mm256_insertf128_pd(
                    _mm256_castpd128_pd256(_mm_loadu_pd(pairState(lowerPair(Vec), s))),
                    _mm_loadu_pd(pairState(upperPair(Vec), s)), 1);
    }
    template <int... G> void store(std::integer_sequence<int, G...>)
    {
        ((storeVector<2 * G>(), (G < kLast ? storeVector<2 * G + 1>() : void())), ...);
    }
    template <int Vec> void storeVector()
    {
        if constexpr (Vec < kVectors)
            for (int s = 0; s < 2; ++s)
            {
                const V v = (s == 0 ? states_.s1 : states_.s2)[Vec];
                _mm_storeu_pd(pairState(lowerPair(Vec), s), _mm256_castpd256_pd128(v));
                _mm_storeu_pd(pairState(upperPair(Vec), s), _mm256_extractf128_pd(v, 1));
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

    // The sample `back` samples before step t's input sample, for a step of
    // the steady part, a fill step T (t is T) or a drain step D (t is n + D).
    // A lane outside the run reads the nearest sample inside it, which the
    // templates work out at compile time.
    struct SteadyAt
    {
        static int sample(int t, int back) { return t - back; }
    };
    template <int T> struct FillAt
    {
        static int sample(int, int back) { return T - back < 0 ? 0 : T - back; }
    };
    template <int D> struct DrainAt
    {
        static int sample(int t, int back) { return D - back < 0 ? t - back : t - D - 1; }
    };
    template <class At> H gainPair(int t, int back) const
    {
        return _mm_loadu_pd(g_ + At::sample(t, back) * kLanes);
    }

    // Ring slot of the step `back` steps before a step in slot Slot.
    template <int Slot> double* slot(int back)
    {
        return ring_[(Slot + kRingSteps - back) % kRingSteps];
    }

    // The first passes' inputs of group G at step t. For crossover K > 0:
    // g * high + low of crossover K - 1 below (the high-pass one step back,
    // the low-pass three); 1 * high of crossover K - 1 (three steps back) +
    // low of crossover K (one step back) above. The previous step's vectors
    // are loaded whole, which the processor can forward from its store;
    // halves of them could wait for the store to reach the cache.
    template <int G, int Slot, class At> V firstInputs(const States& st, int t)
    {
        const double* p1 = slot<Slot>(1);
        const double* p3 = slot<Slot>(3);
        if constexpr (G == 0)
        {
            // Crossover 0: g * x below, x above.
            const H x = _mm_loaddup_pd(xy_ + At::sample(t, 0) * kLanes);
            const H first = _mm_mul_pd(gainPair<At>(t, 0), x);
            const V previous = _mm256_load_pd(p1);
            const H lower = _mm256_castpd256_pd128(previous);
            const H high = _mm_unpackhi_pd(lower, _mm_loadu_pd(p3));
            const H low = _mm_unpacklo_pd(lower, _mm256_extractf128_pd(previous, 1));
            const H second = _mm_add_pd(_mm_mul_pd(gainPair<At>(t, stage(0, 0, 2)), high), low);
            return _mm256_insertf128_pd(_mm256_castpd128_pd256(first), second, 1);
        }
        else if constexpr (G == 1)
        {
            const V below = _mm256_load_pd(p1);
            const V own = _mm256_load_pd(p1 + 4);
            const V r1 = _mm256_permute2f128_pd(below, own, 0x21);
            const V r3 = _mm256_loadu_pd(p3 + 2);
            const V high = _mm256_unpackhi_pd(r1, r3);
            const V low = _mm256_unpacklo_pd(r3, own);
            const V g =
                _mm256_insertf128_pd(_mm256_castpd128_pd256(gainPair<At>(t, stage(1, 0, 0))),
                                     gainPair<At>(t, stage(1, 0, 2)), 1);
            return _mm256_add_pd(_mm256_mul_pd(g, high), low);
        }
        else
        {
            // The last crossover: its first passes below as above (its own
            // second low-pass from the previous step's vector); its second
            // passes above, on that vector's first passes.
            const V previous = st.first[kLast];
            const H below = _mm256_extractf128_pd(_mm256_load_pd(p1 + 4), 1);
            const H older = _mm_loadu_pd(p3 + 6);
            const H high = _mm_unpackhi_pd(below, older);
            const H low = _mm_unpacklo_pd(older, _mm256_extractf128_pd(previous, 1));
            const H first = _mm_add_pd(_mm_mul_pd(gainPair<At>(t, stage(kLast, 0, 0)), high), low);
            return _mm256_insertf128_pd(_mm256_castpd128_pd256(first),
                                        _mm256_castpd256_pd128(previous), 1);
        }
    }

    // Group G at step t with the lanes in FirstValid and SecondValid inside
    // the run; the other lanes' filter states are put back (their inputs
    // were stale but finite).
    template <int G, int Slot, class At, int FirstValid, int SecondValid>
    void group(States& st, int t)
    {
        constexpr int keepFirst = ~FirstValid & kFullMask;
        constexpr int keepSecond = ~SecondValid & kFullMask;
        const V keep1 = st.s1[2 * G], keep2 = st.s2[2 * G];
        if constexpr (G == kLast)
        {
            const V y = biquad<2 * G>(st, firstInputs<G, Slot, At>(st, t));
            _mm256_store_pd(slot<Slot>(0) + 4 * G, y);
            st.first[G] = y;
        }
        else
        {
            const V keep3 = st.s1[2 * G + 1], keep4 = st.s2[2 * G + 1];
            _mm256_store_pd(slot<Slot>(0) + 4 * G, biquad<2 * G + 1>(st, st.first[G]));
            st.first[G] = biquad<2 * G>(st, firstInputs<G, Slot, At>(st, t));
            if constexpr (keepSecond != 0)
            {
                st.s1[2 * G + 1] = _mm256_blend_pd(st.s1[2 * G + 1], keep3, keepSecond);
                st.s2[2 * G + 1] = _mm256_blend_pd(st.s2[2 * G + 1], keep4, keepSecond);
            }
        }
        if constexpr (keepFirst != 0)
        {
            st.s1[2 * G] = _mm256_blend_pd(st.s1[2 * G], keep1, keepFirst);
            st.s2[2 * G] = _mm256_blend_pd(st.s2[2 * G], keep2, keepFirst);
        }
    }

    template <int Slot, int... G> void groups(States& st, int t, std::integer_sequence<int, G...>)
    {
        (group<G, Slot, SteadyAt, kFullMask, kFullMask>(st, t), ...);
    }
    template <int Slot> void steady(States& st, int t)
    {
        groups<Slot>(st, t, Groups{});
        output<Slot>(t);
    }

    // The output of sample t - kOutputStage: g * high + low of the last
    // crossover, its second high-pass one step back and its second low-pass
    // three.
    template <int Slot> void output(int t)
    {
        const double* p1 = slot<Slot>(1);
        const double* p3 = slot<Slot>(3);
        // Plain scalar arithmetic (this file has no fused multiply-add to
        // contract it into), so that the ring values are memory operands.
        const int j = (t - kOutputStage) * kLanes;
        xy_[j] = g_[j] * p1[4 * kLast + 3] + p3[4 * kLast + 2];
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

    template <int G, int Slot, class At, int FirstValid, int SecondValid>
    void groupIfUsed(States& st, int t)
    {
        if constexpr (FirstValid != 0 || SecondValid != 0)
            group<G, Slot, At, FirstValid, SecondValid>(st, t);
    }
    template <int T, int... G> void fillStep(States& st, std::integer_sequence<int, G...>)
    {
        (groupIfUsed<G, T % kRingSteps, FillAt<T>, fillingMask<G, 0>(T), fillingMask<G, 1>(T)>(st,
                                                                                               T),
         ...);
    }
    // Filling and draining work on local copies of the states too (see run).
    template <int... T> void fill(std::integer_sequence<int, T...>)
    {
        States st = states_;
        (fillStep<T>(st, Groups{}), ...);
        states_ = st;
    }

    template <int D, int... G> void drainStep(States& st, int n, std::integer_sequence<int, G...>)
    {
        (groupIfUsed<G, D % kRingSteps, DrainAt<D>, drainingMask<G, 0>(D), drainingMask<G, 1>(D)>(
             st, n + D),
         ...);
        output<D % kRingSteps>(n + D);
    }
    template <int... D> void drain(int n, std::integer_sequence<int, D...>)
    {
        States st = states_;
        (drainStep<D>(st, n, Groups{}), ...);
        states_ = st;
    }

    const double* coefficients_;
    double* state_;
    double* xy_ = nullptr;
    double* g_ = nullptr;
    States states_;
    // Each step's second-pass vectors and the last crossover's vector, for
    // the last kRingSteps steps.
    alignas(32) double ring_[kRingSteps][kSlot];
};

} // namespace Ladder
} // namespace Quorvane
