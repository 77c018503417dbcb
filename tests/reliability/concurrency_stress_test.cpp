// The threads a host uses at once: the audio thread processes without pause; a worker loads
// states into the processor and the controller (a project loading) while another saves them (an
// autosave); the user-interface thread moves parameters on the controller and opens, idles and
// closes editors (in a host window where the test run has one). Under ThreadSanitizer any access
// of an editor from another thread, and any state call not kept apart from another, is a race.
#include "editorchurn.h"
#include "parentwindow.h"
#include "pluginlibrary.h"
#include "teststreams.h"

#include "again.h"
#include "againcontroller.h"
#include "paramids.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using QuorvaneTest::ByteStream;

namespace
{

constexpr auto kDuration = std::chrono::milliseconds(3000);
constexpr int kFrames = 256;
constexpr int kStates = 8;

// Processor states that differ in every field, so that a mix of two shows.
std::vector<std::vector<unsigned char>> distinctStates()
{
    std::vector<std::vector<unsigned char>> states;
    for (int s = 0; s < kStates; ++s)
    {
        std::vector<unsigned char> bytes;
        bytes.reserve(68);
        for (int i = 0; i < 5; ++i)
            QuorvaneTest::appendInt32(bytes, (s + i) % 2);
        for (int i = 0; i < 12; ++i)
            QuorvaneTest::appendFloat(bytes, float(s * 12 + i + 1) / float(kStates * 12 + 1));
        states.push_back(bytes);
    }
    return states;
}

// The controller's own state with a text that names the state.
std::vector<unsigned char> controllerStateFor(int s)
{
    std::vector<unsigned char> bytes(257, 0);
    const std::string text = "state " + std::to_string(s);
    for (size_t i = 0; i < text.size(); ++i)
        bytes[1 + 2 * i] = static_cast<unsigned char>(text[i]);
    return bytes;
}

// Runs blocks until told to stop; every ninth block carries NaN and infinity. The first fault it
// sees ends the run and is described in `failure`.
struct AudioThread
{
    Quorvane::again* processor = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::string failure;

    void run()
    {
        std::vector<float> in[2], side[2], out[2];
        float* inPtr[2];
        float* sidePtr[2];
        float* outPtr[2];
        for (int c = 0; c < 2; ++c)
        {
            in[c].assign(kFrames, 0.f);
            side[c].assign(kFrames, 0.f);
            out[c].assign(kFrames, 0.f);
            inPtr[c] = in[c].data();
            sidePtr[c] = side[c].data();
            outPtr[c] = out[c].data();
        }
        AudioBusBuffers inputs[2];
        inputs[0].numChannels = 2;
        inputs[0].channelBuffers32 = inPtr;
        inputs[1].numChannels = 2;
        inputs[1].channelBuffers32 = sidePtr;
        AudioBusBuffers outputs;
        outputs.numChannels = 2;
        outputs.channelBuffers32 = outPtr;
        ParameterChanges meters(8, 4);

        uint32_t noise = 1;
        while (!stop.load(std::memory_order_relaxed))
        {
            const long n = blocks.load(std::memory_order_relaxed);
            const bool poisoned = n % 9 == 4;
            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < kFrames; ++i)
                {
                    noise = noise * 1664525u + 1013904223u;
                    in[c][i] = float(int32_t(noise)) / 2147483648.0f * (n % 3 == 0 ? 0.001f : 0.8f);
                    side[c][i] = in[c][i];
                }
            if (poisoned)
            {
                in[0][7] = std::numeric_limits<float>::quiet_NaN();
                in[1][9] = std::numeric_limits<float>::infinity();
                side[0][11] = -std::numeric_limits<float>::infinity();
            }
            meters.clearQueue();
            ProcessData data;
            data.processMode = kRealtime;
            data.symbolicSampleSize = kSample32;
            data.numSamples = kFrames;
            data.numInputs = n % 2 ? 2 : 1;
            data.numOutputs = 1;
            data.inputs = inputs;
            data.outputs = &outputs;
            data.outputParameterChanges = &meters;
            if (processor->process(data) != kResultOk)
            {
                failure = "process failed";
                return;
            }
            if (!poisoned)
                for (int c = 0; c < 2; ++c)
                    for (int i = 0; i < kFrames; ++i)
                        if (!std::isfinite(out[c][i]))
                        {
                            failure = "non-finite output in block " + std::to_string(n);
                            return;
                        }
            blocks.store(n + 1, std::memory_order_relaxed);
        }
    }
};

// A failed assertion returns from the test at once: the threads are stopped and joined all the
// same.
struct StopOnExit
{
    AudioThread& audio;
    std::vector<std::thread>& threads;
    ~StopOnExit()
    {
        audio.stop = true;
        for (auto& thread : threads)
            if (thread.joinable())
                thread.join();
    }
};

TEST(ConcurrencyStress,
     StatesOnWorkersParametersAndEditorsOnTheUserInterfaceThreadWhileTheAudioThreadProcesses)
{
    HostApplication host;
    auto* processor = new Quorvane::again;
    auto* controller = new Quorvane::againController;
    ASSERT_EQ(processor->initialize(&host), kResultOk);
    ASSERT_EQ(controller->initialize(&host), kResultOk);
    ProcessSetup setup{kRealtime, kSample32, kFrames, 48000.0};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
    processor->activateBus(kAudio, kInput, 1, true);
    processor->setActive(true);
    processor->setProcessing(true);

    const auto states = distinctStates();
    ByteStream initial, initialOwn;
    processor->getState(&initial);
    controller->getState(&initialOwn);
    std::vector<std::vector<unsigned char>> loadable{initial.data}, ownLoadable{initialOwn.data};
    for (int s = 0; s < kStates; ++s)
    {
        loadable.push_back(states[size_t(s)]);
        ownLoadable.push_back(controllerStateFor(s));
    }
    auto loaded = [&](const ByteStream& saved, const ByteStream& own)
    {
        auto in = [](const auto& list, const auto& bytes)
        { return std::find(list.begin(), list.end(), bytes) != list.end(); };
        return in(loadable, saved.data) && in(ownLoadable, own.data);
    };

    AudioThread audio;
    audio.processor = processor;
    std::vector<std::thread> threads;
    StopOnExit stopOnExit{audio, threads};
    threads.emplace_back([&audio] { audio.run(); });
    std::atomic<long> loads{0}, saves{0};
    std::string loadFailure, saveFailure;
    threads.emplace_back(
        [&]
        {
            for (long s = 0; !audio.stop.load(); ++s)
            {
                const int which = int(s % kStates);
                ByteStream load(states[size_t(which)]), component(states[size_t(which)]),
                    own(controllerStateFor(which));
                processor->setState(&load);
                controller->setComponentState(&component);
                controller->setState(&own);
                // Only this thread loads: what is saved now is exactly what it loaded last.
                ByteStream saved, ownSaved;
                processor->getState(&saved);
                controller->getState(&ownSaved);
                if (saved.data != states[size_t(which)] ||
                    ownSaved.data != controllerStateFor(which))
                {
                    loadFailure = "saved state differs after load " + std::to_string(s);
                    return;
                }
                loads.store(s + 1);
            }
        });
    threads.emplace_back(
        [&]
        {
            for (long s = 0; !audio.stop.load(); ++s)
            {
                ByteStream saved, ownSaved;
                processor->getState(&saved);
                controller->getState(&ownSaved);
                if (!loaded(saved, ownSaved))
                {
                    saveFailure = "save " + std::to_string(s) + " is no state that was loaded";
                    return;
                }
                saves.store(s + 1);
            }
        });

    // One to three editors open at a time; the parameters move as a host's automation moves them.
    QuorvaneTest::ParentWindow parent;
    QuorvaneTest::EditorChurn editors(controller, parent.handle());
    const auto end = std::chrono::steady_clock::now() + kDuration;
    for (long pass = 0; std::chrono::steady_clock::now() < end && !HasFailure(); ++pass)
    {
        for (ParamID id = 0; id < Quorvane::kNumParams; ++id)
            controller->setParamNormalized(id, double((pass + id) % 11) / 10.0);
        if (pass % 8 == 0)
        {
            ASSERT_TRUE(editors.openOne());
        }
        editors.idleAll();
        if (editors.openCount() > 2 || (pass % 8 == 4 && editors.openCount() > 0))
            editors.closeOldest();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    audio.stop = true;
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(audio.failure, "");
    EXPECT_EQ(loadFailure, "");
    EXPECT_EQ(saveFailure, "");
    EXPECT_GT(audio.blocks.load(), 10);
    EXPECT_GT(loads.load(), 10);
    EXPECT_GT(saves.load(), 10);
    if (QuorvaneTest::platformOffersEditor())
    {
        EXPECT_GT(editors.openings(), 2);
    }

    editors.closeAll();
    EXPECT_TRUE(controller->attachedEditors().empty());
    processor->setProcessing(false);
    processor->setActive(false);
    ByteStream finalState;
    ASSERT_EQ(processor->getState(&finalState), kResultOk);
    EXPECT_EQ(finalState.data, states[size_t((loads - 1) % kStates)]);

    controller->terminate();
    controller->release();
    processor->terminate();
    processor->release();
}

} // namespace
