// A host that embeds editors by the XEmbed protocol, on its own X connection: it watches its
// window for the editor's child window, reads the child's _XEMBED_INFO the moment the child is
// created (giving up when it is missing or claims XEMBED_MAPPED), maps the child itself and
// announces itself with _XEMBED messages. Afterwards it keeps the X focus on its own window,
// passes keys on to the child while the child has the XEmbed focus and answers the child's
// focus requests.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <thread>
#include <vector>

namespace QuorvaneTest
{

class XEmbedHost
{
public:
    enum Message : long
    {
        kEmbeddedNotify = 0,
        kWindowActivate = 1,
        kWindowDeactivate = 2,
        kRequestFocus = 3,
        kFocusIn = 4,
        kFocusOut = 5,
    };

    XEmbedHost();
    ~XEmbedHost();
    XEmbedHost(const XEmbedHost&) = delete;
    XEmbedHost& operator=(const XEmbedHost&) = delete;

    bool isOpen() const { return display != nullptr; }
    /** The window to hand to the editor's attached(). */
    Window window() const { return parent; }

    /** Starts waiting, on a thread of its own, for the child window; embeds it when it comes. */
    void startWatching();
    /** Waits for the embedding to end; returns what went wrong ("" when the child is embedded). */
    std::string finishEmbedding();
    Window child() const { return embedded; }

    /** Sends an _XEMBED message to the child. */
    void send(Message message, long detail = 0);
    /** Clicks (press and release of button 1) at a point of the child, as the server would. */
    void click(int x, int y);
    /** Types a key: passed on to the child while it has the XEmbed focus, else dropped. */
    void type(KeySym sym);
    /** Handles the host's waiting events (the child's focus requests). */
    void handleEvents();

    bool childHasFocus() const { return focusGiven; }
    int focusRequests() const { return requests; }
    /** X errors reported on any connection of the process since the host was made. */
    static int errors();

private:
    void watch();
    void embed(Window child);

    Display* display = nullptr;
    Window parent = 0;
    Window embedded = 0;
    Atom infoAtom = 0;
    Atom xembedAtom = 0;
    std::thread watcher;
    std::string failure;
    bool focusGiven = false;
    int requests = 0;
};

} // namespace QuorvaneTest
