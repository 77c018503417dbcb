// The top-level X11 window `quorvane editor` gives a plug-in's view to embed
// itself into. It has a connection of its own to the X server.
#pragma once

#include <string>

// Xlib's own types, without its macros in every file that includes this.
typedef struct _XDisplay Display;

namespace Quorvane
{

class EditorWindow
{
public:
    // Opens the display ($DISPLAY) and maps a fixed-size window titled TITLE.
    // Throws HostError (kExitOutput) when there is no X server to talk to.
    EditorWindow(const std::string& title, int width, int height);
    ~EditorWindow();

    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // The X window ID, as a view's attached() expects it.
    unsigned long id() const { return window; }
    int connectionFd() const;

    void resize(int width, int height);
    int width() const { return currentWidth; }
    int height() const { return currentHeight; }

    // Reads every waiting event. Answers false once the user closed the window.
    bool processEvents();
    bool closeRequested() const { return closing; }

    // Writes what the window shows, embedded views included, as a PNG.
    // Throws HostError (kExitOutput) when it cannot.
    void saveScreenshot(const std::string& path);

private:
    void setFixedSize(int width, int height);

    Display* display = nullptr;
    unsigned long window = 0;
    unsigned long deleteAtom = 0;
    int currentWidth = 0;
    int currentHeight = 0;
    bool closing = false;
    bool destroyed = false;
};

} // namespace Quorvane
