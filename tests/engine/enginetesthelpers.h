#pragma once

#include "gateengine.h"

#include <vector>

namespace QuorvaneTest
{

// Planar audio owned by the test, handed to the engine as channel pointers.
class AudioBuffer
{
public:
    AudioBuffer(int channels, int frames, float value = 0.0f)
        : samples_(static_cast<size_t>(channels), std::vector<float>(frames, value))
    {
        for (auto& channel : samples_)
            pointers_.push_back(channel.data());
    }

    float** data() { return pointers_.data(); }
    float& at(int channel, int frame) { return samples_[channel][frame]; }
    std::vector<float>& channel(int c) { return samples_[c]; }
    void fill(float value)
    {
        for (auto& channel : samples_)
            std::fill(channel.begin(), channel.end(), value);
    }
    void fillChannel(int c, float value)
    {
        std::fill(samples_[c].begin(), samples_[c].end(), value);
    }

private:
    std::vector<std::vector<float>> samples_;
    std::vector<float*> pointers_;
};

// An engine configured the way the processor does it, without starting a
// bypass/listen fade: fast attack, short release, threshold -40 dB.
inline void configure(Quorvane::GateEngine& engine, int inputs, int outputs, int sideChains,
                      float rate)
{
    engine.setInputChannels(inputs);
    engine.setOutputChannels(outputs);
    engine.setSideChainChannels(sideChains);
    engine.setSampleRate(rate);
    engine.setRandomSeed(1);
    engine.setChannelLinking(1);
    engine.setDucking(0);
    engine.setGradualAttack(0);
    engine.setOutputLevel(0.0f);
    engine.setThreshold(-40.0f);
    engine.setRange(-80.0f);
    engine.setHysteresis(0.0f);
    engine.setAttackGradual(1.0f);
    engine.setAttackSynth(1.0f);
    engine.setRelease(10.0f);
    engine.setHold(5.0f);
    engine.setHoldClosed(0.0f);
    engine.setBeatSkip(0.0f);
    engine.setAttackDelay(0.0f);
    engine.setNoteTruncation(0.0f);
}

} // namespace QuorvaneTest
