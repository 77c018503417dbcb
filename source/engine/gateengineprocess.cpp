// Block processing of the gate engine: the gate passes, the copy pass used by
// bypass and listen, the fade and the meters. Nothing here allocates.
#include "gateengine.h"

#include "chunkkernels.h"
#include "detectorlanes.h"
#include "detectorrun.h"
#include "detectorstepper.h"

#include <algorithm>
#include <cmath>

namespace Quorvane
{

namespace
{

// Channel j of count channels repeated as often as needed; no division in
// the usual case of enough channels (a division takes tens of cycles, in
// every block).
int repeated(int j, int count)
{
    return j < count ? j : j % count;
}

// The output side of the gate pass for three or more channels in AVX: a group
// of three or four at once, the rest in a pair or alone. Not inlined, so that
// the one- and two-channel output loop stays as short as it was.
[[gnu::noinline]] void groupOutputs(const double* samples, int groupStride, float gain,
                                    float** output, int channels, int start, int count)
{
    constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    for (int j = 0; j < channels; j += kLanes, samples += groupStride)
    {
        const int inGroup = std::min(kLanes, channels - j);
        float* out[kLanes];
        for (int k = 0; k < inGroup; ++k)
            out[k] = output[j + k] + start;
        if (inGroup >= 3)
            deinterleaveGroupAvx(samples, gain, out, inGroup, count);
        else if (inGroup == 2)
            deinterleavePair(samples, gain, out[0], out[1], count);
        else
            deinterleaveSingle(samples, gain, out[0], count);
    }
}

} // namespace

void GateEngine::processBlock(float** input, float** output, int numSamples)
{
    numSamples = std::max(numSamples, 0);
    if (!hasAudio(input, output, numSamples))
        return;
    // As many inputs as outputs, linked: the gate pass floors the input in
    // the same pass that takes the key levels and the ladder's lanes from it.
    const bool sameInOut = inputChannels_ == outputChannels_ && channelLinking_;
    const KeyPath path = !sameInOut ? (channelLinking_ ? KeyPath::Linked : KeyPath::Unlinked)
                         : inputChannels_ == 2 ? KeyPath::StereoInput
                         : inputChannels_ == 1 ? KeyPath::MonoInput
                                               : KeyPath::ManyInputs;
    if (!floorsInGatePass(path))
        applyInputFloor(input, nullptr, 0, numSamples);
    runGate(input, inputChannels_, input, output, numSamples, path);
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
    if (!hasAudio(input, output, numSamples))
        return;
    applyInputFloor(input, sideChain, keyChannels, numSamples);
    runGate(sideChain, keyChannels, input, output, numSamples,
            channelLinking_ ? KeyPath::Linked : KeyPath::Unlinked);
}

bool GateEngine::hasAudio(float** input, float** output, int numSamples)
{
    if (output == nullptr || outputChannels_ < 1)
        return false;
    if (input == nullptr || inputChannels_ < 1)
    {
        fillSilence(output, numSamples);
        return false;
    }
    return true;
}

void GateEngine::applyInputFloor(float** input, float** sideChain, int keyChannels, int numSamples)
{
    for (int c = 0; c < inputChannels_; ++c)
        applyFloor(input[c], numSamples);
    for (int c = 0; c < keyChannels; ++c)
        applyFloor(sideChain[c], numSamples);
}

void GateEngine::runGate(float** key, int keyChannels, float** input, float** output,
                         int numSamples, KeyPath path)
{
    fade_.beginBlock(numSamples);
    if (fade_.bypass())
    {
        // The stereo path floors the input as it reads it: here nothing reads it first.
        if (floorsInGatePass(path))
            applyInputFloor(input, nullptr, 0, numSamples);
        copyPass(input, output, inputChannels_, numSamples);
        silenceMeters();
        return;
    }

    // While listening the copy pass replaces the gated audio, so the gate pass
    // only advances its state and the fade; not writing keeps the input intact
    // for the copy pass when the host processes in place.
    const bool listen = fade_.listen();
    gatePass(key, keyChannels, input, output, numSamples, path, !listen);
    if (listen)
        copyPass(key, output, keyChannels, numSamples);
}

void GateEngine::gatePass(float** key, int keyChannels, float** input, float** output,
                          int numSamples, KeyPath path, bool writeOutput)
{
    for (int start = 0; start < numSamples; start += kChunk)
    {
        const int count = std::min(kChunk, numSamples - start);
        switch (path)
        {
        case KeyPath::StereoInput:
            // The key is the input: floor, levels and lanes in one pass.
            keyPeak_[0] =
                floorLevelsAndLanes(input[0] + start, input[1] + start, count, chunkLevels_.data(),
                                    keyPeak_[0], chunkSamples_.data());
            decideLinked(chunkLevels_.data(), count);
            break;
        case KeyPath::ManyInputs:
            keyPeak_[0] = floorLevelsAndLanesMany(
                input, inputChannels_, start, count, chunkLevels_.data(), keyPeak_[0],
                chunkSamples_.data(), kChunk * kLanes, crossover_.usesAvx());
            decideLinked(chunkLevels_.data(), count);
            break;
        case KeyPath::MonoInput:
            keyPeak_[0] = floorLevelAndLane(input[0] + start, count, chunkLevels_.data(),
                                            keyPeak_[0], chunkSamples_.data());
            decideLinked(chunkLevels_.data(), count);
            break;
        case KeyPath::Linked:
            keyPeak_[0] =
                loudestLevels(key, keyChannels, start, count, chunkLevels_.data(), keyPeak_[0]);
            decideLinked(chunkLevels_.data(), count);
            break;
        case KeyPath::Unlinked:
            decideUnlinked(key, keyChannels, start, count);
            break;
        }
        runCrossover(input, output, start, count, writeOutput, floorsInGatePass(path));
        if (fade_.fading())
            applyFade(output, start, count, writeOutput);
    }
    countMeterSamples(numSamples, path != KeyPath::Unlinked);
}

void GateEngine::decideLinked(const float* levels, int count)
{
    // One detector on the loudest key channel drives every output channel.
    runDetector(settings_, detectors_[0], random_, levels, count, chunkGains_.data(),
                outputChannels_, kChunk * kLanes);
}

namespace
{

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
    auto gainAt = [gains](int k, int i) -> double&
    { return gains[(k / kLanes) * kGroupStride + i * kLanes + k % kLanes]; };
    for (int i = 0; i < count; ++i)
    {
        bool allSettled = true;
        for (int k = 0; k < K; ++k)
            allSettled = allSettled && local[k].settled();
        if (allSettled)
        {
            // Every detector in a settled stretch: they go on together, each
            // with its own mask scans, up to the first sample that one of
            // them leaves on, which they all take through step.
            int end = count;
            for (int k = 0; k < K; ++k)
                end = std::min(end, local[k].settledEnd(s, key[k], i, count));
            for (int k = 0; k < K; ++k)
            {
                local[k].skipSettled(s, key[k], i, end);
                const double gain = local[k].gain();
                for (int j = i; j < end; ++j)
                    gainAt(k, j) = gain;
            }
            i = end;
            if (i == count)
                break;
        }
#pragma GCC unroll 8
        for (int k = 0; k < K; ++k)
            gainAt(k, i) = local[k].step(s, std::fabs(key[k][i]), random);
    }
    for (int k = 0; k < K; ++k)
        detectors[k] = local[k].state();
}

} // namespace

void GateEngine::decideUnlinked(float** key, int keyChannels, int start, int count)
{
    for (int c = 0; c < keyChannels; ++c)
        keyPeak_[c] = largestMagnitude(key[c] + start, count, keyPeak_[c]);

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
        double* lanes =
            &chunkSamples_[static_cast<size_t>(j / kLanes) * kChunk * kLanes + j % kLanes];
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
    if (outputChannels_ >= 3 && crossover_.usesAvx())
    {
        groupOutputs(chunkSamples_.data(), kChunk * kLanes, outputGain_, output, outputChannels_,
                     start, count);
        return;
    }
    for (int j = 0; j < outputChannels_; j += 2)
    {
        const double* lanes =
            &chunkSamples_[static_cast<size_t>(j / kLanes) * kChunk * kLanes + j % kLanes];
        float* first = output[j] + start;
        if (j + 1 < outputChannels_)
            deinterleavePair(lanes, outputGain_, first, output[j + 1] + start, count);
        else
            deinterleaveSingle(lanes, outputGain_, first, count);
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
