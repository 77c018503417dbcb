// The ladder for four lanes in AVX. This file alone is compiled with -mavx;
// it is only called after avxAvailable() said yes, and it keeps everything it
// instantiates to itself so that no AVX code can stand in for a shared inline
// function elsewhere.
#include "crossoverladder.h"

#include <immintrin.h>

namespace Quorvane {
namespace Ladder {

namespace {

struct AvxOps
{
    using V = __m256d;
    static V load(const double* p) { return _mm256_loadu_pd(p); }
    static void store(double* p, V v) { _mm256_storeu_pd(p, v); }
    static V add(V a, V b) { return _mm256_add_pd(a, b); }
    static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
};

} // namespace

void runAvx(const CoefficientTable& table, double* state, double* samples, const double* gains,
            int n)
{
    Pipeline<AvxOps>(table, state).run(samples, gains, n);
}

} // namespace Ladder
} // namespace Quorvane
