#include "hostwindow.h"

namespace QuorvaneTest
{

namespace
{

const wchar_t kClassName[] = L"QuorvaneTestHost";

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

HostWindow::HostWindow(int width, int height)
{
    WNDCLASSW info{};
    info.lpfnWndProc = &hostProc;
    info.hInstance = GetModuleHandleW(nullptr);
    info.lpszClassName = kClassName;
    RegisterClassW(&info); // fails harmlessly when a window before this one registered it
    RECT outer{0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    window =
        CreateWindowExW(0, kClassName, L"Quorvane test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        40, 40, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window)
    {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        SetFocus(window);
        pump(50);
    }
}

HostWindow::~HostWindow()
{
    if (window)
        DestroyWindow(window);
    pump();
}

void HostWindow::pump(DWORD milliseconds)
{
    const DWORD until = GetTickCount() + milliseconds;
    do
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (milliseconds)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

} // namespace QuorvaneTest
