#include "detectorrun.h"

#include "crossoverladder.h"
#include "detectorstepper.h"

#include <cmath>
#include <cstdint>

#include <emmintrin.h>

namespace Quorvane
{

namespace
{

constexpr int kLanes = Ladder::kLanes;

struct GainOut
{
    double* gains;
    int groups;
    int groupStride;
    int channels; // lanes in use: every lane of every group but the last

    void put(int i, double gain) const
    {
        double* lanes = gains + i * kLanes;
        for (int group = 0; group < groups; ++group, lanes += groupStride)
            for (int lane = 0; lane < kLanes; ++lane)
                lanes[lane] = gain;
    }

    // The same gain for samples begin..end - 1, in the lanes of channels.
    void fill(int begin, int end, double gain) const
    {
        const __m128d pair = _mm_set1_pd(gain);
        for (int group = 0; group < groups; ++group)
        {
            double* lanes = gains + group * groupStride;
            const bool upperPair = channels - group * kLanes > 2;
            int i = begin;
            // Four samples per round: most of a settled stretch is this loop.
            for (; i + 4 <= end; i += 4)
                for (int k = 0; k < 4; ++k)
                {
                    _mm_storeu_pd(lanes + (i + k) * kLanes, pair);
                    if (upperPair)
                        _mm_storeu_pd(lanes + (i + k) * kLanes + 2, pair);
                }
            for (; i < end; ++i)
            {
                _mm_storeu_pd(lanes + i * kLanes, pair);
                if (upperPair)
                    _mm_storeu_pd(lanes + i * kLanes + 2, pair);
            }
        }
    }
};

// Bit k set when levels[i + k] > threshold, for k = 0..length - 1 (at most 64).
// Magnitudes: the values are key samples, and their magnitudes are the levels.
template <bool Magnitudes = false>
uint64_t aboveMask(const float* levels, int i, int length, float threshold)
{
    const __m128 t = _mm_set1_ps(threshold);
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(Magnitudes ? 0x7fffffff : -1));
    uint64_t mask = 0;
    int k = 0;
    for (; k + 4 <= length; k += 4)
    {
        const __m128 above = _mm_cmpgt_ps(_mm_and_ps(_mm_loadu_ps(levels + i + k), absMask), t);
        mask |= static_cast<uint64_t>(_mm_movemask_ps(above)) << k;
    }
    for (; k < length; ++k)
    {
        const float level = Magnitudes ? std::fabs(levels[i + k]) : levels[i + k];
        mask |= static_cast<uint64_t>(level > threshold) << k;
    }
    return mask;
}

// The first sample from i on whose level is above threshold (or count).
template <bool Magnitudes = false>
int firstAbove(const float* levels, int i, int count, float threshold)
{
    for (; i < count; i += 64)
    {
        const int length = count - i < 64 ? count - i : 64;
        if (const uint64_t mask = aboveMask<Magnitudes>(levels, i, length, threshold))
            return i + __builtin_ctzll(mask);
    }
    return count;
}

// The first sample from i on at which an open detector's hold runs out (or
// count); held is the hold count, kept up to date. A quiet sample counts the
// hold up, a loud one starts it over; the hold runs out on a quiet sample
// with held at hold. Whole stretches of up to 64 samples at a time where
// that cannot happen within them.
template <bool Magnitudes = false>
int holdRunsOut(const float* levels, int i, int count, float threshold, int hold, int& held)
{
    int h = held;
    while (hold >= 64 && i < count)
    {
        const int length = count - i < 64 ? count - i : 64;
        const uint64_t loud = aboveMask<Magnitudes>(levels, i, length, threshold);
        // Quiet samples before the first loud one (all of them if none).
        const int leading = loud ? __builtin_ctzll(loud) : length;
        if (h + leading > hold)
            break; // it may run out in here: sample by sample
        // Runs between loud samples are shorter than 64, so within the hold;
        // after the last loud one the count starts over.
        h = loud ? length - 64 + __builtin_clzll(loud) : h + length;
        i += length;
    }
    for (; i < count; ++i)
    {
        const bool quiet = !((Magnitudes ? std::fabs(levels[i]) : levels[i]) > threshold);
        if (quiet && !(h < hold))
            break;
        h = quiet ? h + 1 : 0;
    }
    held = h;
    return i;
}

using Stretch::holdingOpen;
using Stretch::settles;
using Stretch::waitingClosed;

// Samples from i on while the gate stays shut; returns the first one not done.
int runClosed(const GateSettings& s, DetectorState& d, const float* levels, int i, int count,
              const GainOut& out)
{
    const bool open = s.ducking; // the envelope's decision while shut
    const float threshold = s.openThreshold;
    for (; i < count && !(levels[i] > threshold); ++i)
    {
        const bool settled = settles(s, d, open);
        out.put(i, d.gain);
        if (settled)
        {
            const int end = firstAbove(levels, i + 1, count, threshold);
            out.fill(i + 1, end, d.gain);
            return end;
        }
    }
    return i;
}

// Samples from i on while the gate stays open; returns the first one not done.
int runOpen(const GateSettings& s, DetectorState& d, const float* levels, int i, int count,
            const GainOut& out)
{
    const bool open = Stretch::openDecision(s, d);
    const float threshold = s.closeThreshold;
    const int hold = s.holdSamples;
    int held = d.holdCount;
    for (; i < count; ++i)
    {
        const bool quiet = !(levels[i] > threshold);
        if (quiet && !(held < hold))
            break;
        held = quiet ? held + 1 : 0;
        const bool settled = settles(s, d, open);
        out.put(i, d.gain);
        if (settled)
        {
            const int end = holdRunsOut(levels, i + 1, count, threshold, hold, held);
            out.fill(i + 1, end, d.gain);
            i = end;
            break;
        }
    }
    d.holdCount = held;
    return i;
}

} // namespace

void runDetector(const GateSettings& settings, DetectorState& state, GateRandom& random,
                 const float* levels, int count, double* gains, int channels, int groupStride)
{
    const int groups = (channels + kLanes - 1) / kLanes;
    // Local copies: the Beat Skip draw is a call, after which members would
    // have to be read again.
    const GateSettings s = settings;
    DetectorState d = state;
    const GainOut out{gains, groups, groupStride, channels};
    int i = 0;
    while (i < count)
    {
        if (waitingClosed(s, d))
            i = runClosed(s, d, levels, i, count, out);
        else if (holdingOpen(s, d))
            i = runOpen(s, d, levels, i, count, out);
        if (i < count)
        {
            decideGate(s, d, levels[i], random);
            out.put(i, d.gain);
            ++i;
        }
    }
    state = d;
}

int settledStretchEnd(const float* key, int i, int count, float threshold, int hold, int held)
{
    if (hold < 0)
        return firstAbove<true>(key, i, count, threshold);
    return holdRunsOut<true>(key, i, count, threshold, hold, held);
}

int heldAfter(const float* key, int i, int end, float threshold, int held)
{
    for (; i < end; i += 64)
    {
        const int length = end - i < 64 ? end - i : 64;
        const uint64_t loud = aboveMask<true>(key, i, length, threshold);
        // Quiet samples after the last loud one, or all of them.
        held = loud ? length - 64 + __builtin_clzll(loud) : held + length;
    }
    return held;
}

} // namespace Quorvane
