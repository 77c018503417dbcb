#include "referencegate.h"

#include "gateengine.h"

#include <algorithm>
#include <cmath>

using namespace Quorvane;

namespace QuorvaneTest
{

namespace
{

void applyFloor(float& sample)
{
    if (!(std::fabs(sample) >= kSilence && std::fabs(sample) <= kLargestSample))
        sample = kSilence;
}

struct Biquad
{
    // Transposed direct form II.
    template <class C, class S> static double run(const C& c, S& s, double x)
    {
        const double y = c.b0 * x + s.s1;
        s.s1 = c.b1 * x - c.a1 * y + s.s2;
        s.s2 = c.b2 * x - c.a2 * y;
        return y;
    }
    template <class C, class S> static double twice(const C& c, S* s, double x)
    {
        return run(c, s[1], run(c, s[0], x));
    }
};

} // namespace

void ReferenceGate::setChannels(int inputs, int outputs, int sideChains)
{
    inputs_ = inputs;
    outputs_ = outputs;
    sideChains_ = sideChains;
    const size_t keys = static_cast<size_t>(std::max(inputs, sideChains));
    states_.assign(static_cast<size_t>(outputs) * kStatesPerChannel, BiquadState{});
    detectors_.assign(static_cast<size_t>(outputs), DetectorState{});
    keyPeak_.assign(keys, kSilence);
    inputFrame_.assign(static_cast<size_t>(inputs), 0.0f);
    keyFrame_.assign(keys, 0.0f);
}

void ReferenceGate::setSampleRate(const GateEngine& engine)
{
    for (int k = 0; k < CrossoverGainStage::kNumCrossovers; ++k)
    {
        lowPass_[k] = engine.crossover().lowPass(k);
        highPass_[k] = engine.crossover().highPass(k);
    }
    // The old audio does not meet the new coefficients.
    if (engine.sampleRate() != rate_)
        std::fill(states_.begin(), states_.end(), BiquadState{});
    rate_ = engine.sampleRate();
    fade_.reset(engine.sampleRate());
    meterInterval_ = engine.meterInterval();
}

void ReferenceGate::takeSettings(const GateEngine& engine)
{
    settings_ = engine.settings();
    outputGain_ = engine.outputGain();
    linked_ = engine.channelLinking();
}

float ReferenceGate::crossoverSample(float sample, int channel, float gain)
{
    BiquadState* s = &states_[static_cast<size_t>(channel) * kStatesPerChannel];
    const double x = sample;
    const double g = gain;
    double low = Biquad::twice(lowPass_[0], s, g * x);
    double high = Biquad::twice(highPass_[0], s + 2, x);
    for (int k = 1; k < CrossoverGainStage::kNumCrossovers; ++k)
    {
        BiquadState* sk = s + 4 * k;
        low = Biquad::twice(lowPass_[k], sk, g * high + low);
        high = Biquad::twice(highPass_[k], sk + 2, high + low);
    }
    return static_cast<float>(g * high + low);
}

void ReferenceGate::decideGate(DetectorState& state, float level)
{
    const GateSettings& s = settings_;
    if (!state.detectorOpen && level > s.openThreshold)
        state.detectorOpen = true;
    if (state.detectorOpen)
    {
        if (level > s.closeThreshold)
            state.holdCount = 0;
        else if (state.holdCount < s.holdSamples)
            state.holdCount += 1;
        else
            state.detectorOpen = false;
    }

    if (state.detectorOpen)
    {
        if (state.attackDelayCount < s.attackDelaySamples)
        {
            state.attackDelayCount += 1;
            state.inAttackDelay = true;
        }
        else
        {
            state.inAttackDelay = false;
        }
    }
    else
    {
        state.attackDelayCount = 0;
        state.inAttackDelay = false;
    }

    if (s.truncationEndSamples != s.attackDelaySamples)
    {
        if (state.detectorOpen)
        {
            if (state.truncationCount < s.truncationEndSamples)
            {
                state.truncationCount += 1;
                state.truncated = false;
            }
            else
            {
                state.truncated = true;
            }
        }
        else
        {
            state.truncationCount = 0;
            state.truncated = false;
        }
    }
    else
    {
        state.truncated = false;
    }

    if (state.detectorOpen && !state.wasOpen)
        state.skipNote = s.beatSkipProbability >
                         static_cast<float>(random_.next()) / static_cast<float>(kRandomMax);

    if (!state.detectorOpen && state.wasOpen)
        state.holdClosedActive = true;
    if (state.holdClosedActive)
    {
        if (state.holdClosedCount < s.holdClosedSamples)
        {
            state.holdClosedCount += 1;
        }
        else
        {
            state.holdClosedActive = false;
            state.holdClosedCount = 0;
        }
    }

    state.wasOpen = state.detectorOpen;

    const bool open = state.detectorOpen && !state.inAttackDelay && !state.truncated &&
                      !state.holdClosedActive && !state.skipNote;
    advanceEnvelope(state, open != s.ducking);
}

void ReferenceGate::advanceEnvelope(DetectorState& state, bool open)
{
    const GateSettings& s = settings_;
    if (open && s.gradualAttack)
    {
        state.envelope = state.envelope / s.gradualStep;
        if (state.envelope < kMinus60dB)
            state.envelope = kMinus60dB;
        else if (state.envelope > 1.0f)
            state.envelope = 1.0f;
        state.gain = (1.0f - s.gradualSmooth) * state.envelope + s.gradualSmooth * state.gain;
    }
    else if (open)
    {
        state.envelope = (1.0f - s.synthCoeff) * kSynthTarget + s.synthCoeff * state.envelope;
        if (state.envelope > 1.0f)
            state.envelope = 1.0f;
        state.gain = (1.0f - s.synthSmooth) * state.envelope + s.synthSmooth * state.gain;
    }
    else
    {
        state.envelope = state.envelope * s.releaseStep;
        if (state.envelope < s.rangeGain)
            state.envelope = s.rangeGain;
        state.gain = (1.0f - s.releaseSmooth) * state.envelope + s.releaseSmooth * state.gain;
    }
}

void ReferenceGate::processBlock(float** input, float** output, int numSamples)
{
    numSamples = std::max(numSamples, 0);
    if (output == nullptr || outputs_ < 1)
        return;
    if (input == nullptr || inputs_ < 1)
    {
        for (int j = 0; j < outputs_; ++j)
            std::fill(output[j], output[j] + numSamples, kSilence);
        return;
    }
    applyInputFloor(input, nullptr, 0, numSamples);
    runGate(input, inputs_, input, output, numSamples);
}

void ReferenceGate::processBlockSideChain(float** sideChain, float** input, float** output,
                                          int sideChainChannels, int numSamples)
{
    const int keyChannels =
        sideChain == nullptr ? 0 : std::min(std::max(sideChainChannels, 0), sideChains_);
    if (keyChannels < 1)
    {
        processBlock(input, output, numSamples);
        return;
    }
    numSamples = std::max(numSamples, 0);
    if (output == nullptr || outputs_ < 1)
        return;
    if (input == nullptr || inputs_ < 1)
    {
        for (int j = 0; j < outputs_; ++j)
            std::fill(output[j], output[j] + numSamples, kSilence);
        return;
    }
    applyInputFloor(input, sideChain, keyChannels, numSamples);
    runGate(sideChain, keyChannels, input, output, numSamples);
}

void ReferenceGate::applyInputFloor(float** input, float** sideChain, int keyChannels,
                                    int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        for (int c = 0; c < inputs_; ++c)
            applyFloor(input[c][i]);
        for (int c = 0; c < keyChannels; ++c)
            applyFloor(sideChain[c][i]);
    }
}

void ReferenceGate::runGate(float** key, int keyChannels, float** input, float** output,
                            int numSamples)
{
    fade_.beginBlock(numSamples);
    if (fade_.bypass())
    {
        copyPass(input, output, inputs_, numSamples);
        maxVu_ = minVu_ = maxGate_ = minGate_ = kSilence;
        return;
    }
    const bool listen = fade_.listen();
    gatePass(key, keyChannels, input, output, numSamples, !listen);
    if (listen)
        copyPass(key, output, keyChannels, numSamples);
}

void ReferenceGate::gatePass(float** key, int keyChannels, float** input, float** output,
                             int numSamples, bool writeOutput)
{
    for (int i = 0; i < numSamples; ++i)
    {
        for (int c = 0; c < inputs_; ++c)
            inputFrame_[c] = input[c][i];
        for (int c = 0; c < keyChannels; ++c)
            keyFrame_[c] = key[c][i];

        if (linked_)
        {
            float level = kSilence;
            for (int c = 0; c < keyChannels; ++c)
                level = std::max(level, std::fabs(keyFrame_[c]));
            keyPeak_[0] = std::max(keyPeak_[0], level);
            decideGate(detectors_[0], level);
            for (int j = 0; j < outputs_; ++j)
            {
                const float y = crossoverSample(inputFrame_[j % inputs_], j, detectors_[0].gain);
                if (writeOutput)
                    output[j][i] = y * outputGain_;
            }
        }
        else
        {
            for (int c = 0; c < keyChannels; ++c)
                keyPeak_[c] = std::max(keyPeak_[c], std::fabs(keyFrame_[c]));
            for (int k = 0; k < outputs_; ++k)
            {
                decideGate(detectors_[k], std::fabs(keyFrame_[k % keyChannels]));
                const float y = crossoverSample(inputFrame_[k % inputs_], k, detectors_[k].gain);
                if (writeOutput)
                    output[k][i] = y * outputGain_;
            }
        }
        if (fade_.fading())
            applyFade(output, i, writeOutput);
    }
    updateMeters(numSamples);
}

void ReferenceGate::copyPass(float** source, float** output, int sourceChannels, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        for (int j = 0; j < outputs_; ++j)
            output[j][i] = j < sourceChannels ? source[j][i] : kSilence;
        if (fade_.fading())
            applyFade(output, i, true);
    }
}

void ReferenceGate::applyFade(float** output, int index, bool writeOutput)
{
    const float f = fade_.next();
    if (!writeOutput)
        return;
    for (int j = 0; j < outputs_; ++j)
        output[j][index] *= f;
}

void ReferenceGate::updateMeters(int numSamples)
{
    meterCount_ += numSamples;
    if (meterCount_ < meterInterval_)
        return;
    meterCount_ = 0;
    if (linked_)
    {
        maxVu_ = std::max(kSilence, keyPeak_[0]);
        keyPeak_[0] = kSilence;
        maxGate_ = std::max(kSilence, detectors_[0].gain);
        minVu_ = kSilence;
        minGate_ = maxGate_;
        return;
    }
    maxVu_ = kSilence;
    minVu_ = 1.0f;
    for (int c = 0; c < sideChains_; ++c)
    {
        maxVu_ = std::max(maxVu_, keyPeak_[c]);
        minVu_ = std::min(minVu_, keyPeak_[c]);
        keyPeak_[c] = kSilence;
    }
    maxGate_ = kSilence;
    minGate_ = 1.0f;
    for (int k = 0; k < outputs_; ++k)
    {
        maxGate_ = std::max(maxGate_, detectors_[k].gain);
        minGate_ = std::min(minGate_, detectors_[k].gain);
    }
}

} // namespace QuorvaneTest
