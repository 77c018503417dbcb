// The SSE2 loops of the gate pass over a chunk of samples (chunkkernels.h).
#include "chunkkernels.h"

#include "crossovergainstage.h"
#include "engineconstants.h"

#include <algorithm>
#include <cmath>

#include <emmintrin.h>

namespace Quorvane
{

namespace
{

// Non-finite samples, and finite ones too large to be audio, count as
// silence: they would otherwise overflow the filters' output. Tiny samples
// are raised to the silence floor. Four at a time as a select (a NaN fails
// both comparisons).
__m128 floorFour(__m128 x)
{
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 silence = _mm_set1_ps(kSilence);
    const __m128 largest = _mm_set1_ps(kLargestSample);
    const __m128 magnitude = _mm_and_ps(x, absMask);
    const __m128 usable =
        _mm_and_ps(_mm_cmpge_ps(magnitude, silence), _mm_cmple_ps(magnitude, largest));
    return _mm_or_ps(_mm_and_ps(usable, x), _mm_andnot_ps(usable, silence));
}

float floorOne(float x)
{
    const float magnitude = std::fabs(x);
    const bool usable = magnitude >= kSilence && magnitude <= kLargestSample;
    return usable ? x : kSilence;
}

// The key level of two channels, four samples at a time: the larger
// magnitude, at least kSilence.
__m128 levelFour(__m128 a, __m128 b)
{
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    return _mm_max_ps(_mm_max_ps(_mm_set1_ps(kSilence), _mm_and_ps(a, absMask)),
                      _mm_and_ps(b, absMask));
}

float largestOfFour(__m128 peaks)
{
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, peaks);
    return std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
}

// Samples a and b of four frames into lanes 0 and 1 of the group layout
// (kLanes doubles per sample), as doubles.
void interleaveFour(__m128 x, __m128 y, double* at)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    const __m128 low = _mm_unpacklo_ps(x, y);  // a0 b0 a1 b1
    const __m128 high = _mm_unpackhi_ps(x, y); // a2 b2 a3 b3
    _mm_storeu_pd(at, _mm_cvtps_pd(low));
    _mm_storeu_pd(at + kLanes, _mm_cvtps_pd(_mm_movehl_ps(low, low)));
    _mm_storeu_pd(at + 2 * kLanes, _mm_cvtps_pd(high));
    _mm_storeu_pd(at + 3 * kLanes, _mm_cvtps_pd(_mm_movehl_ps(high, high)));
}

// Four samples of one channel into lane 0 of four rows of the group layout, as doubles.
void laneFour(__m128 x, double* at)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    const __m128d low = _mm_cvtps_pd(x);
    const __m128d high = _mm_cvtps_pd(_mm_movehl_ps(x, x));
    _mm_storel_pd(at, low);
    _mm_storeh_pd(at + kLanes, low);
    _mm_storel_pd(at + 2 * kLanes, high);
    _mm_storeh_pd(at + 3 * kLanes, high);
}

// Floor, levels and lanes of one pair of channels (floorLevelsAndLanes, and each pair of
// floorLevelsAndLanesMany). The first sweep writes the levels, the others raise them; the last
// also returns the peak.
template <bool First, bool Last>
float floorLevelsAndLanesOfPair(float* a, float* b, int count, float* levels, float peak,
                                double* lanes)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    __m128 peaks = _mm_set1_ps(peak);
    int i = 0;
    for (; i + 4 <= count; i += 4)
    {
        const __m128 x = floorFour(_mm_loadu_ps(a + i));
        const __m128 y = floorFour(_mm_loadu_ps(b + i));
        _mm_storeu_ps(a + i, x);
        _mm_storeu_ps(b + i, y);
        __m128 level = levelFour(x, y);
        if constexpr (!First)
            level = _mm_max_ps(level, _mm_loadu_ps(levels + i));
        _mm_storeu_ps(levels + i, level);
        if constexpr (Last)
            peaks = _mm_max_ps(peaks, level);
        interleaveFour(x, y, lanes + i * kLanes);
    }
    if constexpr (Last)
        peak = largestOfFour(peaks);
    for (; i < count; ++i)
    {
        a[i] = floorOne(a[i]);
        b[i] = floorOne(b[i]);
        float level = std::max(std::max(kSilence, std::fabs(a[i])), std::fabs(b[i]));
        if constexpr (!First)
            level = std::max(level, levels[i]);
        levels[i] = level;
        if constexpr (Last)
            peak = std::max(peak, level);
        lanes[i * kLanes] = a[i];
        lanes[i * kLanes + 1] = b[i];
    }
    return peak;
}

} // namespace

void applyFloor(float* samples, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_ps(samples + i, floorFour(_mm_loadu_ps(samples + i)));
    for (; i < count; ++i)
        samples[i] = floorOne(samples[i]);
}

// Levels are never NaN (the input floor sees to that), so the order of comparison does not
// matter and four samples go side by side.
float loudestLevels(float** key, int keyChannels, int start, int count, float* levels, float peak)
{
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 silence = _mm_set1_ps(kSilence);
    __m128 peaks = _mm_set1_ps(peak);
    int i = 0;
    if (keyChannels == 2)
    {
        const float* a = key[0] + start;
        const float* b = key[1] + start;
        for (; i + 4 <= count; i += 4)
        {
            const __m128 level = levelFour(_mm_loadu_ps(a + i), _mm_loadu_ps(b + i));
            _mm_storeu_ps(levels + i, level);
            peaks = _mm_max_ps(peaks, level);
        }
    }
    else
    {
        for (; i + 4 <= count; i += 4)
        {
            __m128 level = silence;
            for (int c = 0; c < keyChannels; ++c)
                level = _mm_max_ps(level, _mm_and_ps(_mm_loadu_ps(key[c] + start + i), absMask));
            _mm_storeu_ps(levels + i, level);
            peaks = _mm_max_ps(peaks, level);
        }
    }
    peak = largestOfFour(peaks);
    for (; i < count; ++i)
    {
        float level = kSilence;
        for (int c = 0; c < keyChannels; ++c)
            level = std::max(level, std::fabs(key[c][start + i]));
        levels[i] = level;
        peak = std::max(peak, level);
    }
    return peak;
}

float largestMagnitude(const float* samples, int count, float peak)
{
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    __m128 peaks = _mm_set1_ps(peak);
    int i = 0;
    for (; i + 4 <= count; i += 4)
        peaks = _mm_max_ps(peaks, _mm_and_ps(_mm_loadu_ps(samples + i), absMask));
    peak = largestOfFour(peaks);
    for (; i < count; ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

float floorLevelsAndLanes(float* a, float* b, int count, float* levels, float peak, double* lanes)
{
    return floorLevelsAndLanesOfPair<true, true>(a, b, count, levels, peak, lanes);
}

float floorLevelAndLane(float* a, int count, float* levels, float peak, double* lanes)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    __m128 peaks = _mm_set1_ps(peak);
    int i = 0;
    for (; i + 8 <= count; i += 8)
    {
        // Eight samples per round, four at a time. A floored sample's
        // magnitude is at least kSilence: it is the level.
        for (int k = 0; k < 8; k += 4)
        {
            const __m128 x = floorFour(_mm_loadu_ps(a + i + k));
            _mm_storeu_ps(a + i + k, x);
            const __m128 level = _mm_and_ps(x, absMask);
            _mm_storeu_ps(levels + i + k, level);
            peaks = _mm_max_ps(peaks, level);
            laneFour(x, lanes + (i + k) * kLanes);
        }
    }
    peak = largestOfFour(peaks);
    for (; i < count; ++i)
    {
        a[i] = floorOne(a[i]);
        const float level = std::max(kSilence, std::fabs(a[i]));
        levels[i] = level;
        peak = std::max(peak, level);
        lanes[i * kLanes] = a[i];
    }
    return peak;
}

namespace
{

// The odd channel, after at least one pair: it raises the levels and returns the peak.
float floorLevelsAndLaneAfterPairs(float* a, int count, float* levels, float peak, double* lanes)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    __m128 peaks = _mm_set1_ps(peak);
    int i = 0;
    for (; i + 4 <= count; i += 4)
    {
        const __m128 x = floorFour(_mm_loadu_ps(a + i));
        _mm_storeu_ps(a + i, x);
        const __m128 level = _mm_max_ps(_mm_and_ps(x, absMask), _mm_loadu_ps(levels + i));
        _mm_storeu_ps(levels + i, level);
        peaks = _mm_max_ps(peaks, level);
        laneFour(x, lanes + i * kLanes);
    }
    peak = largestOfFour(peaks);
    for (; i < count; ++i)
    {
        a[i] = floorOne(a[i]);
        const float level = std::max(std::fabs(a[i]), levels[i]);
        levels[i] = level;
        peak = std::max(peak, level);
        lanes[i * kLanes] = a[i];
    }
    return peak;
}

} // namespace

float floorLevelsAndLanesMany(float** channels, int channelCount, int start, int count,
                              float* levels, float peak, double* lanes, int groupStride, bool avx)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    int c = 0;
    while (c < channelCount)
    {
        const int left = channelCount - c;
        const int inGroup = std::min(kLanes, left);
        const bool first = c == 0;
        double* at = lanes + (c / kLanes) * groupStride + c % kLanes;
        if (avx && c % kLanes == 0 && inGroup >= 3)
        {
            float* ch[kLanes];
            for (int k = 0; k < inGroup; ++k)
                ch[k] = channels[c + k] + start;
            const bool last = inGroup == left;
            peak = floorLevelsAndLanesOfGroupAvx(ch, inGroup, count, levels, peak, at, first, last);
            c += inGroup;
        }
        else if (left >= 2)
        {
            float* a = channels[c] + start;
            float* b = channels[c + 1] + start;
            const bool last = left == 2;
            if (first && !last)
                floorLevelsAndLanesOfPair<true, false>(a, b, count, levels, peak, at);
            else if (first)
                peak = floorLevelsAndLanesOfPair<true, true>(a, b, count, levels, peak, at);
            else if (!last)
                floorLevelsAndLanesOfPair<false, false>(a, b, count, levels, peak, at);
            else
                peak = floorLevelsAndLanesOfPair<false, true>(a, b, count, levels, peak, at);
            c += 2;
        }
        else
        {
            peak = floorLevelsAndLaneAfterPairs(channels[c] + start, count, levels, peak, at);
            c += 1;
        }
    }
    return peak;
}

void interleavePair(const float* a, const float* b, double* lanes, int count)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    int i = 0;
    for (; i + 4 <= count; i += 4)
        interleaveFour(_mm_loadu_ps(a + i), _mm_loadu_ps(b + i), lanes + i * kLanes);
    for (; i < count; ++i)
    {
        lanes[i * kLanes] = a[i];
        lanes[i * kLanes + 1] = b[i];
    }
}

void deinterleavePair(const double* lanes, float gain, float* a, float* b, int count)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    const __m128 g = _mm_set1_ps(gain);
    int i = 0;
    for (; i + 4 <= count; i += 4)
    {
        const double* at = lanes + i * kLanes;
        const __m128 s01 =
            _mm_movelh_ps(_mm_cvtpd_ps(_mm_loadu_pd(at)), _mm_cvtpd_ps(_mm_loadu_pd(at + kLanes)));
        const __m128 s23 = _mm_movelh_ps(_mm_cvtpd_ps(_mm_loadu_pd(at + 2 * kLanes)),
                                         _mm_cvtpd_ps(_mm_loadu_pd(at + 3 * kLanes)));
        // s01 = a0 b0 a1 b1, s23 = a2 b2 a3 b3
        _mm_storeu_ps(a + i, _mm_mul_ps(_mm_shuffle_ps(s01, s23, _MM_SHUFFLE(2, 0, 2, 0)), g));
        _mm_storeu_ps(b + i, _mm_mul_ps(_mm_shuffle_ps(s01, s23, _MM_SHUFFLE(3, 1, 3, 1)), g));
    }
    for (; i < count; ++i)
    {
        a[i] = static_cast<float>(lanes[i * kLanes]) * gain;
        b[i] = static_cast<float>(lanes[i * kLanes + 1]) * gain;
    }
}

void deinterleaveSingle(const double* lanes, float gain, float* a, int count)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    const __m128 g = _mm_set1_ps(gain);
    int i = 0;
    for (; i + 8 <= count; i += 8)
        for (int k = 0; k < 8; k += 4)
        {
            const double* at = lanes + (i + k) * kLanes;
            const __m128d s01 = _mm_loadh_pd(_mm_load_sd(at), at + kLanes);
            const __m128d s23 = _mm_loadh_pd(_mm_load_sd(at + 2 * kLanes), at + 3 * kLanes);
            _mm_storeu_ps(a + i + k,
                          _mm_mul_ps(_mm_movelh_ps(_mm_cvtpd_ps(s01), _mm_cvtpd_ps(s23)), g));
        }
    for (; i < count; ++i)
        a[i] = static_cast<float>(lanes[i * kLanes]) * gain;
}

} // namespace Quorvane
