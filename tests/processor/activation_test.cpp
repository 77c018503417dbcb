// Starting and restarting: what a new instance, a restart, a refused set-up and blocks a host
// should not have sent leave behind for the audio that follows.
#include "processorfixture.h"

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

namespace
{

// 1 kHz at 48 kHz: the tone repeats every 48 samples.
constexpr int kPeriod = 48;
const double kTwoPi = 2.0 * std::acos(-1.0);
float tone(long n)
{
    return 0.5f * float(std::sin(kTwoPi * double(n % kPeriod) / kPeriod));
}

// A processor of its own, initialized and set up as a host does; activation is left to the test.
struct Instance
{
    Instance(FUnknown* host, double rate, int maxBlock)
    {
        p->initialize(host);
        ProcessSetup setup{kRealtime, kSample32, maxBlock, rate};
        p->setupProcessing(setup);
    }
    ~Instance()
    {
        p->setActive(false);
        p->terminate();
        p->release();
    }

    // `frames` of signal(n) in blocks of `block`, with an unchanged Bypass value in every block if
    // asked; returns the first output channel.
    std::vector<float> play(const std::function<float(long)>& signal, long frames, int block,
                            bool resendBypass = false)
    {
        std::vector<float> out;
        BlockBuffers b(2, 2, 0, block);
        for (long done = 0; done < frames; done += block)
        {
            for (int i = 0; i < block; ++i)
                b.in[0][size_t(i)] = b.in[1][size_t(i)] = signal(done + i);
            ParameterChanges changes(1, 1);
            int32 index = 0;
            if (resendBypass)
                changes.addParameterData(Quorvane::kBypassId, index)->addPoint(0, 0.0, index);
            ProcessData data = b.processData(block, 1, &changes);
            EXPECT_EQ(p->process(data), kResultOk);
            out.insert(out.end(), b.out[0].begin(), b.out[0].end());
        }
        return out;
    }

    Quorvane::again* p = new Quorvane::again;
};

// The level of one period from `from` on.
float rms(const std::vector<float>& x, size_t from)
{
    double sum = 0.0;
    for (size_t i = from; i < from + kPeriod; ++i)
        sum += double(x[i]) * x[i];
    return float(std::sqrt(sum / kPeriod));
}

} // namespace

// A new instance plays its first block as it plays later ones, whatever the block size: a host
// that opens an instance to process a selection (an audio editor's offline apply) must get all
// of it. Also when the host re-sends the unchanged Bypass value with every block.
TEST_F(ProcessorTest, AFreshInstancePlaysItsFirstBlockAtFullLevel)
{
    for (int block : {32, 512, 4096, 8192})
        for (bool resend : {false, true})
        {
            Instance fresh(&host, 48000, block);
            fresh.p->setActive(true);
            const auto out = fresh.play(tone, 48000, block, resend);
            // From 5 ms (the gate has opened) to the end of the first block, at least 20 ms.
            const float settled = rms(out, out.size() - kPeriod);
            for (size_t n = 240; n < size_t(std::max(block, 960)); n += kPeriod)
                ASSERT_NEAR(rms(out, n), settled, 0.01f * settled)
                    << "blocks of " << block << ", resent " << resend << ", from " << n;
        }
}

// Old audio must not come out of the silence after a restart (or with new coefficients after a
// rate change), nor may a block of the largest floats break the blocks after it. The gate carries
// on across a restart; blocks sent while inactive leave no trace after the activation.
TEST_F(ProcessorTest, RestartsAndStrayBlocksLeaveNothingBehind)
{
    auto hundredHertz = [](long n) { return 0.5f * float(std::sin(kTwoPi * double(n) / 480)); };
    auto extreme = [](long n) { return n < 512 ? 3.4e38f : tone(n); };
    auto silence = [](long) { return 0.f; };
    for (double rate : {48000.0, 768000.0})
    {
        Instance instance(&host, 48000, 512);
        instance.p->setActive(true);
        instance.play(hundredHertz, 24000, 512);
        const float envelope = instance.p->gateEngine().detector(0).envelope;
        instance.p->setActive(false);
        ProcessSetup setup{kRealtime, kSample32, 512, rate};
        ASSERT_EQ(instance.p->setupProcessing(setup), kResultOk);
        instance.p->setActive(true);
        EXPECT_EQ(instance.p->gateEngine().detector(0).envelope, envelope);
        for (float x : instance.play(silence, 4096, 512))
            ASSERT_LT(std::fabs(x), 1e-20f) << "after a restart at " << rate << " Hz";
        for (float x : instance.play(extreme, 4096, 512))
            ASSERT_LE(std::fabs(x), 1.f);
    }
    for (bool activeBefore : {false, true})
    {
        Instance early(&host, 48000, 512), plain(&host, 48000, 512);
        for (Instance* i : {&early, &plain})
            if (activeBefore)
            {
                i->p->setActive(true);
                i->play(tone, 4800, 512);
                i->p->setActive(false);
            }
        early.play(hundredHertz, 4096, 512, true);
        for (Instance* i : {&early, &plain})
            i->p->setActive(true);
        EXPECT_EQ(early.play(tone, 4800, 512), plain.play(tone, 4800, 512)) << activeBefore;
        EXPECT_EQ(early.p->gateEngine().maxVu(), plain.p->gateEngine().maxVu()) << activeBefore;
    }
}

// A set-up that cannot be honoured is refused and the one in force stays; 64-bit buffers (whose
// set-up is always refused) are not even looked at.
TEST_F(ProcessorTest, SetupsAndBuffersThatCannotBeHonouredAreRefusedUnchanged)
{
    ASSERT_EQ(setup(96000, 256), kResultOk);
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double rate;
        int32 block;
    } refused[] = {{0, 256},     {-1, 256},  {std::nan(""), 256}, {inf, 256}, {-inf, 256},
                   {1e300, 256}, {0.5, 256}, {3.1e6, 256},        {48000, 0}, {48000, -1}};
    for (const auto& c : refused)
        EXPECT_EQ(setup(c.rate, c.block), kInvalidArgument) << c.rate << " Hz, " << c.block;
    EXPECT_EQ(processor->gateEngine().sampleRate(), 96000.f);
    EXPECT_EQ(processor->gateEngine().settings().holdSamples, 3360);
    EXPECT_EQ(setup(768000, 256), kResultOk);

    processor->setActive(true);
    std::vector<std::vector<double>> buffers(4, std::vector<double>(64, 0.25));
    double* channels[4] = {buffers[0].data(), buffers[1].data(), buffers[2].data(),
                           buffers[3].data()};
    BlockBuffers b(2, 2, 0, 64);
    b.buses[0].channelBuffers64 = channels;
    b.outBus.channelBuffers64 = channels + 2;
    ParameterChanges changes(1, 1);
    int32 index = 0;
    changes.addParameterData(Quorvane::kThresholdId, index)->addPoint(0, 0.9, index);
    ProcessData data = b.processData(64, 1, &changes, &outChanges);
    data.symbolicSampleSize = kSample64;
    EXPECT_EQ(processor->process(data), kInvalidArgument);
    EXPECT_EQ(buffers, std::vector<std::vector<double>>(4, std::vector<double>(64, 0.25)));
    EXPECT_NE(processor->parameterMirror().value(Quorvane::kThresholdId), 0.9f);
    EXPECT_EQ(outChanges.getParameterCount(), 0);
}
