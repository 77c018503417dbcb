#include "fuzzplugin.h"

#include "fuzzcheck.h"
#include "paramids.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane::Fuzz
{

namespace
{

HostApplication& hostContext()
{
    static HostApplication* host = new HostApplication;
    return *host;
}

} // namespace

ProcessorHandle::ProcessorHandle() : processor(new again)
{
    check(processor->initialize(&hostContext()) == kResultOk, "processor initialize failed");
}

ProcessorHandle::~ProcessorHandle()
{
    processor->terminate();
    processor->release();
}

ControllerHandle::ControllerHandle() : controller(new againController)
{
    check(controller->initialize(&hostContext()) == kResultOk, "controller initialize failed");
}

ControllerHandle::~ControllerHandle()
{
    controller->terminate();
    controller->release();
}

std::vector<uint8_t> processorState(again& processor)
{
    SinkStream sink;
    check(processor.getState(&sink) == kResultOk, "processor getState failed");
    return sink.bytes;
}

std::vector<uint8_t> controllerState(againController& controller)
{
    SinkStream sink;
    check(controller.getState(&sink) == kResultOk, "controller getState failed");
    return sink.bytes;
}

void checkProcessorState(again& processor)
{
    const std::vector<uint8_t> first = processorState(processor);
    check(int64_t(first.size()) == kProcessorStateSize, "processor state is not 68 bytes");
    BoundedStream again(first.data(), first.size());
    check(processor.setState(&again) == kResultOk, "processor refused its own state");
    check(processorState(processor) == first, "processor state changed on a round trip");
}

void checkControllerState(againController& controller)
{
    const std::vector<uint8_t> first = controllerState(controller);
    check(int64_t(first.size()) == kControllerStateSize, "controller state is not 257 bytes");
    BoundedStream again(first.data(), first.size());
    check(controller.setState(&again) == kResultOk, "controller refused its own state");
    check(controllerState(controller) == first, "controller state changed on a round trip");

    for (ParamID id = 0; id < kNumParams; ++id)
    {
        const ParamValue v = controller.getParamNormalized(id);
        check(std::isfinite(v) && v >= 0.0 && v <= 1.0, "parameter value outside 0..1");
    }
}

void checkRendersFinite(again& processor)
{
    constexpr int kFrames = 256;
    ProcessSetup setup{kRealtime, kSample32, kFrames, 48000.0};
    check(processor.setupProcessing(setup) == kResultOk, "setupProcessing failed");
    processor.activateBus(kAudio, kInput, 1, true);
    processor.setActive(true);
    processor.setProcessing(true);

    static float in[2][kFrames], side[2][kFrames], out[2][kFrames];
    float* inPtr[2] = {in[0], in[1]};
    float* sidePtr[2] = {side[0], side[1]};
    float* outPtr[2] = {out[0], out[1]};
    AudioBusBuffers inputs[2];
    inputs[0].numChannels = 2;
    inputs[0].channelBuffers32 = inPtr;
    inputs[1].numChannels = 2;
    inputs[1].channelBuffers32 = sidePtr;
    AudioBusBuffers outputs;
    outputs.numChannels = 2;
    outputs.channelBuffers32 = outPtr;
    ParameterChanges meters(8, 4);

    uint32_t noise = 12345;
    for (int block = 0; block < 4; ++block)
    {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < kFrames; ++i)
            {
                noise = noise * 1664525u + 1013904223u;
                in[c][i] = float(int32_t(noise)) / 2147483648.0f;
                side[c][i] = in[c][i] * 0.5f;
            }
        meters.clearQueue();
        ProcessData data;
        data.processMode = kRealtime;
        data.symbolicSampleSize = kSample32;
        data.numSamples = kFrames;
        data.numInputs = block < 2 ? 1 : 2;
        data.numOutputs = 1;
        data.inputs = inputs;
        data.outputs = &outputs;
        data.outputParameterChanges = &meters;
        check(processor.process(data) == kResultOk, "process failed");
        check(allFinite(outPtr, 2, kFrames), "non-finite output for finite input");
    }

    processor.setProcessing(false);
    processor.setActive(false);
    processor.activateBus(kAudio, kInput, 1, false);
}

} // namespace Quorvane::Fuzz
