// Block processing of the gate engine: the gate passes, the copy pass used by
// bypass and listen, the fade and the meters. Nothing here allocates.
#include "gateengine.h"

#include "detectorlanes.h"
#include "detectorrun.h"
#include "detectorstepper.h"

#include <algorithm>
#include <cmath>

#include <emmintrin.h>

namespace Quorvane {

namespace {

// Channel j of count channels repeated as often as needed; no division in
// the usual case of enough channels (a division takes tens of cycles, in
// every block).
int repeated(int j, int count)
{
    return j < count ? j : j % count;
}

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

void applyFloor(float* samples, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_ps(samples + i, floorFour(_mm_loadu_ps(samples + i)));
    for (; i < count; ++i)
        samples[i] = floorOne(samples[i]);
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

// levels[i]: the largest magnitude of the key channels at sample i, at least
// kSilence; returns the largest of peak and the levels. Levels are never NaN
// (the input floor sees to that), so the order of comparison does not
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

// The usual stereo case in one pass over the two channels of a chunk: the
// input floor (written back, as applyFloor does), the key levels with the
// running peak (as loudestLevels does) and the samples into lanes 0 and 1
// (as interleavePair does), with the same operations in the same order.
float floorLevelsAndLanes(float* a, float* b, int count, float* levels, float peak,
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
        const __m128 level = levelFour(x, y);
        _mm_storeu_ps(levels + i, level);
        peaks = _mm_max_ps(peaks, level);
        interleaveFour(x, y, lanes + i * kLanes);
    }
    peak = largestOfFour(peaks);
    for (; i < count; ++i)
    {
        a[i] = floorOne(a[i]);
        b[i] = floorOne(b[i]);
        const float level = std::max(std::max(kSilence, std::fabs(a[i])), std::fabs(b[i]));
        levels[i] = level;
        peak = std::max(peak, level);
        lanes[i * kLanes] = a[i];
        lanes[i * kLanes + 1] = b[i];
    }
    return peak;
}

// Two channels into lanes 0 and 1 of the group layout (kLanes doubles per
// sample), as doubles; a and b may be the same channel.
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

// Lanes 0 and 1 back to two channels: each sample rounded to float, then
// times gain.
void deinterleavePair(const double* lanes, float gain, float* a, float* b, int count)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    const __m128 g = _mm_set1_ps(gain);
    int i = 0;
    for (; i + 4 <= count; i += 4)
    {
        const double* at = lanes + i * kLanes;
        const __m128 s01 = _mm_movelh_ps(_mm_cvtpd_ps(_mm_loadu_pd(at)),
                                         _mm_cvtpd_ps(_mm_loadu_pd(at + kLanes)));
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

} // namespace

void GateEngine::processBlock(float** input, float** output, int numSamples)
{
    numSamples = std::max(numSamples, 0);
    if (output == nullptr || outputChannels_ < 1)
        return;
    if (input == nullptr || inputChannels_ < 1)
    {
        fillSilence(output, numSamples);
        return;
    }
    // Stereo in and out, linked: the gate pass floors the input in the same
    // pass that takes the key levels and the ladder's lanes from it.
    const bool stereo = inputChannels_ == 2 && outputChannels_ == 2 && channelLinking_;
    if (!stereo)
        applyInputFloor(input, nullptr, 0, numSamples);
    runGate(input, inputChannels_, input, output, numSamples, stereo);
}

void GateEngine::processBlockSideChain(float** sideChain, float** input, float** output,
                                       int sideChainChannels, int numSamples)
{
    const int keyChannels =
        sideChain == nullptr ? 0 : std::min(std::max(sideChainChannels, 0), sideChainChannels_);
    if (keyChannels < 1)
    {
        // An active side chain without channels: the main input is the key.
        processBlock(input, output, numSamples);
        return;
    }
    numSamples = std::max(numSamples, 0);
    if (output == nullptr || outputChannels_ < 1)
        return;
    if (input == nullptr || inputChannels_ < 1)
    {
        fillSilence(output, numSamples);
        return;
    }
    applyInputFloor(input, sideChain, keyChannels, numSamples);
    runGate(sideChain, keyChannels, input, output, numSamples, false);
}

void GateEngine::applyInputFloor(float** input, float** sideChain, int keyChannels, int numSamples)
{
    for (int c = 0; c < inputChannels_; ++c)
        applyFloor(input[c], numSamples);
    for (int c = 0; c < keyChannels; ++c)
        applyFloor(sideChain[c], numSamples);
}

void GateEngine::runGate(float** key, int keyChannels, float** input, float** output,
                         int numSamples, bool stereo)
{
    fade_.beginBlock(numSamples);
    if (fade_.bypass())
    {
        if (stereo)
            applyInputFloor(input, nullptr, 0, numSamples);
        copyPass(input, output, inputChannels_, numSamples);
        silenceMeters();
        return;
    }

    // While listening the copy pass replaces the gated audio, so the gate pass
    // only advances its state and the fade; not writing keeps the input intact
    // for the copy pass when the host processes in place.
    const bool listen = fade_.listen();
    gatePass(key, keyChannels, input, output, numSamples, channelLinking_, !listen, stereo);
    if (listen)
        copyPass(key, output, keyChannels, numSamples);
}

void GateEngine::gatePass(float** key, int keyChannels, float** input, float** output,
                          int numSamples, bool linked, bool writeOutput, bool stereo)
{
    for (int start = 0; start < numSamples; start += kChunk)
    {
        const int count = std::min(kChunk, numSamples - start);
        if (stereo)
        {
            // The key is the input: floor, levels and lanes in one pass.
            keyPeak_[0] = floorLevelsAndLanes(input[0] + start, input[1] + start, count,
                                              chunkLevels_.data(), keyPeak_[0],
                                              chunkSamples_.data());
            decideLinked(chunkLevels_.data(), count);
        }
        else if (linked)
        {
            keyPeak_[0] = loudestLevels(key, keyChannels, start, count, chunkLevels_.data(),
                                        keyPeak_[0]);
            decideLinked(chunkLevels_.data(), count);
        }
        else
            decideUnlinked(key, keyChannels, start, count);
        runCrossover(input, output, start, count, writeOutput, stereo);
        if (fade_.fading())
            applyFade(output, start, count, writeOutput);
    }
    countMeterSamples(numSamples, linked);
}

void GateEngine::decideLinked(const float* levels, int count)
{
    // One detector on the loudest key channel drives every output channel.
    runDetector(settings_, detectors_[0], random_, levels, count, chunkGains_.data(),
                outputChannels_, kChunk * kLanes);
}

namespace {

// One or two unlinked detectors through a chunk, their states in registers,
// detector k listening to keys[k]. They take turns within each sample, which
// keeps the Beat Skip draws in order. (With more detectors, stepping them
// side by side in vector lanes is faster: decideDetectorLanes.)
template <int K>
void decideDetectors(const GateSettings& settings, DetectorState* detectors, GateRandom& random,
                     const float* const* keys, double* gains, int count)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    constexpr int kGroupStride = GateEngine::kChunk * kLanes;
    const GateSettings s = settings;
    DetectorStepper local[K];
    const float* key[K];
    for (int k = 0; k < K; ++k)
    {
        local[k].start(detectors[k]);
        key[k] = keys[k];
    }
    for (int i = 0; i < count; ++i)
    {
#pragma GCC unroll 8
        for (int k = 0; k < K; ++k)
            gains[(k / kLanes) * kGroupStride + i * kLanes + k % kLanes] =
                local[k].step(s, std::fabs(key[k][i]), random);
    }
    for (int k = 0; k < K; ++k)
        detectors[k] = local[k].state();
}

} // namespace

void GateEngine::decideUnlinked(float** key, int keyChannels, int start, int count)
{
    for (int c = 0; c < keyChannels; ++c)
    {
        const float* samples = key[c] + start;
        float peak = keyPeak_[c];
        for (int i = 0; i < count; ++i)
            peak = std::max(peak, std::fabs(samples[i]));
        keyPeak_[c] = peak;
    }

    // Detector k listens to key channel k, repeating the key channels when
    // there are fewer of them.
    const float* keys[kMaxDetectorsInRegisters];
    const float* const* keyOf = keys;
    if (outputChannels_ <= kMaxDetectorsInRegisters)
    {
        for (int k = 0; k < outputChannels_; ++k)
            keys[k] = key[repeated(k, keyChannels)] + start;
    }
    else
    {
        for (int k = 0; k < outputChannels_; ++k)
            detectorKeys_[k] = key[repeated(k, keyChannels)] + start;
        keyOf = detectorKeys_.data();
    }

    if (outputChannels_ == 1)
        decideDetectors<1>(settings_, detectors_.data(), random_, keyOf, chunkGains_.data(), count);
    else if (outputChannels_ == 2)
        decideDetectors<2>(settings_, detectors_.data(), random_, keyOf, chunkGains_.data(), count);
    else
        decideDetectorLanes(settings_, detectors_.data(), outputChannels_, random_, keyOf,
                            chunkGains_.data(), kChunk * kLanes, count);
}

void GateEngine::runCrossover(float** input, float** output, int start, int count, bool writeOutput,
                              bool inLanes)
{
    // Output channel j takes input channel j, repeating the inputs when there
    // are fewer of them. Every input is gathered before any output is written.
    const int groups = crossover_.groups();
    for (int j = 0; j < outputChannels_ && !inLanes; j += 2)
    {
        double* lanes = &chunkSamples_[static_cast<size_t>(j / kLanes) * kChunk * kLanes + j % kLanes];
        const float* first = input[repeated(j, inputChannels_)] + start;
        if (j + 1 < outputChannels_)
            interleavePair(first, input[repeated(j + 1, inputChannels_)] + start, lanes, count);
        else
            for (int i = 0; i < count; ++i)
                lanes[i * kLanes] = first[i];
    }
    for (int group = 0; group < groups; ++group)
    {
        const size_t offset = static_cast<size_t>(group) * kChunk * kLanes;
        crossover_.processGroup(group, &chunkSamples_[offset], &chunkGains_[offset], count);
    }
    if (!writeOutput)
        return;
    for (int j = 0; j < outputChannels_; j += 2)
    {
        const double* lanes =
            &chunkSamples_[static_cast<size_t>(j / kLanes) * kChunk * kLanes + j % kLanes];
        float* first = output[j] + start;
        if (j + 1 < outputChannels_)
            deinterleavePair(lanes, outputGain_, first, output[j + 1] + start, count);
        else
            for (int i = 0; i < count; ++i)
                first[i] = static_cast<float>(lanes[i * kLanes]) * outputGain_;
    }
}

void GateEngine::copyPass(float** source, float** output, int sourceChannels, int numSamples)
{
    // Unlike the gate pass, missing source channels are not repeated.
    for (int i = 0; i < numSamples; ++i)
        for (int j = 0; j < outputChannels_; ++j)
            output[j][i] = j < sourceChannels ? source[j][i] : kSilence;
    if (fade_.fading())
        applyFade(output, 0, numSamples, true);
}

void GateEngine::applyFade(float** output, int start, int count, bool writeOutput)
{
    // The fade advances with every sample, also while nothing is written.
    for (int i = start; i < start + count; ++i)
    {
        const float f = fade_.next();
        if (writeOutput)
            for (int j = 0; j < outputChannels_; ++j)
                output[j][i] *= f;
    }
}

void GateEngine::countMeterSamples(int numSamples, bool linked)
{
    meterCount_ += numSamples;
    if (meterCount_ >= meterInterval_)
    {
        meterCount_ = 0;
        if (linked)
            updateMetersLinked();
        else
            updateMetersUnlinked();
    }
}

void GateEngine::updateMetersLinked()
{
    maxVu_ = std::max(kSilence, keyPeak_[0]);
    keyPeak_[0] = kSilence;
    maxGate_ = std::max(kSilence, detectors_[0].gain);
    // One detector: the minimum meters carry no information of their own.
    minVu_ = kSilence;
    minGate_ = maxGate_;
}

void GateEngine::updateMetersUnlinked()
{
    // Over the configured side-chain count, whichever key is in use.
    maxVu_ = kSilence;
    minVu_ = 1.0f;
    for (int c = 0; c < sideChainChannels_; ++c)
    {
        maxVu_ = std::max(maxVu_, keyPeak_[c]);
        minVu_ = std::min(minVu_, keyPeak_[c]);
        keyPeak_[c] = kSilence;
    }
    maxGate_ = kSilence;
    minGate_ = 1.0f;
    for (int k = 0; k < outputChannels_; ++k)
    {
        maxGate_ = std::max(maxGate_, detectors_[k].gain);
        minGate_ = std::min(minGate_, detectors_[k].gain);
    }
}

void GateEngine::silenceMeters()
{
    maxVu_ = kSilence;
    minVu_ = kSilence;
    maxGate_ = kSilence;
    minGate_ = kSilence;
}

void GateEngine::fillSilence(float** output, int numSamples)
{
    for (int j = 0; j < outputChannels_; ++j)
        std::fill(output[j], output[j] + numSamples, kSilence);
}

} // namespace Quorvane
