// `--vst2`: the same library hosted through its VST 2 entry point must sound
// exactly as it does through the VST 3 interfaces, and what a VST 2 effect
// cannot do is refused up front.
#include "hosttestfixture.h"

#include <regex>
#include <sstream>
#include <utility>

namespace QuorvaneTest
{

namespace
{

constexpr int kRate = 44100;
constexpr size_t kLoudEnd = 11025; // 0.25 s at -12 dBFS ...
constexpr size_t kFrames = 33075;  // ... then 0.5 s at -30 dBFS

Channels burst(int channels)
{
    Channels data = sine(channels, static_cast<int>(kFrames), kRate, 330.0, -30.0);
    Channels loud = sine(channels, static_cast<int>(kLoudEnd), kRate, 330.0, -12.0);
    for (size_t c = 0; c < data.size(); ++c)
        std::copy(loud[c].begin(), loud[c].end(), data[c].begin());
    return data;
}

// The ID and title columns of `quorvane params`.
std::vector<std::pair<std::string, std::string>> parameterTitles(const std::string& table)
{
    std::vector<std::pair<std::string, std::string>> titles;
    std::istringstream lines(table);
    std::string line;
    const std::regex row("^([0-9]+)  +(.*?)  +.*$");
    while (std::getline(lines, line))
    {
        std::smatch match;
        if (std::regex_match(line, match, row))
            titles.emplace_back(match[1], match[2]);
    }
    return titles;
}

} // namespace

class Vst2HostTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        REQUIRE_BUNDLE();
        ASSERT_TRUE(writeAudio(path("in.wav"), burst(2), kRate));
    }

    AudioData render(const std::string& out, std::vector<std::string> extra,
                     CliResult* result = nullptr)
    {
        std::vector<std::string> args{"render", "in.wav", out, "--plugin", bundle()};
        args.insert(args.end(), extra.begin(), extra.end());
        CliResult run = runQuorvane(args, folder);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        if (result)
            *result = run;
        return readAudio(path(out));
    }

    void expectUsageError(std::vector<std::string> args, const std::string& mentions)
    {
        CliResult result = runQuorvane(args, folder);
        EXPECT_EQ(result.exitCode, 2) << result.err;
        auto lines = hostLines(result.err);
        ASSERT_EQ(lines.size(), 1u) << result.err;
        EXPECT_NE(lines[0].find(mentions), std::string::npos) << lines[0];
        EXPECT_FALSE(fileExists(path("out.wav")));
    }
};

TEST_F(Vst2HostTest, RendersBitForBitAsTheVst3Path)
{
    // Values a 32-bit float holds exactly, as VST 2 carries them; an odd
    // block size and pre-roll so that the pre-roll and the last block are partial.
    for (std::vector<std::string> settings : {std::vector<std::string>{},
                                              {"--set-normalized", "6=0.5", "--set-normalized",
                                               "11=0.25", "--block", "300", "--preroll", "7.3"}})
    {
        AudioData vst3 = render("vst3.wav", settings);
        settings.push_back("--vst2");
        CliResult result;
        AudioData vst2 = render("vst2.wav", settings, &result);
        ASSERT_EQ(vst2.channels.size(), 2u);
        ASSERT_EQ(vst2.channels[0].size(), kFrames);
        EXPECT_TRUE(vst2.channels == vst3.channels) << "settings: " << settings.size();
        EXPECT_NE(result.out.find("gate open   n/a"), std::string::npos) << result.out;
    }

    // The settings reached the processor: the default -20 dB threshold shuts
    // the -30 dB tail, the lower one set above lets it through.
    AudioData defaults = render("defaults.wav", {"--vst2", "-q"});
    AudioData lowered = render("lowered.wav", {"--vst2", "-q", "--set-normalized", "6=0.5"});
    EXPECT_LT(peakDb(defaults.channels, 22050, kFrames), -90.0);
    EXPECT_NEAR(peakDb(lowered.channels, 22050, kFrames), -30.0, 1.5);
}

TEST_F(Vst2HostTest, AMonoFileFeedsBothInputsAndGetsTheFirstOutput)
{
    AudioData stereo = render("stereo.wav", {"--vst2", "-q"});
    ASSERT_TRUE(writeAudio(path("in.wav"), burst(1), kRate));
    AudioData mono = render("mono.wav", {"--vst2", "-q"});
    ASSERT_EQ(mono.channels.size(), 1u);
    EXPECT_TRUE(mono.channels[0] == stereo.channels[0]);
}

TEST_F(Vst2HostTest, ShowsTheEffectAndTheSameParametersAsTheVst3Path)
{
    CliResult info = runQuorvane({"info", "--vst2", "--plugin", bundle()}, folder);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    for (const char* item :
         {"Effect   Quorvane", "Ostrelle", "0x476E5632", "category       effect", "2 in, 2 out"})
        EXPECT_NE(info.out.find(item), std::string::npos) << item << " missing from\n" << info.out;

    CliResult vst3 = runQuorvane({"params", "--plugin", bundle()}, folder);
    CliResult vst2 = runQuorvane(
        {"params", "--vst2", "--plugin", bundle(), "--set-normalized", "6=0.5"}, folder);
    ASSERT_EQ(vst2.exitCode, 0) << vst2.err;
    auto titles = parameterTitles(vst3.out);
    EXPECT_GT(titles.size(), 10u);
    // A VST 2 effect's names fill the 8-byte field the interface documents.
    for (auto& [id, title] : titles)
        title = title.substr(0, title.find_last_not_of(' ', 6) + 1);
    EXPECT_EQ(parameterTitles(vst2.out), titles);
    // The value set shows as the effect displays it.
    EXPECT_NE(vst2.out.find("-38.0dB (0.5000)"), std::string::npos) << vst2.out;
}

TEST_F(Vst2HostTest, RefusesWhatAVst2EffectCannotDo)
{
    ASSERT_TRUE(writeAudio(path("key.wav"), burst(2), kRate));
    const std::string plugin = bundle();
    expectUsageError(
        {"render", "in.wav", "out.wav", "--vst2", "--plugin", plugin, "--sidechain", "key.wav"},
        "no side-chain input");
    expectUsageError(
        {"render", "in.wav", "out.wav", "--vst2", "--plugin", plugin, "--set", "Threshold=-30 dB"},
        "--set-normalized");
    expectUsageError(
        {"render", "in.wav", "out.wav", "--vst2", "--plugin", plugin, "--preset", "p.vstpreset"},
        "--preset");
    expectUsageError({"demo", "--vst2", "--plugin", plugin}, "--vst2 applies to");

    ASSERT_TRUE(writeAudio(path("three.wav"), sine(3, 4410, kRate, 440.0, -12.0), kRate));
    CliResult channels =
        runQuorvane({"render", "three.wav", "out.wav", "--vst2", "--plugin", plugin}, folder);
    EXPECT_EQ(channels.exitCode, 4) << channels.err;
    EXPECT_NE(channels.err.find("3-channel"), std::string::npos) << channels.err;
    EXPECT_FALSE(fileExists(path("out.wav")));
}

TEST_F(HostTest, Vst2RefusesALibraryWithoutTheVst2Entry)
{
    CliResult result = runQuorvane({"info", "--vst2", "--plugin", QUORVANE_EMPTY_MODULE}, folder);
    EXPECT_EQ(result.exitCode, 4) << result.err;
    EXPECT_NE(result.err.find("not a VST 2 plug-in"), std::string::npos) << result.err;
}

} // namespace QuorvaneTest
