// The plug-in's audio processor: buses and set-up, the process loop and the stored state.
#pragma once

#include "channelscratch.h"
#include "gateengine.h"
#include "paramconverter.h"
#include "parammirror.h"
#include "triplebuffer.h"

#include "public.sdk/source/vst/vstaudioeffect.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace Quorvane
{

class again : public Steinberg::Vst::AudioEffect
{
public:
    again();
    ~again() override;

    static Steinberg::FUnknown* createInstance(void*)
    {
        return static_cast<Steinberg::Vst::IAudioProcessor*>(new again);
    }

    // IPluginBase
    Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
    Steinberg::tresult PLUGIN_API terminate() override;

    // IComponent
    Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
    Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
    Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;

    // IAudioProcessor
    Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                     Steinberg::int32 numIns,
                                                     Steinberg::Vst::SpeakerArrangement* outputs,
                                                     Steinberg::int32 numOuts) override;
    Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
    Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;

    // IConnectionPoint
    Steinberg::tresult PLUGIN_API notify(Steinberg::Vst::IMessage* message) override;

    // ComponentBase
    Steinberg::tresult receiveText(const Steinberg::char8* text) override;

    // Read access for tests and diagnostics (main thread, while inactive).
    const ParamMirror& parameterMirror() const { return mirror; }
    const GateEngine& gateEngine() const { return engine; }

private:
    void applySwitch(uint32_t id, double value);
    void setSwitch(uint32_t id, bool on);
    void applyParameter(uint32_t id, float value);
    void pushMirrorToEngine();
    bool applyParameterChanges(Steinberg::Vst::IParameterChanges* changes);
    void runEngine(Steinberg::Vst::ProcessData& data, bool sideChainBlock);
    void reportMeters(Steinberg::Vst::IParameterChanges* changes, bool sideChainBlock);
    float scaledMeter(int meter, float level);
    bool takePendingState();
    void publishMirror();
    const ParamMirror& newestState();

    // The buses and the channel configuration that goes with them.
    struct Layout
    {
        const Steinberg::Vst::TChar* inputName;
        const Steinberg::Vst::TChar* outputName;
        const Steinberg::Vst::TChar* auxName;
        Steinberg::Vst::SpeakerArrangement input, output;
    };
    // All or nothing: false (for want of memory) leaves buses, engine and scratch as they were.
    bool takeLayout(const Layout& layout);

    GateEngine engine;
    ParamConverter converter;
    ParamMirror mirror;

    // State hand-over between the host's main thread and the audio thread while active:
    // setState publishes into `pendingState`, process takes it at the start of a block;
    // process publishes the mirror into `currentState` for getState.
    TripleBuffer<ParamMirror> pendingState;
    TripleBuffer<ParamMirror> currentState;
    ParamMirror lastSetState;     // main thread's copy of the newest setState
    uint64_t stateGeneration = 0; // main thread only
    std::atomic<uint64_t> appliedGeneration{0};
    std::atomic<bool> active{false};
    // Hosts may make the calls outside the process loop from more than one thread at once (a
    // worker saves a project while another loads one): they take turns on this lock. The audio
    // thread never takes it.
    std::mutex hostCallMutex;

    // What the engine's detectors and meters were when processing last stopped (or fresh, for a
    // new layout). A host that processes while inactive must not change what comes after the
    // next activation: that activation goes back to this point.
    GateEngine::SignalState restartPoint;
    std::atomic<bool> processedInactive{false};

    ChannelScratch scratch; // fallback buffers for hosts that pass fewer channels
    int inputChannels = 2;
    int outputChannels = 2;

    // The main output and the side-chain input of the current layout, so that a block need not
    // look them up (and check their class) in the bus lists; null when there are no buses.
    Steinberg::Vst::AudioBus* mainOutputBus = nullptr;
    Steinberg::Vst::AudioBus* sideChainBus = nullptr;

    // The last level each meter was reported for and its scaled value: meters that stand still
    // (a closed or open gate, silence) cost no logarithm. Keyed by the level's bits, so a level
    // that is not a number is matched too; +0 scales to 0.
    struct MeterReading
    {
        uint32_t levelBits = 0;
        float scaled = 0.0f;
    };
    MeterReading meterReadings[4];
};

} // namespace Quorvane
