// The VST 3 plug-in under the threads hosts use, through the built library as a host loads it:
// the audio thread processes without pause; the user-interface thread opens, runs and closes
// editors in a real X window and hands the processor's meter readings to the controller once per
// frame; a worker loads states into the processor and the controller (a project loading) while
// another saves them (an autosave). Under ThreadSanitizer any access of an editor from another
// thread than the user interface's, and any state call not kept apart from another, is a race.
#include "pluginlibrary.h"
#include "teststreams.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <gtest/gtest.h>
// Xlib's macros clash with names in the headers above: include it last.
#include "hostwindow.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using QuorvaneTest::ByteStream;

namespace {

constexpr auto kDuration = std::chrono::milliseconds(3000);
constexpr int kFrames = 256;
constexpr int kStates = 8;
constexpr ParamID kFirstMeter = 17;
constexpr int kMeters = 5;

using Bytes = std::vector<unsigned char>;

// Processor states that differ in every field, and controller states that name them.
Bytes processorState(int s)
{
    Bytes bytes;
    bytes.reserve(68);
    for (int i = 0; i < 5; ++i)
        QuorvaneTest::appendInt32(bytes, (s + i) % 2);
    for (int i = 0; i < 12; ++i)
        QuorvaneTest::appendFloat(bytes, float(s * 12 + i + 1) / float(kStates * 12 + 1));
    return bytes;
}

Bytes controllerState(int s)
{
    Bytes bytes(257, 0);
    const std::string text = "state " + std::to_string(s);
    for (size_t i = 0; i < text.size(); ++i)
        bytes[1 + 2 * i] = static_cast<unsigned char>(text[i]);
    return bytes;
}

template <typename Object> Bytes stateOf(Object* object)
{
    ByteStream stream;
    return object->getState(&stream) == kResultOk ? stream.data : Bytes();
}

// The processor and the controller made and connected as a host makes them.
struct Plugin
{
    Plugin()
    {
        if (!library.loaded() || !library.enter())
            return;
        auto getFactory = library.function<IPluginFactory* (*)()>("GetPluginFactory");
        IPluginFactory* factory = getFactory ? getFactory() : nullptr;
        if (!factory)
            return;
        for (int32 i = 0; i < factory->countClasses(); ++i)
        {
            PClassInfo info {};
            factory->getClassInfo(i, &info);
            if (std::strcmp(info.category, kVstAudioEffectClass) == 0)
                factory->createInstance(info.cid, IComponent::iid, reinterpret_cast<void**>(&component));
            else if (std::strcmp(info.category, kVstComponentControllerClass) == 0)
                factory->createInstance(info.cid, IEditController::iid, reinterpret_cast<void**>(&controller));
        }
        factory->release();
        if (!component || !controller || component->initialize(&host) != kResultOk ||
            controller->initialize(&host) != kResultOk)
            return;
        component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor));
        FUnknownPtr<IConnectionPoint> a(component), b(controller);
        a->connect(b);
        b->connect(a);
        ByteStream state(stateOf(component));
        controller->setComponentState(&state);
    }
    ~Plugin()
    {
        if (processor)
        {
            FUnknownPtr<IConnectionPoint> a(component), b(controller);
            a->disconnect(b);
            b->disconnect(a);
            processor->release();
        }
        for (IPluginBase* object : {static_cast<IPluginBase*>(controller), static_cast<IPluginBase*>(component)})
            if (object)
            {
                object->terminate();
                object->release();
            }
        library.leave();
    }
    bool ready() const { return processor != nullptr; }

    QuorvaneTest::PluginLibrary library {QUORVANE_BUNDLE_SO};
    HostApplication host;
    IComponent* component = nullptr;
    IAudioProcessor* processor = nullptr;
    IEditController* controller = nullptr;
};

TEST(Vst3Stress, AudioEditorsStatesAndAutosavesOnTheThreadsHostsUse)
{
    Plugin plugin;
    ASSERT_TRUE(plugin.ready()) << plugin.library.error();
    IComponent* component = plugin.component;
    IEditController* controller = plugin.controller;
    ProcessSetup setup {kRealtime, kSample32, kFrames, 48000.0};
    ASSERT_EQ(plugin.processor->setupProcessing(setup), kResultOk);
    component->activateBus(kAudio, kInput, 1, true);
    ASSERT_EQ(component->setActive(true), kResultOk);
    plugin.processor->setProcessing(true);

    std::vector<Bytes> processorStates {stateOf(component)}, controllerStates {stateOf(controller)};
    for (int s = 0; s < kStates; ++s)
    {
        processorStates.push_back(processorState(s));
        controllerStates.push_back(controllerState(s));
    }
    auto known = [](const std::vector<Bytes>& list, const Bytes& bytes) {
        return std::find(list.begin(), list.end(), bytes) != list.end();
    };

    std::atomic<bool> stop {false};
    std::atomic<long> blocks {0}, loads {0}, saves {0};
    std::atomic<float> meters[kMeters] = {};
    std::string loadFailure, saveFailure;

    std::thread audio([&] {
        std::vector<float> buffers[5];
        float* channels[5];
        for (int c = 0; c < 5; ++c)
        {
            buffers[c].assign(kFrames, c < 4 ? 0.3f : 0.f);
            channels[c] = buffers[c].data();
        }
        AudioBusBuffers inputs[2], output;
        inputs[0].numChannels = inputs[1].numChannels = output.numChannels = 2;
        inputs[0].channelBuffers32 = channels;
        inputs[1].channelBuffers32 = channels + 2;
        output.channelBuffers32 = channels + 3;   // the side chain's second channel is read first
        ParameterChanges outputs(8, 4);
        ProcessData data;
        data.processMode = kRealtime;
        data.symbolicSampleSize = kSample32;
        data.numSamples = kFrames;
        data.numInputs = 2;
        data.numOutputs = 1;
        data.inputs = inputs;
        data.outputs = &output;
        data.outputParameterChanges = &outputs;
        for (long n = 0; !stop.load(std::memory_order_relaxed); ++n)
        {
            for (int c = 0; c < 3; ++c)
                std::fill(buffers[c].begin(), buffers[c].end(), n % 50 < 25 ? 0.3f : 0.f);
            outputs.clearQueue();
            plugin.processor->process(data);
            for (int32 i = 0; i < outputs.getParameterCount(); ++i)
            {
                IParamValueQueue* queue = outputs.getParameterData(i);
                int32 offset = 0;
                ParamValue value = 0.;
                const ParamID id = queue->getParameterId();
                if (id >= kFirstMeter && id < kFirstMeter + kMeters &&
                    queue->getPoint(queue->getPointCount() - 1, offset, value) == kResultOk)
                    meters[id - kFirstMeter].store(float(value), std::memory_order_relaxed);
            }
            blocks.store(n + 1, std::memory_order_relaxed);
        }
    });
    std::thread loader([&] {
        for (long s = 0; !stop.load(std::memory_order_relaxed); ++s)
        {
            const size_t which = size_t(1 + s % kStates);
            ByteStream processorLoad(processorStates[which]), componentLoad(processorStates[which]),
                controllerLoad(controllerStates[which]);
            component->setState(&processorLoad);
            controller->setComponentState(&componentLoad);
            controller->setState(&controllerLoad);
            // Only this thread loads: a save now gives exactly what it loaded.
            if (stateOf(component) != processorStates[which] || stateOf(controller) != controllerStates[which])
            {
                loadFailure = "saved state differs after load " + std::to_string(s);
                return;
            }
            loads.store(s + 1, std::memory_order_relaxed);
        }
    });
    std::thread autosave([&] {
        for (long s = 0; !stop.load(std::memory_order_relaxed); ++s)
        {
            // Never a mix of two states.
            if (!known(processorStates, stateOf(component)) || !known(controllerStates, stateOf(controller)))
            {
                saveFailure = "a saved state is none of those loaded, save " + std::to_string(s);
                return;
            }
            saves.store(s + 1, std::memory_order_relaxed);
        }
    });

    QuorvaneTest::ParentWindow parent;
    QuorvaneTest::RunLoopHost runLoop;
    IPlugView* view = nullptr;
    long openings = 0;
    const auto end = std::chrono::steady_clock::now() + kDuration;
    for (long pass = 0; std::chrono::steady_clock::now() < end; ++pass)
    {
        if (parent.display && !view && pass % 20 == 0)
        {
            view = controller->createView("editor");
            ASSERT_NE(view, nullptr);
            view->setFrame(&runLoop);
            EXPECT_EQ(view->attached(parent.handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
            ++openings;
        }
        for (int m = 0; m < kMeters; ++m)
            controller->setParamNormalized(kFirstMeter + ParamID(m), meters[m].load(std::memory_order_relaxed));
        runLoop.run();
        if (view && pass % 20 == 15)
        {
            view->removed();
            view->setFrame(nullptr);
            view->release();
            view = nullptr;
            EXPECT_TRUE(runLoop.empty());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (view)
    {
        view->removed();
        view->setFrame(nullptr);
        view->release();
    }
    stop = true;
    audio.join();
    loader.join();
    autosave.join();
    EXPECT_EQ(loadFailure, "");
    EXPECT_EQ(saveFailure, "");
    EXPECT_GT(blocks.load(), 10);
    EXPECT_GT(loads.load(), 10);
    EXPECT_GT(saves.load(), 10);
    if (parent.display)
    {
        EXPECT_GT(openings, 2);
    }
    plugin.processor->setProcessing(false);
    component->setActive(false);
}

} // namespace
