#include "fakeplugin.h"
#include "fakeview.h"

#include "base/source/fstreamer.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <cstdio>
#include <cstring>

namespace QuorvaneTest::FakePlugin
{

const FUID kProcessorCid(0x11111111, 0x22222222, 0x33333333, 0x44444444);
const FUID kControllerCid(0x55555555, 0x66666666, 0x77777777, 0x88888888);

Journal journal;
int Factory::liveCount = 0;
Controller* Controller::last = nullptr;
bool Controller::offerEditor = false;

//------------------------------------------------------------------------
Processor::Processor()
{
    setControllerClass(kControllerCid);
}

tresult PLUGIN_API Processor::initialize(FUnknown* context)
{
    const tresult result = AudioEffect::initialize(context);
    if (result != kResultOk)
        return result;
    addAudioInput(STR16("Main In"), SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
    addAudioOutput(STR16("Main Out"), SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
    addAudioInput(STR16("Side In"), SpeakerArr::kStereo, kAux, 0);
    return kResultOk;
}

tresult PLUGIN_API Processor::setupProcessing(ProcessSetup& setup)
{
    char text[96];
    std::snprintf(text, sizeof(text), "setupProcessing %d %d %d %d",
                  static_cast<int>(setup.sampleRate), setup.maxSamplesPerBlock,
                  setup.symbolicSampleSize, setup.processMode);
    journal.lifecycle.push_back(text);
    return AudioEffect::setupProcessing(setup);
}

tresult PLUGIN_API Processor::setActive(TBool state)
{
    journal.lifecycle.push_back(state ? "setActive 1" : "setActive 0");
    return AudioEffect::setActive(state);
}

tresult PLUGIN_API Processor::setProcessing(TBool state)
{
    journal.lifecycle.push_back(state ? "setProcessing 1" : "setProcessing 0");
    return kResultOk;
}

tresult PLUGIN_API Processor::process(ProcessData& data)
{
    ProcessCall call;
    call.numSamples = data.numSamples;
    call.numInputs = data.numInputs;
    call.numOutputs = data.numOutputs;
    call.mainInputChannels = data.numInputs > 0 ? data.inputs[0].numChannels : 0;
    call.mainOutputChannels = data.numOutputs > 0 ? data.outputs[0].numChannels : 0;
    call.auxActive = getAudioInput(1) && getAudioInput(1)->isActive();

    if (IParameterChanges* changes = data.inputParameterChanges)
    {
        for (int32 i = 0; i < changes->getParameterCount(); ++i)
        {
            IParamValueQueue* queue = changes->getParameterData(i);
            if (!queue)
                continue;
            ReceivedChange change{queue->getParameterId(), queue->getPointCount(), -1, -1.};
            queue->getPoint(change.points - 1, change.lastOffset, change.lastValue);
            call.changes.push_back(change);
            if (change.id == kBypassId)
                bypass = change.lastValue > 0.5 ? 1 : 0;
            else if (change.id == kGainId)
                gain = static_cast<float>(change.lastValue);
        }
    }
    journal.processCalls.push_back(call);

    if (data.numInputs > 0 && data.numOutputs > 0)
    {
        const int32 channels = std::min(data.inputs[0].numChannels, data.outputs[0].numChannels);
        const float factor = bypass ? 1.f : gain * 2.f;
        for (int32 c = 0; c < channels; ++c)
            for (int32 s = 0; s < data.numSamples; ++s)
                data.outputs[0].channelBuffers32[c][s] =
                    data.inputs[0].channelBuffers32[c][s] * factor;
    }
    meter += 0.125f;
    if (IParameterChanges* out = data.outputParameterChanges)
    {
        int32 index = 0;
        if (IParamValueQueue* queue = out->addParameterData(kMeterId, index))
        {
            queue->addPoint(0, 0.0, index);
            queue->addPoint(data.numSamples > 1 ? data.numSamples - 1 : 0, meter, index);
        }
    }
    return kResultOk;
}

tresult PLUGIN_API Processor::setState(IBStream* state)
{
    IBStreamer streamer(state, kLittleEndian);
    int32 newBypass = 0;
    float newGain = 0.f;
    if (!streamer.readInt32(newBypass) || !streamer.readFloat(newGain))
        return kResultFalse;
    bypass = newBypass;
    gain = newGain;
    return kResultOk;
}

tresult PLUGIN_API Processor::getState(IBStream* state)
{
    IBStreamer streamer(state, kLittleEndian);
    return streamer.writeInt32(bypass) && streamer.writeFloat(gain) ? kResultOk : kResultFalse;
}

//------------------------------------------------------------------------
tresult PLUGIN_API Controller::initialize(FUnknown* context)
{
    const tresult result = EditController::initialize(context);
    if (result != kResultOk)
        return result;
    parameters.addParameter(STR16("Bypass"), nullptr, 1, 0.,
                            ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass, kBypassId);
    parameters.addParameter(STR16("Gain"), STR16("loudness units"), 0, 0.5,
                            ParameterInfo::kCanAutomate, kGainId);
    parameters.addParameter(STR16("An exceptionally long parameter title"), nullptr, 0, 0.25, 0,
                            kLongTitleId);
    parameters.addParameter(STR16("Meter"), nullptr, 0, 0., ParameterInfo::kIsReadOnly, kMeterId);
    last = this;
    return kResultOk;
}

IPlugView* PLUGIN_API Controller::createView(FIDString name)
{
    if (offerEditor && name && std::strcmp(name, ViewType::kEditor) == 0)
        return new FakeView;
    return nullptr;
}

tresult PLUGIN_API Controller::setComponentState(IBStream* state)
{
    ++journal.componentStateCalls;
    IBStreamer streamer(state, kLittleEndian);
    int32 bypass = 0;
    float gain = 0.f;
    if (!streamer.readInt32(bypass) || !streamer.readFloat(gain))
        return kResultFalse;
    EditController::setParamNormalized(kBypassId, bypass ? 1. : 0.);
    EditController::setParamNormalized(kGainId, gain);
    return kResultOk;
}

tresult PLUGIN_API Controller::setState(IBStream* state)
{
    ++journal.controllerSetStateCalls;
    char8 data[5];
    int32 read = 0;
    if (state->read(data, 5, &read) != kResultOk || read != 5)
        return kResultFalse;
    std::memcpy(ownState, data, 5);
    return kResultOk;
}

tresult PLUGIN_API Controller::getState(IBStream* state)
{
    return state->write(ownState, 5, nullptr);
}

tresult PLUGIN_API Controller::setParamNormalized(ParamID tag, ParamValue value)
{
    journal.controllerSets.emplace_back(tag, value);
    return EditController::setParamNormalized(tag, value);
}

ParamValue PLUGIN_API Controller::getParamNormalized(ParamID tag)
{
    ++journal.controllerReads;
    return EditController::getParamNormalized(tag);
}

tresult PLUGIN_API Controller::getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                                     String128 string)
{
    if (tag != kGainId)
        return EditController::getParamStringByValue(tag, valueNormalized, string);
    char text[64];
    std::snprintf(text, sizeof(text), "%.2f times", valueNormalized * 2.);
    UString(string, 128).fromAscii(text);
    return kResultOk;
}

//------------------------------------------------------------------------
Factory::Factory()
{
    ++liveCount;
}

tresult PLUGIN_API Factory::getFactoryInfo(PFactoryInfo* info)
{
    *info = PFactoryInfo("Fake Vendor", "http://example.org", "mailto:a@example.org",
                         PFactoryInfo::kUnicode);
    return kResultOk;
}

tresult PLUGIN_API Factory::getClassInfo(int32 index, PClassInfo* info)
{
    PClassInfo2 info2;
    if (getClassInfo2(index, &info2) != kResultOk)
        return kInvalidArgument;
    *info = PClassInfo(info2.cid, info2.cardinality, info2.category, info2.name);
    return kResultOk;
}

tresult PLUGIN_API Factory::getClassInfo2(int32 index, PClassInfo2* info)
{
    if (index == 0)
        *info =
            PClassInfo2(kProcessorCid.toTUID(), PClassInfo::kManyInstances, kVstAudioEffectClass,
                        "Fake Gain", 0, "Fx|Dynamics", nullptr, "2.4.1.7", kVstVersionString);
    else if (index == 1)
        *info = PClassInfo2(kControllerCid.toTUID(), PClassInfo::kManyInstances,
                            kVstComponentControllerClass, "Fake Gain Controller", 0, "", nullptr,
                            "2.4.1.7", kVstVersionString);
    else
        return kInvalidArgument;
    return kResultOk;
}

tresult PLUGIN_API Factory::createInstance(FIDString cid, FIDString _iid, void** obj)
{
    *obj = nullptr;
    FUnknown* object = nullptr;
    if (FUnknownPrivate::iidEqual(cid, kProcessorCid.toTUID()))
        object = Processor::create(nullptr);
    else if (FUnknownPrivate::iidEqual(cid, kControllerCid.toTUID()) && !failController)
        object = Controller::create(nullptr);
    if (object == nullptr)
        return kNoInterface;
    const tresult result = object->queryInterface(_iid, obj);
    object->release();
    return result;
}

tresult PLUGIN_API Factory::queryInterface(const TUID _iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(_iid, FUnknown::iid) ||
        FUnknownPrivate::iidEqual(_iid, IPluginFactory::iid) ||
        FUnknownPrivate::iidEqual(_iid, IPluginFactory2::iid))
    {
        addRef();
        *obj = static_cast<IPluginFactory2*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API Factory::release()
{
    if (--refCount == 0)
    {
        --liveCount;
        delete this;
        return 0;
    }
    return refCount;
}

} // namespace QuorvaneTest::FakePlugin
