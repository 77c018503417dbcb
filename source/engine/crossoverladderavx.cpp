// The ladder's passes in AVX: one channel (crossoverladdermono.h), and pairs
// of channels (crossoverladderpaired.h). This file alone is compiled with -mavx;
// it is only called after avxAvailable() said yes, and it keeps everything it
// instantiates to itself so that no AVX code can stand in for a shared inline
// function elsewhere.
#include "crossoverladder.h"
#include "crossoverladdermono.h"
#include "crossoverladderpaired.h"

#include <immintrin.h>

namespace Quorvane
{
namespace Ladder
{

namespace
{

struct AvxOps
{
    using V = __m256d;
    static V load(const double* p) { return _mm256_loadu_pd(p); }
    static void store(double* p, V v) { _mm256_storeu_pd(p, v); }
    static V add(V a, V b) { return _mm256_add_pd(a, b); }
    static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
};

// Two channels, twice: the halves run two biquads.
struct PairedAvxVectors : AvxOps
{
    static constexpr int kHalf = 2;
    static V broadcastHalf(const double* p)
    {
        return _mm256_broadcast_pd(reinterpret_cast<const __m128d*>(p));
    }
    static V lowerHalves(const double* a, const double* b)
    {
        return _mm256_permute2f128_pd(_mm256_loadu_pd(a), _mm256_loadu_pd(b), 0x20);
    }
    static V upperHalves(const double* a, const double* b)
    {
        return _mm256_permute2f128_pd(_mm256_loadu_pd(a), _mm256_loadu_pd(b), 0x31);
    }
    static void setUpperOnes(double* p)
    {
        _mm256_storeu_pd(p, _mm256_insertf128_pd(_mm256_set1_pd(1.0), _mm_loadu_pd(p), 0));
    }
    static void storeLower(double* p, V v) { _mm_storeu_pd(p, _mm256_castpd256_pd128(v)); }
    static V keepLower(V old, V now) { return _mm256_blend_pd(now, old, 0x3); }
    static V keepUpper(V old, V now) { return _mm256_blend_pd(now, old, 0xC); }
};
using PairedAvxOps = OnePairOps<PairedAvxVectors>;

// Four channels as two pairs of two, each pair twice (the halves run two
// biquads), side by side in two registers: twice the work of one pair per
// step for the processor to overlap. The second pair's states are the rows
// two biquads on (toTwoPairLayout); a sample's inputs, outputs and gains are
// the four lanes of the group, and the gains' ones are put in as they are
// loaded, since the lanes above the first pair hold the second pair's.
struct TwoPairs
{
    __m256d a;
    __m256d b;
};

struct TwoPairsAvxOps
{
    using V = TwoPairs;
    static constexpr int kHalf = 2;
    static constexpr int kRingWidth = 8;
    static V load(const double* p) { return {_mm256_loadu_pd(p), _mm256_loadu_pd(p + 4)}; }
    static void store(double* p, V v)
    {
        _mm256_storeu_pd(p, v.a);
        _mm256_storeu_pd(p + 4, v.b);
    }
    static V add(V x, V y) { return {_mm256_add_pd(x.a, y.a), _mm256_add_pd(x.b, y.b)}; }
    static V sub(V x, V y) { return {_mm256_sub_pd(x.a, y.a), _mm256_sub_pd(x.b, y.b)}; }
    static V mul(V x, V y) { return {_mm256_mul_pd(x.a, y.a), _mm256_mul_pd(x.b, y.b)}; }
    static V broadcastHalf(const double* p)
    {
        return {PairedAvxOps::broadcastHalf(p), PairedAvxOps::broadcastHalf(p + 4)};
    }
    static V lowerHalves(const double* x, const double* y)
    {
        return {PairedAvxOps::lowerHalves(x, y), PairedAvxOps::lowerHalves(x + 4, y + 4)};
    }
    static V upperHalves(const double* x, const double* y)
    {
        return {PairedAvxOps::upperHalves(x, y), PairedAvxOps::upperHalves(x + 4, y + 4)};
    }
    static V loadState(const double* p)
    {
        return {_mm256_loadu_pd(p), _mm256_loadu_pd(p + kSecondPairState)};
    }
    static void storeState(double* p, V v)
    {
        _mm256_storeu_pd(p, v.a);
        _mm256_storeu_pd(p + kSecondPairState, v.b);
    }
    static V coefficient(const double* p)
    {
        const __m256d c = _mm256_load_pd(p);
        return {c, c};
    }
    static V loadGains(const double* p)
    {
        const __m256d g = _mm256_loadu_pd(p);
        const __m256d ones = _mm256_set1_pd(1.0);
        return {_mm256_blend_pd(g, ones, 0xC), _mm256_permute2f128_pd(g, ones, 0x21)};
    }
    static void setUpperOnes(double*) {}
    static V broadcastInput(const double* p)
    {
        return {PairedAvxOps::broadcastHalf(p), PairedAvxOps::broadcastHalf(p + 2)};
    }
    static void storeOutput(double* p, V v)
    {
        PairedAvxOps::storeLower(p, v.a);
        PairedAvxOps::storeLower(p + 2, v.b);
    }
    static V keepLower(V old, V now)
    {
        return {PairedAvxOps::keepLower(old.a, now.a), PairedAvxOps::keepLower(old.b, now.b)};
    }
    static V keepUpper(V old, V now)
    {
        return {PairedAvxOps::keepUpper(old.a, now.a), PairedAvxOps::keepUpper(old.b, now.b)};
    }
};

// Each schedule in a function of its own, so that the compiler inlines
// its steps as fully as it would for one alone.
template <class Ops, bool SharedB2>
[[gnu::noinline]] bool runPaired(const CoefficientTable& table, double* state, double* samples,
                                 double* gains, int n)
{
    PairedPipeline<Ops, SharedB2> pipeline(table, state);
    pipeline.run(samples, gains, n);
    return pipeline.finite();
}

template <bool SharedB2>
[[gnu::noinline]] bool runMono(const CoefficientTable& table, double* state, double* samples,
                               double* gains, int n)
{
    MonoPipeline<SharedB2> pipeline(table, state);
    pipeline.run(samples, gains, n);
    return pipeline.finite();
}

} // namespace

bool runPairedAvx(const CoefficientTable& table, double* state, double* samples, double* gains,
                  int n)
{
    if (table.b2IsB0)
        return runPaired<PairedAvxOps, true>(table, state, samples, gains, n);
    else
        return runPaired<PairedAvxOps, false>(table, state, samples, gains, n);
}

bool runTwoPairsAvx(const CoefficientTable& table, double* state, double* samples, double* gains,
                    int n)
{
    if (table.b2IsB0)
        return runPaired<TwoPairsAvxOps, true>(table, state, samples, gains, n);
    else
        return runPaired<TwoPairsAvxOps, false>(table, state, samples, gains, n);
}

bool runMonoAvx(const CoefficientTable& table, double* state, double* samples, double* gains, int n)
{
    // Runs shorter than the pipeline take the SSE2 pass, which checks every
    // half at every step; it keeps the states in the same layout.
    if (n < MonoPipeline<true>::kMinRun)
        return runPairedSse2(table, state, samples, gains, n);
    else if (table.b2IsB0)
        return runMono<true>(table, state, samples, gains, n);
    else
        return runMono<false>(table, state, samples, gains, n);
}

} // namespace Ladder
} // namespace Quorvane
