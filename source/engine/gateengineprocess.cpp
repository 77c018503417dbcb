// Block processing of the gate engine: the gate passes, the copy pass used by
// bypass and listen, the fade and the meters. Nothing here allocates.
#include "gateengine.h"

#include <algorithm>
#include <cmath>

namespace Quorvane {

namespace {

// Non-finite samples count as silence: one NaN would otherwise poison the
// filter states for good. Tiny samples are raised to the silence floor.
void applyFloor(float& sample)
{
    if (!std::isfinite(sample) || std::fabs(sample) < kSilence)
        sample = kSilence;
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
    applyInputFloor(input, nullptr, 0, numSamples);
    runGate(input, inputChannels_, input, output, numSamples);
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
    runGate(sideChain, keyChannels, input, output, numSamples);
}

void GateEngine::applyInputFloor(float** input, float** sideChain, int keyChannels,
                                 int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        for (int c = 0; c < inputChannels_; ++c)
            applyFloor(input[c][i]);
        for (int c = 0; c < keyChannels; ++c)
            applyFloor(sideChain[c][i]);
    }
}

void GateEngine::runGate(float** key, int keyChannels, float** input, float** output,
                         int numSamples)
{
    fade_.beginBlock();
    if (fade_.bypass())
    {
        copyPass(input, output, inputChannels_, numSamples);
        silenceMeters();
        return;
    }

    // While listening the copy pass replaces the gated audio, so the gate pass
    // only advances its state and the fade; not writing keeps the input intact
    // for the copy pass when the host processes in place.
    const bool listen = fade_.listen();
    if (channelLinking_)
        gatePassLinked(key, keyChannels, input, output, numSamples, !listen);
    else
        gatePassUnlinked(key, keyChannels, input, output, numSamples, !listen);
    if (listen)
        copyPass(key, output, keyChannels, numSamples);
}

void GateEngine::gatherFrame(float** key, int keyChannels, float** input, int index)
{
    for (int c = 0; c < inputChannels_; ++c)
        inputFrame_[c] = input[c][index];
    for (int c = 0; c < keyChannels; ++c)
        keyFrame_[c] = key[c][index];
}

void GateEngine::gatePassLinked(float** key, int keyChannels, float** input, float** output,
                                int numSamples, bool writeOutput)
{
    DetectorState& detector = detectors_[0];
    for (int i = 0; i < numSamples; ++i)
    {
        gatherFrame(key, keyChannels, input, i);

        float level = kSilence;
        for (int c = 0; c < keyChannels; ++c)
            level = std::max(level, std::fabs(keyFrame_[c]));
        keyPeak_[0] = std::max(keyPeak_[0], level);

        decideGate(settings_, detector, level, random_);

        for (int j = 0; j < outputChannels_; ++j)
        {
            const float y =
                crossover_.processSample(inputFrame_[j % inputChannels_], j, detector.gain);
            if (writeOutput)
                output[j][i] = y * outputGain_;
        }
        if (fade_.fading())
            applyFade(output, i, writeOutput);
    }
    countMeterSamples(numSamples, true);
}

void GateEngine::gatePassUnlinked(float** key, int keyChannels, float** input, float** output,
                                  int numSamples, bool writeOutput)
{
    for (int i = 0; i < numSamples; ++i)
    {
        gatherFrame(key, keyChannels, input, i);

        for (int c = 0; c < keyChannels; ++c)
            keyPeak_[c] = std::max(keyPeak_[c], std::fabs(keyFrame_[c]));

        for (int k = 0; k < outputChannels_; ++k)
        {
            DetectorState& detector = detectors_[k];
            decideGate(settings_, detector, std::fabs(keyFrame_[k % keyChannels]), random_);
            const float y =
                crossover_.processSample(inputFrame_[k % inputChannels_], k, detector.gain);
            if (writeOutput)
                output[k][i] = y * outputGain_;
        }
        if (fade_.fading())
            applyFade(output, i, writeOutput);
    }
    countMeterSamples(numSamples, false);
}

void GateEngine::copyPass(float** source, float** output, int sourceChannels, int numSamples)
{
    // Unlike the gate pass, missing source channels are not repeated.
    for (int i = 0; i < numSamples; ++i)
    {
        for (int j = 0; j < outputChannels_; ++j)
            output[j][i] = j < sourceChannels ? source[j][i] : kSilence;
        if (fade_.fading())
            applyFade(output, i, true);
    }
}

void GateEngine::applyFade(float** output, int index, bool writeOutput)
{
    const float f = fade_.next();
    if (!writeOutput)
        return;
    for (int j = 0; j < outputChannels_; ++j)
        output[j][index] *= f;
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
