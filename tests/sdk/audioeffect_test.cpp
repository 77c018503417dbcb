#include "testeffect.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using QuorvaneTest::TestEffect;

namespace
{

std::string toUtf8(const String128 text)
{
    std::string out;
    for (int i = 0; i < 128 && text[i] != 0; ++i)
        out += static_cast<char>(text[i]);
    return out;
}

class AudioEffectTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(effect->initialize(nullptr), kResultOk); }
    void TearDown() override
    {
        effect->terminate();
        effect = nullptr;
        EXPECT_EQ(TestEffect::liveCount, 0);
    }

    BusInfo busInfo(MediaType type, BusDirection dir, int32 index)
    {
        BusInfo info{};
        EXPECT_EQ(effect->getBusInfo(type, dir, index, info), kResultTrue);
        return info;
    }

    IPtr<TestEffect> effect = owned(new TestEffect);
};

TEST_F(AudioEffectTest, reportsTheBusesItAddedWithTheirNamesArrangementsAndFlags)
{
    EXPECT_EQ(effect->getBusCount(kAudio, kInput), 2);
    EXPECT_EQ(effect->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(effect->getBusCount(kEvent, kInput), 1);
    EXPECT_EQ(effect->getBusCount(kEvent, kOutput), 0);

    BusInfo main = busInfo(kAudio, kInput, 0);
    EXPECT_EQ(toUtf8(main.name), "Stereo In");
    EXPECT_EQ(main.mediaType, kAudio);
    EXPECT_EQ(main.direction, kInput);
    EXPECT_EQ(main.channelCount, 2);
    EXPECT_EQ(main.busType, kMain);
    EXPECT_EQ(main.flags, static_cast<uint32>(BusInfo::kDefaultActive));

    BusInfo aux = busInfo(kAudio, kInput, 1);
    EXPECT_EQ(toUtf8(aux.name), "Aux In");
    EXPECT_EQ(aux.channelCount, 1);
    EXPECT_EQ(aux.busType, kAux);
    EXPECT_EQ(aux.flags, 0u);

    BusInfo out = busInfo(kAudio, kOutput, 0);
    EXPECT_EQ(toUtf8(out.name), "Stereo Out");
    EXPECT_EQ(out.direction, kOutput);
    EXPECT_EQ(out.channelCount, 2);

    BusInfo events = busInfo(kEvent, kInput, 0);
    EXPECT_EQ(toUtf8(events.name), "Events");
    EXPECT_EQ(events.channelCount, 1);

    BusInfo none{};
    EXPECT_EQ(effect->getBusInfo(kAudio, kInput, 2, none), kInvalidArgument);
    EXPECT_EQ(effect->getBusInfo(kAudio, kOutput, -1, none), kInvalidArgument);
}

TEST_F(AudioEffectTest, givesAccessToItsBusesByIndexOnlyWithinTheLists)
{
    ASSERT_NE(effect->getAudioInput(0), nullptr);
    EXPECT_EQ(effect->getAudioInput(0)->getArrangement(), SpeakerArr::kStereo);
    ASSERT_NE(effect->getAudioInput(1), nullptr);
    EXPECT_EQ(effect->getAudioInput(1)->getArrangement(), SpeakerArr::kMono);
    EXPECT_NE(effect->getAudioOutput(0), nullptr);
    EXPECT_NE(effect->getEventInput(0), nullptr);

    EXPECT_EQ(effect->getAudioInput(-1), nullptr);
    EXPECT_EQ(effect->getAudioInput(2), nullptr);
    EXPECT_EQ(effect->getAudioOutput(1), nullptr);
    EXPECT_EQ(effect->getEventOutput(0), nullptr);
}

TEST_F(AudioEffectTest, activatesBusesTheHostSwitchesOn)
{
    AudioBus* aux = effect->getAudioInput(1);
    ASSERT_NE(aux, nullptr);
    EXPECT_FALSE(aux->isActive());

    EXPECT_EQ(effect->activateBus(kAudio, kInput, 1, true), kResultTrue);
    EXPECT_TRUE(aux->isActive());
    EXPECT_FALSE(effect->getAudioInput(0)->isActive());

    EXPECT_EQ(effect->activateBus(kAudio, kInput, 1, false), kResultTrue);
    EXPECT_FALSE(aux->isActive());

    EXPECT_EQ(effect->activateBus(kAudio, kInput, 5, true), kInvalidArgument);
}

TEST_F(AudioEffectTest, answersEveryInterfaceOfAnAudioComponentAsTheSameObject)
{
    FUnknown* identity = nullptr;
    ASSERT_EQ(effect->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&identity)),
              kResultOk);
    const int32 baseCount = effect->getRefCount();

    auto sameObject = [&](const TUID iid)
    {
        void* obj = nullptr;
        if (effect->queryInterface(iid, &obj) != kResultOk || obj == nullptr)
            return false;
        auto* asUnknown = static_cast<FUnknown*>(obj);
        FUnknown* other = nullptr;
        asUnknown->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&other));
        const bool same = other == identity;
        other->release();
        asUnknown->release();
        return same;
    };
    EXPECT_TRUE(sameObject(IAudioProcessor::iid));
    EXPECT_TRUE(sameObject(IComponent::iid));
    EXPECT_TRUE(sameObject(IPluginBase::iid));
    EXPECT_TRUE(sameObject(IConnectionPoint::iid));
    EXPECT_TRUE(sameObject(FUnknown::iid));
    EXPECT_EQ(effect->getRefCount(), baseCount);

    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(effect->queryInterface(IEditController::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    identity->release();
}

TEST_F(AudioEffectTest, startsWithTheDefaultSetupAndRefuses64BitWithoutStoringIt)
{
    EXPECT_EQ(effect->currentSetup().processMode, kRealtime);
    EXPECT_EQ(effect->currentSetup().symbolicSampleSize, kSample32);
    EXPECT_EQ(effect->currentSetup().maxSamplesPerBlock, 1024);
    EXPECT_EQ(effect->currentSetup().sampleRate, 44100.0);

    ProcessSetup wide{kOffline, kSample64, 512, 96000.0};
    EXPECT_EQ(effect->canProcessSampleSize(kSample64), kResultFalse);
    EXPECT_EQ(effect->setupProcessing(wide), kResultFalse);
    EXPECT_EQ(effect->currentSetup().processMode, kRealtime);
    EXPECT_EQ(effect->currentSetup().maxSamplesPerBlock, 1024);
    EXPECT_EQ(effect->currentSetup().sampleRate, 44100.0);

    ProcessSetup accepted{kOffline, kSample32, 256, 48000.0};
    EXPECT_EQ(effect->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(effect->setupProcessing(accepted), kResultOk);
    EXPECT_EQ(effect->currentSetup().processMode, kOffline);
    EXPECT_EQ(effect->currentSetup().maxSamplesPerBlock, 256);
    EXPECT_EQ(effect->currentSetup().sampleRate, 48000.0);
}

TEST_F(AudioEffectTest, takesArrangementsOnlyWhenThereIsOneForEveryBus)
{
    SpeakerArrangement ins[] = {SpeakerArr::k51, SpeakerArr::kStereo};
    SpeakerArrangement outs[] = {SpeakerArr::kMono};

    // One input short: nothing changes.
    EXPECT_EQ(effect->setBusArrangements(ins, 1, outs, 1), kResultFalse);
    SpeakerArrangement arr = 0;
    EXPECT_EQ(effect->getBusArrangement(kInput, 0, arr), kResultTrue);
    EXPECT_EQ(arr, SpeakerArr::kStereo);
    EXPECT_EQ(effect->setBusArrangements(nullptr, 2, outs, 1), kInvalidArgument);

    EXPECT_EQ(effect->setBusArrangements(ins, 2, outs, 1), kResultTrue);
    EXPECT_EQ(effect->getBusArrangement(kInput, 0, arr), kResultTrue);
    EXPECT_EQ(arr, SpeakerArr::k51);
    EXPECT_EQ(effect->getBusArrangement(kInput, 1, arr), kResultTrue);
    EXPECT_EQ(arr, SpeakerArr::kStereo);
    EXPECT_EQ(effect->getBusArrangement(kOutput, 0, arr), kResultTrue);
    EXPECT_EQ(arr, SpeakerArr::kMono);
    // The bus info follows the arrangement.
    EXPECT_EQ(busInfo(kAudio, kInput, 0).channelCount, 6);
    EXPECT_EQ(busInfo(kAudio, kOutput, 0).channelCount, 1);

    EXPECT_EQ(effect->getBusArrangement(kOutput, 1, arr), kInvalidArgument);
    EXPECT_EQ(effect->getBusArrangement(kInput, -1, arr), kInvalidArgument);
}

TEST_F(AudioEffectTest, removesItsBusesOnTerminateAndCanBeInitializedAgain)
{
    effect->removeAudioBusses();
    EXPECT_EQ(effect->getBusCount(kAudio, kInput), 0);
    EXPECT_EQ(effect->getAudioInput(0), nullptr);
    EXPECT_EQ(effect->getBusCount(kEvent, kInput), 1);

    EXPECT_EQ(effect->terminate(), kResultOk);
    EXPECT_EQ(effect->getBusCount(kEvent, kInput), 0);
    ASSERT_EQ(effect->initialize(nullptr), kResultOk);
    EXPECT_EQ(effect->getBusCount(kAudio, kInput), 2);
}

TEST(AudioEffectLifetime, isDestroyedWithTheLastReferenceHeldThroughAnyInterface)
{
    auto* effect = new TestEffect;
    IComponent* component = nullptr;
    ASSERT_EQ(effect->queryInterface(IComponent::iid, reinterpret_cast<void**>(&component)),
              kResultOk);
    effect->release(); // the creation reference
    EXPECT_EQ(TestEffect::liveCount, 1);
    component->release();
    EXPECT_EQ(TestEffect::liveCount, 0);
}

} // namespace
