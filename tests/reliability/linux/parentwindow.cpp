#include "parentwindow.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

namespace QuorvaneTest
{

ParentWindow::ParentWindow()
{
    if (!std::getenv("DISPLAY"))
        return;
    // A server whose last client just left starts over and refuses connections for a moment.
    Display* x = nullptr;
    for (int attempt = 0; attempt < 30 && !x; ++attempt)
        if (!(x = XOpenDisplay(nullptr)))
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!x)
        return;
    display = x;
    const int screen = DefaultScreen(x);
    window = XCreateSimpleWindow(x, RootWindow(x, screen), 0, 0, 400, 450, 0, BlackPixel(x, screen),
                                 WhitePixel(x, screen));
    XMapWindow(x, window);
    XSync(x, False);
}

ParentWindow::~ParentWindow()
{
    if (!display)
        return;
    destroy();
    XCloseDisplay(static_cast<Display*>(display));
}

void* ParentWindow::handle() const
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
}

void ParentWindow::destroy()
{
    if (!window)
        return;
    XDestroyWindow(static_cast<Display*>(display), window);
    XSync(static_cast<Display*>(display), False);
    window = 0;
}

} // namespace QuorvaneTest
