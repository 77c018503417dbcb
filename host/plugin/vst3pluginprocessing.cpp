// Processing with a VST 3 plug-in: buses from the file's channel count,
// the process set-up, and block after block with parameter changes in and
// meter values out.
#include "support/hosterror.h"
#include "vst3plugin.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane
{

namespace
{

// Speaker arrangement a host offers for a file with the given channel count.
SpeakerArrangement arrangementFor(int channels)
{
    switch (channels)
    {
    case 1:
        return SpeakerArr::kMono;
    case 2:
        return SpeakerArr::kStereo;
    case 6:
        return SpeakerArr::k51;
    default:
        break;
    }
    return channels >= 64 ? ~SpeakerArrangement(0) : (SpeakerArrangement(1) << channels) - 1;
}

} // namespace

bool Vst3Plugin::hasSideChainInput()
{
    int32 count = component->getBusCount(kAudio, kInput);
    for (int32 i = 1; i < count; ++i)
    {
        BusInfo info{};
        if (component->getBusInfo(kAudio, kInput, i, info) == kResultOk && info.busType == kAux)
            return true;
    }
    return false;
}

void Vst3Plugin::start(double sampleRate, int channels, int maxBlockSize, bool sideChain)
{
    const std::string where = "plug-in '" + module->bundlePath() + "'";
    if (sideChain && !hasSideChainInput())
        pluginError(where + " has no side-chain input");

    const SpeakerArrangement arrangement = arrangementFor(channels);
    std::vector<SpeakerArrangement> ins(component->getBusCount(kAudio, kInput), arrangement);
    std::vector<SpeakerArrangement> outs(component->getBusCount(kAudio, kOutput), arrangement);
    if (ins.empty() || outs.empty())
        pluginError(where + " has no audio input or output bus");
    SpeakerArrangement accepted = 0;
    if (processor->setBusArrangements(ins.data(), static_cast<int32>(ins.size()), outs.data(),
                                      static_cast<int32>(outs.size())) != kResultOk ||
        processor->getBusArrangement(kInput, 0, accepted) != kResultOk || accepted != arrangement)
        pluginError(where + " does not accept " + std::to_string(channels) + "-channel audio");

    component->activateBus(kAudio, kInput, 0, true);
    component->activateBus(kAudio, kOutput, 0, true);
    sideChainActive = false;
    if (sideChain)
    {
        // The first auxiliary input bus takes the key.
        for (int32 i = 1; i < static_cast<int32>(ins.size()); ++i)
        {
            BusInfo info{};
            if (component->getBusInfo(kAudio, kInput, i, info) == kResultOk && info.busType == kAux)
            {
                sideChainActive = component->activateBus(kAudio, kInput, i, true) == kResultOk;
                break;
            }
        }
        if (!sideChainActive)
            pluginError(where + " refused to activate its side-chain input");
    }

    if (processor->canProcessSampleSize(kSample32) != kResultTrue)
        pluginError(where + " cannot process 32-bit float audio");
    ProcessSetup setup{kOffline, kSample32, maxBlockSize, sampleRate};
    if (processor->setupProcessing(setup) != kResultOk)
        pluginError(where + " refused to process at " +
                    std::to_string(static_cast<long>(sampleRate)) + " Hz in blocks of " +
                    std::to_string(maxBlockSize));

    maxBlock = maxBlockSize;
    auto describeBuses = [&](BusDirection direction, std::vector<BusBuffers>& buses, size_t count)
    {
        buses.assign(count, {});
        size_t scratchChannels = 0;
        for (size_t i = 0; i < count; ++i)
        {
            BusInfo info{};
            component->getBusInfo(kAudio, direction, static_cast<int32>(i), info);
            buses[i].channels = std::max<int32>(0, info.channelCount);
            scratchChannels += static_cast<size_t>(buses[i].channels);
        }
        return scratchChannels;
    };
    size_t scratchChannels = describeBuses(kInput, inputBuses, ins.size());
    scratchChannels += describeBuses(kOutput, outputBuses, outs.size());
    scratch.assign(scratchChannels * static_cast<size_t>(maxBlockSize), 0.0f);
    float* next = scratch.data();
    for (auto* buses : {&inputBuses, &outputBuses})
        for (auto& bus : *buses)
            for (int c = 0; c < bus.channels; ++c, next += maxBlockSize)
                bus.pointers.push_back(next);
    // What every block hands over: the main input and an active side chain carry the file's
    // audio, every other input bus silence, every output bus scratch (the main one the file's).
    auto describe = [](std::vector<BusBuffers>& buses, std::vector<AudioBusBuffers>& described)
    {
        described.assign(buses.size(), {});
        for (size_t b = 0; b < buses.size(); ++b)
        {
            described[b].numChannels = buses[b].channels;
            described[b].channelBuffers32 = buses[b].pointers.data();
        }
    };
    describe(inputBuses, describedInputs);
    describe(outputBuses, describedOutputs);
    silentChannels.clear();
    for (size_t b = sideChainActive ? 2 : 1; b < inputBuses.size(); ++b)
    {
        describedInputs[b].silenceFlags = ~uint64(0);
        silentChannels.insert(silentChannels.end(), inputBuses[b].pointers.begin(),
                              inputBuses[b].pointers.end());
    }
    inputBuffers = describedInputs;
    outputBuffers = describedOutputs;
    inputChanges.setMaxParameters(controller->getParameterCount());
    outputChanges.setMaxParameters(controller->getParameterCount());
    // Nothing has been passed on yet: every first value is (NaN equals no value).
    passedOn.assign(static_cast<size_t>(std::max<int32>(controller->getParameterCount(), 0)),
                    std::numeric_limits<ParamValue>::quiet_NaN());

    context = {};
    context.sampleRate = sampleRate;
    context.state = ProcessContext::kPlaying;

    if (component->setActive(true) != kResultOk)
        pluginError(where + " failed to activate");
    active = true;
    processing = processor->setProcessing(true) == kResultOk;
}

void Vst3Plugin::fillInputChanges()
{
    inputChanges.clearQueue();
    for (const auto& [id, value] : pending)
    {
        int32 queueIndex = 0;
        if (IParamValueQueue* queue = inputChanges.addParameterData(id, queueIndex))
        {
            int32 pointIndex = 0;
            queue->addPoint(0, value, pointIndex);
        }
    }
    pending.clear();
}

void Vst3Plugin::runProcess(int numSamples, int numInputs, int numOutputs)
{
    fillInputChanges();
    outputChanges.clearQueue();
    ProcessData data;
    data.processMode = kOffline;
    data.symbolicSampleSize = kSample32;
    data.numSamples = numSamples;
    data.numInputs = numInputs;
    data.numOutputs = numOutputs;
    data.inputs = numInputs > 0 ? inputBuffers.data() : nullptr;
    data.outputs = numOutputs > 0 ? outputBuffers.data() : nullptr;
    data.inputParameterChanges = &inputChanges;
    data.outputParameterChanges = &outputChanges;
    data.processContext = &context;
    processor->process(data);
    context.projectTimeSamples += numSamples;
}

void Vst3Plugin::collectOutputChanges(std::vector<OutputValue>& outputs)
{
    outputs.clear();
    // The list is the host's own: read it directly rather than through its interface.
    const int32 count = outputChanges.getParameterCount();
    for (int32 i = 0; i < count; ++i)
    {
        const ParameterValueQueue& queue = *outputChanges.queueAt(i); // i is within the list
        ParamValue value = 0.0;
        if (!queue.lastValue(value))
            continue;
        const ParamID id = queue.id();
        outputs.push_back({id, value});
        // Meter values reach the controller the way a host's UI thread passes them on: a value
        // the controller has been given already is not given again.
        if (id < passedOn.size())
        {
            if (passedOn[id] == value)
                continue;
            passedOn[id] = value;
        }
        controller->setParamNormalized(id, value);
    }
}

void Vst3Plugin::process(const AudioBlock& block, std::vector<OutputValue>& outputs)
{
    const int n = block.numSamples;
    // Only the pointers to the block's audio change from block to block. (Before start there
    // are no buses: the call only flushes parameters.)
    if (!inputBuses.empty())
    {
        float** mainInputs = inputBuses[0].pointers.data();
        for (int c = 0; c < inputBuses[0].channels; ++c)
            mainInputs[c] = const_cast<float*>(block.input[c]);
    }
    if (sideChainActive)
    {
        float** key = inputBuses[1].pointers.data();
        for (int c = 0; c < inputBuses[1].channels; ++c)
            key[c] = const_cast<float*>(block.sideChain[c]);
    }
    // Refilled every block: nothing stops a plug-in from writing to its inputs.
    for (float* channel : silentChannels)
        std::fill_n(channel, n, 0.0f);
    if (!outputBuses.empty())
    {
        float** mainOutputs = outputBuses[0].pointers.data();
        for (int c = 0; c < outputBuses[0].channels; ++c)
            mainOutputs[c] = block.output[c];
    }
    // Described afresh every block: a plug-in may have changed what it was given.
    std::copy(describedInputs.begin(), describedInputs.end(), inputBuffers.begin());
    std::copy(describedOutputs.begin(), describedOutputs.end(), outputBuffers.begin());
    runProcess(n, static_cast<int>(inputBuffers.size()), static_cast<int>(outputBuffers.size()));
    collectOutputChanges(outputs);
}

void Vst3Plugin::flushParameters()
{
    if (pending.empty())
        return;
    runProcess(0, 0, 0);
}

void Vst3Plugin::stop()
{
    if (processing)
        processor->setProcessing(false);
    processing = false;
    if (active)
        component->setActive(false);
    active = false;
}

} // namespace Quorvane
