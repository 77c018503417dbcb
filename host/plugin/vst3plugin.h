// A VST 3 plug-in hosted through its public interfaces only: the processor
// component and its edit controller, created from the module's factory,
// initialized with a host context and connected as peers.
#pragma once

#include "hostedplugin.h"
#include "vst3module.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <memory>
#include <utility>
#include <vector>

namespace Steinberg::Vst
{
class HostApplication;
}

namespace Quorvane
{

class Vst3ComponentHandler;

class Vst3Plugin : public HostedPlugin
{
public:
    // Loads the module at PATH and sets the plug-in up as a DAW does before
    // processing. Throws HostError (kExitPlugin) on any failure.
    explicit Vst3Plugin(const std::string& path);
    ~Vst3Plugin() override;

    std::string path() const override { return module->bundlePath(); }
    void describe(std::ostream& out) override;

    std::vector<ParameterDescription> parameters() override;
    double parameterValue(uint32_t id) override;
    std::string displayText(uint32_t id, double normalized) override;
    std::optional<double> parseDisplayText(uint32_t id, const std::string& text) override;
    void setParameter(uint32_t id, double normalized) override;

    // For a host showing the plug-in's editor: the controller that makes its
    // views, and an edit the controller made itself, which the processor gets
    // with the next block.
    Steinberg::Vst::IEditController* editController() const { return controller; }
    void queueEdit(uint32_t id, double normalized) { pending.emplace_back(id, normalized); }

    void loadPreset(const std::string& file) override;
    void savePreset(const std::string& file) override;

    bool hasSideChainInput() override;
    void start(double sampleRate, int channels, int maxBlockSize, bool sideChain) override;
    void process(const AudioBlock& block, std::vector<OutputValue>& outputs) override;
    void flushParameters() override;
    void stop() override;

private:
    struct BusBuffers
    {
        int channels = 0;
        std::vector<float*> pointers;
    };

    void createInstances();
    void connectPeers();
    void syncControllerWithComponent();
    void shutDown();
    void describeBuses(std::ostream& out);
    void fillInputChanges();
    void runProcess(int numSamples, int numInputs, int numOutputs);
    void collectOutputChanges(std::vector<OutputValue>& outputs);

    std::unique_ptr<Vst3Module> module;
    // The SDK's host context does not count references: it lives as long as
    // the plug-in objects that were initialized with it.
    std::unique_ptr<Steinberg::Vst::HostApplication> hostContext;
    Vst3ComponentHandler* componentHandler = nullptr;
    Steinberg::TUID processorClassId{};
    Steinberg::IPtr<Steinberg::Vst::IComponent> component;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor;
    Steinberg::IPtr<Steinberg::Vst::IEditController> controller;
    Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> componentConnection;
    Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> controllerConnection;
    bool componentInitialized = false;
    bool controllerInitialized = false;
    bool controllerIsComponent = false;
    bool connected = false;
    bool active = false;
    bool processing = false;

    std::vector<std::pair<Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue>> pending;
    Steinberg::Vst::ParameterChanges inputChanges;
    Steinberg::Vst::ParameterChanges outputChanges;
    // The output value last given to the controller, by parameter ID (for IDs below the
    // parameter count).
    std::vector<Steinberg::Vst::ParamValue> passedOn;
    Steinberg::Vst::ProcessContext context{};
    std::vector<BusBuffers> inputBuses;
    std::vector<BusBuffers> outputBuses;
    std::vector<Steinberg::Vst::AudioBusBuffers> inputBuffers;
    std::vector<Steinberg::Vst::AudioBusBuffers> outputBuffers;
    // The buses as every block describes them, and the input channels that carry silence.
    std::vector<Steinberg::Vst::AudioBusBuffers> describedInputs;
    std::vector<Steinberg::Vst::AudioBusBuffers> describedOutputs;
    std::vector<float*> silentChannels;
    std::vector<float> scratch;
    int maxBlock = 0;
    bool sideChainActive = false;
};

} // namespace Quorvane
