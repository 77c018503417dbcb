// Loads the built library as a VST 2 host does, through VSTPluginMain.
#include "pluginterfaces/fst/aeffectx.h"

#include "pluginlibrary.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

int versionAnswer = 2400;
std::vector<int> automated;

VstIntPtr host(AEffect*, int opcode, int index, VstIntPtr, void*, float)
{
    if (opcode == audioMasterVersion)
        return versionAnswer;
    if (opcode == audioMasterAutomate)
        automated.push_back(index);
    return 0;
}

using MainFn = AEffect* (*)(audioMasterCallback);

class Vst2Entry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        library = std::make_unique<QuorvaneTest::PluginLibrary>(QUORVANE_BUNDLE_SO);
        ASSERT_TRUE(library->loaded()) << library->error();
        main = library->function<MainFn>("VSTPluginMain");
        ASSERT_NE(main, nullptr);
        versionAnswer = 2400;
    }
    void TearDown() override
    {
        if (effect)
            dispatch(effClose);
        library.reset();
    }
    VstIntPtr dispatch(int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.f)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    std::string text(int opcode, int index)
    {
        char buffer[256];
        std::memset(buffer, 'x', sizeof(buffer));
        buffer[255] = 0;
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }
    std::vector<unsigned char> chunk()
    {
        void* data = nullptr;
        const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
        auto* bytes = static_cast<unsigned char*>(data);
        return size > 0 && bytes ? std::vector<unsigned char>(bytes, bytes + size)
                                 : std::vector<unsigned char>();
    }

    std::unique_ptr<QuorvaneTest::PluginLibrary> library;
    MainFn main = nullptr;
    AEffect* effect = nullptr;
};

int64_t int64At(const std::vector<unsigned char>& b, size_t offset)
{
    int64_t v;
    std::memcpy(&v, b.data() + offset, 8);
    return v;
}

} // namespace

TEST_F(Vst2Entry, AHostWithoutVersionGetsNoEffect)
{
    versionAnswer = 0;
    EXPECT_EQ(main(host), nullptr);
}

TEST_F(Vst2Entry, EffectDescribesTheGate)
{
    effect = main(host);
    ASSERT_NE(effect, nullptr);
    dispatch(effOpen);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, 0x476E5632);
    EXPECT_EQ(effect->numParams, 22);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_NE(effect->flags & effFlagsCanReplacing, 0);
    EXPECT_NE(effect->flags & effFlagsProgramChunks, 0);
    EXPECT_EQ((effect->flags & effFlagsHasEditor) != 0, QuorvaneTest::platformOffersEditor());

    EXPECT_EQ(text(effGetEffectName, 0), "Quorvane");
    EXPECT_EQ(text(effGetVendorString, 0), "Ostrelle");
    EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategEffect);
    char bypass[] = "bypass";
    EXPECT_EQ(dispatch(effCanDo, 0, 0, bypass), 1);

    // Names and values fill the 8-byte fields the VST 2 interface documents.
    EXPECT_EQ(text(effGetParamName, 6), "Thresho");
    EXPECT_EQ(text(effGetParamName, 21), "Side Ch");
    EXPECT_EQ(text(effGetParamDisplay, 6), "-20.0dB");
    EXPECT_EQ(text(effGetParamDisplay, 12), "35.0 ms");
    EXPECT_EQ(text(effGetParamDisplay, 13), " off");
    EXPECT_EQ(text(effGetParamLabel, 6), "");
    EXPECT_NEAR(effect->getParameter(effect, 6), 0.2631579f, 1e-6);
}

// Every name and display text a VST 2 host reads is the VST 3 controller's, fitted into the
// documented 8-byte fields: a name cut, a value kept whole when it fits and else at least its
// number.
TEST_F(Vst2Entry, NamesAndTextsMatchTheVst3Controller)
{
    using namespace Steinberg;
    auto getFactory = library->function<IPluginFactory*(PLUGIN_API*)()>("GetPluginFactory");
    ASSERT_NE(getFactory, nullptr);
    IPluginFactory* factory = getFactory();
    FUID cid;
    cid.fromString("C39D5B65C7AF41FB743F4AC831EB03F1");
    Vst::IEditController* controller = nullptr;
    ASSERT_EQ(factory->createInstance(cid.toTUID(), Vst::IEditController::iid,
                                      reinterpret_cast<void**>(&controller)),
              kResultOk);
    Vst::HostApplication context;
    controller->initialize(&context);

    effect = main(host);
    ASSERT_NE(effect, nullptr);
    dispatch(effOpen);
    ASSERT_EQ(effect->numParams, controller->getParameterCount());
    for (int i = 0; i < effect->numParams; ++i)
    {
        Vst::ParameterInfo info{};
        controller->getParameterInfo(i, info);
        char title[256];
        UString(info.title, 128).toAscii(title, 256);
        EXPECT_EQ(text(effGetParamName, i), std::string(title).substr(0, 7)) << i;

        Vst::String128 display;
        controller->getParamStringByValue(info.id, controller->getParamNormalized(info.id),
                                          display);
        char ascii[256];
        UString(display, 128).toAscii(ascii, 256);
        const std::string vst3 = ascii, vst2 = text(effGetParamDisplay, i);
        if (vst3.size() <= 7)
            EXPECT_EQ(vst2, vst3) << i;
        else
            EXPECT_EQ(vst2.substr(0, vst3.find(' ')), vst3.substr(0, vst3.find(' '))) << i;
    }
    controller->terminate();
    controller->release();
    factory->release();
}

// A VST 2 host has no default field: it takes the values a fresh effect reports as the defaults
// it shows and resets to. They are the VST 3 controller's reported defaults, which are the values
// the gate starts with.
TEST_F(Vst2Entry, StartsEveryParameterAtTheDefaultTheVst3ControllerReports)
{
    using namespace Steinberg;
    const float expected[22] = {0.f,        0.f,        1.f, 0.f, 1.f, // switches
                                0.5f,       0.2631579f, 0.f, 1.f, 0.08543431f,
                                0.1959078f, 0.2242749f,                 // levels, times
                                0.3672695f, 0.f,        0.f, 0.f, 0.f,  //
                                0.f,        0.f,        0.f, 0.f, 0.f}; // outputs
    auto getFactory = library->function<IPluginFactory*(PLUGIN_API*)()>("GetPluginFactory");
    ASSERT_NE(getFactory, nullptr);
    IPluginFactory* factory = getFactory();
    FUID cid;
    cid.fromString("C39D5B65C7AF41FB743F4AC831EB03F1");
    Vst::IEditController* controller = nullptr;
    ASSERT_EQ(factory->createInstance(cid.toTUID(), Vst::IEditController::iid,
                                      reinterpret_cast<void**>(&controller)),
              kResultOk);
    Vst::HostApplication context;
    ASSERT_EQ(controller->initialize(&context), kResultOk);

    effect = main(host);
    ASSERT_NE(effect, nullptr);
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, 48000.f);
    dispatch(effSetBlockSize, 0, 256);
    dispatch(effMainsChanged, 0, 1);
    ASSERT_EQ(effect->numParams, 22);
    for (int i = 0; i < effect->numParams; ++i)
    {
        Vst::ParameterInfo info{};
        ASSERT_EQ(controller->getParameterInfo(i, info), kResultOk);
        EXPECT_EQ(effect->getParameter(effect, i), float(info.defaultNormalizedValue)) << i;
        EXPECT_NEAR(effect->getParameter(effect, i), expected[i], 1e-7f) << i;
    }
    dispatch(effMainsChanged, 0, 0);
    controller->terminate();
    controller->release();
    factory->release();
}

TEST_F(Vst2Entry, ChunksHoldBothStatesAndRoundTrip)
{
    effect = main(host);
    ASSERT_NE(effect, nullptr);
    dispatch(effOpen);
    const auto saved = chunk();
    ASSERT_EQ(saved.size(), 16u + 68u + 257u);
    EXPECT_EQ(int64At(saved, 0), 68);
    EXPECT_EQ(int64At(saved, 8), 257);
    int32_t channelLinking;
    std::memcpy(&channelLinking, saved.data() + 16 + 8, 4);
    EXPECT_EQ(channelLinking, 1);

    effect->setParameter(effect, 6, 0.75f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 6), 0.75f);
    EXPECT_EQ(text(effGetParamDisplay, 6), "-57.0dB");

    std::vector<unsigned char> restore = saved;
    EXPECT_EQ(dispatch(effSetChunk, 0, VstIntPtr(restore.size()), restore.data()), 1);
    EXPECT_NEAR(effect->getParameter(effect, 6), 0.2631579f, 1e-6);
    EXPECT_EQ(chunk(), saved);

    // Damaged chunks are refused and change nothing.
    effect->setParameter(effect, 6, 0.5f);
    std::vector<unsigned char> shortChunk(saved.begin(), saved.begin() + 40);
    EXPECT_EQ(dispatch(effSetChunk, 0, VstIntPtr(shortChunk.size()), shortChunk.data()), 0);
    std::vector<unsigned char> negative = saved;
    const int64_t minus = -1;
    std::memcpy(negative.data(), &minus, 8);
    EXPECT_EQ(dispatch(effSetChunk, 0, VstIntPtr(negative.size()), negative.data()), 0);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 6), 0.5f);
}

// A VST 2 host that opens an instance to process a selection (an audio editor's offline apply)
// gets all of it at full level from the first block on, also when it sets the unchanged Bypass
// value before every block; a block of the largest floats does not break the blocks after it.
TEST_F(Vst2Entry, ProcessesAudioFromTheFirstBlockOn)
{
    constexpr int kPeriod = 48; // 1 kHz at 48 kHz
    auto level = [](const float* x)
    {
        double sum = 0.0;
        for (int i = 0; i < kPeriod; ++i)
            sum += double(x[i]) * x[i];
        return std::sqrt(sum / kPeriod);
    };
    for (int block : {32, 512, 8192})
        for (bool resend : {false, true})
        {
            effect = main(host);
            ASSERT_NE(effect, nullptr);
            dispatch(effOpen);
            dispatch(effSetSampleRate, 0, 0, nullptr, 48000.f);
            dispatch(effSetBlockSize, 0, block);
            dispatch(effMainsChanged, 0, 1);
            const size_t second = (48000 + size_t(block) - 1) / size_t(block) * size_t(block);
            std::vector<float> in(second + 2 * size_t(block)), out(in.size());
            for (size_t n = 0; n < second; ++n)
                in[n] = 0.5f * float(std::sin(2 * std::acos(-1.0) * double(n % kPeriod) / kPeriod));
            std::fill(in.end() - 2 * block, in.end() - block, 3e38f);
            for (size_t at = 0; at < in.size(); at += size_t(block))
            {
                float* ins[2] = {&in[at], &in[at]};
                float* outs[2] = {&out[at], &out[at]};
                if (resend)
                    effect->setParameter(effect, 0, 0.f);
                effect->processReplacing(effect, ins, outs, block);
            }
            const double settled = level(&out[48000 - kPeriod]);
            for (size_t n = 240; n < size_t(std::max(block, 960)); n += kPeriod)
                ASSERT_NEAR(level(&out[n]), settled, 0.01 * settled)
                    << "blocks of " << block << ", from " << n;
            for (size_t n = out.size() - size_t(block); n < out.size(); ++n)
                ASSERT_TRUE(std::isfinite(out[n])) << "blocks of " << block;
            dispatch(effClose);
            effect = nullptr;
        }
}
