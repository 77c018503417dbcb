#pragma once
// Keeps the X errors of our own requests from the process's error handler. Xlib's default
// handler ends the process, and a host's may too, yet a request of ours can fail through no
// fault of our own: the host may destroy its window, and our child with it, before it closes the
// editor. While a trap lives, an error on its display is counted instead; errors on any other
// display (the host's) still go to the handler that was in force. The trap waits for the server
// to answer the requests made within it and then puts that handler back, so the host's handler
// is the one in force whenever our code is not running. UI thread only.

#include <X11/Xlib.h>

namespace VSTGUI {

class X11ErrorTrap
{
public:
	explicit X11ErrorTrap (Display* display);
	~X11ErrorTrap ();
	X11ErrorTrap (const X11ErrorTrap&) = delete;
	X11ErrorTrap& operator= (const X11ErrorTrap&) = delete;

	/** Waits for the answers to every request so far; whether any request made within the trap
	 *  failed. */
	bool failed ();
	/** Closes the display within the trap (its last requests may fail too); the trap is over. */
	void closeDisplay ();

private:
	static int handle (Display* display, XErrorEvent* error);
	void sync ();

	Display* display;
	X11ErrorTrap* outer;
	XErrorHandler previous;
	int errors {0};
};

} // namespace VSTGUI
