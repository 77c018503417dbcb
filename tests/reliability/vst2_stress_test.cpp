// The VST 2 effect under the threads hosts use, through the built library's VSTPluginMain:
// automation (setParameter, getParameter) on the audio thread between blocks, chunks set and
// saved on a worker (a project loading), the editor opening, idling and closing (in a real X
// window when there is a display) on the user-interface thread, which also reads the parameters'
// texts. Nothing but that thread may touch the editor: under ThreadSanitizer any other access is
// a reported race, and a value written into a closed editor a use after free.
#include "parentwindow.h"
#include "teststreams.h"

#include "pluginterfaces/fst/aeffectx.h"

#include <gtest/gtest.h>
// Xlib's macros clash with names in the headers above: include it last.
#include <X11/Xlib.h>

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

namespace
{

constexpr auto kDuration = std::chrono::milliseconds(3000);
constexpr int kFrames = 256;
constexpr int kStates = 8;
constexpr int kAutomated = 6; // Threshold: its field in a chunk is the automation's to change
constexpr size_t kAutomatedField = 16 + 4 * kAutomated;

std::atomic<long> hostCalls{0};

VstIntPtr hostCallback(AEffect*, int opcode, int, VstIntPtr, void* ptr, float)
{
    ++hostCalls;
    switch (opcode)
    {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetSampleRate:
        return 48000;
    case audioMasterGetBlockSize:
        return kFrames;
    case audioMasterGetProductString:
        std::strcpy(static_cast<char*>(ptr), "Stress Host");
        return 1;
    default:
        return 0;
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

// Runs blocks until told to stop, automating one parameter between blocks and reading them all
// back; every ninth block carries NaN and infinity. The first fault it sees ends the run and is
// described in `failure`.
struct AudioThread
{
    AEffect* effect = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
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
                    in[c][size_t(i)] =
                        float(int32_t(noise)) / 2147483648.0f * (n % 3 == 0 ? 0.001f : 0.8f);
                }
            if (poisoned)
            {
                in[0][7] = std::numeric_limits<float>::quiet_NaN();
                in[1][9] = std::numeric_limits<float>::infinity();
            }
            effect->setParameter(effect, kAutomated, float(n % 11) / 10.f);
            effect->processReplacing(effect, inPtr, outPtr, kFrames);
            for (int i = 0; i < effect->numParams; ++i)
                if (!(effect->getParameter(effect, i) >= 0.f &&
                      effect->getParameter(effect, i) <= 1.f))
                {
                    failure = "parameter " + std::to_string(i) + " out of range in block " +
                              std::to_string(n);
                    return;
                }
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
    return size > 0 && bytes ? std::vector<unsigned char>(bytes, bytes + size)
                             : std::vector<unsigned char>();
}

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

// The library and an effect of it as a host opens one: 48 kHz, blocks of kFrames, resumed.
struct Effect
{
    Effect()
    {
        if (!(library = dlopen(QUORVANE_BUNDLE_SO, RTLD_NOW | RTLD_LOCAL)))
            return;
        if (auto main = reinterpret_cast<MainFn>(dlsym(library, "VSTPluginMain")))
            effect = main(hostCallback);
        if (!effect)
            return;
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, 48000.f);
        dispatch(effSetBlockSize, 0, kFrames);
        dispatch(effMainsChanged, 0, 1);
    }
    ~Effect()
    {
        if (effect)
            close();
        if (library)
            dlclose(library);
    }
    VstIntPtr dispatch(int op, int index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.f)
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

TEST(Vst2Stress, AutomationOnTheAudioThreadChunksOnAWorkerAndTheEditorOnTheUserInterfaceThread)
{
    Effect plugin;
    ASSERT_NE(plugin.effect, nullptr) << dlerror();
    AEffect* effect = plugin.effect;
    QuorvaneTest::ParentWindow parent;
    EXPECT_TRUE(parent.handle() || !std::getenv("DISPLAY")) << "the display cannot be opened";
    const auto chunks = distinctChunks();
    AudioThread audio;
    audio.effect = effect;
    std::vector<std::thread> threads;
    StopOnExit stopOnExit{audio, threads};
    threads.emplace_back([&audio] { audio.run(); });
    std::atomic<long> loads{0};
    std::string loadFailure;
    threads.emplace_back(
        [&]
        {
            for (long s = 0; !audio.stop.load(); ++s)
            {
                std::vector<unsigned char> chunk = chunks[size_t(s % kStates)];
                if (effect->dispatcher(effect, effSetChunk, 0, VstIntPtr(chunk.size()),
                                       chunk.data(), 0.f) != 1)
                {
                    loadFailure = "chunk refused";
                    return;
                }
                // What the host saves now is exactly what it set last (never older, never a mix, no
                // value set before the chunk), but for the automated value.
                std::vector<unsigned char> saved = chunkOf(effect);
                if (saved.size() == chunk.size())
                    std::copy_n(chunk.begin() + kAutomatedField, 4,
                                saved.begin() + kAutomatedField);
                if (saved != chunk)
                {
                    loadFailure = "saved chunk differs after chunk " + std::to_string(s);
                    return;
                }
                loads.store(s + 1);
            }
        });

    // The editor opens every forty passes and closes thirty later; idled on every pass.
    long editorOpenings = 0;
    bool editorOpen = false;
    char text[256];
    const auto end = std::chrono::steady_clock::now() + kDuration;
    for (long pass = 0; std::chrono::steady_clock::now() < end && !testing::Test::HasFailure();
         ++pass)
    {
        if (parent.handle() && pass % 40 == 0 && !editorOpen)
        {
            ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, parent.handle()), 1);
            editorOpen = true;
            ++editorOpenings;
        }
        plugin.dispatch(effEditIdle);
        // Hosts suspend and resume from this thread while the audio thread is in a block.
        if (pass % 25 == 10)
        {
            plugin.dispatch(effMainsChanged, 0, 0);
            plugin.dispatch(effMainsChanged, 0, 1);
        }
        for (int i = 0; i < effect->numParams; ++i)
            plugin.dispatch(effGetParamDisplay, i, 0, text);
        if (editorOpen && pass % 40 == 30)
        {
            plugin.dispatch(effEditClose);
            editorOpen = false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    audio.stop = true;
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(audio.failure, "");
    EXPECT_EQ(loadFailure, "");
    EXPECT_GT(audio.blocks.load(), 10);
    EXPECT_GT(loads.load(), 10);
    if (parent.handle())
    {
        EXPECT_GT(editorOpenings, 2);
    }
    if (editorOpen)
        plugin.dispatch(effEditClose);
}

int hostHandlerCalls = 0;
int hostHandler(Display*, XErrorEvent*)
{
    ++hostHandlerCalls;
    return 0;
}

// A host that destroys its window before it closes the editor or the effect lives on (Xlib's
// default error handler would end it), hears of no X error of ours, and its own error handler is
// the one in force afterwards.
TEST(Vst2Editor, TheHostsWindowDestroyedFirstEndsNeitherTheHostNorInItsErrorHandler)
{
    for (bool closeTheEffect : {false, true})
        for (bool handlerOfTheHost : {false, true})
        {
            SCOPED_TRACE(std::string(closeTheEffect ? "effClose" : "effEditClose") +
                         (handlerOfTheHost ? ", the host's handler" : ", Xlib's handler"));
            Effect plugin;
            ASSERT_NE(plugin.effect, nullptr) << dlerror();
            QuorvaneTest::ParentWindow parent;
            if (!parent.handle())
                GTEST_SKIP() << "no X display";
            const XErrorHandler before =
                XSetErrorHandler(handlerOfTheHost ? &hostHandler : nullptr);
            const XErrorHandler inForce = XSetErrorHandler(nullptr);
            XSetErrorHandler(inForce);
            hostHandlerCalls = 0;

            ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, parent.handle()), 1);
            plugin.dispatch(effEditIdle);
            parent.destroy();
            if (closeTheEffect)
                plugin.close();
            else
                plugin.dispatch(effEditClose);
            EXPECT_EQ(hostHandlerCalls, 0);
            EXPECT_EQ(XSetErrorHandler(before), inForce);
        }
}

} // namespace
