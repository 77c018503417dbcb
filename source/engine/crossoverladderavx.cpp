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

// The second pair of four channels (lanes 2 and 3): its gains come from a
// copy whose rows already hold g2 g3 1 1 (see runTwoPairsAvx), so nothing
// is rewritten before the run.
struct UpperPairAvxOps : PairedAvxOps
{
    static void setUpperOnes(double*) {}
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
                    double* upperGains, int n)
{
    // One pair after the other: a pass over one pair keeps more of its
    // filter states in registers than one over both pairs side by side,
    // whose forty state vectors spill (about 4 instructions per channel and
    // sample more than two passes take). The first pass
    // overwrites lanes 2 and 3 of the gains with ones, so the second pair
    // goes first, on its gains copied into the lower halves of upperGains'
    // rows, a piece of at most kUpperGainRows samples at a time.
    bool finite = true;
    for (int start = 0; start < n; start += kUpperGainRows)
    {
        const int count = n - start < kUpperGainRows ? n - start : kUpperGainRows;
        const double* from = gains + start * kLanes + 2;
        int i = 0;
        for (; i + 4 <= count; i += 4)
            for (int k = 0; k < 4; ++k)
                _mm_storeu_pd(upperGains + (i + k) * kLanes, _mm_loadu_pd(from + (i + k) * kLanes));
        for (; i < count; ++i)
            _mm_storeu_pd(upperGains + i * kLanes, _mm_loadu_pd(from + i * kLanes));
        double* upperSamples = samples + start * kLanes + 2;
        if (table.b2IsB0)
            finite = runPaired<UpperPairAvxOps, true>(table, state + kSecondPairState, upperSamples,
                                                      upperGains, count) &&
                     finite;
        else
            finite = runPaired<UpperPairAvxOps, false>(table, state + kSecondPairState,
                                                       upperSamples, upperGains, count) &&
                     finite;
    }
    return runPairedAvx(table, state, samples, gains, n) && finite;
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
