#include "processorfixture.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

TEST_F(ProcessorTest, InitializeCreatesMainAndInactiveAuxBuses)
{
    EXPECT_EQ(processor->getBusCount(kAudio, kInput), 2);
    EXPECT_EQ(processor->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(processor->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(busName(processor, kInput, 0), "Stereo In");
    EXPECT_EQ(busName(processor, kOutput, 0), "Stereo Out");
    EXPECT_EQ(busName(processor, kInput, 1), "Stereo Aux In");

    BusInfo aux{};
    ASSERT_EQ(processor->getBusInfo(kAudio, kInput, 1, aux), kResultOk);
    EXPECT_EQ(aux.busType, kAux);
    EXPECT_EQ(aux.flags, 0u);
    EXPECT_EQ(aux.channelCount, 2);
    BusInfo main{};
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
        SpeakerArrangement in[2] = {c.in, c.in};
        SpeakerArrangement out = c.out;
        ASSERT_EQ(processor->setBusArrangements(in, 2, &out, 1), kResultTrue);
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

// A proposal is answered kResultTrue only when every bus now has exactly the proposed arrangement.
// Otherwise the buses are adapted (the side chain follows the main input) and the answer is
// kResultFalse; either way the buses read back agree with each other and with the engine.
TEST_F(ProcessorTest, BusArrangementsAreTakenAsProposedOrAdaptedAndReportedFalse)
{
    using namespace SpeakerArr;
    struct Case
    {
        const char* what;
        std::vector<SpeakerArrangement> ins, outs;
        tresult result;
        SpeakerArrangement in, aux, out; // read back afterwards
    };
    const Case cases[] = {
        {"stereo with stereo side chain",
         {kStereo, kStereo},
         {kStereo},
         kResultTrue,
         kStereo,
         kStereo,
         kStereo},
        {"stereo without side-chain proposal",
         {kStereo},
         {kStereo},
         kResultTrue,
         kStereo,
         kStereo,
         kStereo},
        {"mono with mono side chain", {kMono, kMono}, {kMono}, kResultTrue, kMono, kMono, kMono},
        {"stereo in, mono out", {kStereo, kStereo}, {kMono}, kResultTrue, kStereo, kStereo, kMono},
        {"5.1 with 5.1 side chain", {k51, k51}, {k51}, kResultTrue, k51, k51, k51},
        {"mono with stereo side chain",
         {kMono, kStereo},
         {kMono},
         kResultFalse,
         kMono,
         kMono,
         kMono},
        {"stereo with mono side chain",
         {kStereo, kMono},
         {kStereo},
         kResultFalse,
         kStereo,
         kStereo,
         kStereo},
        {"a third input bus",
         {kStereo, kStereo, kStereo},
         {kStereo},
         kResultFalse,
         kStereo,
         kStereo,
         kStereo},
        {"a second output bus",
         {kMono, kMono},
         {kMono, kStereo},
         kResultFalse,
         kMono,
         kMono,
         kMono},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        // Start from a layout that differs from every expected one.
        SpeakerArrangement start[2] = {k40Music, k40Music};
        SpeakerArrangement startOut = k40Music;
        ASSERT_EQ(processor->setBusArrangements(start, 2, &startOut, 1), kResultTrue);

        std::vector<SpeakerArrangement> ins = c.ins, outs = c.outs;
        EXPECT_EQ(processor->setBusArrangements(ins.data(), int32(ins.size()), outs.data(),
                                                int32(outs.size())),
                  c.result);

        ASSERT_EQ(processor->getBusCount(kAudio, kInput), 2);
        ASSERT_EQ(processor->getBusCount(kAudio, kOutput), 1);
        SpeakerArrangement in = 0, aux = 0, out = 0;
        ASSERT_EQ(processor->getBusArrangement(kInput, 0, in), kResultTrue);
        ASSERT_EQ(processor->getBusArrangement(kInput, 1, aux), kResultTrue);
        ASSERT_EQ(processor->getBusArrangement(kOutput, 0, out), kResultTrue);
        EXPECT_EQ(in, c.in);
        EXPECT_EQ(aux, c.aux);
        EXPECT_EQ(out, c.out);
        if (c.result == kResultTrue)
        {
            EXPECT_EQ(in, ins[0]);
            EXPECT_EQ(out, outs[0]);
            if (ins.size() > 1)
            {
                EXPECT_EQ(aux, ins[1]);
            }
        }

        // Bus infos, names and the engine agree with the arrangements read back.
        BusInfo info{};
        processor->getBusInfo(kAudio, kInput, 0, info);
        EXPECT_EQ(info.channelCount, getChannelCount(in));
        processor->getBusInfo(kAudio, kInput, 1, info);
        EXPECT_EQ(info.channelCount, getChannelCount(aux));
        EXPECT_EQ(info.busType, kAux);
        processor->getBusInfo(kAudio, kOutput, 0, info);
        EXPECT_EQ(info.channelCount, getChannelCount(out));
        EXPECT_EQ(busName(processor, kInput, 0),
                  "In (" + std::to_string(getChannelCount(in)) + " Ch)");
        EXPECT_EQ(busName(processor, kOutput, 0),
                  "Out (" + std::to_string(getChannelCount(out)) + " Ch)");
        EXPECT_EQ(processor->gateEngine().inputChannels(), getChannelCount(in));
        EXPECT_EQ(processor->gateEngine().outputChannels(), getChannelCount(out));
        EXPECT_EQ(processor->gateEngine().sideChainChannels(), std::max(2, getChannelCount(in)));
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
    EXPECT_EQ(engine.settings().holdSamples, 3360); // 35 ms
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
