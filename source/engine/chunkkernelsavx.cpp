// The loops of chunkkernels.h that AVX does in fewer instructions. This file alone among them
// is compiled with -mavx; it is only called when the crossover ladder runs in AVX (which the
// processor was checked for).
#include "chunkkernels.h"

#include "crossovergainstage.h"
#include "engineconstants.h"

#include <algorithm>
#include <cmath>

#include <immintrin.h>

namespace Quorvane
{

namespace
{

// As floorFour of the SSE2 loops, with the select in one instruction: the
// floored samples, and their magnitudes (at least kSilence) in magnitude.
__m128 floorFour(__m128 x, __m128& magnitude)
{
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 silence = _mm_set1_ps(kSilence);
    const __m128 largest = _mm_set1_ps(kLargestSample);
    const __m128 m = _mm_and_ps(x, absMask);
    const __m128 usable = _mm_and_ps(_mm_cmpge_ps(m, silence), _mm_cmple_ps(m, largest));
    magnitude = _mm_blendv_ps(silence, m, usable);
    return _mm_blendv_ps(silence, x, usable);
}

float floorOne(float x)
{
    const float magnitude = std::fabs(x);
    const bool usable = magnitude >= kSilence && magnitude <= kLargestSample;
    return usable ? x : kSilence;
}

template <int Channels, bool First, bool Last>
float floorLevelsAndLanesOfGroup(float* const* ch, int count, float* levels, float peak,
                                 double* lanes)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    __m128 peaks = _mm_set1_ps(peak);
    int i = 0;
    for (; i + 4 <= count; i += 4)
    {
        __m128 x[kLanes];
        __m128 m[kLanes];
        for (int k = 0; k < Channels; ++k)
        {
            x[k] = floorFour(_mm_loadu_ps(ch[k] + i), m[k]);
            _mm_storeu_ps(ch[k] + i, x[k]);
        }
        __m128 level = _mm_max_ps(_mm_max_ps(m[0], m[1]), m[2]);
        if constexpr (Channels == 4)
            level = _mm_max_ps(level, m[3]);
        else
            x[3] = _mm_setzero_ps(); // the lane without a channel
        if constexpr (!First)
            level = _mm_max_ps(level, _mm_loadu_ps(levels + i));
        _mm_storeu_ps(levels + i, level);
        if constexpr (Last)
            peaks = _mm_max_ps(peaks, level);
        // Four channels of four samples into four samples of four lanes.
        _MM_TRANSPOSE4_PS(x[0], x[1], x[2], x[3]);
        for (int k = 0; k < 4; ++k)
            _mm256_storeu_pd(lanes + (i + k) * kLanes, _mm256_cvtps_pd(x[k]));
    }
    if constexpr (Last)
    {
        alignas(16) float four[4];
        _mm_store_ps(four, peaks);
        peak = std::max(std::max(four[0], four[1]), std::max(four[2], four[3]));
    }
    for (; i < count; ++i)
    {
        float level = First ? kSilence : levels[i];
        for (int k = 0; k < Channels; ++k)
        {
            ch[k][i] = floorOne(ch[k][i]);
            level = std::max(level, std::fabs(ch[k][i]));
            lanes[i * kLanes + k] = ch[k][i];
        }
        if constexpr (Channels == 3)
            lanes[i * kLanes + 3] = 0.0;
        levels[i] = level;
        if constexpr (Last)
            peak = std::max(peak, level);
    }
    return peak;
}

template <int Channels>
float floorLevelsAndLanesOfGroup(float* const* ch, int count, float* levels, float peak,
                                 double* lanes, bool first, bool last)
{
    if (first && last)
        return floorLevelsAndLanesOfGroup<Channels, true, true>(ch, count, levels, peak, lanes);
    if (first)
        return floorLevelsAndLanesOfGroup<Channels, true, false>(ch, count, levels, peak, lanes);
    if (last)
        return floorLevelsAndLanesOfGroup<Channels, false, true>(ch, count, levels, peak, lanes);
    return floorLevelsAndLanesOfGroup<Channels, false, false>(ch, count, levels, peak, lanes);
}

} // namespace

float floorLevelsAndLanesOfGroupAvx(float* const* channels, int channelCount, int count,
                                    float* levels, float peak, double* lanes, bool first, bool last)
{
    if (channelCount == 3)
        return floorLevelsAndLanesOfGroup<3>(channels, count, levels, peak, lanes, first, last);
    return floorLevelsAndLanesOfGroup<4>(channels, count, levels, peak, lanes, first, last);
}

void deinterleaveGroupAvx(const double* lanes, float gain, float* const* out, int channels,
                          int count)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    const __m128 g = _mm_set1_ps(gain);
    float* const a = out[0];
    float* const b = out[1];
    float* const c = out[2];
    float* const d = channels > 3 ? out[3] : nullptr;
    int i = 0;
    for (; i + 4 <= count; i += 4)
    {
        // A sample's four lanes rounded to float in one instruction, then
        // four samples turned into four channels.
        const double* at = lanes + i * kLanes;
        __m128 r0 = _mm256_cvtpd_ps(_mm256_loadu_pd(at));
        __m128 r1 = _mm256_cvtpd_ps(_mm256_loadu_pd(at + kLanes));
        __m128 r2 = _mm256_cvtpd_ps(_mm256_loadu_pd(at + 2 * kLanes));
        __m128 r3 = _mm256_cvtpd_ps(_mm256_loadu_pd(at + 3 * kLanes));
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        _mm_storeu_ps(a + i, _mm_mul_ps(r0, g));
        _mm_storeu_ps(b + i, _mm_mul_ps(r1, g));
        _mm_storeu_ps(c + i, _mm_mul_ps(r2, g));
        if (d != nullptr)
            _mm_storeu_ps(d + i, _mm_mul_ps(r3, g));
    }
    for (; i < count; ++i)
        for (int k = 0; k < channels; ++k)
            out[k][i] = static_cast<float>(lanes[i * kLanes + k]) * gain;
}

} // namespace Quorvane
