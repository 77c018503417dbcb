// `quorvane render IN... --out-dir DIR`: every good file is written, exactly
// as a render of that file alone would write it; a bad one is reported and
// the status says so. And --quiet keeps the plug-in's own lines away.
#include "hosttestfixture.h"

#include <sstream>

namespace QuorvaneTest
{

namespace
{

constexpr int kRate = 44100;

// Loud bursts over a quiet tone; each file has its bursts elsewhere.
Channels drumLike(int seed)
{
    Channels data = sine(2, kRate, kRate, 220.0 + 30.0 * seed, -60.0);
    Channels hit = sine(2, 2205, kRate, 440.0, -10.0);
    for (size_t start = 2000 + 1500 * static_cast<size_t>(seed); start + 2205 < data[0].size();
         start += 11025)
        for (size_t c = 0; c < 2; ++c)
            std::copy(hit[c].begin(), hit[c].end(), data[c].begin() + static_cast<long>(start));
    return data;
}

size_t countLines(const std::string& text, const std::string& containing)
{
    size_t count = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find(containing) != std::string::npos)
            ++count;
    return count;
}

} // namespace

class BatchRenderTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        REQUIRE_BUNDLE();
        for (int i = 0; i < 8; ++i)
            ASSERT_TRUE(writeAudio(path(name(i)), drumLike(i), kRate));
    }

    static std::string name(int i) { return "take" + std::to_string(i) + ".wav"; }

    CliResult batch(std::vector<std::string> inputs, std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{"render"};
        args.insert(args.end(), inputs.begin(), inputs.end());
        args.insert(args.end(), {"--out-dir", "gated", "--plugin", bundle()});
        args.insert(args.end(), extra.begin(), extra.end());
        return runQuorvane(args, folder);
    }
};

TEST_F(BatchRenderTest, ACorruptFileIsReportedAndTheOtherSevenAreWritten)
{
    writeText(path(name(3)), "RIFF....WAVEfmt this is not audio");
    std::vector<std::string> inputs;
    for (int i = 0; i < 8; ++i)
        inputs.push_back(name(i));
    auto result = batch(inputs, {"--jobs", "2"});

    EXPECT_EQ(result.exitCode, 3) << result.err; // an unusable input
    EXPECT_EQ(countLines(result.err, "FAILED"), 1u) << result.err;
    EXPECT_NE(result.err.find("FAILED " + name(3)), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("1 of 8 files failed"), std::string::npos) << result.err;
    EXPECT_EQ(countLines(result.out, "ok "), 7u) << result.out;

    EXPECT_FALSE(fileExists(path("gated/" + name(3))));
    for (int i = 0; i < 8; ++i)
    {
        if (i == 3)
            continue;
        // The same audio as the file rendered on its own.
        auto alone =
            runQuorvane({"render", name(i), "alone.wav", "--plugin", bundle(), "--quiet"}, folder);
        ASSERT_EQ(alone.exitCode, 0) << alone.err;
        AudioData batched = readAudio(path("gated/" + name(i)));
        ASSERT_EQ(batched.channels.size(), 2u) << name(i);
        EXPECT_EQ(batched.channels, readAudio(path("alone.wav")).channels) << name(i);
    }
    std::vector<std::string> expected{"gated", "alone.wav"};
    for (int i = 0; i < 8; ++i)
        expected.push_back(name(i));
    EXPECT_TRUE(strayFiles(expected).empty()) << strayFiles(expected)[0];
    for (const auto& entry : std::filesystem::directory_iterator(path("gated")))
        EXPECT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();
}

TEST_F(BatchRenderTest, AllGoodFilesSucceedAndTheFolderIsCreated)
{
    auto result = batch({name(0), name(1), name(2)}, {"--set", "Threshold=-30 dB"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(countLines(result.out, "ok "), 3u) << result.out;
    EXPECT_EQ(countLines(result.out, "set Threshold"), 1u)
        << result.out; // noted once, not per file
    EXPECT_NE(result.out.find("3 files rendered into 'gated'"), std::string::npos) << result.out;
    EXPECT_TRUE(hostLines(result.err).empty()) << result.err;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(readAudio(path("gated/" + name(i))).channels.size(), 2u) << name(i);
}

TEST_F(BatchRenderTest, InputsThatWouldCollideAreRefusedBeforeAnythingIsWritten)
{
    std::filesystem::create_directory(path("other"));
    std::filesystem::copy_file(path(name(0)), path("other/" + name(0)));
    auto same = batch({name(0), "other/" + name(0)});
    EXPECT_EQ(same.exitCode, 2) << same.err;
    EXPECT_NE(same.err.find("two inputs are called"), std::string::npos) << same.err;
    EXPECT_FALSE(fileExists(path("gated/" + name(0))));

    std::filesystem::create_directory(path("gated"));
    std::filesystem::copy_file(path(name(1)), path("gated/" + name(1)));
    auto over = batch({"gated/" + name(1)});
    EXPECT_EQ(over.exitCode, 2) << over.err;
    EXPECT_NE(over.err.find("would overwrite the input"), std::string::npos) << over.err;

    auto plot = batch({name(0), name(1)}, {"--plot", "p.png"});
    EXPECT_EQ(plot.exitCode, 2) << plot.err;
    auto missing = runQuorvane({"render", "--out-dir", "gated"}, folder);
    EXPECT_EQ(missing.exitCode, 2) << missing.err;
    auto jobsAlone = runQuorvane({"render", name(0), "x.wav", "--jobs", "2"}, folder);
    EXPECT_EQ(jobsAlone.exitCode, 2) << jobsAlone.err;
    EXPECT_FALSE(fileExists(path("x.wav")));

    writeText(path("blocked"), "a file where the folder should be");
    auto blocked =
        runQuorvane({"render", name(0), "--out-dir", "blocked/x", "--plugin", bundle()}, folder);
    EXPECT_EQ(blocked.exitCode, 5) << blocked.err;
}

TEST_F(BatchRenderTest, QuietKeepsThePluginsLinesOffButStillReportsFailures)
{
    auto loud = runQuorvane({"render", name(0), "out.wav", "--plugin", bundle()}, folder);
    ASSERT_EQ(loud.exitCode, 0) << loud.err;
    EXPECT_NE(loud.err.find("[againController] received: "), std::string::npos) << loud.err;

    auto quiet =
        runQuorvane({"render", name(0), "out.wav", "--plugin", bundle(), "--quiet"}, folder);
    ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.out, "");

    writeText(path("bad.wav"), "not audio");
    auto failing = batch({name(0), "bad.wav"}, {"--quiet"});
    EXPECT_EQ(failing.exitCode, 3);
    EXPECT_EQ(failing.out, "");
    EXPECT_EQ(failing.err.find("received:"), std::string::npos) << failing.err;
    EXPECT_EQ(countLines(failing.err, "FAILED bad.wav"), 1u) << failing.err;

    auto usage =
        runQuorvane({"render", "missing.wav", "out2.wav", "--plugin", bundle(), "-q"}, folder);
    EXPECT_EQ(usage.exitCode, 3);
    EXPECT_EQ(hostLines(usage.err).size(), 1u) << usage.err;
}

} // namespace QuorvaneTest
