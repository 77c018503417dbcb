#include "processorfixture.h"

#include "pluginterfaces/base/ustring.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

namespace {

std::string busName(IComponent* c, BusDirection dir, int32 index)
{
    BusInfo info {};
    if (c->getBusInfo(kAudio, dir, index, info) != kResultOk)
        return "<none>";
    char name[128];
    UString(info.name, 128).toAscii(name, 128);
    return name;
}

} // namespace

TEST_F(ProcessorTest, InitializeCreatesMainAndInactiveAuxBuses)
{
    EXPECT_EQ(processor->getBusCount(kAudio, kInput), 2);
    EXPECT_EQ(processor->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(processor->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(busName(processor, kInput, 0), "Stereo In");
    EXPECT_EQ(busName(processor, kOutput, 0), "Stereo Out");
    EXPECT_EQ(busName(processor, kInput, 1), "Stereo Aux In");

    BusInfo aux {};
    ASSERT_EQ(processor->getBusInfo(kAudio, kInput, 1, aux), kResultOk);
    EXPECT_EQ(aux.busType, kAux);
    EXPECT_EQ(aux.flags, 0u);
    EXPECT_EQ(aux.channelCount, 2);
    BusInfo main {};
    processor->getBusInfo(kAudio, kInput, 0, main);
    EXPECT_EQ(main.busType, kMain);
    EXPECT_EQ(main.flags, uint32(BusInfo::kDefaultActive));
    EXPECT_FALSE(processor->getAudioInput(1)->isActive());

    const auto& engine = processor->gateEngine();
    EXPECT_EQ(engine.inputChannels(), 2);
    EXPECT_EQ(engine.outputChannels(), 2);
    EXPECT_EQ(engine.sideChainChannels(), 2);
    EXPECT_FLOAT_EQ(engine.sampleRate(), 44100.f);
    EXPECT_EQ(processor->getLatencySamples(), 0u);
    EXPECT_EQ(processor->getTailSamples(), 0u);
    EXPECT_EQ(processor->setProcessing(true), kNotImplemented);
}

TEST_F(ProcessorTest, BusArrangementsRenameBusesAndConfigureTheEngine)
{
    struct Case
    {
        SpeakerArrangement in, out;
        const char *inName, *outName, *auxName;
        int engineIn, engineOut, engineSide;
    };
    const Case cases[] = {
        {SpeakerArr::kMono, SpeakerArr::kMono, "In (1 Ch)", "Out (1 Ch)", "Aux (2 Ch)", 1, 1, 2},
        {SpeakerArr::kStereo, SpeakerArr::kMono, "In (2 Ch)", "Out (1 Ch)", "Aux (2 Ch)", 2, 1, 2},
        {SpeakerArr::k51, SpeakerArr::k51, "In (6 Ch)", "Out (6 Ch)", "Aux (6 Ch)", 6, 6, 6},
    };
    for (const Case& c : cases)
    {
        SpeakerArrangement in[2] = {c.in, SpeakerArr::kStereo};
        SpeakerArrangement out = c.out;
        ASSERT_EQ(processor->setBusArrangements(in, 2, &out, 1), kResultOk);
        EXPECT_EQ(busName(processor, kInput, 0), c.inName);
        EXPECT_EQ(busName(processor, kOutput, 0), c.outName);
        EXPECT_EQ(busName(processor, kInput, 1), c.auxName);
        SpeakerArrangement aux = 0;
        processor->getBusArrangement(kInput, 1, aux);
        EXPECT_EQ(aux, c.in) << "the aux bus follows the main input";
        EXPECT_EQ(processor->gateEngine().inputChannels(), c.engineIn);
        EXPECT_EQ(processor->gateEngine().outputChannels(), c.engineOut);
        EXPECT_EQ(processor->gateEngine().sideChainChannels(), c.engineSide);
    }
}

TEST_F(ProcessorTest, ArrangementWithoutMainBusesIsRefusedUnchanged)
{
    SpeakerArrangement mono = SpeakerArr::kMono;
    EXPECT_EQ(processor->setBusArrangements(&mono, 0, &mono, 1), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(&mono, 1, &mono, 0), kResultFalse);
    SpeakerArrangement empty = SpeakerArr::kEmpty;
    EXPECT_EQ(processor->setBusArrangements(&empty, 1, &mono, 1), kResultFalse);
    EXPECT_EQ(busName(processor, kInput, 0), "Stereo In");
    EXPECT_EQ(processor->gateEngine().inputChannels(), 2);

    processor->terminate();
    EXPECT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultFalse);
    processor->initialize(&host);
}

TEST_F(ProcessorTest, SetupProcessingRefuses64BitAndRederivesTimesAtNewRate)
{
    EXPECT_EQ(setup(48000, 512, kSample64), kResultFalse);
    EXPECT_FLOAT_EQ(processor->gateEngine().sampleRate(), 44100.f);
    EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultFalse);
    EXPECT_EQ(processor->canProcessSampleSize(kSample32), kResultTrue);

    const int holdAt44k = processor->gateEngine().settings().holdSamples;
    EXPECT_EQ(holdAt44k, 1544);
    ASSERT_EQ(setup(96000), kResultOk);
    const auto& engine = processor->gateEngine();
    EXPECT_FLOAT_EQ(engine.sampleRate(), 96000.f);
    EXPECT_EQ(engine.settings().holdSamples, 3360);               // 35 ms
    EXPECT_EQ(engine.meterInterval(), 4800);
    EXPECT_NEAR(engine.settings().releaseStep, std::pow(0.001f, 1.f / 960.f), 1e-6);
}

TEST_F(ProcessorTest, ActivationIsAnnouncedToThePeerAndKeepsGateState)
{
    ASSERT_EQ(setup(44100), kResultOk);
    EXPECT_EQ(processor->setActive(true), kResultOk);
    BlockBuffers b(2, 2, 0, 256);
    b.fillInput(0.5f);
    run(b, 256);
    const float envelope = processor->gateEngine().detector(0).envelope;
    EXPECT_EQ(processor->setActive(false), kResultOk);
    ASSERT_EQ(peer.texts.size(), 2u);
    EXPECT_EQ(peer.texts[0], "again::setActive (true)");
    EXPECT_EQ(peer.texts[1], "again::setActive (false)");
    EXPECT_EQ(processor->gateEngine().detector(0).envelope, envelope);
}

TEST_F(ProcessorTest, MessagesAndReceivedText)
{
    EXPECT_EQ(processor->notify(nullptr), kInvalidArgument);

    HostMessage binary;
    binary.setMessageID("BinaryMessage");
    const char bytes[4] = {1, 2, 3, 4};
    binary.getAttributes()->setBinary("MyData", bytes, 4);
    EXPECT_EQ(processor->notify(&binary), kResultOk);

    HostMessage text;
    text.setMessageID("TextMessage");
    text.getAttributes()->setString("Text", STR16("hello"));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(processor->notify(&text), kResultOk);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[again] received: hello\n");
}

TEST_F(ProcessorTest, ControllerClassIsNamed)
{
    TUID cid;
    ASSERT_EQ(processor->getControllerClassId(cid), kResultOk);
    char text[33];
    FUID::fromTUID(cid).toString(text);
    EXPECT_STREQ(text, "C39D5B65C7AF41FB743F4AC831EB03F1");
}
