// A fuzzed processing session: the set-up a host chose and the blocks it then sends, with their
// parameter queues, channel buffers and sample data, decoded from the fuzzer's bytes.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class FuzzedDataProvider;

namespace Quorvane::Fuzz
{

// A parameter queue as a careless host might hand it over: any ID, a declared point count that
// need not match the points it holds, and any values. Points outside those held are refused.
class FuzzedQueue final : public Steinberg::Vst::IParamValueQueue
{
public:
    Steinberg::Vst::ParamID id = 0;
    Steinberg::int32 declaredPoints = 0;
    std::vector<Steinberg::int32> offsets;
    std::vector<Steinberg::Vst::ParamValue> values;

    Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return id; }
    Steinberg::int32 PLUGIN_API getPointCount() override { return declaredPoints; }
    Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                           Steinberg::Vst::ParamValue& value) override;
    Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32, Steinberg::Vst::ParamValue,
                                           Steinberg::int32&) override
    {
        return Steinberg::kResultFalse;
    }
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override
    {
        *obj = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }
};

// The changes of one block; a queue slot may be empty (getParameterData gives null).
class FuzzedChanges final : public Steinberg::Vst::IParameterChanges
{
public:
    std::vector<FuzzedQueue> queues;
    std::vector<bool> missing;

    Steinberg::int32 PLUGIN_API getParameterCount() override
    {
        return Steinberg::int32(queues.size());
    }
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID&,
                                                                  Steinberg::int32& index) override
    {
        index = -1;
        return nullptr;
    }
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override
    {
        *obj = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }
};

struct FuzzedBlock
{
    int numSamples = 0;
    int inputChannels = 0;     // channels supplied on the main input
    int outputChannels = 0;    // channels supplied on the output
    int sideChannels = 0;      // channels supplied on the side chain
    bool sideChainBus = false; // numInputs is 2
    bool nullInputs = false;   // the main input's channel array is null
    bool nullOutputs = false;
    bool inPlace = false;  // output channels share the input's buffers where both exist
    int outputChanges = 0; // 0: no output list, 1: a full list, 2: room for the meters
    FuzzedChanges changes;

    // Per channel (main inputs first, then the side chain), exactly numSamples samples.
    std::vector<std::vector<float>> samples;
    bool finiteInput = true; // every sample of every supplied channel is finite
};

struct FuzzedSession
{
    double sampleRate = 44100.0;
    int maxBlock = 512;
    int inputArrangementChannels = 2;
    int outputArrangementChannels = 2;
    bool arrangementCall = false; // setBusArrangements is called at all
    bool bogusArrangementFirst = false;
    bool auxActive = false;
    std::vector<FuzzedBlock> blocks;

    static FuzzedSession decode(FuzzedDataProvider& input);
};

} // namespace Quorvane::Fuzz
