// Starting and restarting: what a new instance, a restart, a refused set-up and blocks a host
// should not have sent leave behind for the audio that follows.
#include "processorfixture.h"
#include "teststreams.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

namespace {

// 1 kHz at 48 kHz: the tone repeats every 48 samples, so a settled output does too.
constexpr double kRate = 48000.0;
constexpr int kPeriod = 48;

float tone(long n, float level = 0.5f, int period = kPeriod)
{
    return level * float(std::sin(2.0 * M_PI * double(n % period) / period));
}

// A processor of its own, initialized and set up as a host does; activation is left to the test.
struct Instance
{
    Instance(FUnknown* host, double rate, int maxBlock)
    {
        p->initialize(host);
        ProcessSetup setup {kRealtime, kSample32, maxBlock, rate};
        p->setupProcessing(setup);
    }
    ~Instance()
    {
        p->setActive(false);
        p->terminate();
        p->release();
    }

    // `frames` of signal(n), n counting on from earlier calls, in blocks of `block`; `perBlock`
    // may add parameter changes to every block. Returns channel 0 of the output.
    std::vector<float> play(const std::function<float(long)>& signal, long frames, int block,
                            const std::function<void(ParameterChanges&)>& perBlock = {})
    {
        std::vector<float> out;
        BlockBuffers b(2, 2, 0, block);
        for (long done = 0; done < frames; done += block)
        {
            const int count = int(std::min<long>(block, frames - done));
            for (int i = 0; i < count; ++i, ++position)
            {
                b.in[0][size_t(i)] = signal(position);
                b.in[1][size_t(i)] = -signal(position);
            }
            ParameterChanges changes(4, 1);
            if (perBlock)
                perBlock(changes);
            ProcessData data;
            data.symbolicSampleSize = kSample32;
            data.numSamples = count;
            data.numInputs = 1;
            data.numOutputs = 1;
            data.inputs = b.buses;
            data.outputs = &b.outBus;
            data.inputParameterChanges = &changes;
            EXPECT_EQ(p->process(data), kResultOk);
            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < count; ++i)
                    EXPECT_TRUE(std::isfinite(b.out[size_t(c)][size_t(i)])) << "at " << done + i;
            out.insert(out.end(), b.out[0].begin(), b.out[0].begin() + count);
        }
        return out;
    }

    Quorvane::again* p = new Quorvane::again;
    long position = 0;
};

void resend(ParameterChanges& changes, ParamID id, double value)
{
    int32 index = 0;
    changes.addParameterData(id, index)->addPoint(0, value, index);
}

// The level of one period from `from` on.
float rms(std::vector<float>::const_iterator from)
{
    double sum = 0.0;
    for (int i = 0; i < kPeriod; ++i, ++from)
        sum += double(*from) * *from;
    return float(std::sqrt(sum / kPeriod));
}

float largest(const std::vector<float>& samples)
{
    float m = 0.f;
    for (float x : samples)
        m = std::max(m, std::fabs(x));
    return m;
}

} // namespace

// A new instance plays its first block as it plays later ones: a host that opens an instance to
// process a selection (an audio editor's offline apply) must get all of it. Also with a host that
// re-sends the unchanged Bypass value with every block, and with a state restored before start.
TEST_F(ProcessorTest, AFreshInstancePlaysItsFirstBlockAtFullLevel)
{
    enum class Host { plain, resendsBypass, restoresState };
    for (int block : {32, 512, 4096, 8192})
        for (Host kind : {Host::plain, Host::resendsBypass, Host::restoresState})
        {
            const std::string where = "blocks of " + std::to_string(block) + ", host " +
                                      std::to_string(int(kind));
            Instance fresh(&host, kRate, block);
            if (kind == Host::restoresState)
            {
                ByteStream saved;
                ASSERT_EQ(fresh.p->getState(&saved), kResultOk);
                ByteStream state(saved.data);
                ASSERT_EQ(fresh.p->setState(&state), kResultOk);
            }
            fresh.p->setActive(true);
            const auto out = fresh.play([](long n) { return tone(n); }, long(kRate), block,
                                        [kind](ParameterChanges& changes) {
                                            if (kind == Host::resendsBypass)
                                                resend(changes, Quorvane::kBypassId, 0.0);
                                        });
            // From 5 ms (the gate has opened) to the end of the first block, at least 20 ms: the
            // level of every period against the settled one.
            const float settled = rms(out.end() - kPeriod);
            for (size_t n = 240; n < size_t(std::max(block, 960)); n += kPeriod)
                ASSERT_NEAR(rms(out.begin() + long(n)), settled, 0.01f * settled)
                    << where << ", from sample " << n;
        }
}

// A host that stops and starts processing (or changes the rate) must not hear the audio from
// before the stop come out of the silence after it; the gate itself carries on.
TEST_F(ProcessorTest, RestartingForgetsTheOldAudioButKeepsTheGateState)
{
    for (double restartRate : {kRate, 768000.0})
    {
        Instance instance(&host, kRate, 512);
        instance.p->setActive(true);
        instance.play([](long n) { return tone(n, 0.5f, 480); }, 24000, 512); // 100 Hz
        const float envelope = instance.p->gateEngine().detector(0).envelope;
        instance.p->setActive(false);
        ProcessSetup setup {kRealtime, kSample32, 512, restartRate};
        ASSERT_EQ(instance.p->setupProcessing(setup), kResultOk);
        instance.p->setActive(true);
        EXPECT_EQ(instance.p->gateEngine().detector(0).envelope, envelope) << restartRate;
        const auto out = instance.play([](long) { return 0.f; }, 4096, 512);
        EXPECT_LT(largest(out), 1e-20f) << "after a restart at " << restartRate << " Hz";
    }
}

// A block of the largest floats there are is no audio, but must not break the blocks after it.
TEST_F(ProcessorTest, ExtremeInputKeepsTheOutputFinite)
{
    for (int block : {64, 512, 4096})
    {
        Instance instance(&host, kRate, block);
        instance.p->setActive(true);
        instance.play([](long n) { return tone(n); }, block, block);
        instance.play([](long) { return 3.4e38f; }, block, block);
        const auto after = instance.play([](long n) { return tone(n); }, 4 * block, block);
        EXPECT_LE(largest(after), 1.f) << "blocks of " << block;
    }
}

TEST_F(ProcessorTest, SetupProcessingRefusesRatesAndBlockSizesThatCannotBe)
{
    ASSERT_EQ(setup(96000, 256), kResultOk);
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double rate;
        int32 block;
        tresult expected;
    } cases[] = {
        {0, 256, kInvalidArgument},   {-1, 256, kInvalidArgument},  {std::nan(""), 256, kInvalidArgument},
        {inf, 256, kInvalidArgument}, {-inf, 256, kInvalidArgument}, {1e300, 256, kInvalidArgument},
        {0.5, 256, kInvalidArgument}, {3.1e6, 256, kInvalidArgument}, {48000, 0, kInvalidArgument},
        {48000, -1, kInvalidArgument}, {768000, 256, kResultOk},       {96000, 256, kResultOk},
    };
    for (const auto& c : cases)
    {
        const int hold = processor->gateEngine().settings().holdSamples;
        EXPECT_EQ(setup(c.rate, c.block), c.expected) << c.rate << " Hz, " << c.block;
        if (c.expected != kResultOk)
        {
            EXPECT_EQ(processor->gateEngine().sampleRate(), 96000.f) << c.rate << " Hz, " << c.block;
            EXPECT_EQ(processor->gateEngine().settings().holdSamples, hold);
        }
    }
    // The set-up in force still holds: a block of its size is processed.
    processor->setActive(true);
    BlockBuffers b(2, 2, 0, 256);
    b.fillInput(0.5f);
    EXPECT_EQ(run(b, 256), kResultOk);
}

// 64-bit processing is refused at set-up; 64-bit buffers that come anyway are not touched.
TEST_F(ProcessorTest, SixtyFourBitBuffersAreRefusedUntouched)
{
    ASSERT_EQ(setup(48000, 64, kSample64), kResultFalse);
    processor->setActive(true);
    std::vector<double> left(64, 0.25), right(64, 0.25), outLeft(64, 7.0), outRight(64, 7.0);
    double* in[2] = {left.data(), right.data()};
    double* out[2] = {outLeft.data(), outRight.data()};
    AudioBusBuffers inBus, outBus;
    inBus.numChannels = outBus.numChannels = 2;
    inBus.channelBuffers64 = in;
    outBus.channelBuffers64 = out;
    ParameterChanges changes(2, 1);
    resend(changes, Quorvane::kThresholdId, 0.9);
    ProcessData data;
    data.symbolicSampleSize = kSample64;
    data.numSamples = 64;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
    data.inputParameterChanges = &changes;
    data.outputParameterChanges = &outChanges;
    const float threshold = processor->parameterMirror().value(Quorvane::kThresholdId);
    EXPECT_EQ(processor->process(data), kInvalidArgument);
    EXPECT_EQ(left, std::vector<double>(64, 0.25));
    EXPECT_EQ(outLeft, std::vector<double>(64, 7.0));
    EXPECT_EQ(outRight, std::vector<double>(64, 7.0));
    EXPECT_EQ(processor->parameterMirror().value(Quorvane::kThresholdId), threshold);
    EXPECT_EQ(outChanges.getParameterCount(), 0);
}

// Blocks a host sends while the processor is inactive (before the first activation, or between
// two) leave no trace in what it plays after the activation.
TEST_F(ProcessorTest, BlocksBeforeActivationLeaveNoTrace)
{
    auto loud = [](long n) { return tone(n, 0.8f); };
    auto quiet = [](long n) { return tone(n, 0.02f); };
    for (bool activeBefore : {false, true})
    {
        Instance early(&host, kRate, 512), plain(&host, kRate, 512);
        for (Instance* i : {&early, &plain})
            if (activeBefore)
            {
                i->p->setActive(true);
                i->play(quiet, 9600, 512);
                i->p->setActive(false);
            }
        early.play(loud, 2048, 512, [](ParameterChanges& c) { resend(c, Quorvane::kListenId, 1.0); });
        early.play(loud, 2048, 512, [](ParameterChanges& c) { resend(c, Quorvane::kListenId, 0.0); });
        for (Instance* i : {&early, &plain})
        {
            i->p->setActive(true);
            i->position = 0;
        }
        EXPECT_EQ(early.play(quiet, 9600, 512), plain.play(quiet, 9600, 512)) << activeBefore;
        EXPECT_EQ(early.p->gateEngine().maxVu(), plain.p->gateEngine().maxVu());
        EXPECT_EQ(early.p->gateEngine().maxGate(), plain.p->gateEngine().maxGate());
    }
}
