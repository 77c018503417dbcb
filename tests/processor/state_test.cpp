#include "processorfixture.h"

#include "teststreams.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

namespace
{

std::vector<unsigned char> stateOf(IComponent* c)
{
    ByteStream s;
    EXPECT_EQ(c->getState(&s), kResultOk);
    return s.data;
}

std::vector<unsigned char> makeState(const int32_t (&switches)[5], const float (&values)[12])
{
    std::vector<unsigned char> bytes;
    for (int32_t v : switches)
        appendInt32(bytes, v);
    for (float v : values)
        appendFloat(bytes, v);
    return bytes;
}

} // namespace

TEST_F(ProcessorTest, DefaultStateIsTheDocumented68Bytes)
{
    // Written out by hand, little-endian. The floats are the normalized initial values, each the
    // single-precision curve of its parameter at the physical default.
    const std::vector<unsigned char> expected = {
        0x00, 0x00, 0x00, 0x00, // Bypass off
        0x00, 0x00, 0x00, 0x00, // Listen off
        0x01, 0x00, 0x00, 0x00, // Channel Linking on
        0x00, 0x00, 0x00, 0x00, // Ducking off
        0x01, 0x00, 0x00, 0x00, // Gradual Att Envelope on
        0x00, 0x00, 0x00, 0x3f, // Output Level 0.5 (0 dB)
        0xa2, 0xbc, 0x86, 0x3e, // Threshold 0.2631579 (-20 dB)
        0x00, 0x00, 0x00, 0x00, // Range 0.0 (-120 dB)
        0x00, 0x00, 0x80, 0x3f, // Hysteresis 1.0 (0 dB)
        0x2f, 0xf8, 0xae, 0x3d, // Attack (gradual) 0.08543431 (1 ms)
        0x10, 0x9c, 0x48, 0x3e, // Attack (synth) 0.1959078 (5 ms)
        0x55, 0xa8, 0x65, 0x3e, // Release 0.2242749 (10 ms)
        0xbe, 0x0a, 0xbc, 0x3e, // Hold 0.3672695 (35 ms)
        0x00, 0x00, 0x00, 0x00, // Hold Closed 0.0 (0 ms)
        0x00, 0x00, 0x00, 0x00, // Beat Skip 0.0
        0x00, 0x00, 0x00, 0x00, // Attack Delay 0.0 (0 ms)
        0x00, 0x00, 0x00, 0x00, // Note Truncation 0.0 (off)
    };
    ASSERT_EQ(expected.size(), 68u);
    EXPECT_EQ(stateOf(processor), expected);

    // The bytes above agree with the values as usually printed, to seven digits.
    const float values[12] = {0.5f,       0.2631579f, 0.0f, 1.0f, 0.08543431f, 0.1959078f,
                              0.2242749f, 0.3672695f, 0.0f, 0.0f, 0.0f,        0.0f};
    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR(floatAt(expected, 20 + size_t(i) * 4), values[i], 1e-7) << i;
}

TEST_F(ProcessorTest, StateRoundTripsBitForBitIntoAFreshProcessor)
{
    const int32_t switches[5] = {1, 0, 0, 1, 0};
    const float values[12] = {0.123f, 0.9f, 0.33f, 0.5f, 0.01f, 0.7f,
                              0.25f,  1.0f, 0.6f,  0.4f, 0.05f, 0.8f};
    ByteStream in(makeState(switches, values));
    ASSERT_EQ(processor->setState(&in), kResultOk);
    const auto written = stateOf(processor);
    EXPECT_EQ(written, in.data);

    auto* fresh = new Quorvane::again;
    fresh->initialize(&host);
    ByteStream again(written);
    ASSERT_EQ(fresh->setState(&again), kResultOk);
    EXPECT_EQ(stateOf(fresh), written);
    // The engine receives the same physical values as the original.
    EXPECT_EQ(fresh->gateEngine().settings().openThreshold,
              processor->gateEngine().settings().openThreshold);
    EXPECT_EQ(fresh->gateEngine().settings().holdSamples,
              processor->gateEngine().settings().holdSamples);
    EXPECT_EQ(fresh->gateEngine().outputGain(), processor->gateEngine().outputGain());
    fresh->terminate();
    fresh->release();
}

TEST_F(ProcessorTest, SwitchFieldsAreOnOnlyWhenPositive)
{
    const int32_t switches[5] = {7, -1, 0, 1, 2};
    const float values[12] = {};
    ByteStream in(makeState(switches, values));
    ASSERT_EQ(processor->setState(&in), kResultOk);
    const auto& m = processor->parameterMirror();
    EXPECT_TRUE(m.switches[0]);
    EXPECT_FALSE(m.switches[1]);
    EXPECT_FALSE(m.switches[2]);
    EXPECT_TRUE(m.switches[3]);
    EXPECT_TRUE(m.switches[4]);
    // Written back as exactly 1 or 0.
    const auto bytes = stateOf(processor);
    EXPECT_EQ(int32At(bytes, 0), 1);
    EXPECT_EQ(int32At(bytes, 4), 0);
    EXPECT_EQ(int32At(bytes, 16), 1);
}

TEST_F(ProcessorTest, FailingOrShortStreamsAndNullStreams)
{
    const auto before = stateOf(processor);

    // Reads fail after the five switches: nothing changes.
    const int32_t switches[5] = {1, 1, 0, 1, 0};
    const float values[12] = {};
    auto image = makeState(switches, values);
    ByteStream failing(std::vector<unsigned char>(image.begin(), image.begin() + 20));
    EXPECT_EQ(processor->setState(&failing), kResultFalse);
    EXPECT_EQ(stateOf(processor), before);

    // A stream that reports success for reads it cannot fill gives zeros for those fields.
    ByteStream shortOk(std::vector<unsigned char>(image.begin(), image.begin() + 20),
                       ByteStream::ShortRead::ReportSuccess);
    EXPECT_EQ(processor->setState(&shortOk), kResultOk);
    EXPECT_EQ(shortOk.position, 20u);
    const auto after = stateOf(processor);
    EXPECT_EQ(int32At(after, 0), 1);
    for (size_t offset = 20; offset < 68; offset += 4)
        EXPECT_EQ(floatAt(after, offset), 0.f) << offset;
    EXPECT_NEAR(processor->gateEngine().outputGain(), std::pow(10.f, -40.f / 20.f), 1e-6); // −40 dB

    // Bytes after the 68th are never read.
    auto longer = image;
    longer.resize(100, 0xAB);
    ByteStream longStream(longer);
    EXPECT_EQ(processor->setState(&longStream), kResultOk);
    EXPECT_EQ(longStream.position, 68u);

    EXPECT_EQ(processor->setState(nullptr), kInvalidArgument);
    EXPECT_EQ(processor->getState(nullptr), kInvalidArgument);

    // getState stops at the first failed write.
    ByteStream limited;
    limited.setWriteLimit(10);
    EXPECT_EQ(processor->getState(&limited), kResultFalse);
    EXPECT_EQ(limited.data.size(), 8u);
}

TEST_F(ProcessorTest, StateSetWhileActiveReachesTheEngineAtTheNextBlock)
{
    ASSERT_EQ(setup(44100), kResultOk);
    processor->setActive(true);
    const int32_t switches[5] = {0, 0, 1, 0, 1};
    const float values[12] = {0.5f, 0.75f, 0.f, 1.f, 0.1f, 0.2f, 0.3f, 0.4f, 0.f, 0.f, 0.f, 0.f};
    ByteStream in(makeState(switches, values));
    const float thresholdBefore = processor->gateEngine().settings().openThreshold;
    ASSERT_EQ(processor->setState(&in), kResultOk);
    EXPECT_EQ(processor->gateEngine().settings().openThreshold, thresholdBefore);
    EXPECT_EQ(stateOf(processor), in.data) << "getState reports the newest state at once";

    BlockBuffers b(2, 2, 0, 64);
    run(b, 64);
    EXPECT_NEAR(processor->gateEngine().settings().openThreshold, std::pow(10.f, -57.f / 20.f),
                1e-6);
    EXPECT_EQ(stateOf(processor), in.data);

    // A state handed over after the last block is applied on deactivation, not lost.
    const float values2[12] = {0.5f, 0.25f, 0.f, 1.f, 0.1f, 0.2f, 0.3f, 0.4f, 0.f, 0.f, 0.f, 0.f};
    ByteStream in2(makeState(switches, values2));
    processor->setState(&in2);
    processor->setActive(false);
    EXPECT_EQ(processor->parameterMirror().value(Quorvane::kThresholdId), 0.25f);
}

// getState while active reports what the audio thread has taken in: a parameter change from the
// block that brought it, and still after blocks that brought none; likewise a state set while
// active and then changed by a parameter.
TEST_F(ProcessorTest, GetStateWhileActiveKeepsTheLastChangesOverBlocksWithoutAny)
{
    ASSERT_EQ(setup(44100), kResultOk);
    processor->setActive(true);
    BlockBuffers b(2, 2, 0, 64);
    ParameterChanges none(4, 2);
    auto setField = [](std::vector<unsigned char>& state, ParamID id, float v)
    { std::memcpy(state.data() + 4 * id, &v, 4); };

    std::vector<unsigned char> expected = stateOf(processor);
    ParameterChanges changes(4, 2);
    int32 index = 0;
    changes.addParameterData(Quorvane::kThresholdId, index)->addPoint(10, 0.6, index);
    changes.addParameterData(Quorvane::kDuckingId, index)->addPoint(0, 1.0, index);
    ASSERT_EQ(run(b, 64, &changes), kResultOk);
    setField(expected, Quorvane::kThresholdId, 0.6f);
    expected[4 * Quorvane::kDuckingId] = 1;
    EXPECT_EQ(stateOf(processor), expected);
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_EQ(run(b, 64, i == 1 ? &none : nullptr), kResultOk);
        EXPECT_EQ(stateOf(processor), expected) << "block " << i;
    }

    const int32_t switches[5] = {0, 0, 1, 0, 1};
    const float values[12] = {0.5f, 0.75f, 0.f, 1.f, 0.1f, 0.2f, 0.3f, 0.4f, 0.f, 0.f, 0.f, 0.f};
    ByteStream in(makeState(switches, values));
    ASSERT_EQ(processor->setState(&in), kResultOk);
    expected = in.data;
    ASSERT_EQ(run(b, 64), kResultOk);
    EXPECT_EQ(stateOf(processor), expected);
    ParameterChanges range(4, 2);
    range.addParameterData(Quorvane::kRangeId, index)->addPoint(0, 0.125, index);
    ASSERT_EQ(run(b, 64, &range), kResultOk);
    setField(expected, Quorvane::kRangeId, 0.125f);
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(stateOf(processor), expected) << "block " << i;
        ASSERT_EQ(run(b, 64, &none), kResultOk);
    }
    processor->setActive(false);
    EXPECT_EQ(stateOf(processor), expected);
}

// The host's main thread restores and saves states while the audio thread processes: every state
// read back must be one that was written (never a mix), and the output must stay finite.
TEST_F(ProcessorTest, ConcurrentSetStateAndProcessNeverMixStates)
{
    ASSERT_EQ(setup(48000, 256), kResultOk);
    processor->setActive(true);

    std::vector<std::vector<unsigned char>> written;
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> unit(0.f, 1.f);
    for (int i = 0; i < 64; ++i)
    {
        int32_t s[5];
        float v[12];
        for (auto& x : s)
            x = int32_t(rng() & 1);
        for (auto& x : v)
            x = unit(rng);
        written.push_back(makeState(s, v));
    }
    std::set<std::vector<unsigned char>> known(written.begin(), written.end());
    known.insert(stateOf(processor));

    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};
    std::thread audio(
        [&]
        {
            BlockBuffers b(2, 2, 0, 256);
            std::mt19937 noise(3);
            std::uniform_real_distribution<float> sample(-1.f, 1.f);
            while (!stop.load())
            {
                for (auto& c : b.in)
                    for (auto& x : c)
                        x = sample(noise);
                run(b, 256);
                for (auto& c : b.out)
                    for (float x : c)
                        if (!std::isfinite(x))
                            finite = false;
            }
        });

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    size_t reads = 0, i = 0;
    while (std::chrono::steady_clock::now() < deadline)
    {
        ByteStream in(written[i++ % written.size()]);
        ByteStream out;
        const bool ok =
            processor->setState(&in) == kResultOk && processor->getState(&out) == kResultOk;
        if (!ok || out.data.size() != 68u || !known.count(out.data) || out.data != in.data)
        {
            ADD_FAILURE() << "state read back is not the one written last (a mix or an old one)";
            break;
        }
        ++reads;
    }
    stop = true;
    audio.join();
    EXPECT_TRUE(finite.load());
    EXPECT_GT(reads, 100u);
    processor->setActive(false);
}

TEST_F(ProcessorTest, StateFieldsThatAreNotNumbersKeepTheValueInForce)
{
    const int32_t switches[5] = {0, 0, 1, 0, 1};
    float values[12] = {0.5f, 0.75f, 0.f, 1.f, 0.1f, 0.2f, 0.3f, 0.4f, 0.f, 0.f, 0.f, 0.f};
    values[1] = std::nanf("");
    values[6] = INFINITY;
    const float before = processor->parameterMirror().value(Quorvane::kThresholdId);
    ByteStream in(makeState(switches, values));
    ASSERT_EQ(processor->setState(&in), kResultOk);
    EXPECT_EQ(processor->parameterMirror().value(Quorvane::kThresholdId), before);
    EXPECT_TRUE(std::isfinite(processor->parameterMirror().value(Quorvane::kReleaseId)));
    EXPECT_EQ(processor->parameterMirror().value(Quorvane::kOutputLevelId), 0.5f);
}
