#include "xembedhost.h"

#include <X11/Xatom.h>

#include <atomic>
#include <chrono>
#include <poll.h>

namespace QuorvaneTest
{

namespace
{

std::atomic<int> xErrors{0};

// An X error would otherwise end the test process: counted instead, and checked by the tests.
int countError(Display*, XErrorEvent*)
{
    ++xErrors;
    return 0;
}

constexpr long kMappedFlag = 1;

} // namespace

int XEmbedHost::errors()
{
    return xErrors.load();
}

XEmbedHost::XEmbedHost()
{
    // A server whose last client just left starts over and refuses connections for a moment.
    for (int attempt = 0; attempt < 30 && !display; ++attempt)
        if (!(display = XOpenDisplay(nullptr)))
            poll(nullptr, 0, 100);
    if (!display)
        return;
    XSetErrorHandler(countError);
    xErrors = 0;
    infoAtom = XInternAtom(display, "_XEMBED_INFO", False);
    xembedAtom = XInternAtom(display, "_XEMBED", False);
    const int screen = DefaultScreen(display);
    parent = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 400, 450, 0,
                                 BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, parent, SubstructureNotifyMask | StructureNotifyMask);
    XMapWindow(display, parent);
    // Wait until the window is viewable: only then may it hold the focus.
    for (XEvent e; XWindowEvent(display, parent, StructureNotifyMask, &e), e.type != MapNotify;)
    {
    }
    XSetInputFocus(display, parent, RevertToParent, CurrentTime);
    XSync(display, False);
}

XEmbedHost::~XEmbedHost()
{
    if (watcher.joinable())
        watcher.join();
    if (!display)
        return;
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

void XEmbedHost::startWatching()
{
    failure = "no child window was created";
    watcher = std::thread([this] { watch(); });
}

std::string XEmbedHost::finishEmbedding()
{
    if (watcher.joinable())
        watcher.join();
    return failure;
}

// The watching thread owns the connection until it ends; the test's thread takes it over after
// finishEmbedding.
void XEmbedHost::watch()
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end)
    {
        while (XPending(display) > 0)
        {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == CreateNotify && e.xcreatewindow.parent == parent)
            {
                embed(e.xcreatewindow.window);
                return;
            }
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 10);
    }
}

void XEmbedHost::embed(Window child)
{
    // At once, before anything else: the child's information decides whether it is embedded.
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, child, infoAtom, 0, 2, False, infoAtom, &type, &format, &count,
                           &remaining, &data) != Success ||
        type != infoAtom || format != 32 || count < 2)
    {
        if (data)
            XFree(data);
        failure = "XGetWindowProperty for _XEMBED_INFO failed";
        return;
    }
    const long flags = reinterpret_cast<long*>(data)[1];
    XFree(data);
    if (flags & kMappedFlag)
    {
        failure = "Window already mapped";
        return;
    }
    embedded = child;
    XMapWindow(display, child);
    send(kEmbeddedNotify, 0);
    send(kWindowActivate);
    send(kFocusIn);
    XSync(display, False);
    failure.clear();
}

void XEmbedHost::send(Message message, long detail)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = embedded;
    e.xclient.message_type = xembedAtom;
    e.xclient.format = 32;
    e.xclient.data.l[0] = CurrentTime;
    e.xclient.data.l[1] = message;
    e.xclient.data.l[2] = detail;
    // EMBEDDED_NOTIFY carries the embedder and the protocol version.
    e.xclient.data.l[3] = message == kEmbeddedNotify ? long(parent) : 0;
    XSendEvent(display, embedded, False, NoEventMask, &e);
    if (message == kFocusIn)
        focusGiven = true;
    else if (message == kFocusOut || message == kWindowDeactivate)
        focusGiven = false;
    XFlush(display);
}

void XEmbedHost::click(int x, int y)
{
    XEvent e{};
    e.xbutton.type = ButtonPress;
    e.xbutton.window = embedded;
    e.xbutton.root = DefaultRootWindow(display);
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.button = Button1;
    e.xbutton.same_screen = True;
    XSendEvent(display, embedded, False, ButtonPressMask, &e);
    e.xbutton.type = ButtonRelease;
    e.xbutton.state = Button1Mask;
    XSendEvent(display, embedded, False, ButtonReleaseMask, &e);
    XFlush(display);
}

void XEmbedHost::type(KeySym sym)
{
    if (!focusGiven)
        return;
    XEvent e{};
    e.xkey.type = KeyPress;
    e.xkey.window = embedded;
    e.xkey.root = DefaultRootWindow(display);
    e.xkey.keycode = XKeysymToKeycode(display, sym);
    e.xkey.same_screen = True;
    XSendEvent(display, embedded, False, KeyPressMask, &e);
    XFlush(display);
}

void XEmbedHost::handleEvents()
{
    while (XPending(display) > 0)
    {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type != ClientMessage || e.xclient.message_type != xembedAtom ||
            e.xclient.window != parent)
            continue;
        if (e.xclient.data.l[1] == kRequestFocus)
        {
            // Granted; the X focus comes back to the host, which passes the keys on.
            ++requests;
            send(kFocusIn);
            XSetInputFocus(display, parent, RevertToParent, CurrentTime);
            XFlush(display);
        }
    }
}

} // namespace QuorvaneTest
