// Every bad input ends in one clear line on standard error, a non-zero exit
// status that names the kind of problem, and an OUT that is neither created
// nor touched.
#include "hosttestfixture.h"

#include <sndfile.h>

namespace QuorvaneTest
{

namespace
{

constexpr int kUsage = 2;
constexpr int kInput = 3;
constexpr int kPlugin = 4;
constexpr int kOutput = 5;

void expectOneLineError(const CliResult& result, int exitCode, const std::string& mentions)
{
    EXPECT_EQ(result.exitCode, exitCode) << result.err;
    auto lines = hostLines(result.err);
    ASSERT_EQ(lines.size(), 1u) << result.err;
    EXPECT_NE(lines[0].find(mentions), std::string::npos) << lines[0];
}

} // namespace

class CommandLineErrorTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        ASSERT_TRUE(writeAudio(path("in.wav"), sine(2, 4410, 44100, 440.0, -12.0), 44100));
    }

    // Runs a render that must fail, with OUT first absent and then holding
    // older content; in both cases OUT must be as it was.
    void expectRenderFails(std::vector<std::string> args, int exitCode, const std::string& mentions,
                           const std::string& out = "out.wav")
    {
        std::filesystem::remove(path(out));
        expectOneLineError(runQuorvane(args, folder), exitCode, mentions);
        EXPECT_FALSE(fileExists(path(out))) << "a failed render created " << out;

        writeText(path(out), "older content");
        expectOneLineError(runQuorvane(args, folder), exitCode, mentions);
        EXPECT_EQ(fileContents(path(out)), "older content") << "a failed render touched " << out;
        std::filesystem::remove(path(out));

        std::vector<std::string> expected{"in.wav", "key48k.wav", "notes.txt", "preset.vstpreset"};
        EXPECT_TRUE(strayFiles(expected).empty()) << "left behind: " << strayFiles(expected)[0];
    }
};

TEST_F(CommandLineErrorTest, BadCommandLinesAreUsageErrors)
{
    expectOneLineError(runQuorvane({}), kUsage, "no command");
    expectOneLineError(runQuorvane({"gate"}), kUsage, "unknown command 'gate'");
    expectRenderFails({"render", "in.wav"}, kUsage, "render IN OUT");
    expectRenderFails({"render", "in.wav", "out.wav", "--frobnicate"}, kUsage, "--frobnicate");
    expectRenderFails({"render", "in.wav", "out.wav", "--block", "0"}, kUsage, "--block");
    expectRenderFails({"render", "in.wav", "out.wav", "--block", "12x"}, kUsage, "--block");
    expectRenderFails({"render", "in.wav", "out.wav", "--bits", "12"}, kUsage, "--bits");
    expectRenderFails({"render", "in.wav", "out.wav", "--preroll", "-1"}, kUsage, "--preroll");
    expectRenderFails({"render", "in.wav", "out.wav", "--set", "Threshold"}, kUsage, "NAME=VALUE");
    expectRenderFails({"render", "in.wav", "out.wav", "--sidechain"}, kUsage, "needs a value");
    expectRenderFails({"render", "in.wav", "out.wav", "--plot", "picture.jpg"}, kUsage, "PNG");
    expectRenderFails({"render", "in.wav", "out.wav", "--lv2", "--vst2"}, kUsage, "together");
    expectRenderFails({"render", "in.wav", "out.wav", "--lv2", "--preset", "Kick - tight"}, kUsage,
                      "--set");
    expectOneLineError(runQuorvane({"info", "--sidechain", "in.wav"}, folder), kUsage,
                       "--sidechain");
}

TEST_F(CommandLineErrorTest, UnusableInputsAreNamed)
{
    writeText(path("notes.txt"), "not audio at all");
    expectRenderFails({"render", "missing.wav", "out.wav"}, kInput, "'missing.wav' does not exist");
    expectRenderFails({"render", "notes.txt", "out.wav"}, kInput, "'notes.txt'");
    expectRenderFails({"render", folder, "out.wav"}, kInput, "is a folder");
    expectRenderFails({"render", "in.wav", "out.wav", "--sidechain", "missing.wav"}, kInput,
                      "side-chain file 'missing.wav' does not exist");
}

TEST_F(CommandLineErrorTest, UnreadableInputIsNamed)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop the superuser";
    ASSERT_TRUE(writeAudio(path("locked.wav"), sine(1, 100, 44100, 440.0, -12.0), 44100));
    chmod(path("locked.wav").c_str(), 0);
    expectOneLineError(runQuorvane({"render", "locked.wav", "out.wav"}, folder), kInput,
                       "not readable");
    EXPECT_FALSE(fileExists(path("out.wav")));
}

TEST_F(CommandLineErrorTest, SideChainAtAnotherRateIsRefusedNotResampled)
{
    ASSERT_TRUE(writeAudio(path("key48k.wav"), sine(2, 4800, 48000, 100.0, -6.0), 48000));
    expectRenderFails({"render", "in.wav", "out.wav", "--sidechain", "key48k.wav"}, kInput,
                      "48000 Hz");
}

TEST_F(CommandLineErrorTest, OutputsThatCannotBeWrittenAreNamed)
{
    expectRenderFails({"render", "in.wav", "out.xyz"}, kOutput, "'out.xyz'", "out.xyz");
    expectRenderFails({"render", "in.wav", "out.flac", "--bits", "32"}, kOutput, "FLAC",
                      "out.flac");
    expectRenderFails({"render", "in.wav", "out.ogg", "--bits", "16"}, kUsage, "bit depth",
                      "out.ogg");
    expectOneLineError(runQuorvane({"render", "in.wav", "no/such/folder/out.wav"}, folder), kOutput,
                       "no/such/folder/out.wav");
    std::filesystem::create_directory(path("taken.wav"));
    expectOneLineError(runQuorvane({"render", "in.wav", "taken.wav"}, folder), kOutput, "folder");
    std::filesystem::remove(path("taken.wav"));
}

TEST_F(CommandLineErrorTest, PluginsThatDoNotLoadAreNamed)
{
    writeText(path("notes.txt"), "not a library");
    expectRenderFails({"render", "in.wav", "out.wav", "--plugin", "nowhere.vst3"}, kPlugin,
                      "'nowhere.vst3' does not exist");
    expectRenderFails({"render", "in.wav", "out.wav", "--plugin", "notes.txt"}, kPlugin,
                      "cannot load");
    expectRenderFails({"render", "in.wav", "out.wav", "--plugin", folder}, kPlugin, "holds no");
    expectRenderFails({"render", "in.wav", "out.wav", "--plugin", "nowhere.lv2"}, kPlugin,
                      "no LV2 bundle at 'nowhere.lv2'");
    expectRenderFails({"render", "in.wav", "out.wav", "--plugin", QUORVANE_EMPTY_MODULE}, kPlugin,
                      "no audio effect class");
    expectRenderFails({"render", "in.wav", "out.wav", "--plugin", QUORVANE_REFUSING_MODULE},
                      kPlugin, "refused to initialize");
    expectOneLineError(runQuorvane({"params", QUORVANE_EMPTY_MODULE}), kPlugin,
                       "no audio effect class");
}

TEST_F(CommandLineErrorTest, BadParameterNamesAndValuesAreUsageErrors)
{
    REQUIRE_BUNDLE();
    auto render = [&](const std::string& option, const std::string& value)
    {
        return std::vector<std::string>{"render", "in.wav", "out.wav", "--plugin",
                                        bundle(), option,   value};
    };
    expectRenderFails(render("--set", "Treshold=-30"), kUsage, "unknown parameter 'Treshold'");
    // The message lists the names that would have worked.
    expectRenderFails(render("--set", "Treshold=-30"), kUsage, "Threshold, Range");
    expectRenderFails(render("--set", "Threshold=loud"), kUsage, "'loud'");
    expectRenderFails(render("--set", "Ducking=maybe"), kUsage, "'maybe'");
    expectRenderFails(render("--set", "Max Gate=1"), kUsage, "read-only");
    expectRenderFails(render("--set-normalized", "99=0.5"), kUsage, "ID '99'");
    expectRenderFails(render("--set-normalized", "6=1.5"), kUsage, "from 0 to 1");
    expectRenderFails(render("--set-normalized", "6=half"), kUsage, "from 0 to 1");
}

TEST_F(CommandLineErrorTest, BadPresetsAreNamed)
{
    REQUIRE_BUNDLE();
    writeText(path("preset.vstpreset"), "VST3 but not really a preset");
    auto render = [&](const std::string& preset)
    {
        return std::vector<std::string>{"render", "in.wav",   "out.wav", "--plugin",
                                        bundle(), "--preset", preset};
    };
    expectRenderFails(render("missing.vstpreset"), kInput, "missing.vstpreset");
    expectRenderFails(render("preset.vstpreset"), kInput, "not a .vstpreset");
}

} // namespace QuorvaneTest
