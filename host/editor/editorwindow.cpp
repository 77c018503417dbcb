#include "editorwindow.h"
#include "support/hostconsole.h"

#include "support/hosterror.h"
#include "support/temporaryfile.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace Quorvane
{

namespace
{

// Position of the lowest set bit of a colour mask and the number of bits in it.
void maskShape(unsigned long mask, int& shift, int& bits)
{
    shift = 0;
    bits = 0;
    if (mask == 0)
        return;
    while ((mask & 1) == 0)
    {
        mask >>= 1;
        ++shift;
    }
    while (mask & 1)
    {
        mask >>= 1;
        ++bits;
    }
}

uint32_t channel(unsigned long pixel, unsigned long mask)
{
    int shift = 0;
    int bits = 0;
    maskShape(mask, shift, bits);
    if (bits == 0)
        return 0;
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long maximum = (1ul << bits) - 1;
    return static_cast<uint32_t>((value * 255 + maximum / 2) / maximum);
}

// Xlib's default handler ends the process on any protocol error, and a window
// destroyed from outside (a window manager's or xdotool's "close") makes the
// editor's own window vanish under it. Reporting and carrying on lets the
// host still remove the editor, print and save what the user set.
int reportXError(Display* display, XErrorEvent* error)
{
    char text[128] = {};
    XGetErrorText(display, error->error_code, text, sizeof(text));
    std::fprintf(hostMessages(), "quorvane: X error ignored: %s (request %d)\n", text,
                 static_cast<int>(error->request_code));
    return 0;
}

} // namespace

EditorWindow::EditorWindow(const std::string& title, int width, int height)
    : currentWidth(width), currentHeight(height)
{
    XSetErrorHandler(reportXError);
    display = XOpenDisplay(nullptr);
    if (!display)
    {
        const char* name = std::getenv("DISPLAY");
        throw HostError(kExitOutput, std::string("cannot open the X display '") +
                                         (name ? name : "") + "': the editor needs an X server");
    }
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask;
    window = XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                           CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, window, title.c_str());
    XClassHint classHint{const_cast<char*>("quorvane"), const_cast<char*>("Quorvane")};
    XSetClassHint(display, window, &classHint);
    // Lets tools find the window by the process that owns it.
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom protocols[] = {deleteAtom};
    XSetWMProtocols(display, window, protocols, 1);
    setFixedSize(width, height);
    XMapWindow(display, window);
    // Wait until the window is on screen: a view attached before that may
    // draw into nothing.
    for (XEvent event;;)
    {
        XWindowEvent(display, window, StructureNotifyMask, &event);
        if (event.type == MapNotify)
            break;
    }
}

EditorWindow::~EditorWindow()
{
    if (!destroyed)
        XDestroyWindow(display, window);
    XCloseDisplay(display);
}

int EditorWindow::connectionFd() const
{
    return ConnectionNumber(display);
}

void EditorWindow::setFixedSize(int width, int height)
{
    std::unique_ptr<XSizeHints, int (*)(void*)> hints(XAllocSizeHints(), XFree);
    if (!hints)
        return;
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints.get());
}

void EditorWindow::resize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    currentWidth = width;
    currentHeight = height;
    setFixedSize(width, height);
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display);
}

bool EditorWindow::processEvents()
{
    while (XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && event.xclient.window == window &&
            static_cast<Atom>(event.xclient.data.l[0]) == deleteAtom)
            closing = true;
        else if (event.type == DestroyNotify && event.xdestroywindow.window == window)
            closing = destroyed = true;
    }
    return !closing;
}

void EditorWindow::saveScreenshot(const std::string& path)
{
    if (destroyed)
        throw HostError(kExitOutput, "no screenshot '" + path + "': the window was destroyed");
    XSync(display, False);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(currentWidth),
                              static_cast<unsigned>(currentHeight), AllPlanes, ZPixmap);
    if (!image)
        throw HostError(kExitOutput, "cannot read the editor window's pixels for '" + path + "'");
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, currentWidth, currentHeight);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < currentHeight; ++y)
    {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < currentWidth; ++x)
        {
            const unsigned long pixel = XGetPixel(image, x, y);
            row[x] = channel(pixel, image->red_mask) << 16 |
                     channel(pixel, image->green_mask) << 8 | channel(pixel, image->blue_mask);
        }
    }
    cairo_surface_mark_dirty(surface);
    XDestroyImage(image);
    TemporaryFile temporary(path);
    const cairo_status_t status = cairo_surface_write_to_png(surface, temporary.path().c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw HostError(kExitOutput, "cannot write the screenshot '" + path +
                                         "': " + cairo_status_to_string(status));
    temporary.commit();
}

} // namespace Quorvane
