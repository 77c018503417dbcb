#include "again.h"

#include "classids.h"
#include "paramids.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <type_traits>
#include <utility>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane
{

namespace
{

// The rates a set-up may ask for. 768 kHz is the fastest rate audio hardware runs at; four times
// that leaves room for hosts that oversample. Beyond it the engine's single-precision per-sample
// coefficients for its longest times (9 s of attack) round to 1 and stop moving. Below 1 Hz
// nothing is audio.
constexpr double kLowestSampleRate = 1.0;
constexpr double kHighestSampleRate = 4 * 768000.0;

// The engine's side-chain peaks must cover every main input channel.
int sideChainChannelsFor(int inputChannels)
{
    return inputChannels > 2 ? inputChannels : 2;
}

void setBusName(String128 name, const char* format, int channels)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, channels);
    UString(name, 128).fromAscii(text);
}

} // namespace

again::again()
{
    setControllerClass(kControllerUID);

    const ParamDefaults& d = converter.defaults();
    mirror.switches[kBypassId] = d.bypass != 0;
    mirror.switches[kListenId] = d.listen != 0;
    mirror.switches[kChannelLinkingId] = d.channelLinking != 0;
    mirror.switches[kDuckingId] = d.ducking != 0;
    mirror.switches[kGradualAttEnvelopeId] = d.gradualAttEnvelope != 0;
    for (uint32_t id = kOutputLevelId; id <= kNoteTruncationId; ++id)
        mirror.value(id) = converter.defaultNormalized(id);
}

again::~again() = default;

tresult PLUGIN_API again::initialize(FUnknown* context)
{
    tresult result = AudioEffect::initialize(context);
    if (result != kResultOk)
        return result;

    if (!takeLayout({STR16("Stereo In"), STR16("Stereo Out"), STR16("Stereo Aux In"),
                     SpeakerArr::kStereo, SpeakerArr::kStereo}))
    {
        AudioEffect::terminate();
        return kOutOfMemory;
    }
    engine.setSampleRate(float(processSetup.sampleRate));
    pushMirrorToEngine();
    return kResultOk;
}

tresult PLUGIN_API again::terminate()
{
    // The buses go with it.
    mainOutputBus = nullptr;
    sideChainBus = nullptr;
    return AudioEffect::terminate();
}

// Taking a layout over must not fail half-way: the engine, the scratch buffers and the buses
// would disagree, and the next block would run the engine over channels that do not exist.
// So everything the new layout needs is made first, while the old one stays in force, and then
// exchanged by moves that neither allocate nor throw.
bool again::takeLayout(const Layout& layout)
{
    static_assert(std::is_nothrow_move_assignable<GateEngine>::value &&
                      std::is_nothrow_move_assignable<ChannelScratch>::value,
                  "a prepared engine and scratch must be taken over without allocating");
    const int nIn = SpeakerArr::getChannelCount(layout.input);
    const int nOut = SpeakerArr::getChannelCount(layout.output);
    try
    {
        // Blocks processed while inactive leave no trace, here either.
        if (processedInactive.exchange(false))
            engine.restoreSignalState(restartPoint);
        GateEngine resized(engine);
        ChannelScratch resizedScratch;
        if (!resized.setInputChannels(nIn) || !resized.setOutputChannels(nOut) ||
            !resized.setSideChainChannels(sideChainChannelsFor(nIn)) ||
            !resizedScratch.configure(nIn, nOut, processSetup.maxSamplesPerBlock))
            return false;
        GateEngine::SignalState point = resized.signalState();

        // The side chain has the main input's arrangement and starts inactive.
        IPtr<Bus> in =
            owned(new AudioBus(layout.inputName, kMain, BusInfo::kDefaultActive, layout.input));
        auto* outBus =
            new AudioBus(layout.outputName, kMain, BusInfo::kDefaultActive, layout.output);
        IPtr<Bus> out = owned(static_cast<Bus*>(outBus));
        auto* auxBus = new AudioBus(layout.auxName, kAux, 0, layout.input);
        IPtr<Bus> aux = owned(static_cast<Bus*>(auxBus));
        audioInputs.reserve(2);
        audioOutputs.reserve(1);

        engine = std::move(resized);
        restartPoint = std::move(point);
        scratch = std::move(resizedScratch);
        inputChannels = nIn;
        outputChannels = nOut;
        removeAudioBusses();
        audioInputs.push_back(in); // within the reserved capacity
        audioInputs.push_back(aux);
        audioOutputs.push_back(out);
        mainOutputBus = outBus;
        sideChainBus = auxBus;
        return true;
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

tresult PLUGIN_API again::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                             SpeakerArrangement* outputs, int32 numOuts)
{
    std::lock_guard<std::mutex> lock(hostCallMutex);
    if (!getAudioInput(0))
        return kResultFalse;
    // A call without a main input or output arrangement cannot be honoured.
    if (numIns < 1 || numOuts < 1 || !inputs || !outputs)
        return kResultFalse;

    const int nIn = SpeakerArr::getChannelCount(inputs[0]);
    const int nOut = SpeakerArr::getChannelCount(outputs[0]);
    if (nIn < 1 || nOut < 1)
        return kResultFalse;

    String128 inName, outName, auxName;
    setBusName(inName, "In (%d Ch)", nIn);
    setBusName(outName, "Out (%d Ch)", nOut);
    setBusName(auxName, "Aux (%d Ch)", sideChainChannelsFor(nIn));
    if (!takeLayout({inName, outName, auxName, inputs[0], outputs[0]}))
        return kOutOfMemory;

    // The side chain always has the main input's arrangement, and there are no further buses.
    // A proposal that asked for anything else has been adapted, and the host must read the buses
    // back: it is told so by kResultFalse.
    const bool sideChainAsProposed = numIns < 2 || inputs[1] == inputs[0];
    return numIns <= 2 && numOuts == 1 && sideChainAsProposed ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API again::setupProcessing(ProcessSetup& setup)
{
    // Written so that NaN fails too.
    if (setup.symbolicSampleSize == kSample32 &&
        !(setup.sampleRate >= kLowestSampleRate && setup.sampleRate <= kHighestSampleRate &&
          setup.maxSamplesPerBlock > 0))
        return kInvalidArgument;
    std::lock_guard<std::mutex> lock(hostCallMutex);
    tresult result = AudioEffect::setupProcessing(setup);
    if (result != kResultOk)
        return result;
    engine.setSampleRate(float(processSetup.sampleRate));
    // Without memory for a larger scratch the old one stays; the process loop goes by its size.
    scratch.configure(inputChannels, outputChannels, processSetup.maxSamplesPerBlock);
    pushMirrorToEngine();
    return kResultOk;
}

tresult PLUGIN_API again::setActive(TBool state)
{
    sendTextMessage(state ? "again::setActive (true)" : "again::setActive (false)");

    std::lock_guard<std::mutex> lock(hostCallMutex);
    const bool wasActive = active.load(std::memory_order_acquire);
    if (state && !wasActive)
    {
        if (processedInactive.exchange(false))
            engine.restoreSignalState(restartPoint);
        engine.restart();
        // The audio thread owns the mirror from now on; getState reads what it publishes.
        publishMirror();
        active.store(true, std::memory_order_release);
    }
    else if (state)
        publishMirror();
    else
    {
        active.store(false, std::memory_order_release);
        // A state handed over after the last block must not be lost.
        takePendingState();
        publishMirror();
        if (wasActive)
            engine.saveSignalState(restartPoint);
    }
    return AudioEffect::setActive(state);
}

tresult PLUGIN_API again::notify(IMessage* message)
{
    if (!message)
        return kInvalidArgument;

    if (FIDStringsEqual(message->getMessageID(), "BinaryMessage"))
    {
        const void* data = nullptr;
        uint32 size = 0;
        IAttributeList* attributes = message->getAttributes();
        if (attributes && attributes->getBinary("MyData", data, size) == kResultOk)
            return kResultOk;
    }
    return AudioEffect::notify(message);
}

tresult again::receiveText(const char8* text)
{
    std::fputs("[again] received: ", stderr);
    if (text)
        std::fputs(text, stderr);
    std::fputc('\n', stderr);
    return kResultOk;
}

void again::pushMirrorToEngine()
{
    for (uint32_t id = kBypassId; id <= kGradualAttEnvelopeId; ++id)
        setSwitch(id, mirror.switches[id]);
    for (uint32_t id = kOutputLevelId; id <= kNoteTruncationId; ++id)
        applyParameter(id, mirror.value(id));
}

// A switch is on above one half; a value that is not a number changes nothing.
void again::applySwitch(uint32_t id, double v)
{
    if (std::isfinite(v))
        setSwitch(id, v > 0.5);
}

void again::setSwitch(uint32_t id, bool on)
{
    mirror.switches[id] = on;
    switch (id)
    {
    case kBypassId:
        engine.setBypass(on);
        break;
    case kListenId:
        engine.setListen(on);
        break;
    case kChannelLinkingId:
        engine.setChannelLinking(on);
        break;
    case kDuckingId:
        engine.setDucking(on);
        break;
    case kGradualAttEnvelopeId:
        engine.setGradualAttack(on);
        break;
    }
}

// Stores one continuous parameter's value in the mirror and hands it to the engine in physical
// units. The mirror keeps the value as received; the engine gets it limited to 0..1, since values
// far outside the curves' ranges give coefficients that would turn the output into NaN for good.
void again::applyParameter(uint32_t id, float v)
{
    if (!std::isfinite(v))
        return;
    mirror.value(id) = v;
    const float p = converter.toPhysical(id, std::clamp(v, 0.f, 1.f));
    switch (id)
    {
    case kOutputLevelId:
        engine.setOutputLevel(p);
        break;
    case kThresholdId:
        engine.setThreshold(p);
        break;
    case kRangeId:
        engine.setRange(p);
        break;
    case kHysteresisId:
        engine.setHysteresis(p);
        break;
    case kAttackGradualId:
        engine.setAttackGradual(p);
        break;
    case kAttackSynthId:
        engine.setAttackSynth(p);
        break;
    case kReleaseId:
        engine.setRelease(p);
        break;
    case kHoldId:
        engine.setHold(p);
        break;
    case kHoldClosedId:
        engine.setHoldClosed(p);
        break;
    case kBeatSkipId:
        engine.setBeatSkip(p);
        break;
    case kAttackDelayId:
        engine.setAttackDelay(p);
        break;
    case kNoteTruncationId:
        engine.setNoteTruncation(p);
        break;
    }
}

} // namespace Quorvane
