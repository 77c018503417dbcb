#include "vstgui/x11/x11errortrap.h"

namespace VSTGUI {

namespace {

// The traps in force, innermost first (nested through `outer`).
X11ErrorTrap* innermostTrap = nullptr;

} // namespace

X11ErrorTrap::X11ErrorTrap (Display* display)
: display (display), outer (innermostTrap), previous (XSetErrorHandler (&X11ErrorTrap::handle))
{
	innermostTrap = this;
}

X11ErrorTrap::~X11ErrorTrap ()
{
	if (display)
		sync ();
	innermostTrap = outer;
	XSetErrorHandler (previous);
}

void X11ErrorTrap::sync ()
{
	// Every request answered (the usual case after reading events): nothing can fail any more.
	if (LastKnownRequestProcessed (display) != NextRequest (display) - 1)
		XSync (display, False);
}

bool X11ErrorTrap::failed ()
{
	sync ();
	return errors > 0;
}

void X11ErrorTrap::closeDisplay ()
{
	XCloseDisplay (display);
	// The display pointer may come back with the next connection: it is not ours to match.
	display = nullptr;
}

int X11ErrorTrap::handle (Display* display, XErrorEvent* error)
{
	X11ErrorTrap* outermost = innermostTrap;
	for (X11ErrorTrap* trap = innermostTrap; trap; trap = trap->outer)
	{
		if (trap->display == display)
		{
			++trap->errors;
			return 0;
		}
		outermost = trap;
	}
	// Not one of ours: the handler that was in force before the first trap decides.
	return outermost && outermost->previous ? outermost->previous (display, error) : 0;
}

} // namespace VSTGUI
