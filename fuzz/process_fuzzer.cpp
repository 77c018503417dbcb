// process driven by a fuzzed host: sample rates, block sizes from 0 to 8192, bus arrangements,
// the side chain on and off, channel buffers that differ from what was agreed, parameter queues
// with any IDs, point counts and values, and sample data with NaN, infinities and denormals.
//
// After every block whose input was finite, every output sample must be finite, however much
// NaN went through before; the meters the processor reports must be numbers; the state read back
// afterwards is 68 bytes.
#include "fuzzcheck.h"
#include "fuzzplugin.h"
#include "processfuzzinput.h"

#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Quorvane::Fuzz;

namespace
{

SpeakerArrangement arrangementOf(int channels)
{
    return channels >= 64 ? ~SpeakerArrangement(0) : (SpeakerArrangement(1) << channels) - 1;
}

int agreedChannels(Quorvane::again& processor, BusDirection direction)
{
    SpeakerArrangement arrangement = 0;
    check(processor.getBusArrangement(direction, 0, arrangement) == kResultOk,
          "main bus has no arrangement");
    return SpeakerArr::getChannelCount(arrangement);
}

void checkMeters(ParameterChanges& meters)
{
    for (int32 i = 0; i < meters.getParameterCount(); ++i)
    {
        IParamValueQueue* queue = meters.getParameterData(i);
        for (int32 p = 0; queue && p < queue->getPointCount(); ++p)
        {
            int32 offset = 0;
            ParamValue value = 0;
            queue->getPoint(p, offset, value);
            check(!std::isnan(value), "a meter reported NaN");
        }
    }
}

void runBlock(Quorvane::again& processor, FuzzedBlock& block, int agreedOutputs)
{
    std::vector<float*> inPtrs, sidePtrs, outPtrs;
    for (int c = 0; c < block.inputChannels; ++c)
        inPtrs.push_back(block.samples[size_t(c)].data());
    for (int c = 0; c < block.sideChannels; ++c)
        sidePtrs.push_back(block.samples[size_t(block.inputChannels + c)].data());

    // Output channels the processor agreed to must be written over the whole block: they start
    // out as NaN. Extra ones are the host's and start silent.
    std::vector<std::vector<float>> outputs;
    outputs.reserve(size_t(block.outputChannels));
    for (int c = 0; c < block.outputChannels; ++c)
    {
        if (block.inPlace && c < block.inputChannels && !block.nullInputs)
        {
            outPtrs.push_back(inPtrs[size_t(c)]);
            continue;
        }
        const float start = c < agreedOutputs ? std::numeric_limits<float>::quiet_NaN() : 0.f;
        outputs.emplace_back(size_t(block.numSamples), start);
        outPtrs.push_back(outputs.back().data());
    }

    AudioBusBuffers inputBuses[2];
    inputBuses[0].numChannels = block.inputChannels;
    inputBuses[0].channelBuffers32 = block.nullInputs ? nullptr : inPtrs.data();
    inputBuses[1].numChannels = block.sideChannels;
    inputBuses[1].channelBuffers32 = sidePtrs.empty() ? nullptr : sidePtrs.data();
    AudioBusBuffers outputBus;
    outputBus.numChannels = block.outputChannels;
    outputBus.channelBuffers32 = block.nullOutputs ? nullptr : outPtrs.data();

    ParameterChanges fullList(0);
    ParameterChanges meters(8, 4);

    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numSamples = block.numSamples;
    data.numInputs = block.sideChainBus ? 2 : 1;
    data.numOutputs = 1;
    data.inputs = inputBuses;
    data.outputs = &outputBus;
    data.inputParameterChanges = &block.changes;
    data.outputParameterChanges = block.outputChanges == 0   ? nullptr
                                  : block.outputChanges == 1 ? &fullList
                                                             : &meters;
    check(processor.process(data) == kResultOk, "process failed");

    if (block.finiteInput && !block.nullOutputs)
        check(allFinite(outPtrs.data(), block.outputChannels, block.numSamples),
              "non-finite output for finite input");
    checkMeters(meters);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    FuzzedSession session = FuzzedSession::decode(input);

    ProcessorHandle processor;
    if (session.bogusArrangementFirst)
    {
        SpeakerArrangement none = 0;
        processor->setBusArrangements(&none, 1, &none, 1);
        processor->setBusArrangements(nullptr, 0, nullptr, 0);
    }
    if (session.arrangementCall)
    {
        SpeakerArrangement in = arrangementOf(session.inputArrangementChannels);
        SpeakerArrangement out = arrangementOf(session.outputArrangementChannels);
        processor->setBusArrangements(&in, 1, &out, 1);
    }
    ProcessSetup setup{kRealtime, kSample32, session.maxBlock, session.sampleRate};
    check(processor->setupProcessing(setup) == kResultOk, "setupProcessing refused a valid set-up");
    processor->activateBus(kAudio, kInput, 1, session.auxActive);
    const int agreedOutputs = agreedChannels(*processor, kOutput);
    processor->setActive(true);
    processor->setProcessing(true);

    for (FuzzedBlock& block : session.blocks)
        runBlock(*processor, block, agreedOutputs);

    processor->setProcessing(false);
    processor->setActive(false);
    checkProcessorState(*processor);
    return 0;
}
