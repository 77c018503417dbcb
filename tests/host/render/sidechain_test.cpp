// A side-chain file keys the gate through the plug-in's auxiliary bus.
#include "hosttestfixture.h"

namespace QuorvaneTest
{

namespace
{

constexpr int kRate = 44100;
constexpr size_t kHalf = 22050;
constexpr size_t kFrames = 44100;

} // namespace

class SideChainTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        REQUIRE_BUNDLE();
        // A steady -30 dB tone: below the default -20 dB threshold on its own.
        ASSERT_TRUE(writeAudio(path("in.wav"), sine(2, kFrames, kRate, 440.0, -30.0), kRate));
        // Silent first half, loud second half.
        Channels key = silence(2, kFrames);
        Channels loud = sine(2, kHalf, kRate, 90.0, -6.0);
        for (size_t c = 0; c < 2; ++c)
            std::copy(loud[c].begin(), loud[c].end(), key[c].begin() + kHalf);
        ASSERT_TRUE(writeAudio(path("key.wav"), key, kRate));
    }

    AudioData render(std::vector<std::string> extra, CliResult* result = nullptr)
    {
        std::vector<std::string> args{"render", "in.wav", "out.wav", "--plugin", bundle()};
        args.insert(args.end(), extra.begin(), extra.end());
        CliResult run = runQuorvane(args, folder);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        if (result)
            *result = run;
        return readAudio(path("out.wav"));
    }
};

TEST_F(SideChainTest, TheKeyOpensTheGateForTheInput)
{
    AudioData alone = render({});
    EXPECT_LT(peakDb(alone.channels, 4410, kFrames), -90.0)
        << "the input alone stays below the threshold";

    AudioData keyed = render({"--sidechain", "key.wav"});
    EXPECT_LT(peakDb(keyed.channels, 4410, kHalf), -90.0);
    EXPECT_NEAR(peakDb(keyed.channels, kHalf + 2205, kFrames), -30.0, 1.5);
}

TEST_F(SideChainTest, AMonoKeyFeedsEveryChannel)
{
    Channels stereo = readAudio(path("key.wav")).channels;
    ASSERT_TRUE(writeAudio(path("key.wav"), Channels{stereo[0]}, kRate));
    AudioData keyed = render({"--sidechain", "key.wav"});
    for (const auto& channel : keyed.channels)
        EXPECT_NEAR(peakDb(Channels{channel}, kHalf + 2205, kFrames), -30.0, 1.5);
}

TEST_F(SideChainTest, AShortKeyIsPaddedWithSilenceAndSaysSo)
{
    Channels key = sine(2, kHalf, kRate, 90.0, -6.0);
    ASSERT_TRUE(writeAudio(path("short.wav"), key, kRate));
    CliResult result;
    AudioData keyed = render({"--sidechain", "short.wav"}, &result);
    EXPECT_NE(result.err.find("shorter than the input"), std::string::npos) << result.err;
    EXPECT_NEAR(peakDb(keyed.channels, 2205, kHalf), -30.0, 1.5);
    EXPECT_LT(peakDb(keyed.channels, kHalf + 11025, kFrames), -90.0);
}

} // namespace QuorvaneTest
