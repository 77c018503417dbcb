#pragma once

// The crossover ladder of CrossoverGainStage as a software pipeline over a run
// of samples, written once for any vector type and instantiated per
// instruction set (crossoverladder.cpp, crossoverladderavx.cpp).
//
// Per sample the ladder is a serial chain of 18 biquad layers, so a plain
// sample-by-sample loop waits on latency most of the time. Here loop step t
// runs layer L on sample t - L for every layer at once: the layers of one
// step do not depend on each other, while each biquad still sees its samples
// in order. Every lane of a vector is one channel; each lane performs exactly
// the operations of the scalar ladder in the same order, so the results are
// the same bits.
//
// Data layout: channels come in groups of kLanes. A group's per-sample values
// (input, gain, output) are interleaved, kLanes doubles per sample; its
// filter state is [biquad][s1, s2][kLanes]. A pass over fewer lanes starts at
// a lane offset into the same arrays.

#include <utility>

namespace Quorvane
{
namespace Ladder
{

constexpr int kLanes = 4;
constexpr int kCrossovers = 5;
constexpr int kBiquads = 4 * kCrossovers;
constexpr int kStatesPerGroup = 2 * kBiquads * kLanes;
// Layers 0..17 run biquads, layer 18 forms the output.
constexpr int kLastLayer = 18;

// The paired schedule (crossoverladderpaired.h) runs two biquads per vector:
// pair 0 holds biquads 0 and 2, pair 1 biquads 1 and 3; for crossover k > 0,
// pair 2k holds biquads 4k and 4k + 2, pair 2k + 1 biquads 4k + 1 and 4k + 3.
constexpr int kPairs = kBiquads / 2;
constexpr int pairLower(int p)
{
    return p < 2 ? p : 4 * (p / 2) + p % 2;
}
constexpr int pairUpper(int p)
{
    return pairLower(p) + 2;
}

// Filter f is the low-pass (even f) or high-pass (odd f) of crossover f / 2;
// every coefficient is repeated across the lanes for direct vector loads.
struct CoefficientTable
{
    enum
    {
        B0,
        B1,
        B2,
        A1,
        A2,
        kCount
    };
    alignas(32) double c[2 * kCrossovers][kCount][kLanes];
    // The same for the paired schedule: pair p's lower half holds the
    // coefficients of its lower biquad, the upper half those of its upper
    // one, in halves of two lanes (two channels) or of one (one channel).
    alignas(32) double pairedTwo[kPairs][kCount][4];
    alignas(16) double pairedOne[kPairs][kCount][2];
    // The same for one channel in AVX (crossoverladdermono.h): vector 2G
    // (G = 0, 1) holds the first passes of crossovers 2G and 2G + 1
    // (pairedOne of pairs 4G and 4G + 2 side by side), vector 2G + 1 their
    // second passes; vector 4 the last crossover's first and second passes
    // (pairs 8 and 9).
    alignas(32) double pairedMono[5][kCount][4];
    // True when every filter's b2 is its b0, bit for bit (so b2 * x is
    // b0 * x); so it is for every crossover below the Nyquist frequency.
    bool b2IsB0 = false;
};

// True when every value of the n vectors is finite: v * 0 is +-0 for those
// and NaN for the rest, and a sum of such products is NaN if one is.
template <class Ops> bool allFinite(const typename Ops::V* v, int n)
{
    alignas(32) static constexpr double kZeros[8] = {};
    const auto zero = Ops::load(kZeros);
    auto sum = Ops::mul(v[0], zero);
    for (int i = 1; i < n; ++i)
        sum = Ops::add(sum, Ops::mul(v[i], zero));
    double lanes[sizeof(sum) / sizeof(double)];
    Ops::store(lanes, sum);
    for (double x : lanes)
        if (x != x)
            return false;
    return true;
}

// One pipelined run of n samples over the lanes Ops::V holds. Ops provides
// the vector type V and load, store, add, sub, mul. (SSE2's pass over two
// lanes; it takes every table, b2 equal to b0 or not.)
template <class Ops> class Pipeline
{
    using V = typename Ops::V;

public:
    Pipeline(const CoefficientTable& table, double* state) : table_(table), state_(state)
    {
        for (int b = 0; b < kBiquads; ++b)
        {
            states_.s1[b] = Ops::load(state_ + (2 * b) * kLanes);
            states_.s2[b] = Ops::load(state_ + (2 * b + 1) * kLanes);
        }
    }

    // samples holds the inputs on entry and the outputs on return.
    void run(double* samples, const double* gains, int n)
    {
        xy_ = samples;
        g_ = gains;
        if (n <= 0)
            return;
        // Filling: layer L starts at step L.
        for (int t = 0; t < kLastLayer; ++t)
            guarded(states_, t, n, Layers{});
        // The states in a local copy, which nothing else can reach, so that
        // the compiler keeps what it can of them in registers.
        States st = states_;
        for (int t = kLastLayer; t < n; ++t)
            steady(st, t, Layers{});
        states_ = st;
        // Draining: step t finishes the samples that are still in flight.
        for (int t = n > kLastLayer ? n : kLastLayer; t < n + kLastLayer; ++t)
            guarded(states_, t, n, Layers{});
    }

    // True when the filter states are all finite after the run.
    bool finite() const
    {
        return allFinite<Ops>(states_.s1, kBiquads) && allFinite<Ops>(states_.s2, kBiquads);
    }

    ~Pipeline()
    {
        for (int b = 0; b < kBiquads; ++b)
        {
            Ops::store(state_ + (2 * b) * kLanes, states_.s1[b]);
            Ops::store(state_ + (2 * b + 1) * kLanes, states_.s2[b]);
        }
    }

    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

private:
    using Layers = std::make_integer_sequence<int, kLastLayer + 1>;

    struct States
    {
        V s1[kBiquads];
        V s2[kBiquads];
    };

    template <int... L> void steady(States& st, int t, std::integer_sequence<int, L...>)
    {
        (layer<L>(st, t - L), ...);
    }

    template <int... L> void guarded(States& st, int t, int n, std::integer_sequence<int, L...>)
    {
        ((t - L >= 0 && t - L < n ? layer<L>(st, t - L) : void()), ...);
    }

    V coefficient(int filter, int which) const { return Ops::load(table_.c[filter][which]); }

    // Transposed direct form II, the operations in the scalar ladder's order.
    template <int B> V biquad(States& st, V x)
    {
        constexpr int f = B / 2;
        const V b0x = Ops::mul(coefficient(f, CoefficientTable::B0), x);
        const V y = Ops::add(b0x, st.s1[B]);
        st.s1[B] = Ops::add(Ops::sub(Ops::mul(coefficient(f, CoefficientTable::B1), x),
                                     Ops::mul(coefficient(f, CoefficientTable::A1), y)),
                            st.s2[B]);
        const V b2x = Ops::mul(coefficient(f, CoefficientTable::B2), x);
        st.s2[B] = Ops::sub(b2x, Ops::mul(coefficient(f, CoefficientTable::A2), y));
        return y;
    }

    // The output of biquad B for sample i. A value is read at most three
    // layers after it is written, so four slots per biquad are enough.
    V& v(int b, int i) { return ring_[b][i & 3]; }

    template <int L> void layer(States& st, int i)
    {
        if constexpr (L == 0)
        {
            const V x = Ops::load(xy_ + i * kLanes);
            const V g = Ops::load(g_ + i * kLanes);
            v(0, i) = biquad<0>(st, Ops::mul(g, x));
            v(2, i) = biquad<2>(st, x);
        }
        else if constexpr (L == 1)
        {
            v(1, i) = biquad<1>(st, v(0, i));
            v(3, i) = biquad<3>(st, v(2, i));
        }
        else if constexpr (L < kLastLayer)
        {
            // Crossover k: low-pass twice on g * high + low, then high-pass
            // twice on high + the new low.
            constexpr int k = (L - 2) / 4 + 1;
            constexpr int step = (L - 2) % 4;
            constexpr int lowIn = 4 * (k - 1) + 1;
            constexpr int highIn = 4 * (k - 1) + 3;
            if constexpr (step == 0)
            {
                const V g = Ops::load(g_ + i * kLanes);
                v(4 * k, i) = biquad<4 * k>(st, Ops::add(Ops::mul(g, v(highIn, i)), v(lowIn, i)));
            }
            else if constexpr (step == 1)
                v(4 * k + 1, i) = biquad<4 * k + 1>(st, v(4 * k, i));
            else if constexpr (step == 2)
                v(4 * k + 2, i) = biquad<4 * k + 2>(st, Ops::add(v(highIn, i), v(4 * k + 1, i)));
            else
                v(4 * k + 3, i) = biquad<4 * k + 3>(st, v(4 * k + 2, i));
        }
        else
        {
            const V g = Ops::load(g_ + i * kLanes);
            Ops::store(xy_ + i * kLanes,
                       Ops::add(Ops::mul(g, v(kBiquads - 1, i)), v(kBiquads - 3, i)));
        }
    }

    const CoefficientTable& table_;
    double* state_;
    double* xy_ = nullptr;
    const double* g_ = nullptr;
    States states_;
    V ring_[kBiquads][4];
};

// The entry points, one per instruction set. Each runs one pipelined pass
// over n samples for the lanes it handles, starting at the given pointers,
// and returns whether the filter states it ran are all finite afterwards.
bool runSse2(const CoefficientTable& table, double* state, double* samples, const double* gains,
             int n);
// One channel in SSE2 and two channels in AVX, two biquads per vector
// (crossoverladderpaired.h). They set the gain lanes just above their own
// (which belong to no channel) to 1, and take the filter states in the pair
// layout.
bool runPairedSse2(const CoefficientTable& table, double* state, double* samples, double* gains,
                   int n);
bool runPairedAvx(const CoefficientTable& table, double* state, double* samples, double* gains,
                  int n);
// Four channels in AVX as two pairs of two, with the states in the split
// layout of two pairs (toSplitLayout). upperGains: kUpperGainRows rows of
// kLanes doubles, lanes 2 and 3 of every row 1 (they stay so; lanes 0 and 1
// are overwritten). As many rows as the gate pass's chunks are long, so that
// a chunk is one run.
constexpr int kUpperGainRows = 512;
bool runTwoPairsAvx(const CoefficientTable& table, double* state, double* samples, double* gains,
                    double* upperGains, int n);
// One channel in AVX, four biquads per vector (crossoverladdermono.h), with
// the states in the pair layout of runPairedSse2 for one channel.
bool runMonoAvx(const CoefficientTable& table, double* state, double* samples, double* gains,
                int n);
// The pair layout of a group's filter states, for a paired pass over `half`
// lanes from lane `first`: pair p's state vector is stored whole where biquad
// pairLower(p)'s state is, so that its upper half takes the `half` lanes
// above the pass's own (which belong to no channel), and biquad
// pairUpper(p)'s own state there goes unused. Each call moves the states of
// those lanes from one layout into the other.
void toPairLayout(double* groupState, int first, int half);
void fromPairLayout(double* groupState, int first, int half);
// Three or four channels: lanes 0 and 1 in the pair layout of a paired pass
// over two lanes, and the others in the rows of biquad pairUpper(p), which
// that layout leaves unused: lanes 2 and 3 in the same layout from
// kSecondPairState, or lane 2 in the pair layout of a pass over one lane from
// kThirdLaneState (the lane without a channel then starts again from zero).
// upperHalf: 2 for two pairs, 1 for a pair and a single channel.
constexpr int kSecondPairState = 2 * 2 * kLanes;
constexpr int kThirdLaneState = kSecondPairState + 2;
void toSplitLayout(double* groupState, int upperHalf);
void fromSplitLayout(double* groupState, int upperHalf);

// True when the processor and the operating system support AVX.
bool avxAvailable();

} // namespace Ladder
} // namespace Quorvane
