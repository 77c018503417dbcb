#pragma once

#include "bypasslistenfade.h"
#include "crossovergainstage.h"
#include "gatedetector.h"
#include "gaterandom.h"

#include <cstdint>
#include <vector>

namespace Quorvane
{
class GateEngine;
}

namespace QuorvaneTest
{

// The gate pass written the plain way: one sample at a time, every channel's
// crossover ladder walked biquad by biquad, every detector stepped with
// ordinary branches. It is the yardstick of the engine: whatever the engine
// does to be fast, its samples, meters and detector states must match these
// bit for bit. Settings are derived by the engine (takeSettings copies them);
// only the per-sample work is done here.
class ReferenceGate
{
public:
    static constexpr int kStatesPerChannel = Quorvane::CrossoverGainStage::kStatesPerChannel;

    // Zeroed detector and filter states and key peaks for this many channels.
    void setChannels(int inputs, int outputs, int sideChains);
    // Coefficients, fade and meter interval as the engine has them for hz.
    void setSampleRate(const Quorvane::GateEngine& engine);
    // Gate settings, output gain and linking as the engine has them now.
    void takeSettings(const Quorvane::GateEngine& engine);

    void seed(uint32_t seed) { random_.seed(seed); }
    void requestBypass(bool on) { fade_.requestBypass(on); }
    void requestListen(bool on) { fade_.requestListen(on); }

    void processBlock(float** input, float** output, int numSamples);
    void processBlockSideChain(float** sideChain, float** input, float** output,
                               int sideChainChannels, int numSamples);

    float maxVu() const { return maxVu_; }
    float minVu() const { return minVu_; }
    float maxGate() const { return maxGate_; }
    float minGate() const { return minGate_; }
    int meterCount() const { return meterCount_; }
    const Quorvane::DetectorState& detector(int k) const { return detectors_[k]; }
    float keyPeak(int c) const { return keyPeak_[c]; }
    const Quorvane::BypassListenFade& fade() const { return fade_; }

private:
    struct BiquadState
    {
        double s1 = 0.0;
        double s2 = 0.0;
    };
    using Coefficients = Quorvane::CrossoverGainStage::Coefficients;

    float crossoverSample(float sample, int channel, float gain);
    void decideGate(Quorvane::DetectorState& state, float level);
    void advanceEnvelope(Quorvane::DetectorState& state, bool open);

    void applyInputFloor(float** input, float** sideChain, int keyChannels, int numSamples);
    void runGate(float** key, int keyChannels, float** input, float** output, int numSamples);
    void gatePass(float** key, int keyChannels, float** input, float** output, int numSamples,
                  bool writeOutput);
    void copyPass(float** source, float** output, int sourceChannels, int numSamples);
    void applyFade(float** output, int index, bool writeOutput);
    void updateMeters(int numSamples);

    int inputs_ = 0;
    int outputs_ = 0;
    int sideChains_ = 0;
    bool linked_ = false;
    float outputGain_ = 1.0f;
    int meterInterval_ = 0;
    float rate_ = 0.0f;
    Quorvane::GateSettings settings_;
    Quorvane::BypassListenFade fade_;
    Quorvane::GateRandom random_{1};

    Coefficients lowPass_[Quorvane::CrossoverGainStage::kNumCrossovers];
    Coefficients highPass_[Quorvane::CrossoverGainStage::kNumCrossovers];
    std::vector<BiquadState> states_;
    std::vector<Quorvane::DetectorState> detectors_;
    std::vector<float> keyPeak_;
    std::vector<float> inputFrame_;
    std::vector<float> keyFrame_;

    float maxVu_ = Quorvane::kSilence;
    float minVu_ = Quorvane::kSilence;
    float maxGate_ = Quorvane::kSilence;
    float minGate_ = Quorvane::kSilence;
    int meterCount_ = 0;
};

} // namespace QuorvaneTest
