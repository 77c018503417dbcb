// `quorvane editor` refusing what it cannot do, before any window opens.
#include "clirunner.h"
#include "editorprocess.h"
#include "editortestfixture.h"

#include <filesystem>

using namespace QuorvaneTest;

TEST_F(EditorTest, OptionsOfTheEditorAreCheckedBeforeAnythingLoads)
{
    struct Case
    {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"editor", "--seconds", "0"}, "--seconds expects a number of seconds above 0"},
        {{"editor", "--seconds", "-3"}, "--seconds expects"},
        {{"editor", "--seconds", "2s"}, "--seconds expects"},
        {{"editor", "--seconds", "nan"}, "--seconds expects"},
        {{"editor", "--print-params=yes"}, "--print-params takes no value"},
        {{"editor", "somewhere"}, "expected 'quorvane editor'"},
        {{"render", "a.wav", "b.wav", "--print-params"}, "apply to 'editor' only"},
        {{"params", "--screenshot", "x.png"}, "apply to 'editor' only"},
        {{"demo", "--seconds", "3"}, "apply to 'editor' only"},
        {{"editor", "--scale", "9"}, "--scale expects a display scale from 0.5 to 4"},
        {{"editor", "--scale", "2x"}, "--scale expects"},
        {{"render", "a.wav", "b.wav", "--scale", "2"}, "apply to 'editor' only"},
    };
    for (const auto& c : cases)
    {
        CliResult result = runQuorvane(c.args);
        EXPECT_EQ(result.exitCode, 2) << c.args[1];
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

TEST_F(EditorTest, WithoutAnXServerItSaysSoAndWritesNothing)
{
    if (!bundleBuilt())
        GTEST_SKIP() << "the plug-in bundle has not been built yet: " << bundle();
    EditorProcess editor({"editor", "--plugin", bundle(), "--seconds", "1", "--save-preset",
                          path("p.vstpreset"), "--screenshot", path("shot.png")},
                         folder, {{"DISPLAY", ""}});
    auto status = editor.waitForExit(30.0);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 5);
    EXPECT_NE(editor.err().find("cannot open the X display"), std::string::npos) << editor.err();
    EXPECT_FALSE(std::filesystem::exists(path("p.vstpreset")));
    EXPECT_FALSE(std::filesystem::exists(path("shot.png")));
}

TEST_F(EditorTest, AMissingPluginIsAPluginError)
{
    CliResult result = runQuorvane({"editor", "--plugin", path("none.vst3"), "--seconds", "1"});
    EXPECT_EQ(result.exitCode, 4) << result.err;
}
