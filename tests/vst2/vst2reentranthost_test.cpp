// A VST 2 host that calls back into the effect from inside every callback it receives, as real
// hosts do (a plug-in scanner that answers the sample-rate query by reading the effect, for one),
// through the built library's VSTPluginMain.
#include "pluginterfaces/fst/aeffectx.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace
{

constexpr int kFrames = 64;

class ReentrantHost
{
public:
    static ReentrantHost* current;

    static VstIntPtr callback(AEffect* effect, int opcode, int, VstIntPtr, void* ptr, float)
    {
        ReentrantHost* host = current;
        if (!host)
            return 0;
        host->received.push_back(opcode);
        // The version query comes before there is an effect.
        if (effect && !host->insideCallback)
        {
            host->insideCallback = true;
            host->useEffect(effect, opcode);
            host->insideCallback = false;
        }
        switch (opcode)
        {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetSampleRate:
            return 48000;
        case audioMasterGetBlockSize:
            return kFrames;
        case audioMasterGetProductString:
            std::strcpy(static_cast<char*>(ptr), "Reentrant Host");
            return 1;
        default:
            return 0;
        }
    }

    // Everything a host may do with an effect it was handed: dispatcher queries, parameter
    // reads, both process calls. A half-built effect is reported, not followed into a crash.
    void useEffect(AEffect* effect, int opcode)
    {
        const std::string during = "during host opcode " + std::to_string(opcode) + ": ";
        if (effect->magic != kEffectMagic || !effect->dispatcher || !effect->getParameter ||
            !effect->setParameter || !effect->processReplacing || !effect->process)
        {
            failures.push_back(during + "the effect's functions are not all set");
            return;
        }
        if (effect->numParams != 22 || effect->numInputs != 2 || effect->numOutputs != 2 ||
            effect->uniqueID == 0 || (effect->flags & effFlagsCanReplacing) == 0 ||
            effect->float1 != 1.f)
        {
            failures.push_back(during + "the effect's description is not filled in");
            return;
        }
        auto dispatch = [effect](int op, int index = 0, VstIntPtr value = 0, void* ptr = nullptr)
        { return effect->dispatcher(effect, op, index, value, ptr, 0.f); };
        char text[256] = {};
        dispatch(effGetEffectName, 0, 0, text);
        if (std::string(text) != "Quorvane")
            failures.push_back(during + "effect name '" + text + "'");
        dispatch(effGetVendorString, 0, 0, text);
        dispatch(effGetProductString, 0, 0, text);
        dispatch(effGetPlugCategory);
        dispatch(effGetVstVersion);
        char bypass[] = "bypass";
        dispatch(effCanDo, 0, 0, bypass);
        ERect* rect = nullptr;
        dispatch(effEditGetRect, 0, 0, &rect);
        void* chunk = nullptr;
        if (dispatch(effGetChunk, 0, 0, &chunk) <= 0 || !chunk)
            failures.push_back(during + "no chunk");
        for (int i = 0; i < effect->numParams; ++i)
        {
            dispatch(effGetParamName, i, 0, text);
            dispatch(effGetParamLabel, i, 0, text);
            dispatch(effGetParamDisplay, i, 0, text);
            const float v = effect->getParameter(effect, i);
            if (!std::isfinite(v))
                failures.push_back(during + "parameter " + std::to_string(i) + " reads " +
                                   std::to_string(v));
        }
        std::vector<float> inL(kFrames, 0.25f), inR(kFrames, -0.25f), outL(kFrames, 7.f),
            outR(kFrames, 7.f);
        float* in[2] = {inL.data(), inR.data()};
        float* out[2] = {outL.data(), outR.data()};
        effect->processReplacing(effect, in, out, kFrames);
        effect->process(effect, in, out, kFrames);
        for (int i = 0; i < kFrames; ++i)
            if (!std::isfinite(outL[size_t(i)]) || !std::isfinite(outR[size_t(i)]) ||
                std::fabs(outL[size_t(i)]) > 1.f || std::fabs(outR[size_t(i)]) > 1.f)
            {
                failures.push_back(during + "process wrote " + std::to_string(outL[size_t(i)]));
                break;
            }
        ++uses;
    }

    std::vector<int> received;
    std::vector<std::string> failures;
    int uses = 0;
    bool insideCallback = false;
};

ReentrantHost* ReentrantHost::current = nullptr;

using MainFn = AEffect* (*)(audioMasterCallback);

class Vst2ReentrantHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        handle = dlopen(QUORVANE_BUNDLE_SO, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        main = reinterpret_cast<MainFn>(dlsym(handle, "VSTPluginMain"));
        ASSERT_NE(main, nullptr);
        ReentrantHost::current = &host;
    }
    void TearDown() override
    {
        if (effect)
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.f);
        ReentrantHost::current = nullptr;
        if (handle)
            dlclose(handle);
    }
    bool received(int opcode) const
    {
        return std::find(host.received.begin(), host.received.end(), opcode) != host.received.end();
    }

    ReentrantHost host;
    void* handle = nullptr;
    MainFn main = nullptr;
    AEffect* effect = nullptr;
};

} // namespace

TEST_F(Vst2ReentrantHost, EveryCallbackDuringStartUpAndUseSeesACompleteEffect)
{
    effect = main(ReentrantHost::callback);
    ASSERT_NE(effect, nullptr);
    for (const auto& f : host.failures)
        ADD_FAILURE() << f;
    ASSERT_TRUE(host.failures.empty());
    // Start-up asks for the host's name, rate and block size, each time with a usable effect.
    EXPECT_TRUE(received(audioMasterGetProductString));
    EXPECT_TRUE(received(audioMasterGetSampleRate));
    EXPECT_TRUE(received(audioMasterGetBlockSize));
    EXPECT_GE(host.uses, 3);

    // After start-up: the host's answers are in force and callbacks keep meeting a whole effect.
    auto dispatch =
        [this](int op, int index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.f)
    { return effect->dispatcher(effect, op, index, value, ptr, opt); };
    dispatch(effOpen);
    dispatch(effMainsChanged, 0, 1);
    std::vector<float> l(kFrames, 0.5f), r(kFrames, 0.5f), ol(kFrames), orr(kFrames);
    float* in[2] = {l.data(), r.data()};
    float* out[2] = {ol.data(), orr.data()};
    for (int i = 0; i < 50; ++i)
        effect->processReplacing(effect, in, out, kFrames);
    EXPECT_GT(ol[kFrames - 1], 0.2f) << "a loud signal passes the gate";
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    std::vector<unsigned char> saved(static_cast<unsigned char*>(data),
                                     static_cast<unsigned char*>(data) + size);
    EXPECT_EQ(dispatch(effSetChunk, 0, VstIntPtr(saved.size()), saved.data()), 1);
    dispatch(effMainsChanged, 0, 0);
    for (const auto& f : host.failures)
        ADD_FAILURE() << f;
}
