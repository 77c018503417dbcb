// What the renderer and the commands need from a loaded plug-in, whatever
// format it is hosted through. Vst3Plugin is the VST 3 implementation; a VST 2
// host can slot in beside it.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace Quorvane
{

struct ParameterDescription
{
    uint32_t id = 0;
    std::string title;
    std::string units;
    int32_t stepCount = 0;
    double defaultNormalized = 0.0;
    int32_t flags = 0;
    bool readOnly = false;
    bool automatable = false;
    bool bypass = false;
};

// One value that the plug-in reported for an output parameter during a block.
struct OutputValue
{
    uint32_t id;
    double normalized;
};

// Audio for one block; every channel pointer addresses numSamples floats.
struct AudioBlock
{
    const float* const* input = nullptr;
    const float* const* sideChain = nullptr; // null when no side chain is routed
    float* const* output = nullptr;
    int numSamples = 0;
};

class HostedPlugin
{
public:
    virtual ~HostedPlugin() = default;

    // Where the plug-in came from, for messages.
    virtual std::string path() const = 0;

    // A description of the module, its classes and buses (`quorvane info`).
    virtual void describe(std::ostream& out) = 0;

    virtual std::vector<ParameterDescription> parameters() = 0;
    virtual double parameterValue(uint32_t id) = 0;
    virtual std::string displayText(uint32_t id, double normalized) = 0;
    // The plug-in's own reading of a typed text; nothing when it cannot read it.
    virtual std::optional<double> parseDisplayText(uint32_t id, const std::string& text) = 0;
    // Sets a parameter as a user would: the controller at once, the processor
    // with the next processed block.
    virtual void setParameter(uint32_t id, double normalized) = 0;

    virtual void loadPreset(const std::string& file) = 0;
    virtual void savePreset(const std::string& file) = 0;

    virtual bool hasSideChainInput() = 0;
    // Configures buses and processing and starts processing. Throws HostError
    // when the plug-in refuses the set-up.
    virtual void start(double sampleRate, int channels, int maxBlockSize, bool sideChain) = 0;
    // Processes one block; fills `outputs` with the output parameter values the
    // plug-in reported for it and hands them to the controller.
    virtual void process(const AudioBlock& block, std::vector<OutputValue>& outputs) = 0;
    // Delivers pending parameter changes without audio.
    virtual void flushParameters() = 0;
    virtual void stop() = 0;
};

} // namespace Quorvane
