// A host's top-level window for editors to open in, where the platform's test run has one (an X
// server on Linux: DISPLAY); elsewhere there is none and editors open off-screen.
#pragma once

namespace QuorvaneTest
{

class ParentWindow
{
public:
    ParentWindow();
    ~ParentWindow();
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    // The window as the platform's editors take it, or null.
    void* handle() const;
    // The host destroys its window (before closing the editor), and waits until it is gone.
    void destroy();

private:
    void* display = nullptr;
    unsigned long window = 0;
};

} // namespace QuorvaneTest
