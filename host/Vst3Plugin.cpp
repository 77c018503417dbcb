#include "Vst3Plugin.h"

#include "HostError.h"
#include "Utf16.h"
#include "Vst3ComponentHandler.h"
#include "Vst3Strings.h"

#include "base/source/fstring.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane {

namespace {

[[noreturn]] void pluginError (const std::string& message)
{
    throw HostError (kExitPlugin, message);
}

// Speaker arrangement a host offers for a file with the given channel count.
SpeakerArrangement arrangementFor (int channels)
{
    switch (channels)
    {
        case 1: return SpeakerArr::kMono;
        case 2: return SpeakerArr::kStereo;
        case 6: return SpeakerArr::k51;
        default: break;
    }
    return channels >= 64 ? ~SpeakerArrangement (0) : (SpeakerArrangement (1) << channels) - 1;
}

template <typename I>
IPtr<I> queryAs (FUnknown* object)
{
    return FUnknownPtr<I> (object);
}

std::string className (IPluginFactory* factory, int32 index)
{
    PClassInfo info {};
    if (factory->getClassInfo (index, &info) != kResultOk)
        return {};
    return fieldText (info.name);
}

} // namespace

Vst3Plugin::Vst3Plugin (const std::string& path)
: module (std::make_unique<Vst3Module> (path))
{
    hostContext = new HostApplication ();
    componentHandler = new Vst3ComponentHandler ();
    try
    {
        createInstances ();
        connectPeers ();
        syncControllerWithComponent ();
    }
    catch (...)
    {
        shutDown ();
        throw;
    }
}

Vst3Plugin::~Vst3Plugin ()
{
    shutDown ();
}

void Vst3Plugin::createInstances ()
{
    IPluginFactory* factory = module->factory ();
    const std::string where = "plug-in '" + module->bundlePath () + "'";

    int32 count = factory->countClasses ();
    int32 processorIndex = -1;
    for (int32 i = 0; i < count && processorIndex < 0; ++i)
    {
        PClassInfo info {};
        if (factory->getClassInfo (i, &info) == kResultOk &&
            strncmp (info.category, kVstAudioEffectClass, sizeof (info.category)) == 0)
        {
            processorIndex = i;
            memcpy (processorClassId, info.cid, sizeof (TUID));
        }
    }
    if (processorIndex < 0)
        pluginError (where + " has no audio effect class (\"" kVstAudioEffectClass "\")");

    Vst::IComponent* rawComponent = nullptr;
    if (factory->createInstance (processorClassId, Vst::IComponent::iid,
                                 reinterpret_cast<void**> (&rawComponent)) != kResultOk ||
        !rawComponent)
        pluginError (where + " could not create its audio effect '" +
                     className (factory, processorIndex) + "'");
    component = owned (rawComponent);

    if (component->initialize (hostContext) != kResultOk)
        pluginError (where + ": the audio effect failed to initialize");
    componentInitialized = true;

    processor = queryAs<IAudioProcessor> (component);
    if (!processor)
        pluginError (where + ": the audio effect has no audio processor interface");

    // A plug-in may implement the controller in the component itself.
    controller = queryAs<IEditController> (component);
    if (controller)
    {
        controllerIsComponent = true;
        return;
    }
    TUID controllerId {};
    if (component->getControllerClassId (controllerId) != kResultOk)
        pluginError (where + " names no edit controller class");
    IEditController* rawController = nullptr;
    if (factory->createInstance (controllerId, IEditController::iid,
                                 reinterpret_cast<void**> (&rawController)) != kResultOk ||
        !rawController)
        pluginError (where + " lacks the edit controller class " + classIdText (controllerId));
    controller = owned (rawController);
    if (controller->initialize (hostContext) != kResultOk)
        pluginError (where + ": the edit controller failed to initialize");
    controllerInitialized = true;
}

void Vst3Plugin::connectPeers ()
{
    controller->setComponentHandler (componentHandler);
    if (controllerIsComponent)
        return;
    componentConnection = queryAs<IConnectionPoint> (component);
    controllerConnection = queryAs<IConnectionPoint> (controller);
    if (componentConnection && controllerConnection)
    {
        componentConnection->connect (controllerConnection);
        controllerConnection->connect (componentConnection);
        connected = true;
    }
}

void Vst3Plugin::syncControllerWithComponent ()
{
    if (controllerIsComponent)
        return;
    auto state = owned (new MemoryStream ());
    if (component->getState (state) != kResultOk)
        return;
    state->seek (0, IBStream::kIBSeekSet, nullptr);
    controller->setComponentState (state);
}

void Vst3Plugin::shutDown ()
{
    stop ();
    if (connected)
    {
        componentConnection->disconnect (controllerConnection);
        controllerConnection->disconnect (componentConnection);
        connected = false;
    }
    componentConnection = nullptr;
    controllerConnection = nullptr;
    if (controller)
        controller->setComponentHandler (nullptr);
    if (controllerInitialized)
        controller->terminate ();
    controllerInitialized = false;
    controller = nullptr;
    processor = nullptr;
    if (componentInitialized)
        component->terminate ();
    componentInitialized = false;
    component = nullptr;
    if (componentHandler)
        componentHandler->release ();
    componentHandler = nullptr;
    if (hostContext)
        hostContext->release ();
    hostContext = nullptr;
    // The module goes last, after every object it made.
    module.reset ();
}

std::vector<ParameterDescription> Vst3Plugin::parameters ()
{
    std::vector<ParameterDescription> list;
    int32 count = controller->getParameterCount ();
    for (int32 i = 0; i < count; ++i)
    {
        ParameterInfo info {};
        if (controller->getParameterInfo (i, info) != kResultOk)
            continue;
        ParameterDescription p;
        p.id = info.id;
        p.title = toUtf8 (info.title, 128);
        p.units = toUtf8 (info.units, 128);
        p.stepCount = info.stepCount;
        p.defaultNormalized = info.defaultNormalizedValue;
        p.flags = info.flags;
        p.readOnly = (info.flags & ParameterInfo::kIsReadOnly) != 0;
        p.automatable = (info.flags & ParameterInfo::kCanAutomate) != 0;
        p.bypass = (info.flags & ParameterInfo::kIsBypass) != 0;
        list.push_back (std::move (p));
    }
    return list;
}

double Vst3Plugin::parameterValue (uint32_t id)
{
    return controller->getParamNormalized (id);
}

std::string Vst3Plugin::displayText (uint32_t id, double normalized)
{
    String128 text {};
    if (controller->getParamStringByValue (id, normalized, text) != kResultOk)
        return {};
    text[127] = 0;
    return toUtf8 (text, 128);
}

std::optional<double> Vst3Plugin::parseDisplayText (uint32_t id, const std::string& text)
{
    std::u16string wide = toUtf16 (text);
    if (wide.size () > 127)
        return std::nullopt;
    String128 buffer {};
    std::copy (wide.begin (), wide.end (), buffer);
    ParamValue value = 0.0;
    if (controller->getParamValueByString (id, buffer, value) != kResultOk || !std::isfinite (value))
        return std::nullopt;
    return value;
}

void Vst3Plugin::setParameter (uint32_t id, double normalized)
{
    controller->setParamNormalized (id, normalized);
    pending.emplace_back (id, normalized);
}

bool Vst3Plugin::hasSideChainInput ()
{
    int32 count = component->getBusCount (kAudio, kInput);
    for (int32 i = 1; i < count; ++i)
    {
        BusInfo info {};
        if (component->getBusInfo (kAudio, kInput, i, info) == kResultOk && info.busType == kAux)
            return true;
    }
    return false;
}

void Vst3Plugin::start (double sampleRate, int channels, int maxBlockSize, bool sideChain)
{
    const std::string where = "plug-in '" + module->bundlePath () + "'";
    if (sideChain && !hasSideChainInput ())
        pluginError (where + " has no side-chain input");

    const SpeakerArrangement arrangement = arrangementFor (channels);
    std::vector<SpeakerArrangement> ins (component->getBusCount (kAudio, kInput), arrangement);
    std::vector<SpeakerArrangement> outs (component->getBusCount (kAudio, kOutput), arrangement);
    if (ins.empty () || outs.empty ())
        pluginError (where + " has no audio input or output bus");
    SpeakerArrangement accepted = 0;
    if (processor->setBusArrangements (ins.data (), static_cast<int32> (ins.size ()), outs.data (),
                                       static_cast<int32> (outs.size ())) != kResultOk ||
        processor->getBusArrangement (kInput, 0, accepted) != kResultOk || accepted != arrangement)
        pluginError (where + " does not accept " + std::to_string (channels) + "-channel audio");

    component->activateBus (kAudio, kInput, 0, true);
    component->activateBus (kAudio, kOutput, 0, true);
    sideChainActive = false;
    if (sideChain)
    {
        // The first auxiliary input bus takes the key.
        for (int32 i = 1; i < static_cast<int32> (ins.size ()); ++i)
        {
            BusInfo info {};
            if (component->getBusInfo (kAudio, kInput, i, info) == kResultOk && info.busType == kAux)
            {
                sideChainActive = component->activateBus (kAudio, kInput, i, true) == kResultOk;
                break;
            }
        }
        if (!sideChainActive)
            pluginError (where + " refused to activate its side-chain input");
    }

    if (processor->canProcessSampleSize (kSample32) != kResultTrue)
        pluginError (where + " cannot process 32-bit float audio");
    ProcessSetup setup {kOffline, kSample32, maxBlockSize, sampleRate};
    if (processor->setupProcessing (setup) != kResultOk)
        pluginError (where + " refused to process at " + std::to_string (static_cast<long> (sampleRate)) +
                     " Hz in blocks of " + std::to_string (maxBlockSize));

    maxBlock = maxBlockSize;
    auto describeBuses = [&] (BusDirection direction, std::vector<BusBuffers>& buses, size_t count) {
        buses.assign (count, {});
        size_t scratchChannels = 0;
        for (size_t i = 0; i < count; ++i)
        {
            BusInfo info {};
            component->getBusInfo (kAudio, direction, static_cast<int32> (i), info);
            buses[i].channels = std::max<int32> (0, info.channelCount);
            scratchChannels += static_cast<size_t> (buses[i].channels);
        }
        return scratchChannels;
    };
    size_t scratchChannels = describeBuses (kInput, inputBuses, ins.size ());
    scratchChannels += describeBuses (kOutput, outputBuses, outs.size ());
    scratch.assign (scratchChannels * static_cast<size_t> (maxBlockSize), 0.0f);
    float* next = scratch.data ();
    for (auto* buses : {&inputBuses, &outputBuses})
        for (auto& bus : *buses)
            for (int c = 0; c < bus.channels; ++c, next += maxBlockSize)
                bus.pointers.push_back (next);
    inputBuffers.assign (inputBuses.size (), {});
    outputBuffers.assign (outputBuses.size (), {});
    inputChanges.setMaxParameters (controller->getParameterCount ());
    outputChanges.setMaxParameters (controller->getParameterCount ());

    context = {};
    context.sampleRate = sampleRate;
    context.state = ProcessContext::kPlaying;

    if (component->setActive (true) != kResultOk)
        pluginError (where + " failed to activate");
    active = true;
    processing = processor->setProcessing (true) == kResultOk;
}

void Vst3Plugin::fillInputChanges ()
{
    inputChanges.clearQueue ();
    for (const auto& [id, value] : pending)
    {
        int32 queueIndex = 0;
        if (IParamValueQueue* queue = inputChanges.addParameterData (id, queueIndex))
        {
            int32 pointIndex = 0;
            queue->addPoint (0, value, pointIndex);
        }
    }
    pending.clear ();
}

void Vst3Plugin::runProcess (int numSamples, int numInputs, int numOutputs)
{
    fillInputChanges ();
    outputChanges.clearQueue ();
    ProcessData data;
    data.processMode = kOffline;
    data.symbolicSampleSize = kSample32;
    data.numSamples = numSamples;
    data.numInputs = numInputs;
    data.numOutputs = numOutputs;
    data.inputs = numInputs > 0 ? inputBuffers.data () : nullptr;
    data.outputs = numOutputs > 0 ? outputBuffers.data () : nullptr;
    data.inputParameterChanges = &inputChanges;
    data.outputParameterChanges = &outputChanges;
    data.processContext = &context;
    processor->process (data);
    context.projectTimeSamples += numSamples;
}

void Vst3Plugin::collectOutputChanges (std::vector<OutputValue>& outputs)
{
    outputs.clear ();
    int32 count = outputChanges.getParameterCount ();
    for (int32 i = 0; i < count; ++i)
    {
        IParamValueQueue* queue = outputChanges.getParameterData (i);
        if (!queue || queue->getPointCount () <= 0)
            continue;
        int32 offset = 0;
        ParamValue value = 0.0;
        if (queue->getPoint (queue->getPointCount () - 1, offset, value) != kResultOk)
            continue;
        outputs.push_back ({queue->getParameterId (), value});
        // Meter values reach the controller the way a host's UI thread passes them on.
        controller->setParamNormalized (queue->getParameterId (), value);
    }
}

void Vst3Plugin::process (const AudioBlock& block, std::vector<OutputValue>& outputs)
{
    const int n = block.numSamples;
    for (size_t b = 0; b < inputBuses.size (); ++b)
    {
        auto& bus = inputBuses[b];
        auto& buffers = inputBuffers[b];
        const float* const* source = b == 0 ? block.input : (sideChainActive && b == 1 ? block.sideChain : nullptr);
        for (int c = 0; c < bus.channels; ++c)
        {
            if (source)
                bus.pointers[static_cast<size_t> (c)] = const_cast<float*> (source[c]);
            else
                std::fill_n (bus.pointers[static_cast<size_t> (c)], n, 0.0f);
        }
        buffers.numChannels = bus.channels;
        buffers.silenceFlags = source ? 0 : ~uint64 (0);
        buffers.channelBuffers32 = bus.pointers.data ();
    }
    for (size_t b = 0; b < outputBuses.size (); ++b)
    {
        auto& bus = outputBuses[b];
        if (b == 0)
            for (int c = 0; c < bus.channels; ++c)
                bus.pointers[static_cast<size_t> (c)] = block.output[c];
        outputBuffers[b].numChannels = bus.channels;
        outputBuffers[b].silenceFlags = 0;
        outputBuffers[b].channelBuffers32 = bus.pointers.data ();
    }
    runProcess (n, static_cast<int> (inputBuffers.size ()), static_cast<int> (outputBuffers.size ()));
    collectOutputChanges (outputs);
}

void Vst3Plugin::flushParameters ()
{
    if (pending.empty ())
        return;
    runProcess (0, 0, 0);
}

void Vst3Plugin::stop ()
{
    if (processing)
        processor->setProcessing (false);
    processing = false;
    if (active)
        component->setActive (false);
    active = false;
}

} // namespace Quorvane
