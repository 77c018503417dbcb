// Presets in the .vstpreset format: what one render saves, another loads.
#include "hosttestfixture.h"

namespace QuorvaneTest
{

namespace
{

constexpr int kRate = 44100;

std::string rowOf(const std::string& table, const std::string& title)
{
    std::istringstream in(table);
    for (std::string line; std::getline(in, line);)
        if (line.find("  " + title + "  ") != std::string::npos)
            return line;
    return {};
}

} // namespace

class PresetTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        REQUIRE_BUNDLE();
        Channels data = sine(2, 22050, kRate, 330.0, -50.0);
        Channels loud = sine(2, 4410, kRate, 330.0, -10.0);
        for (size_t c = 0; c < 2; ++c)
            std::copy(loud[c].begin(), loud[c].end(), data[c].begin() + 4410);
        ASSERT_TRUE(writeAudio(path("in.wav"), data, kRate));
    }

    CliResult run(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--plugin", bundle()});
        return runQuorvane(args, folder);
    }
};

TEST_F(PresetTest, SavedStateRendersLikeTheSettingsThatMadeIt)
{
    auto saved = run({"render", "in.wav", "set.wav", "--set", "Threshold=-60 dB", "--set",
                      "Hold=120", "--set", "Ducking=on", "--save-preset", "p.vstpreset"});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    std::string preset = fileContents(path("p.vstpreset"));
    ASSERT_GE(preset.size(), 48u);
    EXPECT_EQ(preset.substr(0, 4), "VST3");
    for (const char* chunk : {"Comp", "Cont", "List"})
        EXPECT_NE(preset.find(chunk), std::string::npos) << chunk;

    auto loaded = run({"render", "in.wav", "loaded.wav", "--preset", "p.vstpreset"});
    ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
    EXPECT_EQ(readAudio(path("loaded.wav")).channels, readAudio(path("set.wav")).channels);

    auto table = run({"params", "--preset", "p.vstpreset"});
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_NE(rowOf(table.out, "Threshold").find("-60.0 dB"), std::string::npos) << table.out;
    EXPECT_NE(rowOf(table.out, "Hold").find("120 ms"), std::string::npos) << table.out;
    EXPECT_NE(rowOf(table.out, "Ducking").find("On"), std::string::npos) << table.out;
}

TEST_F(PresetTest, SetValuesOverrideTheLoadedPreset)
{
    ASSERT_EQ(run({"params", "--set", "Threshold=-60 dB", "--save-preset", "p.vstpreset"}).exitCode,
              0);
    auto table = run({"params", "--preset", "p.vstpreset", "--set", "Threshold=-12 dB"});
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_NE(rowOf(table.out, "Threshold").find("-12.0 dB"), std::string::npos) << table.out;

    // A preset saved by `params` carries the values to the processor too.
    ASSERT_EQ(run({"render", "in.wav", "a.wav", "--preset", "p.vstpreset"}).exitCode, 0);
    ASSERT_EQ(run({"render", "in.wav", "b.wav", "--set", "Threshold=-60 dB"}).exitCode, 0);
    EXPECT_EQ(readAudio(path("a.wav")).channels, readAudio(path("b.wav")).channels);
}

TEST_F(PresetTest, PresetOfAnotherPluginIsRefused)
{
    ASSERT_EQ(run({"params", "--save-preset", "p.vstpreset"}).exitCode, 0);
    std::string preset = fileContents(path("p.vstpreset"));
    ASSERT_GE(preset.size(), 40u);
    // The class ID follows the header and version as 32 hex digits.
    preset.replace(8, 32, "0123456789ABCDEF0123456789ABCDEF");
    writeText(path("other.vstpreset"), preset);
    auto result = run({"render", "in.wav", "out.wav", "--preset", "other.vstpreset"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("another plug-in"), std::string::npos) << result.err;
    EXPECT_FALSE(fileExists(path("out.wav")));
}

} // namespace QuorvaneTest
