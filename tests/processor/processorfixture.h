// A processor driven the way a host drives it: host context, peer, buses, set-up, activation and
// process calls with real parameter-change objects.
#pragma once

#include "again.h"
#include "paramids.h"

#include "base/source/fstring.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace QuorvaneTest
{

// Records the texts of the messages the processor sends to its peer.
class RecordingPeer : public Steinberg::Vst::IConnectionPoint
{
public:
    std::vector<std::string> texts;

    Steinberg::tresult PLUGIN_API connect(Steinberg::Vst::IConnectionPoint*) override
    {
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API disconnect(Steinberg::Vst::IConnectionPoint*) override
    {
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API notify(Steinberg::Vst::IMessage* message) override
    {
        Steinberg::Vst::TChar text[256] = {};
        if (message->getAttributes()->getString("Text", text, sizeof(text)) == Steinberg::kResultOk)
        {
            Steinberg::String s(text);
            s.toMultiByte(Steinberg::kCP_Utf8);
            texts.push_back(s.text8());
        }
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override
    {
        *obj = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }
};

// Audio buffers for one block: main input, output and side chain.
struct BlockBuffers
{
    BlockBuffers(int inputs, int outputs, int sideChain, int frames)
        : in(size_t(inputs), std::vector<float>(size_t(frames), 0.f)),
          out(size_t(outputs), std::vector<float>(size_t(frames), 0.f)),
          side(size_t(sideChain), std::vector<float>(size_t(frames), 0.f))
    {
        for (auto& c : in)
            inPtrs.push_back(c.data());
        for (auto& c : out)
            outPtrs.push_back(c.data());
        for (auto& c : side)
            sidePtrs.push_back(c.data());
        buses[0].numChannels = inputs;
        buses[0].channelBuffers32 = inPtrs.data();
        buses[1].numChannels = sideChain;
        buses[1].channelBuffers32 = sideChain ? sidePtrs.data() : nullptr;
        outBus.numChannels = outputs;
        outBus.channelBuffers32 = outPtrs.data();
    }
    void fillInput(float v)
    {
        for (auto& c : in)
            std::fill(c.begin(), c.end(), v);
    }
    // A process call's data over these buffers (with numInputs 2, the side chain too).
    Steinberg::Vst::ProcessData processData(int frames, int numInputs = 1,
                                            Steinberg::Vst::IParameterChanges* changes = nullptr,
                                            Steinberg::Vst::IParameterChanges* outChanges = nullptr)
    {
        Steinberg::Vst::ProcessData data;
        data.numSamples = frames;
        data.numInputs = numInputs;
        data.numOutputs = 1;
        data.inputs = buses;
        data.outputs = &outBus;
        data.inputParameterChanges = changes;
        data.outputParameterChanges = outChanges;
        return data;
    }

    std::vector<std::vector<float>> in, out, side;
    std::vector<float*> inPtrs, outPtrs, sidePtrs;
    Steinberg::Vst::AudioBusBuffers buses[2];
    Steinberg::Vst::AudioBusBuffers outBus;
};

// The name of an audio bus, or "<none>".
inline std::string busName(Steinberg::Vst::IComponent* c, Steinberg::Vst::BusDirection dir,
                           Steinberg::int32 index)
{
    Steinberg::Vst::BusInfo info{};
    if (c->getBusInfo(Steinberg::Vst::kAudio, dir, index, info) != Steinberg::kResultOk)
        return "<none>";
    char name[128];
    Steinberg::UString(info.name, 128).toAscii(name, 128);
    return name;
}

class ProcessorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        processor = new Quorvane::again;
        ASSERT_EQ(processor->initialize(&host), Steinberg::kResultOk);
        processor->connect(&peer);
    }
    void TearDown() override
    {
        processor->disconnect(&peer);
        processor->terminate();
        processor->release();
    }

    Steinberg::tresult setup(double rate, int maxBlock = 512,
                             Steinberg::int32 sampleSize = Steinberg::Vst::kSample32)
    {
        Steinberg::Vst::ProcessSetup s{Steinberg::Vst::kRealtime, sampleSize, maxBlock, rate};
        return processor->setupProcessing(s);
    }

    // Runs one block; `changes` may be null. Output parameter changes land in `outChanges`.
    Steinberg::tresult run(BlockBuffers& b, int frames,
                           Steinberg::Vst::IParameterChanges* changes = nullptr, int numInputs = 1)
    {
        outChanges.clearQueue();
        Steinberg::Vst::ProcessData data = b.processData(frames, numInputs, changes, &outChanges);
        return processor->process(data);
    }

    // The single point the processor reported for an output parameter, or NaN if none.
    double outputValue(Steinberg::Vst::ParamID id)
    {
        for (Steinberg::int32 i = 0; i < outChanges.getParameterCount(); ++i)
        {
            auto* q = outChanges.getParameterData(i);
            Steinberg::int32 offset;
            Steinberg::Vst::ParamValue v;
            if (q && q->getParameterId() == id && q->getPointCount() == 1 &&
                q->getPoint(0, offset, v) == Steinberg::kResultOk)
                return v;
        }
        return std::nan("");
    }

    Steinberg::Vst::HostApplication host;
    RecordingPeer peer;
    Quorvane::again* processor = nullptr;
    Steinberg::Vst::ParameterChanges outChanges{8, 4};
};

} // namespace QuorvaneTest
