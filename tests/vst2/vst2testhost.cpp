#include "vst2testhost.h"

#include "fakeview.h"

#include <cstring>

TestHost* TestHost::current = nullptr;

VstIntPtr TestHost::callback(AEffect*, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    TestHost* host = current;
    if (host == nullptr)
        return 0;
    host->calls.push_back({opcode, index, value, opt});
    switch (opcode)
    {
    case audioMasterVersion:
        return host->version;
    case audioMasterGetSampleRate:
        return host->sampleRate;
    case audioMasterGetBlockSize:
        return host->blockSize;
    case audioMasterGetProductString:
        std::strcpy(static_cast<char*>(ptr), "Test Host");
        return 1;
    case audioMasterSizeWindow:
        return host->sizeWindowAnswer;
    default:
        return 0;
    }
}

std::vector<HostCall> TestHost::callsOf(int opcode) const
{
    std::vector<HostCall> result;
    for (const auto& call : calls)
        if (call.opcode == opcode)
            result.push_back(call);
    return result;
}

void WrapperTest::SetUp()
{
    TestHost::current = &host;
    QuorvaneTest::FakePlugin::journal.clear();
    QuorvaneTest::FakePlugin::viewJournal = QuorvaneTest::FakePlugin::ViewJournal();
    QuorvaneTest::FakePlugin::Controller::offerEditor = false;
}

void WrapperTest::TearDown()
{
    closeEffect();
    EXPECT_EQ(QuorvaneTest::FakePlugin::Factory::liveCount, 0)
        << "the factory reference was not released";
    TestHost::current = nullptr;
}

Steinberg::Vst::Vst2Wrapper* WrapperTest::wrap()
{
    auto* wrapper = Steinberg::Vst::Vst2Wrapper::create(
        new QuorvaneTest::FakePlugin::Factory, QuorvaneTest::FakePlugin::kProcessorCid.toTUID(),
        0x46616B31, TestHost::callback);
    effect = wrapper ? wrapper->getAeffect() : nullptr;
    return wrapper;
}

void WrapperTest::closeEffect()
{
    if (effect)
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.f);
    effect = nullptr;
}

VstIntPtr WrapperTest::dispatch(int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string WrapperTest::text(int opcode, int index)
{
    char buffer[128];
    std::memset(buffer, 'x', sizeof(buffer));
    dispatch(opcode, index, 0, buffer);
    const size_t length = strnlen(buffer, sizeof(buffer));
    EXPECT_LT(length, sizeof(buffer) - 1);
    // Nothing beyond the terminator is touched.
    EXPECT_EQ(buffer[length + 1], 'x');
    return std::string(buffer, length);
}

void WrapperTest::runBlock(int frames, std::vector<float>* left, std::vector<float>* right)
{
    std::vector<float> inL(frames), inR(frames), outL(frames, -9.f), outR(frames, -9.f);
    for (int i = 0; i < frames; ++i)
    {
        inL[i] = static_cast<float>(i + 1) / 100.f;
        inR[i] = -inL[i];
    }
    float* inputs[] = {inL.data(), inR.data()};
    float* outputs[] = {outL.data(), outR.data()};
    effect->processReplacing(effect, inputs, outputs, frames);
    if (left)
        *left = outL;
    if (right)
        *right = outR;
}

std::vector<uint8_t> WrapperTest::chunkBytes()
{
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || data == nullptr)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}
