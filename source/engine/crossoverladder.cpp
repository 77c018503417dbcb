// The ladder for one lane in plain double arithmetic and for two lanes in
// SSE2, which every x86-64 processor has.
#include "crossoverladder.h"

#include <emmintrin.h>

namespace Quorvane {
namespace Ladder {

namespace {

struct ScalarOps
{
    using V = double;
    static V load(const double* p) { return *p; }
    static void store(double* p, V v) { *p = v; }
    static V add(V a, V b) { return a + b; }
    static V sub(V a, V b) { return a - b; }
    static V mul(V a, V b) { return a * b; }
};

struct Sse2Ops
{
    using V = __m128d;
    static V load(const double* p) { return _mm_loadu_pd(p); }
    static void store(double* p, V v) { _mm_storeu_pd(p, v); }
    static V add(V a, V b) { return _mm_add_pd(a, b); }
    static V sub(V a, V b) { return _mm_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm_mul_pd(a, b); }
};

} // namespace

void runScalar(const CoefficientTable& table, double* state, double* samples,
               const double* gains, int n)
{
    Pipeline<ScalarOps>(table, state).run(samples, gains, n);
}

void runSse2(const CoefficientTable& table, double* state, double* samples, const double* gains,
             int n)
{
    Pipeline<Sse2Ops>(table, state).run(samples, gains, n);
}

bool avxAvailable()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

} // namespace Ladder
} // namespace Quorvane
