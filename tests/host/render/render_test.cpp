// Rendering files through the built plug-in: the audio, the parameters as a
// user types them, channel layouts, block sizes, file formats and the summary.
#include "hosttestfixture.h"

#include <sndfile.h>

#include <algorithm>

namespace QuorvaneTest
{

namespace
{

constexpr int kRate = 44100;
constexpr size_t kLoudEnd = 13230; // 0.3 s of a tone at -12 dBFS ...
constexpr size_t kFrames = 44100;  // ... then 0.7 s of a tone at -60 dBFS

Channels burst(int channels)
{
    Channels data = sine(channels, static_cast<int>(kFrames), kRate, 440.0, -60.0);
    Channels loud = sine(channels, static_cast<int>(kLoudEnd), kRate, 440.0, -12.0);
    for (size_t c = 0; c < data.size(); ++c)
        std::copy(loud[c].begin(), loud[c].end(), data[c].begin());
    return data;
}

} // namespace

class RenderTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        REQUIRE_BUNDLE();
        ASSERT_TRUE(writeAudio(path("in.wav"), burst(2), kRate));
    }

    CliResult render(const std::string& in, const std::string& out,
                     std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{"render", in, out, "--plugin", bundle()};
        args.insert(args.end(), extra.begin(), extra.end());
        return runQuorvane(args, folder);
    }

    AudioData renderAndRead(const std::string& out, std::vector<std::string> extra = {})
    {
        auto result = render("in.wav", out, extra);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return readAudio(path(out));
    }
};

TEST_F(RenderTest, GatesTheQuietTailAndKeepsTheLoudPart)
{
    auto result = render("in.wav", "out.wav");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    AudioData out = readAudio(path("out.wav"));
    ASSERT_EQ(out.channels.size(), 2u);
    EXPECT_EQ(out.channels[0].size(), kFrames);
    EXPECT_EQ(out.sampleRate, kRate);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);

    EXPECT_NEAR(peakDb(out.channels, 2205, kLoudEnd), -12.0, 1.5);
    // Default threshold -20 dB: the -60 dB tail is shut after hold and release.
    EXPECT_LT(peakDb(out.channels, 22050, kFrames), -90.0);

    for (const char* item : {"duration", "real time", "peak", "gate open"})
        EXPECT_NE(result.out.find(item), std::string::npos) << item << " missing from\n"
                                                            << result.out;
    EXPECT_NE(result.out.find("1.00 s"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("in -12.0 dBFS"), std::string::npos) << result.out;

    // The gate is open for the loud 0.3 s plus hold and release, not longer.
    auto at = result.out.find("gate open");
    ASSERT_NE(at, std::string::npos);
    double openSeconds = std::stod(result.out.substr(at + 9));
    EXPECT_GT(openSeconds, 0.28);
    EXPECT_LT(openSeconds, 0.45);
}

TEST_F(RenderTest, ParametersAreSetByTitleAndDisplayText)
{
    // Above the loud part: nothing opens the gate.
    AudioData shut = renderAndRead("shut.wav", {"--set", "Threshold=-6 dB"});
    EXPECT_LT(peakDb(shut.channels, 4410, kFrames), -90.0);

    // Titles are matched without regard to case; below the quiet tail it passes.
    AudioData open = renderAndRead("open.wav", {"--set", "threshold=-70 dB", "--set", "HOLD=120"});
    EXPECT_NEAR(peakDb(open.channels, 22050, kFrames), -60.0, 1.5);

    // The raw normalized value reaches the same place as the display text.
    AudioData raw = renderAndRead("raw.wav", {"--set-normalized", "6=0.0789474"});
    EXPECT_LT(peakDb(raw.channels, 4410, kFrames), -90.0);
    AudioData rawOpen = renderAndRead("rawOpen.wav", {"--set-normalized", "6=0.92"});
    EXPECT_NEAR(peakDb(rawOpen.channels, 22050, kFrames), -60.0, 1.5);
}

TEST_F(RenderTest, SwitchesAcceptTheirShownWords)
{
    auto result = render("in.wav", "bypassed.wav", {"--set", "Bypass=on"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("set Bypass = On"), std::string::npos) << result.out;
    AudioData bypassed = readAudio(path("bypassed.wav"));
    AudioData in = readAudio(path("in.wav"));
    // Bypassed, the quiet tail comes through unchanged.
    for (size_t i = 22050; i < kFrames; i += 997)
        EXPECT_NEAR(bypassed.channels[0][i], in.channels[0][i], 1e-6f) << "frame " << i;

    AudioData numeric = renderAndRead("numeric.wav", {"--set", "bypass=1"});
    EXPECT_EQ(numeric.channels, bypassed.channels);
    AudioData off = renderAndRead("off.wav", {"--set", "Bypass=Off", "--set", "Hold Closed=off"});
    EXPECT_LT(peakDb(off.channels, 22050, kFrames), -90.0);
}

TEST_F(RenderTest, BlockSizeDoesNotChangeTheAudio)
{
    AudioData reference = renderAndRead("512.wav", {"--block", "512"});
    for (const char* block : {"1", "7", "4096", "65536"})
    {
        AudioData other =
            renderAndRead(std::string("b") + block + ".wav", {"--block", block, "--quiet"});
        EXPECT_EQ(other.channels, reference.channels) << "block " << block;
    }
}

// The file goes through the fresh instance from its first sample; --preroll plays silence first,
// just as silence in front of the file would.
TEST_F(RenderTest, PrerollIsSilenceInFrontOfTheFile)
{
    Channels padded = silence(2, 4410);
    const Channels file = burst(2);
    for (size_t c = 0; c < padded.size(); ++c)
        padded[c].insert(padded[c].end(), file[c].begin(), file[c].end());
    ASSERT_TRUE(writeAudio(path("padded.wav"), padded, kRate));
    ASSERT_EQ(render("padded.wav", "padded-out.wav", {"--block", "441", "-q"}).exitCode, 0);
    AudioData whole = readAudio(path("padded-out.wav"));
    AudioData prerolled =
        renderAndRead("prerolled.wav", {"--block", "441", "-q", "--preroll", "100"});
    for (size_t c = 0; c < 2; ++c)
        EXPECT_TRUE(std::equal(whole.channels[c].begin() + 4410, whole.channels[c].end(),
                               prerolled.channels[c].begin(), prerolled.channels[c].end()));
}

TEST_F(RenderTest, ChannelCountsFollowTheFile)
{
    for (int channels : {1, 3, 6})
    {
        std::string in = "in" + std::to_string(channels) + ".wav";
        std::string out = "out" + std::to_string(channels) + ".wav";
        ASSERT_TRUE(writeAudio(path(in), burst(channels), kRate));
        auto result = render(in, out, {"--quiet"});
        ASSERT_EQ(result.exitCode, 0) << channels << " channels: " << result.err;
        AudioData data = readAudio(path(out));
        ASSERT_EQ(data.channels.size(), static_cast<size_t>(channels));
        for (const auto& channel : data.channels)
        {
            Channels one{channel};
            EXPECT_NEAR(peakDb(one, 2205, kLoudEnd), -12.0, 1.5) << channels << " channels";
            EXPECT_LT(peakDb(one, 22050, kFrames), -90.0) << channels << " channels";
        }
    }
}

TEST_F(RenderTest, OutputFormatFollowsExtensionAndBits)
{
    ASSERT_TRUE(writeAudio(path("in16.wav"), burst(2), kRate, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    struct Case
    {
        std::string out;
        std::vector<std::string> extra;
        int format;
    };
    const Case cases[] = {
        {"float.wav", {}, SF_FORMAT_WAV | SF_FORMAT_FLOAT}, // WAV is float unless told
        {"sixteen.wav", {"--bits", "16"}, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        {"same.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16}, // others keep the input's depth
        {"deep.aiff", {"--bits", "24"}, SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
        {"lossy.ogg", {}, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> extra = c.extra;
        extra.push_back("--quiet");
        auto result = render("in16.wav", c.out, extra);
        ASSERT_EQ(result.exitCode, 0) << c.out << ": " << result.err;
        AudioData data = readAudio(path(c.out));
        EXPECT_EQ(data.format, c.format) << c.out;
        ASSERT_EQ(data.channels.size(), 2u) << c.out;
        EXPECT_NEAR(peakDb(data.channels, 2205, kLoudEnd), -12.0, 1.5) << c.out;
    }
}

TEST_F(RenderTest, QuietPrintsNothingAndTheDefaultBundleIsTheBuiltOne)
{
    auto result = runQuorvane({"render", "in.wav", "out.wav", "--quiet"}, folder);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(hostLines(result.err).empty()) << result.err;
    EXPECT_TRUE(strayFiles({"in.wav", "out.wav"}).empty());
}

TEST_F(RenderTest, PlotIsAPicture)
{
    auto result = render("in.wav", "out.wav", {"--plot", "levels.png", "--quiet"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string png = fileContents(path("levels.png"));
    ASSERT_GT(png.size(), 1000u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

} // namespace QuorvaneTest
