// Running out of memory while changing the bus arrangement: the call reports it and changes
// nothing, whichever allocation fails.
#include "processorfixture.h"

#include "allocationcounter.h"

#include <cmath>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

namespace
{

SpeakerArrangement arrangementOf(IAudioProcessor* p, BusDirection dir, int32 index)
{
    SpeakerArrangement arr = 0;
    p->getBusArrangement(dir, index, arr);
    return arr;
}

// One block through a processor, with bursts that open and close the gate.
void processBlock(Quorvane::again* p, BlockBuffers& b, int frames, long start)
{
    for (size_t c = 0; c < b.in.size(); ++c)
        for (int i = 0; i < frames; ++i)
        {
            const long n = start + i;
            b.in[c][size_t(i)] =
                float(std::sin(0.05 * double(n) + double(c))) * ((n / 3000) % 2 ? 0.6f : 0.0004f);
        }
    ProcessData data = b.processData(frames);
    p->process(data);
}

} // namespace

TEST_F(ProcessorTest, ArrangementThatRunsOutOfMemoryChangesNothing)
{
    ASSERT_EQ(setup(44100, 256), kResultOk);
    // A twin that never sees the failing calls: the processor must go on exactly like it.
    auto* twin = new Quorvane::again;
    twin->initialize(&host);
    ProcessSetup s{kRealtime, kSample32, 256, 44100.0};
    twin->setupProcessing(s);

    SpeakerArrangement in[2] = {SpeakerArr::k51, SpeakerArr::k51};
    SpeakerArrangement out = SpeakerArr::k51;
    long position = 0;
    size_t nth = 1;
    for (;; ++nth)
    {
        SCOPED_TRACE("allocation " + std::to_string(nth) + " fails");
        tresult result = kResultFalse;
        bool failed = false;
        bool threw = false;
        {
            AllocationProbe failing(nth);
            try
            {
                result = processor->setBusArrangements(in, 2, &out, 1);
            }
            catch (...)
            {
                threw = true;
            }
            failed = failing.failed();
        }
        ASSERT_FALSE(threw) << "an exception left setBusArrangements";
        if (!failed)
        {
            EXPECT_EQ(result, kResultTrue);
            break;
        }
        EXPECT_EQ(result, kOutOfMemory);

        // Buses and engine exactly as before.
        ASSERT_EQ(processor->getBusCount(kAudio, kInput), 2);
        ASSERT_EQ(processor->getBusCount(kAudio, kOutput), 1);
        EXPECT_EQ(arrangementOf(processor, kInput, 0), SpeakerArr::kStereo);
        EXPECT_EQ(arrangementOf(processor, kInput, 1), SpeakerArr::kStereo);
        EXPECT_EQ(arrangementOf(processor, kOutput, 0), SpeakerArr::kStereo);
        EXPECT_EQ(busName(processor, kInput, 0), "Stereo In");
        EXPECT_EQ(busName(processor, kOutput, 0), "Stereo Out");
        EXPECT_EQ(busName(processor, kInput, 1), "Stereo Aux In");
        const auto& engine = processor->gateEngine();
        ASSERT_EQ(engine.inputChannels(), 2);
        ASSERT_EQ(engine.outputChannels(), 2);
        ASSERT_EQ(engine.sideChainChannels(), 2);

        // Processing at the old width, and with fewer host channels than that, goes on as in the
        // twin, sample for sample.
        processor->setActive(true);
        twin->setActive(true);
        for (int channels : {2, 1})
        {
            BlockBuffers mine(channels, channels, 0, 256), theirs(channels, channels, 0, 256);
            processBlock(processor, mine, 256, position);
            processBlock(twin, theirs, 256, position);
            position += 256;
            for (int c = 0; c < channels; ++c)
                ASSERT_EQ(mine.out[size_t(c)], theirs.out[size_t(c)])
                    << channels << " channels, channel " << c;
        }
        processor->setActive(false);
        twin->setActive(false);
    }
    EXPECT_GT(nth, 4u) << "the call needs several allocations, each of which was made to fail";

    // Once memory is there, the new arrangement is in force.
    EXPECT_EQ(arrangementOf(processor, kInput, 0), SpeakerArr::k51);
    EXPECT_EQ(processor->gateEngine().inputChannels(), 6);
    processor->setActive(true);
    BlockBuffers wide(6, 6, 0, 256);
    processBlock(processor, wide, 256, 0);
    for (const auto& c : wide.out)
        for (float x : c)
            ASSERT_TRUE(std::isfinite(x));
    processor->setActive(false);

    twin->terminate();
    twin->release();
}

// The same for the buses initialize makes: out of memory there leaves a component without buses
// that reports it, and a later initialize succeeds.
TEST(ProcessorInitialize, RunningOutOfMemoryIsReportedWithoutBuses)
{
    HostApplication host;
    size_t nth = 1;
    for (;; ++nth)
    {
        SCOPED_TRACE("allocation " + std::to_string(nth) + " fails");
        auto* p = new Quorvane::again;
        tresult result = kResultFalse;
        bool failed = false;
        bool threw = false;
        {
            AllocationProbe failing(nth);
            try
            {
                result = p->initialize(&host);
            }
            catch (...)
            {
                threw = true;
            }
            failed = failing.failed();
        }
        EXPECT_FALSE(threw) << "an exception left initialize";
        if (!failed)
        {
            EXPECT_EQ(result, kResultOk);
            EXPECT_EQ(p->getBusCount(kAudio, kInput), 2);
            p->terminate();
            p->release();
            break;
        }
        EXPECT_EQ(result, kOutOfMemory);
        EXPECT_EQ(p->getBusCount(kAudio, kInput), 0);
        EXPECT_EQ(p->getBusCount(kAudio, kOutput), 0);
        // Memory is back: the component starts normally.
        EXPECT_EQ(p->initialize(&host), kResultOk);
        EXPECT_EQ(p->getBusCount(kAudio, kInput), 2);
        p->terminate();
        p->release();
    }
    EXPECT_GT(nth, 4u);
}
