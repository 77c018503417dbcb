// The factory presets: every one is listed and loads by name with the
// values its source gives, and on the signal it was tuned on it does what
// its description promises. The README's table is the source's.
#include "hosttestfixture.h"
#include "presetsignals.h"

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace QuorvaneTest
{

namespace
{

struct SourcePreset
{
    std::string name;
    std::string signal;
    std::map<std::string, std::string> values;
};

// A reading of the source independent of quorvane's own.
std::vector<SourcePreset> readSource()
{
    std::vector<SourcePreset> presets;
    std::istringstream in(fileContents(QUORVANE_PRESET_SOURCE));
    for (std::string line; std::getline(in, line);)
    {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[')
        {
            presets.push_back({line.substr(1, line.find(']') - 1), {}, {}});
            continue;
        }
        auto equals = line.find(" = ");
        if (equals == std::string::npos || presets.empty())
            continue;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 3);
        if (key == "signal")
            presets.back().signal = value;
        else if (key != "for")
            presets.back().values[key] = value;
    }
    return presets;
}

double rmsDb(const Channels& data, size_t begin, size_t end)
{
    double sum = 0.0;
    for (size_t i = begin; i < end && i < data[0].size(); ++i)
        sum += static_cast<double>(data[0][i]) * data[0][i];
    return 10.0 * std::log10(sum / static_cast<double>(end - begin) + 1e-30);
}

// How much lower the output is than the input over [begin, end), in dB of
// RMS level. Open, the plug-in's crossover stage shades some frequencies by
// up to 2.5 dB, so "kept" allows for that.
double dropDb(const Channels& in, const Channels& out, size_t begin, size_t end)
{
    return rmsDb(in, begin, end) - rmsDb(out, begin, end);
}

constexpr double kKept = 3.0;

} // namespace

class FactoryPresetTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        REQUIRE_BUNDLE();
        if (!std::filesystem::exists(std::string(QUORVANE_PRESET_DIR) + "/Kick - tight.vstpreset"))
            GTEST_SKIP() << "the factory presets have not been made yet";
    }

    // The signal through the preset called NAME; the output's only channel.
    Channels render(const std::string& name, const TestSignal& signal)
    {
        EXPECT_TRUE(writeAudio(path("in.wav"), signal.audio, kSignalRate));
        std::vector<std::string> args{"render", "in.wav",   "out.wav", "--preset",
                                      name,     "--plugin", bundle(),  "--quiet"};
        if (!signal.key.empty())
        {
            EXPECT_TRUE(writeAudio(path("key.wav"), signal.key, kSignalRate));
            args.insert(args.end(), {"--sidechain", "key.wav"});
        }
        auto result = runQuorvane(args, folder);
        EXPECT_EQ(result.exitCode, 0) << name << ": " << result.err;
        return readAudio(path("out.wav")).channels;
    }
};

TEST_F(FactoryPresetTest, EveryPresetIsListedAndLoadsWithItsSourceValues)
{
    auto presets = readSource();
    ASSERT_GE(presets.size(), 10u);
    auto listed = runQuorvane({"presets"}, folder);
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    for (const auto& preset : presets)
    {
        EXPECT_NE(listed.out.find(preset.name + "  "), std::string::npos)
            << preset.name << " not in\n"
            << listed.out;
        auto params = runQuorvane(
            {"params", "--preset", preset.name, "--plugin", bundle(), "--quiet"}, folder);
        ASSERT_EQ(params.exitCode, 0) << preset.name << ": " << params.err;
        for (const auto& [title, value] : preset.values)
        {
            // The value column is the last one: "TEXT (normalized)".
            std::istringstream rows(params.out);
            std::string row;
            bool found = false;
            for (std::string line; std::getline(rows, line);)
                if (line.find("  " + title + "  ") != std::string::npos)
                {
                    row = line;
                    found = true;
                }
            ASSERT_TRUE(found) << title;
            std::string shown = row.substr(0, row.rfind(" ("));
            shown = shown.substr(shown.size() - std::min(shown.size(), value.size()));
            EXPECT_EQ(shown, value) << preset.name << ", " << title << ": " << row;
        }
    }
    auto unknown =
        runQuorvane({"params", "--preset", "Kick - loose", "--plugin", bundle()}, folder);
    EXPECT_EQ(unknown.exitCode, 3);
    EXPECT_NE(unknown.err.find("quorvane presets"), std::string::npos) << unknown.err;
}

TEST_F(FactoryPresetTest, TheReadmeTableIsTheSourcesTable)
{
    auto table = runQuorvane({"make-presets", QUORVANE_PRESET_SOURCE}, folder);
    ASSERT_EQ(table.exitCode, 0) << table.err;
    ASSERT_NE(table.out.find("| Kick - tight |"), std::string::npos) << table.out;
    EXPECT_NE(fileContents(QUORVANE_README).find(table.out), std::string::npos)
        << "README.md's preset table differs from the source; it should read:\n"
        << table.out;
}

TEST_F(FactoryPresetTest, MakingPresetsRefusesValuesThePluginWouldShowDifferently)
{
    writeText(path("source.ini"), "[Odd]\nfor = x\nsignal = y\nHold = 40 ms\n");
    auto result = runQuorvane({"make-presets", "source.ini", "out", "--plugin", bundle()}, folder);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("source.ini:1: preset 'Odd': Hold '40 ms' shows as '40.0 ms'"),
              std::string::npos)
        << result.err;
    writeText(path("source.ini"), "[A]\nfor = x\nsignal = y\nHold = 40.0 ms\n[a]\nfor = x\n");
    result = runQuorvane({"make-presets", "source.ini", "out", "--plugin", bundle()}, folder);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("source.ini:5: a second preset called 'a'"), std::string::npos)
        << result.err;
    EXPECT_FALSE(fileExists(path("out/A.vstpreset")));
}

TEST_F(FactoryPresetTest, KickKeepsEachHitAndShutsOutTheBleedBetween)
{
    TestSignal s = kickSignal();
    Channels out = render("Kick - tight", s);
    for (size_t start : s.starts)
    {
        EXPECT_LT(dropDb(s.audio, out, start, start + ms(30)), kKept) << "hit at " << start;
        EXPECT_GT(dropDb(s.audio, out, start + ms(450), start + ms(745)), 60.0)
            << "after " << start;
    }
}

TEST_F(FactoryPresetTest, SnareKeepsTheCrackAndCutsTheRing)
{
    TestSignal s = snareSignal();
    Channels out = render("Snare - ring cut", s);
    for (size_t start : s.starts)
    {
        EXPECT_LT(dropDb(s.audio, out, start, start + ms(15)), kKept) << "hit at " << start;
        // The ring is still 13 dB above the threshold here, yet the gate is shut.
        EXPECT_GT(dropDb(s.audio, out, start + ms(350), start + ms(500)), 30.0)
            << "ring after " << start;
    }
}

TEST_F(FactoryPresetTest, TomsHoldThroughTheDecayAndCloseBetweenFills)
{
    TestSignal s = tomSignal();
    Channels out = render("Toms - long hold", s);
    for (size_t start : s.starts)
    {
        EXPECT_LT(dropDb(s.audio, out, start, start + ms(20)), kKept) << "hit at " << start;
        // By now the decay is below the threshold; the gate still holds it.
        EXPECT_LT(dropDb(s.audio, out, start + ms(900), start + ms(1000)), kKept)
            << "decay after " << start;
        EXPECT_GT(dropDb(s.audio, out, start + ms(2200), start + ms(2490)), 50.0)
            << "after " << start;
    }
}

TEST_F(FactoryPresetTest, HiHatLetsStrokesThroughAndLowersTheSpill)
{
    TestSignal s = hiHatSignal();
    Channels out = render("Hi-hat - spill", s);
    for (size_t start : s.starts)
    {
        EXPECT_LT(dropDb(s.audio, out, start, start + ms(5)), kKept) << "stroke at " << start;
        double drop = dropDb(s.audio, out, start + ms(160), start + ms(245));
        EXPECT_NEAR(drop, 20.0, 1.5) << "spill after " << start;
    }
}

TEST_F(FactoryPresetTest, VoiceStaysOpenBetweenWordsAndLowersTheRoomInPauses)
{
    TestSignal s = speechSignal();
    Channels out = render("Voice - room noise", s);
    for (size_t i = 0; i < s.starts.size(); ++i)
    {
        for (int word = 1; word < 4; ++word)
        {
            size_t gap = s.starts[i] + static_cast<size_t>(word) * ms(360) - ms(60);
            EXPECT_LT(dropDb(s.audio, out, gap, gap + ms(60)), kKept) << "gap before word " << word;
        }
        EXPECT_NEAR(dropDb(s.audio, out, s.ends[i] + ms(700), s.ends[i] + ms(1000)), 18.0, 1.5)
            << "pause after phrase " << i;
    }
}

TEST_F(FactoryPresetTest, VocalLowersTheHeadphoneBleedBetweenPhrases)
{
    TestSignal s = singerSignal();
    Channels out = render("Vocal - headphone bleed", s);
    for (size_t i = 0; i < s.starts.size(); ++i)
    {
        EXPECT_LT(dropDb(s.audio, out, s.starts[i] + ms(100), s.ends[i]), kKept) << "phrase " << i;
        EXPECT_NEAR(dropDb(s.audio, out, s.ends[i] + ms(1000), s.ends[i] + ms(1450)), 30.0, 2.0)
            << "bleed after phrase " << i;
    }
}

TEST_F(FactoryPresetTest, GuitarLetsNotesRingAndSilencesTheHumBetweenPhrases)
{
    TestSignal s = guitarSignal();
    Channels out = render("Guitar - amp hum", s);
    for (size_t i = 0; i < s.starts.size(); ++i)
    {
        // Each note rings until the next, well below its start.
        for (int note = 0; note < 4; ++note)
        {
            size_t at = s.starts[i] + static_cast<size_t>(note) * ms(400);
            EXPECT_LT(dropDb(s.audio, out, at + ms(300), at + ms(400)), kKept) << "note " << note;
        }
        EXPECT_GT(dropDb(s.audio, out, s.ends[i] + ms(2400), s.ends[i] + ms(2790)), 70.0)
            << "hum after phrase " << i;
    }
}

TEST_F(FactoryPresetTest, PadDipsWhileTheKickPlaysAndComesBackBetween)
{
    TestSignal s = duckingSignal();
    Channels out = render("Pad - ducked by kick", s);
    for (size_t start : s.starts)
    {
        EXPECT_NEAR(dropDb(s.audio, out, start + ms(50), start + ms(150)), 12.0, 1.5)
            << "kick at " << start;
        EXPECT_LT(dropDb(s.audio, out, start + ms(480), start + ms(590)), kKept)
            << "after " << start;
    }
}

TEST_F(FactoryPresetTest, BeatSkipSilencesAboutHalfTheHitsWhole)
{
    TestSignal s = drumLoopSignal();
    Channels out = render("Beat Skip - rhythmic", s);
    int kept = 0;
    int skipped = 0;
    for (size_t i = 0; i < s.starts.size(); ++i)
    {
        double drop = dropDb(s.audio, out, s.starts[i], s.ends[i]);
        if (drop < kKept)
            ++kept;
        else if (drop > 60.0)
            ++skipped;
        else
            ADD_FAILURE() << "hit " << i << " was neither kept nor skipped whole: " << drop
                          << " dB lower";
    }
    // At random, with even odds: fewer than 8 of 40 either way is a 1-in-10^5 chance.
    EXPECT_EQ(kept + skipped, 40);
    EXPECT_GE(skipped, 8);
    EXPECT_GE(kept, 8);
}

TEST_F(FactoryPresetTest, ExpanderLowersTheQuietPartByTenDecibelsAtMostAndGradually)
{
    TestSignal s = noiseFloorSignal();
    Channels out = render("Expander - gentle", s);
    EXPECT_LT(dropDb(s.audio, out, ms(100), ms(1000)), 1.0);
    EXPECT_LT(dropDb(s.audio, out, ms(3100), ms(4000)), 1.0);
    for (size_t at = ms(1000); at < ms(3000); at += ms(50))
        EXPECT_LT(dropDb(s.audio, out, at, at + ms(50)), 11.0) << "at " << at;
    EXPECT_NEAR(dropDb(s.audio, out, ms(2200), ms(3000)), 10.0, 1.0);
    // Not a switch: part of the way down a while after the hold.
    double midway = dropDb(s.audio, out, ms(1200), ms(1250));
    EXPECT_GT(midway, 1.0);
    EXPECT_LT(midway, 9.0);
}

} // namespace QuorvaneTest
