#include "processfuzzinput.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane::Fuzz
{

namespace
{

constexpr int kMaxChannels = 8;
constexpr int kMaxBlocks = 6;
constexpr int kFrameBudget = 8192; // frames per session, to keep each input quick

const double kSampleRates[] = {8000,  11025, 22050,  32000,  44100, 48000,
                               88200, 96000, 176400, 192000, 384000};

double fuzzedValue(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 7))
    {
    case 0:
        return std::numeric_limits<double>::quiet_NaN();
    case 1:
        return std::numeric_limits<double>::infinity();
    case 2:
        return -std::numeric_limits<double>::infinity();
    case 3:
        return input.ConsumeFloatingPointInRange(-1e300, 1e300);
    case 4:
        return input.ConsumeBool() ? 0.0 : 1.0;
    case 5:
        return std::numeric_limits<double>::denorm_min();
    default:
        return input.ConsumeProbability<double>();
    }
}

// A sample as a host might deliver it; finite ones stay within ±10000 (80 dB over full scale).
float fuzzedSample(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 9))
    {
    case 0:
        return std::numeric_limits<float>::quiet_NaN();
    case 1:
        return std::numeric_limits<float>::infinity();
    case 2:
        return -std::numeric_limits<float>::infinity();
    case 3:
        return std::numeric_limits<float>::denorm_min() * float(input.ConsumeIntegral<uint16_t>());
    case 4:
        return -std::numeric_limits<float>::min();
    case 5:
        return input.ConsumeFloatingPointInRange(-10000.f, 10000.f);
    case 6:
        return 0.f;
    default:
        return input.ConsumeFloatingPointInRange(-1.f, 1.f);
    }
}

void decodeChanges(FuzzedDataProvider& input, FuzzedChanges& changes)
{
    const int count = input.ConsumeIntegralInRange(0, 6);
    changes.queues.resize(size_t(count));
    changes.missing.assign(size_t(count), false);
    for (int q = 0; q < count; ++q)
    {
        FuzzedQueue& queue = changes.queues[size_t(q)];
        changes.missing[size_t(q)] = input.ConsumeIntegralInRange(0, 15) == 0;
        queue.id = input.ConsumeBool() ? input.ConsumeIntegralInRange<ParamID>(0, 23)
                                       : input.ConsumeIntegral<ParamID>();
        const int held = input.ConsumeIntegralInRange(0, 4);
        for (int p = 0; p < held; ++p)
        {
            queue.offsets.push_back(input.ConsumeIntegralInRange<int32>(-2, 9000));
            queue.values.push_back(fuzzedValue(input));
        }
        // Usually honest; sometimes more or fewer points than the queue holds, or a negative count.
        switch (input.ConsumeIntegralInRange(0, 3))
        {
        case 0:
            queue.declaredPoints = input.ConsumeIntegralInRange<int32>(-3, 40);
            break;
        case 1:
            queue.declaredPoints = input.ConsumeIntegral<int32>();
            break;
        default:
            queue.declaredPoints = held;
            break;
        }
    }
}

void decodeSamples(FuzzedDataProvider& input, FuzzedBlock& block)
{
    const int channels = block.inputChannels + block.sideChannels;
    block.samples.assign(size_t(channels), std::vector<float>(size_t(block.numSamples), 0.f));
    // A short pattern repeated over the block, one phase per channel.
    float pattern[16];
    const int length = input.ConsumeIntegralInRange(1, 16);
    for (int i = 0; i < length; ++i)
        pattern[i] = fuzzedSample(input);
    for (int c = 0; c < channels; ++c)
    {
        const int stride = input.ConsumeIntegralInRange(1, 5);
        for (int i = 0; i < block.numSamples; ++i)
        {
            const float v = pattern[(i * stride + c) % length];
            block.samples[size_t(c)][size_t(i)] = v;
            block.finiteInput = block.finiteInput && std::isfinite(v);
        }
    }
}

} // namespace

tresult PLUGIN_API FuzzedQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || size_t(index) >= values.size())
        return kInvalidArgument;
    sampleOffset = offsets[size_t(index)];
    value = values[size_t(index)];
    return kResultOk;
}

IParamValueQueue* PLUGIN_API FuzzedChanges::getParameterData(int32 index)
{
    if (index < 0 || size_t(index) >= queues.size() || missing[size_t(index)])
        return nullptr;
    return &queues[size_t(index)];
}

FuzzedSession FuzzedSession::decode(FuzzedDataProvider& input)
{
    FuzzedSession session;
    session.sampleRate = input.ConsumeBool() ? input.PickValueInArray(kSampleRates)
                                             : input.ConsumeFloatingPointInRange(8000.0, 384000.0);
    // Short blocks most of the time; the full range up to 8192 otherwise.
    session.maxBlock = input.ConsumeIntegralInRange(1, input.ConsumeBool() ? 512 : 8192);
    session.arrangementCall = input.ConsumeBool();
    session.bogusArrangementFirst = input.ConsumeBool();
    session.inputArrangementChannels = input.ConsumeIntegralInRange(1, kMaxChannels);
    session.outputArrangementChannels = input.ConsumeIntegralInRange(1, kMaxChannels);
    session.auxActive = input.ConsumeBool();

    const int inChannels = session.arrangementCall ? session.inputArrangementChannels : 2;
    const int outChannels = session.arrangementCall ? session.outputArrangementChannels : 2;
    int budget = kFrameBudget;
    const int blocks = input.ConsumeIntegralInRange(1, kMaxBlocks);
    for (int b = 0; b < blocks && input.remaining_bytes() > 0; ++b)
    {
        FuzzedBlock block;
        const int longest = std::min(session.maxBlock, budget);
        const bool longBlock = input.ConsumeIntegralInRange(0, 7) == 0;
        block.numSamples =
            input.ConsumeIntegralInRange(0, longBlock ? longest : std::min(longest, 64));
        budget -= block.numSamples;
        // Mostly what was agreed; sometimes fewer or more channels.
        const bool agreed = input.ConsumeIntegralInRange(0, 3) != 0;
        block.inputChannels = agreed ? inChannels : input.ConsumeIntegralInRange(0, kMaxChannels);
        block.outputChannels = agreed ? outChannels : input.ConsumeIntegralInRange(0, kMaxChannels);
        block.sideChainBus = input.ConsumeBool();
        block.sideChannels = block.sideChainBus ? input.ConsumeIntegralInRange(0, kMaxChannels) : 0;
        block.nullInputs = input.ConsumeIntegralInRange(0, 15) == 0;
        block.nullOutputs = input.ConsumeIntegralInRange(0, 15) == 0;
        block.inPlace = input.ConsumeBool();
        block.outputChanges = input.ConsumeIntegralInRange(0, 2);
        decodeChanges(input, block.changes);
        decodeSamples(input, block);
        session.blocks.push_back(std::move(block));
    }
    return session;
}

} // namespace Quorvane::Fuzz
