// `demo`, `params`, `info` and `help`.
#include "hosttestfixture.h"

namespace QuorvaneTest
{

TEST_F(HostTest, DemoWritesAGatedDrumLoopAndItsPlot)
{
    REQUIRE_BUNDLE();
    auto result = runQuorvane({"demo", "out", "--plugin", bundle()}, folder);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    AudioData in = readAudio(path("out/demo-input.wav"));
    AudioData out = readAudio(path("out/demo-output.wav"));
    ASSERT_EQ(in.channels.size(), 2u);
    ASSERT_EQ(out.channels[0].size(), in.channels[0].size());
    EXPECT_EQ(fileContents(path("out/demo-plot.png")).substr(1, 3), "PNG");

    // Where the input is only its noise floor, the output is far quieter.
    const size_t window = 441;
    int floorWindows = 0;
    int gatedWindows = 0;
    for (size_t start = 0; start + window <= in.channels[0].size(); start += window)
    {
        if (peakDb(in.channels, start, start + window) > -40.0f)
            continue;
        ++floorWindows;
        if (peakDb(out.channels, start, start + window) <
            peakDb(in.channels, start, start + window) - 20.0f)
            ++gatedWindows;
    }
    ASSERT_GT(floorWindows, 20);
    EXPECT_GT(gatedWindows, floorWindows * 3 / 5);

    // The test signal is the same on every run.
    ASSERT_EQ(runQuorvane({"demo", "again", "--plugin", bundle(), "--quiet"}, folder).exitCode, 0);
    EXPECT_EQ(fileContents(path("again/demo-input.wav")), fileContents(path("out/demo-input.wav")));
}

TEST_F(HostTest, DemoWithoutAFolderWritesIntoQuorvaneDemo)
{
    REQUIRE_BUNDLE();
    auto result = runQuorvane({"demo", "--quiet"}, folder);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* name : {"demo-input.wav", "demo-output.wav", "demo-plot.png"})
        EXPECT_TRUE(fileExists(path(std::string("quorvane-demo/") + name))) << name;
}

TEST_F(HostTest, ParamsListsEveryParameterWithItsShownValue)
{
    REQUIRE_BUNDLE();
    auto result = runQuorvane({"params", bundle()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto lines = hostLines(result.out);
    ASSERT_EQ(lines.size(), 23u) << result.out; // a header and 22 parameters
    EXPECT_EQ(lines[0].rfind("ID", 0), 0u);
    EXPECT_NE(lines[7].find("Threshold"), std::string::npos);
    EXPECT_NE(lines[7].find("-20.0 dB"), std::string::npos) << lines[7];
    EXPECT_NE(lines[1].find("bypass"), std::string::npos) << lines[1];
    EXPECT_NE(lines[20].find("read-only"), std::string::npos) << lines[20];
}

TEST_F(HostTest, InfoShowsClassesAndBuses)
{
    REQUIRE_BUNDLE();
    auto result = runQuorvane({"info", "--plugin", bundle()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* item : {"Audio Module Class", "Component Controller Class", "Fx|Gate",
                             "Stereo In", "Stereo Aux In", "Stereo Out"})
        EXPECT_NE(result.out.find(item), std::string::npos) << item << " missing from\n"
                                                            << result.out;
}

TEST_F(HostTest, HelpNamesEveryCommand)
{
    auto result = runQuorvane({"help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* item :
         {"demo", "render", "params", "info", "--sidechain", "--save-preset", "--plot"})
        EXPECT_NE(result.out.find(item), std::string::npos) << item;
}

} // namespace QuorvaneTest
