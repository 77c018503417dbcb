// The real-time part of the processor: runs on the host's audio thread, never allocates,
// locks or prints.
#include "again.h"

#include "paramids.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane
{

namespace
{

// −76 dB maps to 0 and 0 dB to 1. The host takes normalized values only, so levels outside that
// range (silence among them) are reported at the nearer end.
float meterScale(float linear)
{
    const float m = std::log10(linear) * 20.0f / 76.0f + 1.0f;
    return m > 0.0f ? std::min(m, 1.0f) : 0.0f; // also takes −infinity and NaN to 0
}

void reportMeter(IParameterChanges* changes, ParamID id, float value)
{
    int32 index = 0;
    if (IParamValueQueue* queue = changes->addParameterData(id, index))
        queue->addPoint(0, ParamValue(value), index);
}

bool hasChannels(const AudioBusBuffers& bus, int count)
{
    if (!bus.channelBuffers32 || bus.numChannels < count)
        return false;
    for (int c = 0; c < count; ++c)
        if (!bus.channelBuffers32[c])
            return false;
    return true;
}

} // namespace

tresult PLUGIN_API again::process(ProcessData& data)
{
    // Before initialize and after terminate there are no buses, and nothing to process with.
    if (!mainOutputBus)
        return kNotInitialized;
    // Only 32-bit set-ups are accepted: other buffers are not even looked at.
    if (data.symbolicSampleSize != kSample32)
        return kInvalidArgument;
    if (!active.load(std::memory_order_relaxed))
        processedInactive.store(true, std::memory_order_relaxed);
    bool mirrorChanged = takePendingState();
    if (data.inputParameterChanges && applyParameterChanges(data.inputParameterChanges))
        mirrorChanged = true;
    // The last published mirror stays good until something in it changes.
    if (mirrorChanged)
        publishMirror();

    // A call without audio only flushes parameters.
    if (data.numInputs == 0 || data.numOutputs == 0 || !data.inputs || !data.outputs)
        return kResultOk;

    bool sideChainBlock = sideChainBus && sideChainBus->isActive();
    if (sideChainBlock)
    {
        // An active aux bus without buffers is treated as a block without side chain.
        sideChainBlock = data.numInputs >= 2 && data.inputs[1].numChannels > 0 &&
                         hasChannels(data.inputs[1], data.inputs[1].numChannels);
    }

    data.outputs[0].silenceFlags = 0;
    runEngine(data, sideChainBlock);

    if (data.outputParameterChanges)
        reportMeters(data.outputParameterChanges, sideChainBlock);
    return kResultOk;
}

// Tells whether there was any change to apply.
bool again::applyParameterChanges(IParameterChanges* changes)
{
    const int32 count = changes->getParameterCount();
    for (int32 i = 0; i < count; ++i)
    {
        IParamValueQueue* queue = changes->getParameterData(i);
        if (!queue)
            continue;
        const int32 points = queue->getPointCount();
        const ParamID id = queue->getParameterId();
        // A queue without points (or claiming fewer than none) has no last point to ask for.
        if (id > kNoteTruncationId || points < 1)
            continue;
        int32 sampleOffset = 0;
        ParamValue value = 0;
        if (queue->getPoint(points - 1, sampleOffset, value) != kResultOk)
            continue;
        // A switch is decided on the host's own value: one just above 0.5 may round to 0.5
        // in single precision.
        if (isSwitchParam(id))
            applySwitch(id, value);
        else
            applyParameter(id, float(value));
    }
    return count > 0;
}

void again::runEngine(ProcessData& data, bool sideChainBlock)
{
    const int numSamples = std::max(data.numSamples, 0);
    AudioBusBuffers& in = data.inputs[0];
    AudioBusBuffers& out = data.outputs[0];
    float** sideChain = sideChainBlock ? data.inputs[1].channelBuffers32 : nullptr;
    const int sideChainCount = sideChainBlock ? data.inputs[1].numChannels : 0;

    if (hasChannels(in, inputChannels) && hasChannels(out, outputChannels))
    {
        if (sideChainBlock)
            engine.processBlockSideChain(sideChain, in.channelBuffers32, out.channelBuffers32,
                                         sideChainCount, numSamples);
        else
            engine.processBlock(in.channelBuffers32, out.channelBuffers32, numSamples);
        return;
    }

    // The host passed fewer channels than it agreed to: process what exists, feed silence for
    // missing inputs and discard the output of missing channels, in pieces the scratch holds.
    const int step = scratch.frames();
    for (int offset = 0; offset < numSamples || offset == 0; offset += step)
    {
        const int count = std::min(step, numSamples - offset);
        scratch.map(in.channelBuffers32, in.channelBuffers32 ? in.numChannels : 0,
                    out.channelBuffers32, out.channelBuffers32 ? out.numChannels : 0, offset);
        float* keys[64];
        float** key = nullptr;
        if (sideChainBlock)
        {
            const int n = std::min(sideChainCount, 64);
            for (int c = 0; c < n; ++c)
                keys[c] = sideChain[c] + offset;
            key = keys;
        }
        if (key)
            engine.processBlockSideChain(key, scratch.inputs(), scratch.outputs(),
                                         std::min(sideChainCount, 64), count);
        else
            engine.processBlock(scratch.inputs(), scratch.outputs(), count);
        if (numSamples == 0)
            break;
    }
}

float again::scaledMeter(int meter, float level)
{
    uint32_t bits;
    std::memcpy(&bits, &level, sizeof(bits));
    MeterReading& reading = meterReadings[meter];
    if (bits != reading.levelBits)
        reading = {bits, meterScale(level)};
    return reading.scaled;
}

void again::reportMeters(IParameterChanges* changes, bool sideChainBlock)
{
    reportMeter(changes, kMaxVuId, scaledMeter(0, engine.maxVu()));
    reportMeter(changes, kMinVuId, scaledMeter(1, engine.minVu()));
    reportMeter(changes, kMaxGateId, scaledMeter(2, engine.maxGate()));
    reportMeter(changes, kMinGateId, scaledMeter(3, engine.minGate()));
    reportMeter(changes, kSideChainMonitorId, sideChainBlock ? 1.0f : 0.0f);
}

// Applies a state that setState handed over while the processor was active; tells whether
// there was one.
bool again::takePendingState()
{
    if (!pendingState.take())
        return false;
    const ParamMirror& state = pendingState.front();
    mirror = state;
    pushMirrorToEngine();
    return true;
}

// Makes the mirror visible to getState. The generation is acknowledged only after the mirror
// that contains it has been published, so getState never falls back to an older copy.
void again::publishMirror()
{
    currentState.back() = mirror;
    currentState.publish();
    appliedGeneration.store(mirror.generation, std::memory_order_release);
}

} // namespace Quorvane
