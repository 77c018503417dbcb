// The ladder in SSE2, which every x86-64 processor has: two channels with one
// biquad per vector, or one channel with two.
#include "crossoverladder.h"
#include "crossoverladderpaired.h"

#include <emmintrin.h>

namespace Quorvane
{
namespace Ladder
{

namespace
{

struct Sse2Ops
{
    using V = __m128d;
    static V load(const double* p) { return _mm_loadu_pd(p); }
    static void store(double* p, V v) { _mm_storeu_pd(p, v); }
    static V add(V a, V b) { return _mm_add_pd(a, b); }
    static V sub(V a, V b) { return _mm_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm_mul_pd(a, b); }
};

// One channel, twice: the halves run two biquads.
struct PairedSse2Vectors : Sse2Ops
{
    static constexpr int kHalf = 1;
    static V broadcastHalf(const double* p) { return _mm_load1_pd(p); }
    static V lowerHalves(const double* a, const double* b)
    {
        return _mm_unpacklo_pd(_mm_loadu_pd(a), _mm_loadu_pd(b));
    }
    static V upperHalves(const double* a, const double* b)
    {
        return _mm_unpackhi_pd(_mm_loadu_pd(a), _mm_loadu_pd(b));
    }
    static void setUpperOnes(double* p) { _mm_storeu_pd(p, _mm_loadl_pd(_mm_set1_pd(1.0), p)); }
    static void storeLower(double* p, V v) { _mm_storel_pd(p, v); }
    static V keepLower(V old, V now) { return _mm_move_sd(now, old); }
    static V keepUpper(V old, V now) { return _mm_move_sd(old, now); }
};
using PairedSse2Ops = OnePairOps<PairedSse2Vectors>;

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

} // namespace

bool runPairedSse2(const CoefficientTable& table, double* state, double* samples, double* gains,
                   int n)
{
    if (table.b2IsB0)
        return runPaired<PairedSse2Ops, true>(table, state, samples, gains, n);
    else
        return runPaired<PairedSse2Ops, false>(table, state, samples, gains, n);
}

bool runSse2(const CoefficientTable& table, double* state, double* samples, const double* gains,
             int n)
{
    Pipeline<Sse2Ops> pipeline(table, state);
    pipeline.run(samples, gains, n);
    return pipeline.finite();
}

void toPairLayout(double* groupState, int first, int half)
{
    for (int p = 0; p < kPairs; ++p)
        for (int s = 0; s < 2; ++s)
        {
            double* lower = groupState + (2 * pairLower(p) + s) * kLanes + first;
            const double* upper = groupState + (2 * pairUpper(p) + s) * kLanes + first;
            for (int lane = 0; lane < half; ++lane)
                lower[half + lane] = upper[lane];
        }
}

void fromPairLayout(double* groupState, int first, int half)
{
    for (int p = 0; p < kPairs; ++p)
        for (int s = 0; s < 2; ++s)
        {
            const double* lower = groupState + (2 * pairLower(p) + s) * kLanes + first;
            double* upper = groupState + (2 * pairUpper(p) + s) * kLanes + first;
            for (int lane = 0; lane < half; ++lane)
                upper[lane] = lower[half + lane];
        }
}

// For each pair and state, the rows of its lower biquad (l) and upper
// biquad (u), four lanes each: l0 l1 l2 l3 / u0 u1 u2 u3 become l0 l1 u0 u1 /
// l2 l3 u2 u3 for two pairs, l0 l1 u0 u1 / u0 u1 l2 u2 for a pair and lane 2.
void toSplitLayout(double* groupState, int upperHalf)
{
    for (int p = 0; p < kPairs; ++p)
        for (int s = 0; s < 2; ++s)
        {
            double* lower = groupState + (2 * pairLower(p) + s) * kLanes;
            double* upper = groupState + (2 * pairUpper(p) + s) * kLanes;
            const double l2 = lower[2], l3 = lower[3], u2 = upper[2], u3 = upper[3];
            lower[2] = upper[0];
            lower[3] = upper[1];
            if (upperHalf == 2)
            {
                upper[0] = l2;
                upper[1] = l3;
                upper[3] = u3;
            }
            else
                upper[3] = u2;
            upper[2] = upperHalf == 2 ? u2 : l2;
        }
}

void fromSplitLayout(double* groupState, int upperHalf)
{
    for (int p = 0; p < kPairs; ++p)
        for (int s = 0; s < 2; ++s)
        {
            double* lower = groupState + (2 * pairLower(p) + s) * kLanes;
            double* upper = groupState + (2 * pairUpper(p) + s) * kLanes;
            const double l[4] = {lower[0], lower[1], upper[upperHalf == 2 ? 0 : 2],
                                 upperHalf == 2 ? upper[1] : 0.0};
            const double u[4] = {lower[2], lower[3], upper[upperHalf == 2 ? 2 : 3],
                                 upperHalf == 2 ? upper[3] : 0.0};
            for (int lane = 0; lane < kLanes; ++lane)
            {
                lower[lane] = l[lane];
                upper[lane] = u[lane];
            }
        }
}

bool avxAvailable()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

} // namespace Ladder
} // namespace Quorvane
