// A plug-in hosted as a VST 2 effect, the way a VST 2 host loads it: dlopen,
// the library's VSTPluginMain with a host callback of our own, then the
// effect's dispatcher, setParameter and processReplacing.
#pragma once

#include "hostedplugin.h"

#include "pluginterfaces/fst/aeffectx.h"

#include <string>
#include <vector>

namespace Quorvane
{

class Vst2Plugin : public HostedPlugin
{
public:
    // PATH is a .vst3 bundle folder or the shared library itself. Throws
    // HostError (kExitPlugin) when it does not load as a VST 2 effect.
    explicit Vst2Plugin(const std::string& path);
    ~Vst2Plugin() override;

    Vst2Plugin(const Vst2Plugin&) = delete;
    Vst2Plugin& operator=(const Vst2Plugin&) = delete;

    std::string path() const override { return givenPath; }
    void describe(std::ostream& out) override;

    // VST 2 knows no read-only flags, step counts or defaults: every
    // parameter is listed as settable and its "default" is the value the
    // effect had when it was opened. Index and ID are the same number.
    std::vector<ParameterDescription> parameters() override { return described; }
    double parameterValue(uint32_t id) override;
    // The effect shows the text of its current value only; other values
    // are shown as numbers (the opening value keeps the text it had then).
    std::string displayText(uint32_t id, double normalized) override;
    // Not offered: values are set with --set-normalized.
    std::optional<double> parseDisplayText(uint32_t id, const std::string& text) override;
    // VST 2 carries values as 32-bit floats.
    void setParameter(uint32_t id, double normalized) override;

    void loadPreset(const std::string& file) override;
    void savePreset(const std::string& file) override;

    bool hasSideChainInput() override { return false; }
    // Takes audio with as many channels as the effect's inputs, or mono,
    // which feeds every input and gets the first output back.
    void start(double sampleRate, int channels, int maxBlockSize, bool sideChain) override;
    // Reports no output values: a VST 2 effect has no meter outputs.
    void process(const AudioBlock& block, std::vector<OutputValue>& outputs) override;
    // Values set reach the effect's processing with the next block; there
    // is nothing to deliver without audio.
    void flushParameters() override {}
    void stop() override;

private:
    static VstIntPtr hostCallback(AEffect* effect, int opcode, int index, VstIntPtr value,
                                  void* ptr, float opt);
    VstIntPtr answerHost(int opcode) const;
    VstIntPtr dispatch(int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    std::string text(int opcode, int index = 0);
    void readParameters();
    void close();

    std::string givenPath;
    std::string library;
    void* handle = nullptr;
    AEffect* effect = nullptr;
    bool resumed = false;
    double sampleRate = 44100.0;
    int blockSize = 512;

    std::vector<ParameterDescription> described;
    std::vector<std::string> openingTexts;

    int fileChannels = 0;
    std::vector<std::vector<float>> spareInputs;  // copies of a mono file's channel
    std::vector<std::vector<float>> spareOutputs; // outputs a mono file does not take
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
};

} // namespace Quorvane
