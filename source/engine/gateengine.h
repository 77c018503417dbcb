#pragma once

#include "bypasslistenfade.h"
#include "crossovergainstage.h"
#include "gatedetector.h"
#include "gaterandom.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Quorvane
{

// The sample-by-sample noise gate. The key signal (the main input, or the side
// chain) is measured by its instantaneous peak, each detector turns it into a
// gain, and the gain is applied through the crossover gain stage. Also does
// the output level, "Bypass" and "Listen" under a fade, and four meter values.
//
// Setters take decibels, milliseconds, a probability or an on/off integer.
// After setSampleRate the caller re-applies every time setter. Only the
// channel operations allocate; the block entry points never allocate, lock or
// print. Not thread-safe: one caller at a time.
class GateEngine
{
public:
    // The gate pass works in chunks of up to kChunk samples.
    static constexpr int kChunk = 512;

    GateEngine(); // seeds the Beat Skip generator from the current time

    void setRandomSeed(uint32_t seed);
    // AVX is used for groups of three or four channels when the processor has
    // it; turning it off (for comparisons) leaves SSE2, with the same results.
    void allowAvx(bool allowed) { crossover_.allowAvx(allowed); }

    // Each returns false and leaves the engine unchanged on a count below 1 or
    // when memory for the new arrays cannot be obtained.
    bool setInputChannels(int count);
    bool setOutputChannels(int count);    // also discards all detector and filter state
    bool setSideChainChannels(int count); // also discards the key peaks

    // Ignores a rate that is not a positive finite number. A new rate also
    // clears the crossover filters: their memory of the old audio would meet
    // the new coefficients.
    void setSampleRate(float hz);

    // Processing starts again after a pause: the crossover filters forget the
    // old audio (it must not come back out of the new silence) and the
    // bypass/listen fade settles on the values asked for. Settings,
    // detectors, envelopes and meters carry over.
    void restart();

    // What processing leaves behind besides the filter memory and the fade:
    // detectors, key peaks, meters and the Beat Skip generator. A copy made
    // for the engine's channel counts is updated and put back without
    // allocating; one made for other counts is left alone and ignored.
    struct SignalState
    {
        std::vector<DetectorState> detectors;
        std::vector<float> keyPeak;
        float meters[4] = {kSilence, kSilence, kSilence, kSilence};
        int meterCount = 0;
        GateRandom random;
    };
    SignalState signalState() const;
    void saveSignalState(SignalState& to) const;
    void restoreSignalState(const SignalState& from);

    void setBypass(int on);
    void setListen(int on);
    void setChannelLinking(int on);
    void setDucking(int on);
    void setGradualAttack(int on);
    void setOutputLevel(float dB);
    void setThreshold(float dB);
    void setRange(float dB);
    void setHysteresis(float dB);
    void setAttackGradual(float ms);
    void setAttackSynth(float ms);
    void setRelease(float ms);
    void setHold(float ms);
    void setHoldClosed(float ms);
    void setBeatSkip(float probability);
    void setAttackDelay(float ms);
    void setNoteTruncation(float ms);

    // The main input is the key. input needs inputChannels() channels and
    // output outputChannels() channels; the buffers may be the same.
    void processBlock(float** input, float** output, int numSamples);
    // The side chain is the key, over the smaller of sideChainChannels and
    // sideChainChannels(); with no side-chain channels this is processBlock.
    void processBlockSideChain(float** sideChain, float** input, float** output,
                               int sideChainChannels, int numSamples);

    // Linear meter values after the last block; kSilence stands for silence.
    float maxVu() const { return maxVu_; }
    float minVu() const { return minVu_; }
    float maxGate() const { return maxGate_; }
    float minGate() const { return minGate_; }

    // Read-only views of the configuration and state.
    int inputChannels() const { return inputChannels_; }
    int outputChannels() const { return outputChannels_; }
    int sideChainChannels() const { return sideChainChannels_; }
    float sampleRate() const { return sampleRate_; }
    bool channelLinking() const { return channelLinking_; }
    float outputGain() const { return outputGain_; }
    const GateSettings& settings() const { return settings_; }
    const BypassListenFade& fade() const { return fade_; }
    const DetectorState& detector(int channel) const { return detectors_[channel]; }
    float keyPeak(int channel) const { return keyPeak_[channel]; }
    int meterInterval() const { return meterInterval_; }
    int meterCount() const { return meterCount_; }
    const CrossoverGainStage& crossover() const { return crossover_; }

private:
    // How the gate pass reads its key, chosen once per block by processBlock
    // or processBlockSideChain. StereoInput: the two inputs of a linked
    // stereo block are the key, floored, measured and laid into the ladder's
    // lanes in one pass; MonoInput the same for one input and one output,
    // ManyInputs for three or more inputs and as many outputs.
    // Linked: one detector on the loudest key channel.
    // Unlinked: a detector per output channel.
    enum class KeyPath
    {
        StereoInput,
        MonoInput,
        ManyInputs,
        Linked,
        Unlinked
    };
    // The paths whose gate pass floors the input and lays it into the lanes itself.
    static bool floorsInGatePass(KeyPath path)
    {
        return path == KeyPath::StereoInput || path == KeyPath::MonoInput ||
               path == KeyPath::ManyInputs;
    }

    void reallocateKeyArrays(int inputs, int sideChains, bool keepPeaks);
    // Whether there is audio to gate: no outputs, nothing to do; no inputs,
    // the outputs get silence.
    bool hasAudio(float** input, float** output, int numSamples);
    void applyInputFloor(float** input, float** sideChain, int keyChannels, int numSamples);
    void runGate(float** key, int keyChannels, float** input, float** output, int numSamples,
                 KeyPath path);
    void gatePass(float** key, int keyChannels, float** input, float** output, int numSamples,
                  KeyPath path, bool writeOutput);
    void copyPass(float** source, float** output, int sourceChannels, int numSamples);
    void decideLinked(const float* levels, int count);
    void decideUnlinked(float** key, int keyChannels, int start, int count);
    // inLanes: the chunk's inputs are in the lanes already.
    void runCrossover(float** input, float** output, int start, int count, bool writeOutput,
                      bool inLanes);
    void applyFade(float** output, int start, int count, bool writeOutput);
    void countMeterSamples(int numSamples, bool linked);
    void updateMetersLinked();
    void updateMetersUnlinked();
    void silenceMeters();
    void fillSilence(float** output, int numSamples);

    float sampleRate_ = 0.0f;
    int inputChannels_ = 0;
    int outputChannels_ = 0;
    int sideChainChannels_ = 0;

    bool channelLinking_ = false;
    float outputGain_ = 1.0f;
    float hysteresisGain_ = 1.0f;
    float truncationMs_ = 0.0f;
    GateSettings settings_;

    BypassListenFade fade_;
    GateRandom random_;
    CrossoverGainStage crossover_;
    std::vector<DetectorState> detectors_; // one per output channel

    float maxVu_ = kSilence;
    float minVu_ = kSilence;
    float maxGate_ = kSilence;
    float minGate_ = kSilence;
    // One peak per key channel; at least max(inputChannels, sideChainChannels)
    // entries so that the main input can serve as key.
    std::vector<float> keyPeak_;
    int meterInterval_ = 0;
    int meterCount_ = 0;

    // The gate pass goes chunk by chunk: first every
    // detector decides its gains for the chunk, then each channel group's
    // inputs and gains are laid out kGroupLanes to a sample and run through
    // the crossover ladder at once. All key and input samples of a chunk are
    // read before any output of it is written, so in-place buffers are safe.
    static constexpr int kLanes = CrossoverGainStage::kGroupLanes;
    // Up to this many unlinked detectors are stepped in local variables.
    static constexpr int kMaxDetectorsInRegisters = 8;
    std::vector<const float*> detectorKeys_;  // key of each detector, beyond that
    std::vector<double> chunkSamples_;        // [group][sample][lane]
    std::vector<double> chunkGains_;          // [group][sample][lane]
    std::array<float, kChunk> chunkLevels_{}; // linked: the loudest key of each sample
};

} // namespace Quorvane
