// `quorvane editor` driven by real X events (needs an X server, e.g. Xvfb,
// and xdotool): a knob dragged and a value typed reach the controller and
// the processor; closing the window in any of the usual ways still prints
// and saves the settings.
#include "clirunner.h"
#include "editorprocess.h"
#include "editortestfixture.h"

#include <cairo.h>

#include <chrono>
#include <csignal>
#include <set>
#include <thread>

using namespace QuorvaneTest;

namespace
{

constexpr unsigned kThresholdId = 6;
constexpr unsigned kReleaseId = 11;
constexpr unsigned kMaxVuId = 17;
constexpr double kReleaseDefault = 0.2242749;
constexpr size_t kParameterCount = 22;

void pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class EditorWindowTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        if (!haveDisplay())
            GTEST_SKIP() << "no X server (DISPLAY is not set)";
        if (std::system("command -v xdotool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "xdotool is not installed";
        if (!bundleBuilt())
            GTEST_SKIP() << "the plug-in bundle has not been built yet: " << bundle();
    }

    std::vector<std::string> editorArgs(const std::string& seconds)
    {
        return {"editor", "--plugin", bundle(), "--seconds", seconds, "--print-params"};
    }

    // Drags the Release knob up from its centre, as a user does, in steps.
    static void dragReleaseKnobUp(unsigned long window)
    {
        const std::string w = std::to_string(window);
        // Other tests' windows may share the display: ours goes on top first.
        ASSERT_TRUE(xdotool("windowraise " + w));
        ASSERT_TRUE(xdotool("mousemove --window " + w + " 220 70 mousedown 1"));
        for (int step = 1; step <= 8; ++step)
        {
            ASSERT_TRUE(
                xdotool("mousemove --window " + w + " 220 " + std::to_string(70 - 5 * step)));
            pause(30);
        }
        ASSERT_TRUE(xdotool("mouseup 1"));
    }

    static void typeThreshold(unsigned long window, const std::string& text)
    {
        const std::string w = std::to_string(window);
        ASSERT_TRUE(xdotool("windowraise " + w));
        ASSERT_TRUE(xdotool("mousemove --window " + w + " 40 348 click 1"));
        pause(200);
        ASSERT_TRUE(xdotool("type --delay 40 -- '" + text + "'"));
        ASSERT_TRUE(xdotool("key Return"));
    }
};

// Distinct colours in a PNG of the expected size; -1 when it is not one.
int distinctColours(const std::string& file, int width, int height)
{
    cairo_surface_t* image = cairo_image_surface_create_from_png(file.c_str());
    int result = -1;
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS &&
        cairo_image_surface_get_width(image) == width &&
        cairo_image_surface_get_height(image) == height)
    {
        std::set<uint32_t> colours;
        const unsigned char* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                colours.insert(reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xffffff);
        result = static_cast<int>(colours.size());
    }
    cairo_surface_destroy(image);
    return result;
}

} // namespace

TEST_F(EditorWindowTest, DraggedKnobAndTypedValueReachControllerAndProcessor)
{
    auto args = editorArgs("8");
    args.insert(args.end(),
                {"--screenshot", path("editor.png"), "--save-preset", path("edited.vstpreset")});
    EditorProcess editor(args, folder);
    const unsigned long window = findEditorWindow(editor.pid());
    ASSERT_NE(window, 0u) << editor.err();
    pause(500);

    dragReleaseKnobUp(window);
    pause(200);
    typeThreshold(window, "-30");

    auto status = editor.waitForExit(30.0);
    ASSERT_TRUE(status) << "the editor did not close after --seconds";
    EXPECT_EQ(*status, 0) << editor.err();

    // What the controller holds when the editor closes.
    auto values = printedValues(editor.out());
    auto texts = printedTexts(editor.out());
    ASSERT_EQ(values.size(), kParameterCount) << editor.out();
    EXPECT_GT(values[kReleaseId], kReleaseDefault + 0.05);
    EXPECT_NE(texts[kReleaseId], "10.0 ms");
    EXPECT_NEAR(values[kThresholdId], 30.0 / 76.0, 1e-4);
    EXPECT_EQ(texts[kThresholdId], "-30.0 dB");
    // The processor's meter readings reached the controller.
    EXPECT_GT(values[kMaxVuId], 0.0);

    // The processor got the edits too: a controller restored from the saved
    // processor state shows them.
    CliResult params =
        runQuorvane({"params", "--plugin", bundle(), "--preset", path("edited.vstpreset")});
    ASSERT_EQ(params.exitCode, 0) << params.err;
    EXPECT_NE(params.out.find("-30.0 dB (0.3947)"), std::string::npos) << params.out;
    // "Release" shows its default once, in the Default column; its value has moved on.
    const std::string releaseDefault = "10.0 ms (0.2243)";
    const size_t first = params.out.find(releaseDefault);
    EXPECT_NE(first, std::string::npos) << params.out;
    EXPECT_EQ(params.out.find(releaseDefault, first + 1), std::string::npos) << params.out;

    // A real picture of the editor, not a blank window.
    EXPECT_GT(distinctColours(path("editor.png"), 320, 390), 100);
}

// --scale gives the editor a display scale as a host does: its window and picture at 1.5.
TEST_F(EditorWindowTest, AtAGivenScaleTheWindowAndItsPictureAreScaled)
{
    CliResult result = runQuorvane({"editor", "--plugin", bundle(), "--seconds", "1", "--scale",
                                    "1.5", "--screenshot", path("scaled.png")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_GT(distinctColours(path("scaled.png"), 480, 585), 100);
}

TEST_F(EditorWindowTest, ClosingTheWindowEndsTheEditorAndKeepsTheSettings)
{
    auto args = editorArgs("60");
    args.insert(args.end(), {"--save-preset", path("closed.vstpreset")});
    EditorProcess editor(args, folder);
    const unsigned long window = findEditorWindow(editor.pid());
    ASSERT_NE(window, 0u) << editor.err();
    pause(300);
    typeThreshold(window, "-40");
    pause(300);
    ASSERT_TRUE(requestClose(window));

    auto status = editor.waitForExit(20.0);
    ASSERT_TRUE(status) << "the close request was ignored";
    EXPECT_EQ(*status, 0) << editor.err();
    EXPECT_EQ(printedTexts(editor.out())[kThresholdId], "-40.0 dB") << editor.out();
    EXPECT_TRUE(std::filesystem::exists(path("closed.vstpreset")));
}

TEST_F(EditorWindowTest, AWindowDestroyedFromOutsideOrASignalIsNoCrash)
{
    {
        // xdotool's windowclose destroys the window, the editor's inside it
        // with it, before the editor is removed.
        EditorProcess editor(editorArgs("60"), folder);
        const unsigned long window = findEditorWindow(editor.pid());
        ASSERT_NE(window, 0u) << editor.err();
        pause(300);
        ASSERT_TRUE(xdotool("windowclose " + std::to_string(window)));
        auto status = editor.waitForExit(20.0);
        ASSERT_TRUE(status);
        EXPECT_EQ(*status, 0) << editor.err();
        EXPECT_EQ(printedValues(editor.out()).size(), kParameterCount) << editor.err();
    }
    {
        EditorProcess editor(editorArgs("60"), folder);
        ASSERT_NE(findEditorWindow(editor.pid()), 0u) << editor.err();
        pause(300);
        editor.signal(SIGTERM);
        auto status = editor.waitForExit(20.0);
        ASSERT_TRUE(status);
        EXPECT_EQ(*status, 130) << editor.err();
        EXPECT_EQ(printedValues(editor.out()).size(), kParameterCount) << editor.err();
    }
}
