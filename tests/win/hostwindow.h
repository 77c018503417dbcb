// A host's top-level window on Windows for editor tests: the editor's view is attached to it as
// a host attaches it, and the test drives the thread's message loop.
#pragma once

#include <windows.h>

namespace QuorvaneTest
{

class HostWindow
{
public:
    HostWindow(int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window; }

    // Dispatches every waiting message, then goes on dispatching until `milliseconds` have passed.
    static void pump(DWORD milliseconds = 0);

private:
    HWND window = nullptr;
};

} // namespace QuorvaneTest
