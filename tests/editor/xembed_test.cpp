// The editor in a host that embeds it by the XEmbed protocol (XEmbedHost), and typing into it
// with the keyboard focus that host gives. Needs an X server (DISPLAY); CI runs it under Xvfb.
#include "editorfixture.h"
#include "xembedhost.h"

#include "vstgui/ctextedit.h"
#include "vstgui/x11/x11frame.h"

#include "pluginterfaces/base/ustring.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <poll.h>
#include <vector>

using namespace QuorvaneTest;
using namespace Quorvane;

namespace
{

class XEmbedEditorTest : public EditorTest
{
protected:
    // One connection held across the tests keeps the server from starting over between them.
    static void SetUpTestSuite()
    {
        if (std::getenv("DISPLAY"))
            keepAlive = XOpenDisplay(nullptr);
    }
    static void TearDownTestSuite()
    {
        if (keepAlive)
            XCloseDisplay(keepAlive);
        keepAlive = nullptr;
    }

    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X server (DISPLAY unset)";
        EditorTest::SetUp();
        host = std::make_unique<XEmbedHost>();
        if (!host->isOpen())
            GTEST_SKIP() << "cannot open the display";
    }
    void TearDown() override
    {
        if (editor)
        {
            editor->removed();
            editor->release();
        }
        host.reset();
        EditorTest::TearDown();
    }

    // Attaches the editor while the host watches for its window, as an XEmbed host does.
    std::string attachEmbedded()
    {
        editor = static_cast<againEditorView*>(controller->createView("editor"));
        host->startWatching();
        const auto result = editor->attached(reinterpret_cast<void*>(host->window()),
                                             Steinberg::kPlatformTypeX11EmbedWindowID);
        std::string failure = host->finishEmbedding();
        if (result != Steinberg::kResultOk)
            failure += " (attached failed)";
        return failure;
    }

    // Runs both sides for `ms`: the editor's events and timer, the host's events.
    void run(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end)
        {
            host->handleEvents();
            editor->idle();
            poll(nullptr, 0, 5);
        }
    }

    VSTGUI::X11Frame* platform() const
    {
        return static_cast<VSTGUI::X11Frame*>(editor->getFrame()->getPlatformFrame());
    }

    std::string thresholdText() const
    {
        Steinberg::Vst::String128 text;
        controller->getParamStringByValue(kThresholdId,
                                          controller->getParamNormalized(kThresholdId), text);
        char ascii[128];
        Steinberg::UString(text, 128).toAscii(ascii, 128);
        return ascii;
    }

    void typeIntoThreshold(const std::vector<KeySym>& keys)
    {
        for (KeySym k : keys)
            host->type(k);
        run(100);
    }

    static Display* keepAlive;
    std::unique_ptr<XEmbedHost> host;
    againEditorView* editor = nullptr;
};

Display* XEmbedEditorTest::keepAlive = nullptr;

} // namespace

TEST_F(XEmbedEditorTest, TheHostFindsTheEditorsXEmbedInfoTheMomentTheWindowExistsAndMapsItItself)
{
    ASSERT_EQ(attachEmbedded(), "");
    run(200);
    EXPECT_EQ(host->child(), platform()->getNativeWindow());
    EXPECT_TRUE(platform()->isEmbedded());
    EXPECT_TRUE(platform()->hasXEmbedFocus());

    // Both mapped it; that did no harm: the window is viewable and drawn, and nobody saw an X
    // error.
    XWindowAttributes attributes{};
    Display* display = platform()->getDisplay();
    XGetWindowAttributes(display, host->child(), &attributes);
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.width, againEditorView::kWidth);
    XImage* image = XGetImage(display, host->child(), 150, 380, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(XGetPixel(image, 0, 0) & 0xFFFFFF, 0ul) << "the background was drawn";
    XDestroyImage(image);
    EXPECT_EQ(XEmbedHost::errors(), 0);
}

TEST_F(XEmbedEditorTest, TypingGoesIntoTheThresholdFieldWithTheFocusTheHostGives)
{
    ASSERT_EQ(attachEmbedded(), "");
    run(100);
    VSTGUI::CTextEdit* field = editor->textField(kThresholdId);
    const VSTGUI::CRect r = field->getViewSize();
    const int x = int((r.left + r.right) / 2), y = int((r.top + r.bottom) / 2);

    // The click asks the host for the keyboard; the host grants it and keeps the X focus itself.
    host->click(x, y);
    run(150);
    EXPECT_GE(host->focusRequests(), 1);
    ASSERT_TRUE(field->isEditing()) << "the host taking the X focus back does not end the edit";
    typeIntoThreshold({XK_minus, XK_3, XK_0, XK_Return});
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(thresholdText(), "-30.0 dB");
    EXPECT_STREQ(field->getText(), "-30.0 dB");

    // The host moving its keyboard elsewhere ends an edit in progress, keeping what was typed.
    host->click(x, y);
    run(100);
    ASSERT_TRUE(field->isEditing());
    typeIntoThreshold({XK_minus, XK_4, XK_5});
    host->send(XEmbedHost::kFocusOut);
    run(100);
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(thresholdText(), "-45.0 dB");
    EXPECT_FALSE(platform()->hasXEmbedFocus());

    // Deactivating the host's window does the same; activation alone changes nothing.
    host->send(XEmbedHost::kWindowActivate);
    host->click(x, y);
    run(100);
    ASSERT_TRUE(field->isEditing());
    typeIntoThreshold({XK_minus, XK_1, XK_0});
    host->send(XEmbedHost::kWindowDeactivate);
    run(100);
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(thresholdText(), "-10.0 dB");

    // Messages the editor has no use for break nothing.
    host->send(static_cast<XEmbedHost::Message>(10)); // XEMBED_MODALITY_ON
    host->send(static_cast<XEmbedHost::Message>(6));  // XEMBED_FOCUS_NEXT
    run(50);
    EXPECT_EQ(XEmbedHost::errors(), 0);
}
