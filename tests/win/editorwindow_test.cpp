// The editor in a host's window on Windows: attached to an HWND as a host attaches it, driven by
// mouse and keyboard messages posted to its window and by the thread's message loop.
#include "again.h"
#include "editorfixture.h"
#include "hostwindow.h"
#include "paramconverter.h"
#include "processorfixture.h"

#include "gdiplussession.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "vstgui/cframe.h"
#include "vstgui/cmoviebutton.h"
#include "vstgui/cslider.h"
#include "vstgui/ctextedit.h"
#include "vstgui/cvumeter.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace Steinberg;
using namespace Quorvane;
using QuorvaneTest::HostWindow;

namespace
{

template <typename View> View* viewAt(VSTGUI::CFrame* frame, int x, int y)
{
    // The first view created there (the Max Vu meter, not the Min Vu meter drawn over it).
    for (int32_t i = 0; i < frame->getNbViews(); ++i)
        if (auto* view = dynamic_cast<View*>(frame->getView(i)))
            if (view->isVisible() && view->getViewSize().pointInside(VSTGUI::CPoint(x, y)))
                return view;
    return nullptr;
}

class WindowedEditorTest : public QuorvaneTest::EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        host = std::make_unique<HostWindow>(400, 450);
        ASSERT_NE(host->handle(), nullptr);
        view = controller->createView("editor");
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
        ASSERT_EQ(view->attached(host->handle(), kPlatformTypeHWND), kResultOk);
        editor = static_cast<againEditorView*>(view);
        child = FindWindowExW(host->handle(), nullptr, L"QuorvaneFrame", nullptr);
        ASSERT_NE(child, nullptr) << "the editor made a child window in the host's";
        HostWindow::pump(80);
    }
    void TearDown() override
    {
        if (view)
        {
            view->removed();
            view->release();
        }
        host.reset();
        EditorTest::TearDown();
    }

    void post(UINT message, WPARAM wParam, int x, int y)
    {
        PostMessageW(child, message, wParam, MAKELPARAM(x, y));
        HostWindow::pump();
    }
    void click(int x, int y, WPARAM modifiers = 0)
    {
        post(WM_LBUTTONDOWN, MK_LBUTTON | modifiers, x, y);
        post(WM_LBUTTONUP, modifiers, x, y);
    }
    bool gestureOf(Vst::ParamID id) const
    {
        const auto& calls = handler.calls;
        return calls.size() >= 3 && calls.front() == "begin " + std::to_string(id) &&
               calls.back() == "end " + std::to_string(id) &&
               std::all_of(calls.begin() + 1, calls.end() - 1,
                           [id](const std::string& c)
                           { return c.rfind("perform " + std::to_string(id) + " ", 0) == 0; });
    }

    std::unique_ptr<HostWindow> host;
    IPlugView* view = nullptr;
    againEditorView* editor = nullptr;
    HWND child = nullptr;
};

TEST_F(WindowedEditorTest, IsAChildWindowOfTheHostsSizedToTheEditor)
{
    EXPECT_EQ(GetParent(child), host->handle());
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(IsWindowVisible(child));
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 390);
    EXPECT_EQ(reinterpret_cast<HWND>(editor->getFrame()->getPlatformFrame()->getNativeWindow()),
              child);
    view->removed();
    EXPECT_FALSE(IsWindow(child)) << "removed destroys the window";
    view->release();
    view = nullptr;
}

TEST_F(WindowedEditorTest, DraggingTheReleaseKnobEditsBetweenBeginAndEndWithTheMouseCaptured)
{
    controller->setKnobMode(Vst::kLinearMode);
    const double before = controller->getParamNormalized(kReleaseId);
    post(WM_LBUTTONDOWN, MK_LBUTTON, 220, 70);
    EXPECT_EQ(GetCapture(), child) << "the drag holds the mouse";
    post(WM_MOUSEMOVE, MK_LBUTTON, 220, 60);
    post(WM_MOUSEMOVE, MK_LBUTTON, 225, 20); // beyond the window: still the knob's drag
    post(WM_LBUTTONUP, 0, 225, 20);
    EXPECT_NE(GetCapture(), child);
    EXPECT_GT(controller->getParamNormalized(kReleaseId), before);
    EXPECT_TRUE(gestureOf(kReleaseId)) << ::testing::PrintToString(handler.calls);
    EXPECT_GE(handler.calls.size(), 4u) << "a step for each move";
}

// At a host's factor of 2 the window is twice the size and shows the picture drawn at 2, and the
// same drag, Ctrl+click and wheel turn in its pixels edit as they do at 1.
TEST_F(WindowedEditorTest, AtAHostsFactorTheWindowShowsTheScaledPictureAndGesturesKeepTheirValues)
{
    controller->setKnobMode(Vst::kLinearMode);
    std::vector<std::vector<std::string>> calls;
    for (int f : {1, 2})
    {
        if (f == 2)
        {
            view->removed();
            host = std::make_unique<HostWindow>(700, 820);
            FUnknownPtr<IPlugViewContentScaleSupport> scaling(view);
            ASSERT_TRUE(scaling);
            ASSERT_EQ(scaling->setContentScaleFactor(2.f), kResultTrue);
            ASSERT_EQ(view->attached(host->handle(), kPlatformTypeHWND), kResultOk);
            child = FindWindowExW(host->handle(), nullptr, L"QuorvaneFrame", nullptr);
            ASSERT_NE(child, nullptr);
            HostWindow::pump(100);
            RECT client{};
            GetClientRect(child, &client);
            ASSERT_TRUE(client.right == 640 && client.bottom == 780);
            // The window's pixels as the screen has them, against the picture drawn at 2.
            HDC screen = GetDC(child);
            Gdiplus::Bitmap* drawn = editor->getFrame()->getBackBuffer();
            int wrong = 0;
            for (int y = 0; y < 780; y += 5)
                for (int x = 0; x < 640; x += 5)
                {
                    Gdiplus::Color c;
                    drawn->GetPixel(x, y, &c);
                    wrong += RGB(c.GetR(), c.GetG(), c.GetB()) != GetPixel(screen, x, y);
                }
            ReleaseDC(child, screen);
            EXPECT_EQ(wrong, 0) << "the window shows the 2× picture";
        }
        controller->setParamNormalized(kReleaseId, 0.5);
        controller->setParamNormalized(kHoldId, 0.9);
        controller->setParamNormalized(kRangeId, 0.5);
        handler.calls.clear();
        post(WM_LBUTTONDOWN, MK_LBUTTON, 220 * f, 70 * f);
        post(WM_MOUSEMOVE, MK_LBUTTON, 220 * f, 60 * f);
        post(WM_LBUTTONUP, 0, 220 * f, 60 * f);
        click(160 * f, 70 * f, MK_CONTROL);
        POINT screen{160 * f, 226 * f};
        ClientToScreen(child, &screen);
        PostMessageW(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                     MAKELPARAM(screen.x, screen.y));
        HostWindow::pump();
        calls.push_back(handler.calls);
    }
    EXPECT_GE(calls[0].size(), 9u);
    EXPECT_EQ(calls[1], calls[0]);
}

// In a prefix whose desktop has another DPI (QUORVANE_TEST_DPI, the LogPixels it was given) and
// without a factor from the host, the window has the size for that DPI.
TEST_F(WindowedEditorTest, WithoutAHostsFactorTheWindowFollowsTheSystemDpi)
{
    const char* dpi = std::getenv("QUORVANE_TEST_DPI");
    const int expected = dpi ? std::atoi(dpi) : 96;
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 320 * expected / 96);
    EXPECT_EQ(client.bottom, 390 * expected / 96);
}

TEST_F(WindowedEditorTest, CtrlClickOnTheHoldKnobResetsItToItsInitialValue)
{
    controller->setParamNormalized(kHoldId, 0.9);
    click(160, 70, MK_CONTROL);
    const double initial = ParamConverter().defaultNormalized(kHoldId);
    EXPECT_NEAR(controller->getParamNormalized(kHoldId), initial, 1e-7);
    EXPECT_TRUE(gestureOf(kHoldId)) << ::testing::PrintToString(handler.calls);
    EXPECT_EQ(handler.calls.size(), 3u);
}

TEST_F(WindowedEditorTest, TheWheelTurnsTheKnobUnderTheMouse)
{
    const double before = controller->getParamNormalized(kRangeId);
    POINT screen{160, 226};
    ClientToScreen(child, &screen);
    PostMessageW(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    HostWindow::pump();
    EXPECT_GT(controller->getParamNormalized(kRangeId), before);
    EXPECT_TRUE(gestureOf(kRangeId)) << ::testing::PrintToString(handler.calls);
}

TEST_F(WindowedEditorTest, TypingIntoTheThresholdFieldTakesTheKeyboardAndGivesItBack)
{
    auto* field = viewAt<VSTGUI::CTextEdit>(editor->getFrame(), 40, 348);
    ASSERT_NE(field, nullptr);
    auto* slider = viewAt<VSTGUI::CSlider>(editor->getFrame(), 40, 200);
    ASSERT_NE(slider, nullptr);
    SetFocus(host->handle());
    click(40, 348);
    EXPECT_TRUE(field->isEditing());
    EXPECT_EQ(GetFocus(), child) << "the field being edited has the keyboard";
    for (char c : std::string("-38"))
        post(WM_CHAR, static_cast<WPARAM>(c), 0, 0);
    post(WM_KEYDOWN, VK_RETURN, 0, 0);
    EXPECT_FALSE(field->isEditing());
    EXPECT_NEAR(controller->getParamNormalized(kThresholdId), 0.5, 1e-6);
    EXPECT_NEAR(slider->getValue(), 0.5f, 1e-6f);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"perform 6 0.500000"}))
        << "no begin or end for text";
    EXPECT_EQ(GetFocus(), host->handle()) << "the keyboard went back to the host";
}

TEST_F(WindowedEditorTest, ClickingTheDuckingSwitchTogglesIt)
{
    auto* button = viewAt<VSTGUI::CMovieButton>(editor->getFrame(), 220, 162);
    ASSERT_NE(button, nullptr);
    click(220, 162);
    EXPECT_EQ(controller->getParamNormalized(kDuckingId), 1.0);
    EXPECT_EQ(button->getValue(), 1.f);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"begin 3", "perform 3 1.000000", "end 3"}));
    handler.calls.clear();
    click(220, 162);
    EXPECT_EQ(controller->getParamNormalized(kDuckingId), 0.0);
}

TEST_F(WindowedEditorTest, MetersMoveOnTheWindowsTimerTicks)
{
    auto* maxVu = viewAt<VSTGUI::CVuMeter>(editor->getFrame(), 40, 100);
    auto* gate = viewAt<VSTGUI::CVuMeter>(editor->getFrame(), 220, 224);
    ASSERT_NE(maxVu, nullptr);
    ASSERT_NE(gate, nullptr);
    // Readings arrive as a running processor's meters reach a host, block after block; the
    // meters show the latest one on the next tick of the 50 ms timer.
    for (int block = 0; block < 40; ++block)
    {
        controller->setParamNormalized(kMaxVuId, 0.8 + 0.004 * (block % 5));
        controller->setParamNormalized(kMaxGateId, 0.7);
        HostWindow::pump(3);
    }
    HostWindow::pump(120);
    EXPECT_GT(maxVu->getValue(), 0.75f);
    EXPECT_NEAR(gate->getValue(), 0.7f, 1e-6f);
    controller->setParamNormalized(kMaxVuId, 0.1);
    EXPECT_GT(maxVu->getValue(), 0.75f) << "nothing before the next tick";
    HostWindow::pump(400);
    EXPECT_LT(maxVu->getValue(), 0.75f) << "falling on the ticks";
}

// The same with a real processor: its output parameters, handed to the controller block by block
// as a host hands them, move the meters on the timer's ticks while the UI thread's loop runs.
TEST_F(WindowedEditorTest, MetersFollowARunningProcessor)
{
    auto* maxVu = viewAt<VSTGUI::CVuMeter>(editor->getFrame(), 40, 100);
    auto* gate = viewAt<VSTGUI::CVuMeter>(editor->getFrame(), 220, 224);
    ASSERT_NE(maxVu, nullptr);
    ASSERT_NE(gate, nullptr);

    Vst::HostApplication context;
    auto* processor = new again;
    ASSERT_EQ(processor->initialize(&context), kResultOk);
    Vst::ProcessSetup setup{Vst::kRealtime, Vst::kSample32, 480, 48000.0};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
    ASSERT_EQ(processor->setActive(true), kResultOk);
    processor->setProcessing(true);

    QuorvaneTest::BlockBuffers buffers(2, 2, 0, 480);
    Vst::ParameterChanges outputs(8, 4);
    // Blocks of 10 ms at a constant input level, each followed by 10 ms of the UI thread's loop.
    auto run = [&](int blocks, float level)
    {
        buffers.fillInput(level);
        for (int block = 0; block < blocks; ++block)
        {
            outputs.clearQueue();
            Vst::ProcessData data;
            data.processMode = Vst::kRealtime;
            data.symbolicSampleSize = Vst::kSample32;
            data.numSamples = 480;
            data.numInputs = 1;
            data.numOutputs = 1;
            data.inputs = buffers.buses;
            data.outputs = &buffers.outBus;
            data.outputParameterChanges = &outputs;
            ASSERT_EQ(processor->process(data), kResultOk);
            for (int32 i = 0; i < outputs.getParameterCount(); ++i)
            {
                auto* queue = outputs.getParameterData(i);
                int32 offset = 0;
                Vst::ParamValue value = 0;
                if (queue && queue->getPointCount() > 0 &&
                    queue->getPoint(queue->getPointCount() - 1, offset, value) == kResultOk)
                    controller->setParamNormalized(queue->getParameterId(), value);
            }
            HostWindow::pump(10);
        }
        HostWindow::pump(120);
    };

    run(30, 0.5f); // -6 dB: far above the threshold
    EXPECT_GT(maxVu->getValue(), 0.85f) << "-6 dB reads about 0.92";
    EXPECT_GT(gate->getValue(), 0.9f) << "the gate is open";
    run(60, 0.f);
    EXPECT_LT(maxVu->getValue(), 0.1f) << "silence";
    EXPECT_LT(gate->getValue(), 0.1f) << "the gate has closed";

    processor->setProcessing(false);
    processor->setActive(false);
    processor->terminate();
    processor->release();
}

// Handles of the window system this process holds (Wine's GetGuiResources counts nothing and
// answers 0), and the kernel's handles.
struct Handles
{
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD kernel = []
    {
        DWORD count = 0;
        GetProcessHandleCount(GetCurrentProcess(), &count);
        return count;
    }();
};

bool classRegistered(const wchar_t* name)
{
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    return GetClassInfoExW(GetModuleHandleW(nullptr), name, &info) != 0;
}

TEST_F(WindowedEditorTest, OpeningAndClosingAThousandTimesLeavesNoHandlesBehind)
{
    // The first round settles what lives as long as the process (fonts, caches).
    view->removed();
    ASSERT_EQ(view->attached(host->handle(), kPlatformTypeHWND), kResultOk);
    HostWindow::pump(60);
    view->removed();
    HostWindow::pump();
    const Handles before;
    for (int i = 0; i < 1000; ++i)
    {
        ASSERT_EQ(view->attached(host->handle(), kPlatformTypeHWND), kResultOk) << "round " << i;
        HostWindow::pump(); // paints, as a host's loop would
        ASSERT_EQ(view->removed(), kResultOk);
    }
    HostWindow::pump();
    const Handles after;
    EXPECT_LE(after.gdi, before.gdi);
    EXPECT_LE(after.user, before.user);
    EXPECT_LE(after.kernel, before.kernel);
    // What Wine lets us see of the window system: no window, timer window or class of ours is
    // left, and GDI+ has been shut down after its last use.
    EXPECT_EQ(FindWindowExW(host->handle(), nullptr, L"QuorvaneFrame", nullptr), nullptr);
    EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, L"QuorvaneTimer", nullptr), nullptr);
    EXPECT_FALSE(classRegistered(L"QuorvaneFrame"));
    EXPECT_FALSE(classRegistered(L"QuorvaneTimer"));
    EXPECT_EQ(VSTGUI::GdiplusSession::users(), 0);
    std::printf("GDI objects %lu -> %lu, user objects %lu -> %lu, kernel handles %lu -> %lu\n",
                before.gdi, after.gdi, before.user, after.user, before.kernel, after.kernel);
    ASSERT_EQ(view->attached(host->handle(), kPlatformTypeHWND), kResultOk) << "and it still opens";
}

} // namespace
