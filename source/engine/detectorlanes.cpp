#include "detectorlanes.h"

#include <emmintrin.h>

namespace Quorvane
{

namespace
{

constexpr int kWidth = 4;

// Lane masks are all ones (true) or all zeros (false), as integer vectors.
__m128i select(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

__m128 select(__m128i mask, __m128 yes, __m128 no)
{
    const __m128 m = _mm_castsi128_ps(mask);
    return _mm_or_ps(_mm_and_ps(m, yes), _mm_andnot_ps(m, no));
}

__m128i mask(bool on)
{
    return _mm_set1_epi32(on ? -1 : 0);
}

// The settings, one copy per lane.
struct LaneSettings
{
    explicit LaneSettings(const GateSettings& s)
        : openThreshold(_mm_set1_ps(s.openThreshold)),
          closeThreshold(_mm_set1_ps(s.closeThreshold)), holdSamples(_mm_set1_epi32(s.holdSamples)),
          attackDelaySamples(_mm_set1_epi32(s.attackDelaySamples)),
          truncationEndSamples(_mm_set1_epi32(s.truncationEndSamples)),
          truncating(mask(s.truncationEndSamples != s.attackDelaySamples)),
          holdClosedSamples(_mm_set1_epi32(s.holdClosedSamples)), ducking(mask(s.ducking)),
          gradualStep(_mm_set1_ps(s.gradualStep)), gradualSmooth(_mm_set1_ps(s.gradualSmooth)),
          gradualKeep(_mm_set1_ps(1.0f - s.gradualSmooth)), synthCoeff(_mm_set1_ps(s.synthCoeff)),
          synthBase(_mm_set1_ps((1.0f - s.synthCoeff) * kSynthTarget)),
          synthSmooth(_mm_set1_ps(s.synthSmooth)), synthKeep(_mm_set1_ps(1.0f - s.synthSmooth)),
          releaseStep(_mm_set1_ps(s.releaseStep)), releaseSmooth(_mm_set1_ps(s.releaseSmooth)),
          releaseKeep(_mm_set1_ps(1.0f - s.releaseSmooth)), rangeGain(_mm_set1_ps(s.rangeGain)),
          probability(s.beatSkipProbability)
    {
    }

    __m128 openThreshold, closeThreshold;
    __m128i holdSamples, attackDelaySamples, truncationEndSamples, truncating;
    __m128i holdClosedSamples, ducking;
    __m128 gradualStep, gradualSmooth, gradualKeep;
    __m128 synthCoeff, synthBase, synthSmooth, synthKeep;
    __m128 releaseStep, releaseSmooth, releaseKeep, rangeGain;
    float probability;
};

// Four detector states across the lanes.
struct Lanes
{
    __m128i detectorOpen, wasOpen, holdCount, attackDelayCount, inAttackDelay;
    __m128i truncationCount, truncated, holdClosedActive, holdClosedCount, skipNote;
    __m128 envelope, gain;

    // Lanes from `count` on start as fresh detectors.
    void load(const DetectorState* d, int count)
    {
        alignas(16) int v[10][kWidth];
        alignas(16) float f[2][kWidth];
        for (int l = 0; l < kWidth; ++l)
        {
            const DetectorState s = l < count ? d[l] : DetectorState{};
            v[0][l] = s.detectorOpen ? -1 : 0;
            v[1][l] = s.wasOpen ? -1 : 0;
            v[2][l] = s.holdCount;
            v[3][l] = s.attackDelayCount;
            v[4][l] = s.inAttackDelay ? -1 : 0;
            v[5][l] = s.truncationCount;
            v[6][l] = s.truncated ? -1 : 0;
            v[7][l] = s.holdClosedActive ? -1 : 0;
            v[8][l] = s.holdClosedCount;
            v[9][l] = s.skipNote ? -1 : 0;
            f[0][l] = s.envelope;
            f[1][l] = s.gain;
        }
        __m128i* fields[10] = {&detectorOpen,    &wasOpen,         &holdCount, &attackDelayCount,
                               &inAttackDelay,   &truncationCount, &truncated, &holdClosedActive,
                               &holdClosedCount, &skipNote};
        for (int i = 0; i < 10; ++i)
            *fields[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(v[i]));
        envelope = _mm_load_ps(f[0]);
        gain = _mm_load_ps(f[1]);
    }

    void store(DetectorState* d, int count) const
    {
        alignas(16) int v[10][kWidth];
        alignas(16) float f[2][kWidth];
        const __m128i fields[10] = {detectorOpen,    wasOpen,         holdCount, attackDelayCount,
                                    inAttackDelay,   truncationCount, truncated, holdClosedActive,
                                    holdClosedCount, skipNote};
        for (int i = 0; i < 10; ++i)
            _mm_store_si128(reinterpret_cast<__m128i*>(v[i]), fields[i]);
        _mm_store_ps(f[0], envelope);
        _mm_store_ps(f[1], gain);
        for (int l = 0; l < count; ++l)
        {
            DetectorState& s = d[l];
            s.detectorOpen = v[0][l] != 0;
            s.wasOpen = v[1][l] != 0;
            s.holdCount = v[2][l];
            s.attackDelayCount = v[3][l];
            s.inAttackDelay = v[4][l] != 0;
            s.truncationCount = v[5][l];
            s.truncated = v[6][l] != 0;
            s.holdClosedActive = v[7][l] != 0;
            s.holdClosedCount = v[8][l];
            s.skipNote = v[9][l] != 0;
            s.envelope = f[0][l];
            s.gain = f[1][l];
        }
    }
};

// decideGate for four lanes; `valid` has a bit for each lane with a detector.
// Gradual: the settings have the gradual attack on (otherwise its step, with
// its division, is left out).
template <bool Gradual>
__attribute__((always_inline)) inline void decide(const LaneSettings& s, Lanes& d, __m128 level,
                                                  int valid, GateRandom& random)
{
    const __m128i ones = _mm_set1_epi32(-1);

    // Level detector.
    __m128i open =
        _mm_or_si128(d.detectorOpen, _mm_castps_si128(_mm_cmpgt_ps(level, s.openThreshold)));
    const __m128i quiet =
        _mm_andnot_si128(_mm_castps_si128(_mm_cmpgt_ps(level, s.closeThreshold)), ones);
    const __m128i holding = _mm_cmplt_epi32(d.holdCount, s.holdSamples);
    // Subtracting a true mask adds one.
    d.holdCount =
        select(open, _mm_and_si128(quiet, _mm_sub_epi32(d.holdCount, holding)), d.holdCount);
    open = _mm_andnot_si128(_mm_andnot_si128(holding, quiet), open);
    d.detectorOpen = open;

    // Attack delay.
    d.inAttackDelay =
        _mm_and_si128(open, _mm_cmplt_epi32(d.attackDelayCount, s.attackDelaySamples));
    d.attackDelayCount = _mm_and_si128(open, _mm_sub_epi32(d.attackDelayCount, d.inAttackDelay));

    // Note truncation.
    const __m128i beforeEnd = _mm_cmplt_epi32(d.truncationCount, s.truncationEndSamples);
    d.truncated = _mm_and_si128(s.truncating, _mm_andnot_si128(beforeEnd, open));
    d.truncationCount =
        select(s.truncating, _mm_and_si128(open, _mm_sub_epi32(d.truncationCount, beforeEnd)),
               d.truncationCount);

    // Beat skip: the draws go to the rising lanes in detector order.
    const int rising = _mm_movemask_ps(_mm_castsi128_ps(_mm_andnot_si128(d.wasOpen, open))) & valid;
    if (rising != 0)
    {
        alignas(16) int skip[kWidth];
        _mm_store_si128(reinterpret_cast<__m128i*>(skip), d.skipNote);
        for (int l = 0; l < kWidth; ++l)
            if (rising & (1 << l))
                skip[l] = beatSkipDecision(s.probability, random.next()) ? -1 : 0;
        d.skipNote = _mm_load_si128(reinterpret_cast<const __m128i*>(skip));
    }

    // Hold closed.
    const __m128i holdingClosed =
        _mm_or_si128(d.holdClosedActive, _mm_andnot_si128(open, d.wasOpen));
    const __m128i counting = _mm_cmplt_epi32(d.holdClosedCount, s.holdClosedSamples);
    d.holdClosedActive = _mm_and_si128(holdingClosed, counting);
    d.holdClosedCount =
        select(holdingClosed, _mm_and_si128(counting, _mm_sub_epi32(d.holdClosedCount, ones)),
               d.holdClosedCount);

    d.wasOpen = open;

    // The gate as the envelope sees it, inverted by ducking.
    __m128i shut = _mm_or_si128(_mm_or_si128(d.inAttackDelay, d.truncated),
                                _mm_or_si128(d.holdClosedActive, d.skipNote));
    const __m128i gateOpen = _mm_xor_si128(_mm_andnot_si128(shut, open), s.ducking);

    // The envelope steps, each with the scalar step's operations.
    const __m128 one = _mm_set1_ps(1.0f);

    __m128 synth = _mm_add_ps(s.synthBase, _mm_mul_ps(s.synthCoeff, d.envelope));
    synth = select(_mm_castps_si128(_mm_cmpgt_ps(synth, one)), one, synth);
    const __m128 synthGain =
        _mm_add_ps(_mm_mul_ps(s.synthKeep, synth), _mm_mul_ps(s.synthSmooth, d.gain));

    __m128 fall = _mm_mul_ps(d.envelope, s.releaseStep);
    fall = select(_mm_castps_si128(_mm_cmplt_ps(fall, s.rangeGain)), s.rangeGain, fall);
    const __m128 fallGain =
        _mm_add_ps(_mm_mul_ps(s.releaseKeep, fall), _mm_mul_ps(s.releaseSmooth, d.gain));

    if constexpr (Gradual)
    {
        const __m128 floor = _mm_set1_ps(kMinus60dB);
        __m128 rise = _mm_div_ps(d.envelope, s.gradualStep);
        rise = select(_mm_castps_si128(_mm_cmplt_ps(rise, floor)), floor,
                      select(_mm_castps_si128(_mm_cmpgt_ps(rise, one)), one, rise));
        const __m128 riseGain =
            _mm_add_ps(_mm_mul_ps(s.gradualKeep, rise), _mm_mul_ps(s.gradualSmooth, d.gain));
        d.envelope = select(gateOpen, rise, fall);
        d.gain = select(gateOpen, riseGain, fallGain);
        (void)synthGain;
    }
    else
    {
        d.envelope = select(gateOpen, synth, fall);
        d.gain = select(gateOpen, synthGain, fallGain);
    }
}

template <bool Gradual>
void decideAll(const LaneSettings& s, DetectorState* detectors, int count, GateRandom& random,
               const float* const* keys, double* gains, int groupStride, int numSamples)
{
    constexpr int kMaxVectors = 2; // up to eight detectors stay in registers
    const int vectors = (count + kWidth - 1) / kWidth;
    auto detectorsIn = [count](int v)
    { return count - v * kWidth < kWidth ? count - v * kWidth : kWidth; };
    Lanes lanes[kMaxVectors];
    const float* key[kMaxVectors][kWidth];
    if (vectors > kMaxVectors)
    {
        // Many detectors: a vector at a time, each through one sample, so
        // that the draw order still holds.
        for (int i = 0; i < numSamples; ++i)
            for (int v = 0; v < vectors; ++v)
            {
                Lanes one;
                const int n = detectorsIn(v);
                one.load(detectors + v * kWidth, n);
                alignas(16) float level[kWidth] = {0.0f, 0.0f, 0.0f, 0.0f};
                for (int l = 0; l < n; ++l)
                    level[l] = keys[v * kWidth + l][i];
                const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), _mm_load_ps(level));
                decide<Gradual>(s, one, magnitude, (1 << n) - 1, random);
                one.store(detectors + v * kWidth, n);
                double* g = gains + v * groupStride + i * kWidth;
                _mm_storeu_pd(g, _mm_cvtps_pd(one.gain));
                _mm_storeu_pd(g + 2, _mm_cvtps_pd(_mm_movehl_ps(one.gain, one.gain)));
            }
        return;
    }

    int validBits[kMaxVectors];
    for (int v = 0; v < vectors; ++v)
    {
        const int n = detectorsIn(v);
        lanes[v].load(detectors + v * kWidth, n);
        validBits[v] = (1 << n) - 1;
        // A lane without a detector listens to the first key; it never draws.
        for (int l = 0; l < kWidth; ++l)
            key[v][l] = l < n ? keys[v * kWidth + l] : keys[0];
    }
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    for (int i = 0; i < numSamples; ++i)
        for (int v = 0; v < vectors; ++v)
        {
            const __m128 level = _mm_and_ps(
                absMask, _mm_setr_ps(key[v][0][i], key[v][1][i], key[v][2][i], key[v][3][i]));
            decide<Gradual>(s, lanes[v], level, validBits[v], random);
            double* g = gains + v * groupStride + i * kWidth;
            _mm_storeu_pd(g, _mm_cvtps_pd(lanes[v].gain));
            _mm_storeu_pd(g + 2, _mm_cvtps_pd(_mm_movehl_ps(lanes[v].gain, lanes[v].gain)));
        }
    for (int v = 0; v < vectors; ++v)
        lanes[v].store(detectors + v * kWidth, detectorsIn(v));
}

} // namespace

void decideDetectorLanes(const GateSettings& settings, DetectorState* detectors, int count,
                         GateRandom& random, const float* const* keys, double* gains,
                         int groupStride, int numSamples)
{
    const LaneSettings s(settings);
    if (settings.gradualAttack)
        decideAll<true>(s, detectors, count, random, keys, gains, groupStride, numSamples);
    else
        decideAll<false>(s, detectors, count, random, keys, gains, groupStride, numSamples);
}

} // namespace Quorvane
