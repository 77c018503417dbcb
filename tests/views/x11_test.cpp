// An editor in a real X11 window: attached to a parent window through a host frame with a run
// loop, drawn, driven by X events, and detached cleanly. Needs an X server (DISPLAY); CI runs it
// under Xvfb.
#include "viewtesthelpers.h"

#include "public.sdk/source/vst/vstguieditor.h"

#include <gtest/gtest.h>
// Xlib's macros (None, Bool, ...) clash with names in the headers above: include it last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <poll.h>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;

namespace
{

/** The host side: a plug frame that is also the run loop, polled by `pump`. */
class FakeHost : public IPlugFrame, public Linux::IRunLoop
{
public:
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
    {
        if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) ||
            FUnknownPrivate::iidEqual(iid, FUnknown::iid))
            *obj = static_cast<IPlugFrame*>(this);
        else if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid))
            *obj = static_cast<Linux::IRunLoop*>(this);
        else
        {
            *obj = nullptr;
            return kNoInterface;
        }
        addRef();
        return kResultOk;
    }
    uint32 PLUGIN_API addRef() override { return ++refs; }
    uint32 PLUGIN_API release() override { return --refs; }

    tresult PLUGIN_API resizeView(IPlugView*, ViewRect* r) override
    {
        resizes.push_back(*r);
        return kResultOk;
    }
    tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* h,
                                            Linux::FileDescriptor fd) override
    {
        h->addRef();
        handlers.push_back({h, fd});
        return kResultOk;
    }
    tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* h) override
    {
        auto it =
            std::find_if(handlers.begin(), handlers.end(), [h](auto& e) { return e.first == h; });
        if (it == handlers.end())
            return kInvalidArgument;
        h->release();
        handlers.erase(it);
        return kResultOk;
    }
    tresult PLUGIN_API registerTimer(Linux::ITimerHandler* h, Linux::TimerInterval ms) override
    {
        h->addRef();
        timers.push_back({h, ms});
        return kResultOk;
    }
    tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* h) override
    {
        auto it = std::find_if(timers.begin(), timers.end(), [h](auto& e) { return e.first == h; });
        if (it == timers.end())
            return kInvalidArgument;
        h->release();
        timers.erase(it);
        return kResultOk;
    }

    /** Runs the loop for `ms`: readable descriptors call their handlers, timers fire. */
    void pump(int ms)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        auto nextTick = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() < end)
        {
            std::vector<pollfd> fds;
            for (auto& h : handlers)
                fds.push_back({h.second, POLLIN, 0});
            poll(fds.data(), fds.size(), 5);
            for (size_t i = 0; i < fds.size() && i < handlers.size(); ++i)
                if (fds[i].revents & POLLIN)
                    handlers[i].first->onFDIsSet(fds[i].fd);
            // Handlers may also have events already read into the connection's queue.
            for (size_t i = 0; i < handlers.size(); ++i)
                handlers[i].first->onFDIsSet(handlers[i].second);
            if (!timers.empty() && std::chrono::steady_clock::now() >= nextTick)
            {
                for (size_t i = 0; i < timers.size(); ++i)
                    timers[i].first->onTimer();
                nextTick += std::chrono::milliseconds(timers.front().second);
            }
        }
    }

    int refs = 0;
    std::vector<ViewRect> resizes;
    std::vector<std::pair<Linux::IEventHandler*, int>> handlers;
    std::vector<std::pair<Linux::ITimerHandler*, Linux::TimerInterval>> timers;
};

class LoggingController : public EditController
{
public:
    void editorAttached(EditorView*) override { log += "attached "; }
    void editorRemoved(EditorView*) override { log += "removed "; }
    std::string log;
};

/** Blue background, a red/green button at the top left, a text field below it. */
class WindowEditor : public VSTGUIEditor
{
public:
    explicit WindowEditor(EditController* c) : VSTGUIEditor(c)
    {
        setIdleRate(50);
        ViewRect size(0, 0, 320, 390);
        setRect(size);
    }
    bool open(void* parent) override
    {
        if (frame)
            return false;
        frame = new VSTGUI::CFrame(VSTGUI::CRect(0, 0, 320, 390), parent, this);
        VSTGUI::CBitmap* back = stripBitmap(320, 390, {kBlue});
        frame->setBackground(back);
        back->forget();
        VSTGUI::CBitmap* strip = stripBitmap(40, 20, {kRed, kGreen});
        button = new VSTGUI::CMovieButton(VSTGUI::CRect(0, 0, 40, 20), &listener, 1, strip);
        strip->forget();
        frame->addView(button);
        field = new VSTGUI::CTextEdit(VSTGUI::CRect(0, 40, 60, 52), &listener, 2, "0");
        frame->addView(field);
        VSTGUI::CBitmap* knobStrip = stripBitmap(40, 40, {kRed, kGreen});
        knob = new VSTGUI::CAnimKnob(VSTGUI::CRect(100, 100, 140, 140), &listener, 3, knobStrip);
        knobStrip->forget();
        knob->setDefaultValue(0.25f);
        frame->addView(knob);
        return true;
    }
    void close() override
    {
        frame->forget();
        frame = nullptr;
    }
    RecordingListener listener;
    VSTGUI::CMovieButton* button = nullptr;
    VSTGUI::CTextEdit* field = nullptr;
    VSTGUI::CAnimKnob* knob = nullptr;
};

struct X11Test : ::testing::Test
{
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X server (DISPLAY unset)";
        display = XOpenDisplay(nullptr);
        if (!display)
            GTEST_SKIP() << "cannot open the display";
        int screen = DefaultScreen(display);
        parent = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 400, 450, 0,
                                     BlackPixel(display, screen), WhitePixel(display, screen));
        XMapWindow(display, parent);
        XSync(display, False);
    }
    void TearDown() override
    {
        if (!display)
            return;
        XDestroyWindow(display, parent);
        XCloseDisplay(display);
    }

    std::vector<Window> children() { return childrenOf(parent); }
    std::vector<Window> childrenOf(Window window)
    {
        Window root = 0, parentOut = 0, *list = nullptr;
        unsigned int count = 0;
        XSync(display, False);
        XQueryTree(display, window, &root, &parentOut, &list, &count);
        std::vector<Window> result(list, list + count);
        if (list)
            XFree(list);
        return result;
    }

    /** The colour of a window pixel as 0xRRGGBB (24-bit true colour). */
    unsigned long colourAt(Window w, int x, int y)
    {
        XImage* image = XGetImage(display, w, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return 0xFFFFFFFFul;
        unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return p;
    }

    void send(Window w, XEvent event, long mask)
    {
        event.xany.window = w;
        event.xany.display = display;
        XSendEvent(display, w, False, mask, &event);
        XFlush(display);
    }
    void clickAt(Window w, int x, int y)
    {
        XEvent e{};
        e.xbutton.type = ButtonPress;
        e.xbutton.root = DefaultRootWindow(display);
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = Button1;
        e.xbutton.same_screen = True;
        send(w, e, ButtonPressMask);
        e.xbutton.type = ButtonRelease;
        e.xbutton.state = Button1Mask;
        send(w, e, ButtonReleaseMask);
    }
    void mouse(Window w, int type, int x, int y, unsigned button, unsigned state)
    {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.root = DefaultRootWindow(display);
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = button;
        e.xbutton.state = state;
        e.xbutton.same_screen = True;
        send(w, e,
             type == MotionNotify  ? PointerMotionMask
             : type == ButtonPress ? ButtonPressMask
                                   : ButtonReleaseMask);
    }
    void key(Window w, KeySym sym)
    {
        XEvent e{};
        e.xkey.type = KeyPress;
        e.xkey.root = DefaultRootWindow(display);
        e.xkey.keycode = XKeysymToKeycode(display, sym);
        e.xkey.same_screen = True;
        send(w, e, KeyPressMask);
    }

    Display* display = nullptr;
    Window parent = 0;
};

} // namespace

TEST_F(X11Test, EditorLivesInAChildWindowDrivenByTheHostRunLoop)
{
    FakeHost host;
    auto* controller = new LoggingController;
    auto* editor = new WindowEditor(controller);
    editor->setFrame(&host);
    ASSERT_EQ(editor->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID),
              kResultOk);
    EXPECT_EQ(controller->log, "attached ");

    ASSERT_EQ(host.resizes.size(), 1u);
    EXPECT_EQ(host.resizes[0].getWidth(), 320);
    EXPECT_EQ(host.resizes[0].getHeight(), 390);
    ASSERT_EQ(host.handlers.size(), 1u);
    ASSERT_EQ(host.timers.size(), 1u);
    EXPECT_EQ(host.timers[0].second, 50u);

    std::vector<Window> windows = children();
    ASSERT_EQ(windows.size(), 1u);
    Window child = windows[0];
    EXPECT_EQ(static_cast<unsigned long>(child),
              editor->getFrame()->getPlatformFrame()->getNativeWindow());
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, child, &attributes);
    EXPECT_EQ(attributes.width, 320);
    EXPECT_EQ(attributes.height, 390);
    EXPECT_EQ(attributes.map_state, IsViewable);

    host.pump(300);
    EXPECT_EQ(colourAt(child, 200, 200), 0x0000FFul) << "the background was drawn";
    EXPECT_EQ(colourAt(child, 20, 10), 0xFF0000ul) << "the button's first frame";

    clickAt(child, 20, 10);
    host.pump(200);
    EXPECT_FLOAT_EQ(editor->button->getValue(), 1.f);
    EXPECT_EQ(editor->listener.sequence(), "begin changed end");
    EXPECT_EQ(colourAt(child, 20, 10), 0x00FF00ul) << "redrawn on the timer";

    // Typing into the text field through X key events.
    clickAt(child, 30, 45);
    host.pump(50);
    ASSERT_TRUE(editor->field->isEditing());
    key(child, XK_5);
    key(child, XK_period);
    key(child, XK_5);
    key(child, XK_Return);
    host.pump(100);
    EXPECT_STREQ(editor->field->getText(), "5.5");
    EXPECT_EQ(editor->listener.events.back().tag, 2);

    EXPECT_EQ(editor->removed(), kResultOk);
    EXPECT_TRUE(host.handlers.empty());
    EXPECT_TRUE(host.timers.empty());
    EXPECT_TRUE(children().empty()) << "the window is gone";
    EXPECT_EQ(controller->log, "attached removed ");
    EXPECT_EQ(host.refs, 0) << "the editor keeps no reference to the host";

    editor->setFrame(nullptr);
    editor->release();
    controller->release();
}

// The window has the scaled size and the scaled picture, and the same gestures in physical pixels
// (a drag, the wheel, Ctrl+click, a click into the text field) give the same values at every scale.
TEST_F(X11Test, AtADisplayScaleTheWindowGrowsAndGesturesKeepTheirValues)
{
    std::vector<float> atOne;
    for (double f : {1.0, 1.5, 2.0})
    {
        FakeHost host;
        auto* controller = new LoggingController;
        auto* editor = new WindowEditor(controller);
        editor->setFrame(&host);
        ASSERT_EQ(editor->setContentScaleFactor(static_cast<float>(f)), kResultTrue);
        ASSERT_EQ(editor->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID),
                  kResultOk);
        const int w = static_cast<int>(320 * f), h = static_cast<int>(390 * f);
        ASSERT_EQ(host.resizes.size(), 1u) << f;
        EXPECT_TRUE(host.resizes[0].getWidth() == w && host.resizes[0].getHeight() == h) << f;
        Window child = children().at(0);
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, child, &attributes);
        EXPECT_TRUE(attributes.width == w && attributes.height == h) << f;
        host.pump(150);
        EXPECT_EQ(colourAt(child, int(39 * f), int(19 * f)), 0xFF0000ul) << f;
        EXPECT_EQ(colourAt(child, int(41 * f), int(21 * f)), 0x0000FFul) << f;

        // A drag, a wheel turn and Ctrl+click on the knob, at even logical positions (whole
        // physical pixels at every factor here); the knob's value read after each.
        const struct
        {
            int type, x, y;
            unsigned button, state;
        } gestures[] = {{ButtonPress, 120, 130, Button1, 0},
                        {MotionNotify, 136, 110, 0, Button1Mask},
                        {ButtonRelease, 136, 110, Button1, Button1Mask},
                        {ButtonPress, 120, 120, Button4, 0},
                        {ButtonPress, 120, 120, Button1, ControlMask},
                        {ButtonRelease, 120, 120, Button1, Button1Mask | ControlMask}};
        std::vector<float> values;
        for (const auto& g : gestures)
        {
            mouse(child, g.type, int(g.x * f), int(g.y * f), g.button, g.state);
            host.pump(g.type == MotionNotify ? 0 : 40);
            values.push_back(editor->knob->getValue());
        }
        clickAt(child, int(30 * f), int(46 * f));
        host.pump(60);
        values.push_back(editor->field->isEditing() ? 1.f : 0.f);
        if (f == 1.0)
            atOne = values;
        else
            EXPECT_EQ(values, atOne) << f;
        EXPECT_EQ(values[5], 0.25f) << "Ctrl+click reset the knob";

        if (f == 1.0)
        {
            // A factor given after attach: the host is asked for the new size and the picture
            // follows.
            ASSERT_EQ(editor->setContentScaleFactor(2.f), kResultTrue);
            ASSERT_EQ(host.resizes.size(), 2u);
            EXPECT_TRUE(host.resizes[1].getWidth() == 640 && host.resizes[1].getHeight() == 780);
            host.pump(100);
            XGetWindowAttributes(display, child, &attributes);
            EXPECT_TRUE(attributes.width == 640 && attributes.height == 780);
            EXPECT_EQ(colourAt(child, 78, 38), 0xFF0000ul);
        }
        editor->removed();
        editor->setFrame(nullptr);
        editor->release();
        controller->release();
    }
}

// Run by its own test entry, on an X server of its own that publishes Xft.dpi (the number is in
// QUORVANE_TEST_XFT_DPI): without a factor from the host the editor takes the desktop's, unless
// QUORVANE_UI_SCALE says otherwise; a factor from the host wins over both.
TEST_F(X11Test, DesktopScaleAppliesWhereTheHostGivesNone)
{
    const char* dpi = std::getenv("QUORVANE_TEST_XFT_DPI");
    if (!dpi)
        GTEST_SKIP() << "needs an X server publishing Xft.dpi (its own test entry)";
    ASSERT_STREQ(dpi, "192");
    struct
    {
        const char* override;
        float host;
        int width, height;
    } cases[] = {{nullptr, 0, 640, 780},
                 {"1.5", 0, 480, 585},
                 {"no number", 0, 640, 780},
                 {"1.5", 1.25f, 400, 488}};
    for (const auto& c : cases)
    {
        if (c.override)
            setenv("QUORVANE_UI_SCALE", c.override, 1);
        else
            unsetenv("QUORVANE_UI_SCALE");
        FakeHost host;
        auto* controller = new LoggingController;
        auto* editor = new WindowEditor(controller);
        editor->setFrame(&host);
        if (c.host > 0)
            editor->setContentScaleFactor(c.host);
        ViewRect before;
        editor->getSize(&before);
        EXPECT_TRUE(before.getWidth() == c.width && before.getHeight() == c.height)
            << (c.override ? c.override : "-") << " " << c.host;
        ASSERT_EQ(editor->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID),
                  kResultOk);
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, children().at(0), &attributes);
        EXPECT_TRUE(attributes.width == c.width && attributes.height == c.height)
            << (c.override ? c.override : "-") << " " << c.host;
        editor->removed();
        editor->setFrame(nullptr);
        editor->release();
        controller->release();
    }
    unsetenv("QUORVANE_UI_SCALE");
}

TEST_F(X11Test, WithoutARunLoopTheEditorIdlesWhenAsked)
{
    auto* controller = new LoggingController;
    auto* editor = new WindowEditor(controller);
    ASSERT_EQ(editor->attached(reinterpret_cast<void*>(parent), kPlatformTypeX11EmbedWindowID),
              kResultOk);
    ASSERT_EQ(children().size(), 1u);
    Window child = children()[0];
    clickAt(child, 20, 10);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (std::chrono::steady_clock::now() < end)
    {
        editor->idle();
        poll(nullptr, 0, 5);
    }
    EXPECT_FLOAT_EQ(editor->button->getValue(), 1.f);
    EXPECT_EQ(colourAt(child, 20, 10), 0x00FF00ul);
    editor->removed();
    EXPECT_TRUE(children().empty());
    editor->release();
    controller->release();
}

namespace
{

int hostHandlerCalls = 0;
int hostHandler(Display*, XErrorEvent*)
{
    return ++hostHandlerCalls, 0;
}

} // namespace

// Hosts that destroy their window before closing the editor, or release an attached editor
// without removed (): the editor leaves no window, handler or timer behind, tells its controller,
// and no X error of its requests reaches the host's error handler (Xlib's default one would end
// the process), which is still the one in force afterwards.
TEST_F(X11Test, EditorsThatLoseTheirWindowOrAreReleasedAttachedLeaveNothingBehind)
{
    struct Case
    {
        const char* what;
        bool destroyHostWindow, eventsBetween, releaseAttached, handlerOfTheHost;
    } cases[] = {
        {"released attached", false, false, true, true},
        {"host window gone, then removed", true, false, false, false},
        {"host window gone and noticed, then released attached", true, true, true, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const Window hostWindow = XCreateSimpleWindow(display, parent, 0, 0, 400, 450, 0, 0, 0);
        XMapWindow(display, hostWindow);
        XSync(display, False);
        const XErrorHandler before = XSetErrorHandler(c.handlerOfTheHost ? &hostHandler : nullptr);
        const XErrorHandler inForce = XSetErrorHandler(nullptr);
        XSetErrorHandler(inForce);
        hostHandlerCalls = 0;

        FakeHost host;
        auto* controller = new LoggingController;
        auto* editor = new WindowEditor(controller);
        editor->setFrame(&host);
        ASSERT_EQ(
            editor->attached(reinterpret_cast<void*>(hostWindow), kPlatformTypeX11EmbedWindowID),
            kResultOk);
        host.pump(60);
        if (c.destroyHostWindow)
            XDestroyWindow(display, hostWindow);
        XSync(display, False);
        if (c.eventsBetween)
            host.pump(60);
        if (!c.releaseAttached)
            editor->removed();
        editor->release();

        EXPECT_EQ(controller->log, "attached removed ");
        EXPECT_TRUE(host.handlers.empty() && host.timers.empty());
        EXPECT_EQ(host.refs, 0);
        if (!c.destroyHostWindow)
        {
            EXPECT_TRUE(childrenOf(hostWindow).empty()) << "the editor's window is gone";
            XDestroyWindow(display, hostWindow);
        }
        XSync(display, False);
        EXPECT_EQ(hostHandlerCalls, 0);
        EXPECT_EQ(XSetErrorHandler(before), inForce) << "the host's error handler is in force";
        controller->release();
    }
}
