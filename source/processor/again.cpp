#include "again.h"

#include "classids.h"
#include "paramids.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane {

namespace {

// The engine's side-chain peaks must cover every main input channel.
int sideChainChannelsFor(int inputChannels) { return inputChannels > 2 ? inputChannels : 2; }

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

    addAudioInput(STR16("Stereo In"), SpeakerArr::kStereo);
    addAudioOutput(STR16("Stereo Out"), SpeakerArr::kStereo);
    addAudioInput(STR16("Stereo Aux In"), SpeakerArr::kStereo, kAux, 0);

    configureChannels(2, 2, 2);
    engine.setSampleRate(float(processSetup.sampleRate));
    scratch.configure(inputChannels, outputChannels, processSetup.maxSamplesPerBlock);
    pushMirrorToEngine();
    return kResultOk;
}

tresult PLUGIN_API again::terminate()
{
    return AudioEffect::terminate();
}

bool again::configureChannels(int inputs, int outputs, int sideChain)
{
    const int oldInputs = inputChannels;
    const int oldOutputs = outputChannels;
    if (!engine.setInputChannels(inputs))
        return false;
    if (!engine.setOutputChannels(outputs))
    {
        engine.setInputChannels(oldInputs);
        return false;
    }
    if (!engine.setSideChainChannels(sideChain))
    {
        engine.setInputChannels(oldInputs);
        engine.setOutputChannels(oldOutputs);
        return false;
    }
    inputChannels = inputs;
    outputChannels = outputs;
    return true;
}

tresult PLUGIN_API again::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                             SpeakerArrangement* outputs, int32 numOuts)
{
    if (!getAudioInput(0))
        return kResultFalse;
    // A call without a main input or output arrangement cannot be honoured.
    if (numIns < 1 || numOuts < 1 || !inputs || !outputs)
        return kResultFalse;

    const int nIn = SpeakerArr::getChannelCount(inputs[0]);
    const int nOut = SpeakerArr::getChannelCount(outputs[0]);
    if (nIn < 1 || nOut < 1)
        return kResultFalse;
    const int nAux = sideChainChannelsFor(nIn);

    if (!configureChannels(nIn, nOut, nAux) ||
        !scratch.configure(nIn, nOut, processSetup.maxSamplesPerBlock))
        return kOutOfMemory;

    String128 inName, outName, auxName;
    setBusName(inName, "In (%d Ch)", nIn);
    setBusName(outName, "Out (%d Ch)", nOut);
    setBusName(auxName, "Aux (%d Ch)", nAux);

    removeAudioBusses();
    addAudioInput(inName, inputs[0]);
    addAudioOutput(outName, outputs[0]);
    addAudioInput(auxName, inputs[0], kAux, 0);
    return kResultOk;
}

tresult PLUGIN_API again::setupProcessing(ProcessSetup& setup)
{
    tresult result = AudioEffect::setupProcessing(setup);
    if (result != kResultOk)
        return result;
    engine.setSampleRate(float(processSetup.sampleRate));
    scratch.configure(inputChannels, outputChannels, processSetup.maxSamplesPerBlock);
    pushMirrorToEngine();
    return kResultOk;
}

tresult PLUGIN_API again::setActive(TBool state)
{
    sendTextMessage(state ? "again::setActive (true)" : "again::setActive (false)");

    if (state)
    {
        // The audio thread owns the mirror from now on; getState reads what it publishes.
        publishMirror();
        active.store(true, std::memory_order_release);
    }
    else
    {
        active.store(false, std::memory_order_release);
        // A state handed over after the last block must not be lost.
        takePendingState();
        publishMirror();
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
        applyParameter(id, mirror.switches[id] ? 1.f : 0.f);
    for (uint32_t id = kOutputLevelId; id <= kNoteTruncationId; ++id)
        applyParameter(id, mirror.value(id));
}

// Stores one parameter value in the mirror and hands it to the engine in physical units.
// The mirror keeps the value as received; the engine gets it limited to 0..1, since values far
// outside the curves' ranges give coefficients that would turn the output into NaN for good.
void again::applyParameter(uint32_t id, float v)
{
    if (!std::isfinite(v))
        return;
    if (ParamMirror::isSwitch(id))
    {
        const bool on = v > 0.5f;
        mirror.switches[id] = on;
        switch (id)
        {
            case kBypassId: engine.setBypass(on); break;
            case kListenId: engine.setListen(on); break;
            case kChannelLinkingId: engine.setChannelLinking(on); break;
            case kDuckingId: engine.setDucking(on); break;
            case kGradualAttEnvelopeId: engine.setGradualAttack(on); break;
        }
        return;
    }

    mirror.value(id) = v;
    const float p = converter.toPhysical(id, std::clamp(v, 0.f, 1.f));
    switch (id)
    {
        case kOutputLevelId: engine.setOutputLevel(p); break;
        case kThresholdId: engine.setThreshold(p); break;
        case kRangeId: engine.setRange(p); break;
        case kHysteresisId: engine.setHysteresis(p); break;
        case kAttackGradualId: engine.setAttackGradual(p); break;
        case kAttackSynthId: engine.setAttackSynth(p); break;
        case kReleaseId: engine.setRelease(p); break;
        case kHoldId: engine.setHold(p); break;
        case kHoldClosedId: engine.setHoldClosed(p); break;
        case kBeatSkipId: engine.setBeatSkip(p); break;
        case kAttackDelayId: engine.setAttackDelay(p); break;
        case kNoteTruncationId: engine.setNoteTruncation(p); break;
    }
}

} // namespace Quorvane
