// The VSTGUIEditor base: the attach protocol, the idle timer, knob modes. Off-screen only; the
// X11 window and the host run loop are tested in x11_test.cpp.
#include "knobmodeguard.h"
#include "viewtesthelpers.h"

#include "public.sdk/source/vst/vstguieditor.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

namespace
{

class RecordingController : public EditController
{
public:
    void editorAttached(EditorView*) override { log += "attached "; }
    void editorRemoved(EditorView*) override { log += "removed "; }
    std::string log;
};

/** An editor with one knob and the log of the calls the base makes. */
class TestEditor : public VSTGUIEditor
{
public:
    TestEditor(RecordingController* c) : VSTGUIEditor(c), controller(c) { setIdleRate(50); }

    bool open(void* parent) override
    {
        controller->log += "open ";
        if (frame)
            return false;
        frame = new VSTGUI::CFrame(VSTGUI::CRect(0, 0, 320, 390), parent, this);
        CBitmap* strip = stripBitmap(40, 40, {kRed, kGreen});
        knob = new VSTGUI::CAnimKnob(VSTGUI::CRect(0, 0, 40, 40), nullptr, 1, 2, 40, strip);
        strip->forget();
        frame->addView(knob);
        return true;
    }
    void close() override
    {
        controller->log += "close ";
        if (frame)
            frame->forget();
        frame = nullptr;
        knob = nullptr;
    }
    using CBitmap = VSTGUI::CBitmap;

    RecordingController* controller;
    VSTGUI::CAnimKnob* knob = nullptr;
};

struct VstguiEditorTest : ::testing::Test
{
    QuorvaneTest::KnobModeGuard knobMode; // restores the process-wide mode after each test
    RecordingController* controller = new RecordingController;
    TestEditor* editor = new TestEditor(controller);
    ~VstguiEditorTest() override
    {
        editor->release();
        controller->release();
    }
};

} // namespace

TEST_F(VstguiEditorTest, OffersOnlyX11Embedding)
{
    EXPECT_EQ(editor->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
    EXPECT_EQ(editor->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(editor->isPlatformTypeSupported(nullptr), kResultFalse);
    EXPECT_EQ(editor->attached(reinterpret_cast<void*>(1), kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(controller->log, "") << "nothing opened for a foreign window type";
    EXPECT_EQ(editor->canResize(), kResultFalse);
}

TEST_F(VstguiEditorTest, AttachOpensSizesAndTellsTheControllerThenRemoveUndoesIt)
{
    ASSERT_EQ(editor->openOffscreen(), kResultOk);
    EXPECT_EQ(controller->log, "open attached ");
    ViewRect rect;
    editor->getSize(&rect);
    EXPECT_EQ(rect.getWidth(), 320);
    EXPECT_EQ(rect.getHeight(), 390);
    EXPECT_TRUE(editor->getIdleTimer()->isRunning());
    EXPECT_EQ(editor->getIdleRate(), 50);
    EXPECT_EQ(editor->openOffscreen(), kResultFalse) << "already attached";

    EXPECT_EQ(editor->removed(), kResultOk);
    EXPECT_EQ(controller->log, "open attached close removed ");
    EXPECT_FALSE(editor->getIdleTimer()->isRunning());
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->removed(), kResultFalse) << "not attached any more";

    ASSERT_EQ(editor->openOffscreen(), kResultOk) << "can be attached again";
    EXPECT_NE(editor->getFrame(), nullptr);
    editor->removed();
}

TEST_F(VstguiEditorTest, TimerMessageRedrawsWhatChanged)
{
    editor->openOffscreen();
    VSTGUI::CFrame* frame = editor->getFrame();
    frame->idle();
    editor->knob->setValue(1.f);
    EXPECT_EQ(editor->notify(editor->getIdleTimer(), "something else"), VSTGUI::kMessageUnknown);
    EXPECT_TRUE(editor->knob->isDirty());
    EXPECT_EQ(editor->notify(editor->getIdleTimer(), VSTGUI::CVSTGUITimer::kMsgTimer),
              VSTGUI::kMessageNotified);
    EXPECT_FALSE(editor->knob->isDirty());
    EXPECT_EQ(pixel(frame->getBackBuffer(), 20, 20), kGreen);

    // The timer itself delivers the same message.
    editor->knob->setValue(0.f);
    editor->getIdleTimer()->fire();
    EXPECT_FALSE(editor->knob->isDirty());
    editor->removed();
}

TEST_F(VstguiEditorTest, OnSizeResizesTheFrame)
{
    editor->openOffscreen();
    ViewRect bigger(0, 0, 360, 420);
    editor->onSize(&bigger);
    EXPECT_EQ(editor->getFrame()->getWidth(), 360);
    EXPECT_EQ(editor->getFrame()->getHeight(), 420);
    EXPECT_EQ(cairo_image_surface_get_width(editor->getFrame()->getBackBuffer()), 360);

    // Rectangles inside out, or wider than a coordinate holds, are refused and change nothing.
    for (ViewRect r : {ViewRect(0, 0, -10, 420), ViewRect(50, 60, 360, 40),
                       ViewRect(-2147483647, 0, 2147483647, 9)})
    {
        ViewRect now;
        EXPECT_EQ(editor->onSize(&r), kInvalidArgument) << r.left << " " << r.right;
        editor->getSize(&now);
        EXPECT_TRUE(now.getWidth() == 360 && now.getHeight() == 420) << r.left << " " << r.right;
        EXPECT_EQ(editor->getFrame()->getWidth(), 360);
    }
    EXPECT_EQ(editor->onSize(nullptr), kInvalidArgument);
    editor->removed();
}

// The host's display scale, before or after attach: the size in physical pixels, the layout
// logical; factors that are no scale change nothing.
TEST_F(VstguiEditorTest, ContentScaleFactorSizesTheViewInPhysicalPixels)
{
    IPlugViewContentScaleSupport* scaling = nullptr;
    ASSERT_EQ(editor->queryInterface(IPlugViewContentScaleSupport::iid,
                                     reinterpret_cast<void**>(&scaling)),
              kResultOk);
    ASSERT_EQ(scaling->setContentScaleFactor(1.25f), kResultTrue);
    ASSERT_EQ(editor->openOffscreen(), kResultOk);
    ViewRect rect;
    editor->getSize(&rect);
    EXPECT_TRUE(rect.getWidth() == 400 && rect.getHeight() == 488);
    EXPECT_EQ(cairo_image_surface_get_height(editor->getFrame()->getBackBuffer()), 488);

    for (float unusable : {0.f, -2.f, 9.f, std::nanf("")})
        EXPECT_EQ(scaling->setContentScaleFactor(unusable), kInvalidArgument) << unusable;
    ASSERT_EQ(scaling->setContentScaleFactor(2.f), kResultTrue);
    editor->getSize(&rect);
    EXPECT_TRUE(rect.getWidth() == 640 && rect.getHeight() == 780);
    EXPECT_EQ(editor->getFrame()->getViewSize(), VSTGUI::CRect(0, 0, 320, 390));
    // The host confirming the size changes nothing; a bigger one grows the layout by its units.
    EXPECT_EQ(editor->onSize(&rect), kResultOk);
    EXPECT_EQ(editor->getFrame()->getViewSize(), VSTGUI::CRect(0, 0, 320, 390));
    ViewRect bigger(0, 0, 700, 800);
    editor->onSize(&bigger);
    EXPECT_EQ(editor->getFrame()->getViewSize(), VSTGUI::CRect(0, 0, 350, 400));
    scaling->release();
    editor->removed();
}

TEST_F(VstguiEditorTest, HostKnobModeReachesTheKnobs)
{
    editor->openOffscreen();
    struct
    {
        int32 host;
        int32_t knob;
    } cases[] = {{0, VSTGUI::kCircularMode},
                 {1, VSTGUI::kRelativCircularMode},
                 {2, VSTGUI::kLinearMode},
                 {5, VSTGUI::kCircularMode}};
    for (auto c : cases)
    {
        controller->setKnobMode(c.host);
        EXPECT_EQ(editor->getKnobMode(), c.knob) << "host mode " << c.host;
        EXPECT_EQ(editor->getFrame()->getKnobMode(), c.knob);
    }
    // Linear: 50 px up from 0 turns the knob a quarter of its range.
    controller->setKnobMode(kLinearMode);
    drag(editor->getFrame(), 20, 30, 20, -20);
    EXPECT_NEAR(editor->knob->getValue(), 0.25f, 1e-4);
    editor->removed();
}
