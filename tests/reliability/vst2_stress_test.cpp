// The VST 2 effect under a host's threads, through the built library's VSTPluginMain: the audio
// thread processes without pause while the main thread sets chunks, moves parameters, reads their
// texts and opens, idles and closes the editor (in a real X window when there is a display); then
// the same work spread over the threads hosts use for it.
#include "teststreams.h"

#include "pluginterfaces/fst/aeffectx.h"

#include <gtest/gtest.h>
// Xlib's macros clash with names in the headers above: include it last.
#include "hostwindow.h"

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

using QuorvaneTest::ParentWindow;

namespace {

constexpr auto kDuration = std::chrono::milliseconds(3000);
constexpr int kFrames = 256;
constexpr int kStates = 8;
constexpr int kInputParams = 17;

std::atomic<long> hostCalls {0};

VstIntPtr hostCallback(AEffect*, int opcode, int, VstIntPtr, void* ptr, float)
{
    ++hostCalls;
    switch (opcode)
    {
        case audioMasterVersion: return 2400;
        case audioMasterGetSampleRate: return 48000;
        case audioMasterGetBlockSize: return kFrames;
        case audioMasterGetProductString:
            std::strcpy(static_cast<char*>(ptr), "Stress Host");
            return 1;
        default: return 0;
    }
}

void appendInt64(std::vector<unsigned char>& bytes, int64_t v)
{
    unsigned char b[8];
    std::memcpy(b, &v, 8);
    bytes.insert(bytes.end(), b, b + 8);
}

// Chunks (processor state, then the controller's own) that differ in every field, so that a
// mix of two shows.
std::vector<std::vector<unsigned char>> distinctChunks()
{
    std::vector<std::vector<unsigned char>> chunks;
    for (int s = 0; s < kStates; ++s)
    {
        std::vector<unsigned char> processor;
        for (int i = 0; i < 5; ++i)
            QuorvaneTest::appendInt32(processor, (s + i) % 2);
        for (int i = 0; i < 12; ++i)
            QuorvaneTest::appendFloat(processor, float(s * 12 + i + 1) / float(kStates * 12 + 1));
        std::vector<unsigned char> controller(257, 0);
        const std::string text = "chunk " + std::to_string(s);
        for (size_t i = 0; i < text.size(); ++i)
            controller[1 + 2 * i] = static_cast<unsigned char>(text[i]);
        std::vector<unsigned char> chunk;
        appendInt64(chunk, int64_t(processor.size()));
        appendInt64(chunk, int64_t(controller.size()));
        chunk.insert(chunk.end(), processor.begin(), processor.end());
        chunk.insert(chunk.end(), controller.begin(), controller.end());
        chunks.push_back(chunk);
    }
    return chunks;
}

// Runs blocks until told to stop; every ninth block carries NaN and infinity. The first fault
// it sees ends the run and is described in `failure`.
struct AudioThread
{
    AEffect* effect = nullptr;
    std::atomic<bool> stop {false};
    std::atomic<long> blocks {0};
    std::string failure;

    void run()
    {
        std::vector<float> in[2], out[2];
        float* inPtr[2];
        float* outPtr[2];
        for (int c = 0; c < 2; ++c)
        {
            in[c].assign(kFrames, 0.f);
            out[c].assign(kFrames, 0.f);
            inPtr[c] = in[c].data();
            outPtr[c] = out[c].data();
        }
        uint32_t noise = 7;
        while (!stop.load(std::memory_order_relaxed))
        {
            const long n = blocks.load(std::memory_order_relaxed);
            const bool poisoned = n % 9 == 4;
            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < kFrames; ++i)
                {
                    noise = noise * 1664525u + 1013904223u;
                    in[c][size_t(i)] = float(int32_t(noise)) / 2147483648.0f * (n % 3 == 0 ? 0.001f : 0.8f);
                }
            if (poisoned)
            {
                in[0][7] = std::numeric_limits<float>::quiet_NaN();
                in[1][9] = std::numeric_limits<float>::infinity();
            }
            effect->processReplacing(effect, inPtr, outPtr, kFrames);
            if (!poisoned)
                for (int c = 0; c < 2; ++c)
                    for (int i = 0; i < kFrames; ++i)
                        if (!std::isfinite(out[c][size_t(i)]))
                        {
                            failure = "non-finite output in block " + std::to_string(n);
                            return;
                        }
            blocks.store(n + 1, std::memory_order_relaxed);
        }
    }
};

using MainFn = AEffect* (*)(audioMasterCallback);

std::vector<unsigned char> chunkOf(AEffect* effect)
{
    void* data = nullptr;
    const VstIntPtr size = effect->dispatcher(effect, effGetChunk, 0, 0, &data, 0.f);
    auto* bytes = static_cast<unsigned char*>(data);
    return size > 0 && bytes ? std::vector<unsigned char>(bytes, bytes + size) : std::vector<unsigned char>();
}

// A failed assertion returns from the test at once: the audio thread is stopped and joined
// all the same.
struct StopOnExit
{
    AudioThread& audio;
    std::thread& thread;
    ~StopOnExit()
    {
        audio.stop = true;
        if (thread.joinable())
            thread.join();
    }
};

// The plug-in's library, and one effect of it created as a host creates it (opened, 48 kHz,
// blocks of kFrames, resumed unless asked not to).
struct Effect
{
    explicit Effect(bool resume = true)
    {
        library = dlopen(QUORVANE_BUNDLE_SO, RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return;
        if (auto main = reinterpret_cast<MainFn>(dlsym(library, "VSTPluginMain")))
            effect = main(hostCallback);
        if (!effect)
            return;
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, 48000.f);
        dispatch(effSetBlockSize, 0, kFrames);
        if (resume)
            dispatch(effMainsChanged, 0, 1);
    }
    ~Effect()
    {
        if (effect)
            close();
        if (library)
            dlclose(library);
    }
    VstIntPtr dispatch(int op, int index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.f)
    {
        return effect->dispatcher(effect, op, index, value, ptr, opt);
    }
    void close()
    {
        dispatch(effMainsChanged, 0, 0);
        dispatch(effClose);
        effect = nullptr;
    }
    void* library = nullptr;
    AEffect* effect = nullptr;
};

TEST(Vst2Stress, ChunksParametersAndTheEditorOnTheMainThreadWhileTheAudioThreadProcesses)
{
    void* library = dlopen(QUORVANE_BUNDLE_SO, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto main = reinterpret_cast<MainFn>(dlsym(library, "VSTPluginMain"));
    ASSERT_NE(main, nullptr);
    AEffect* effect = main(hostCallback);
    ASSERT_NE(effect, nullptr);
    auto dispatch = [effect](int op, int index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.f) {
        return effect->dispatcher(effect, op, index, value, ptr, opt);
    };
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, 48000.f);
    dispatch(effSetBlockSize, 0, kFrames);
    dispatch(effMainsChanged, 0, 1);

    ParentWindow parent;
    EXPECT_TRUE(parent.display || !std::getenv("DISPLAY")) << "the display cannot be opened";
    const auto chunks = distinctChunks();
    AudioThread audio;
    audio.effect = effect;
    std::thread audioThread([&audio] { audio.run(); });
    StopOnExit stopOnExit {audio, audioThread};

    long loads = 0, editorOpenings = 0;
    bool editorOpen = false;
    char text[256];
    const auto end = std::chrono::steady_clock::now() + kDuration;
    while (std::chrono::steady_clock::now() < end && !testing::Test::HasFailure())
    {
        const int s = int(loads % kStates);
        std::vector<unsigned char> chunk = chunks[size_t(s)];
        ASSERT_EQ(dispatch(effSetChunk, 0, VstIntPtr(chunk.size()), chunk.data()), 1);
        // What the host saves now is exactly what it set last: never older, never a mix,
        // and no parameter value set before the chunk.
        ASSERT_EQ(chunkOf(effect), chunks[size_t(s)]) << "after chunk " << loads;

        for (int i = 0; i < kInputParams; ++i)
        {
            const float v = float((loads + i) % 11) / 10.f;
            effect->setParameter(effect, i, v);
            ASSERT_EQ(effect->getParameter(effect, i), v) << "parameter " << i;
            dispatch(effGetParamDisplay, i, 0, text);
        }
        for (int i = kInputParams; i < effect->numParams; ++i)
        {
            const float meter = effect->getParameter(effect, i);
            ASSERT_FALSE(std::isnan(meter)) << "meter " << i;
        }

        // The editor opens every few chunks and closes two later; idled on every pass.
        if (parent.display && loads % 4 == 0 && !editorOpen)
        {
            ASSERT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent.window)), 1);
            editorOpen = true;
            ++editorOpenings;
        }
        dispatch(effEditIdle);
        if (editorOpen && loads % 4 == 2)
        {
            dispatch(effEditClose);
            editorOpen = false;
        }
        ++loads;
    }

    audio.stop = true;
    audioThread.join();
    EXPECT_EQ(audio.failure, "");
    EXPECT_GT(audio.blocks.load(), 10);
    EXPECT_GT(loads, 10);
    if (parent.display)
    {
        EXPECT_GT(editorOpenings, 2);
    }
    if (editorOpen)
        dispatch(effEditClose);

    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
    dlclose(library);
}

// The threads VST 2 hosts use: automation (setParameter, getParameter) on the audio thread
// between blocks, project loading (effSetChunk, effGetChunk) on a worker, the editor opening,
// idling and closing on the user-interface thread, which also reads values and their texts.
// Nothing but the user-interface thread may touch the editor: under ThreadSanitizer any other
// access is a reported race, and a value written into a closed editor a use after free.
TEST(Vst2Stress, AutomationOnTheAudioThreadChunksOnAWorkerAndTheEditorOnTheUserInterfaceThread)
{
    Effect plugin;
    ASSERT_NE(plugin.effect, nullptr) << dlerror();
    AEffect* effect = plugin.effect;
    ParentWindow parent;
    const auto chunks = distinctChunks();
    constexpr int kAutomated = 6;   // Threshold: its field in a chunk is the host's to change
    constexpr size_t kAutomatedField = 16 + 4 * kAutomated;
    std::atomic<bool> stop {false};
    std::atomic<long> blocks {0}, loads {0};
    std::string audioFailure, workerFailure;

    std::thread audio([&] {
        std::vector<float> in[2], out[2];
        float* inPtr[2];
        float* outPtr[2];
        for (int c = 0; c < 2; ++c)
        {
            in[c].assign(kFrames, 0.25f);
            out[c].assign(kFrames, 0.f);
            inPtr[c] = in[c].data();
            outPtr[c] = out[c].data();
        }
        for (long n = 0; !stop.load(std::memory_order_relaxed); ++n)
        {
            effect->setParameter(effect, kAutomated, float(n % 11) / 10.f);
            effect->processReplacing(effect, inPtr, outPtr, kFrames);
            for (int i = 0; i < effect->numParams; ++i)
            {
                const float v = effect->getParameter(effect, i);
                if (!(v >= 0.f && v <= 1.f))
                {
                    audioFailure = "parameter " + std::to_string(i) + " reads " + std::to_string(v);
                    return;
                }
            }
            blocks.store(n + 1, std::memory_order_relaxed);
        }
    });
    std::thread worker([&] {
        for (long s = 0; !stop.load(std::memory_order_relaxed); ++s)
        {
            std::vector<unsigned char> chunk = chunks[size_t(s % kStates)];
            if (effect->dispatcher(effect, effSetChunk, 0, VstIntPtr(chunk.size()), chunk.data(), 0.f) != 1)
            {
                workerFailure = "chunk refused";
                return;
            }
            // What the host saves now is what it loaded, but for the automated value.
            std::vector<unsigned char> saved = chunkOf(effect);
            if (saved.size() == chunk.size())
                std::copy_n(chunk.begin() + kAutomatedField, 4, saved.begin() + kAutomatedField);
            if (saved != chunk)
            {
                workerFailure = "saved chunk differs after load " + std::to_string(s);
                return;
            }
            loads.store(s + 1, std::memory_order_relaxed);
        }
    });

    long editorOpenings = 0;
    bool editorOpen = false;
    char text[256];
    const auto end = std::chrono::steady_clock::now() + kDuration;
    for (long pass = 0; std::chrono::steady_clock::now() < end; ++pass)
    {
        if (parent.display && pass % 40 == 0 && !editorOpen)
        {
            EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent.window)), 1);
            editorOpen = true;
            ++editorOpenings;
        }
        plugin.dispatch(effEditIdle);
        for (int i = 0; i < effect->numParams; ++i)
            plugin.dispatch(effGetParamDisplay, i, 0, text);
        if (editorOpen && pass % 40 == 30)
        {
            plugin.dispatch(effEditClose);
            editorOpen = false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stop = true;
    audio.join();
    worker.join();
    EXPECT_EQ(audioFailure, "");
    EXPECT_EQ(workerFailure, "");
    EXPECT_GT(blocks.load(), 10);
    EXPECT_GT(loads.load(), 10);
    if (parent.display)
    {
        EXPECT_GT(editorOpenings, 2);
    }
    if (editorOpen)
        plugin.dispatch(effEditClose);
}

namespace {

int hostHandlerCalls = 0;
int hostHandler(Display*, XErrorEvent*)
{
    ++hostHandlerCalls;
    return 0;
}

} // namespace

// A host that destroys its window before it closes the editor or the effect: the host lives on
// (Xlib's default error handler would end it), hears of no X error of ours, and its own error
// handler is the one in force afterwards.
TEST(Vst2Editor, TheHostsWindowDestroyedFirstEndsNeitherTheHostNorInItsErrorHandler)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X server (DISPLAY unset)";
    for (bool closeTheEffect : {false, true})
        for (bool handlerOfTheHost : {false, true})
        {
            SCOPED_TRACE(std::string(closeTheEffect ? "effClose" : "effEditClose") +
                         (handlerOfTheHost ? ", the host's handler" : ", Xlib's handler"));
            Effect plugin(false);
            ASSERT_NE(plugin.effect, nullptr) << dlerror();
            ParentWindow parent;
            ASSERT_NE(parent.display, nullptr);
            const XErrorHandler installed = XSetErrorHandler(handlerOfTheHost ? &hostHandler : nullptr);
            const XErrorHandler inForce = XSetErrorHandler(nullptr);
            XSetErrorHandler(inForce);
            hostHandlerCalls = 0;

            ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent.window)), 1);
            plugin.dispatch(effEditIdle);
            XDestroyWindow(parent.display, parent.window);
            XSync(parent.display, False);
            parent.window = 0;
            if (closeTheEffect)
                plugin.close();
            else
                plugin.dispatch(effEditClose);

            XSync(parent.display, False);
            EXPECT_EQ(hostHandlerCalls, 0);
            EXPECT_EQ(XSetErrorHandler(installed), inForce) << "the host's error handler is in force";
        }
}

} // namespace
