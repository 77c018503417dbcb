#pragma once
// A frame's window on X11: a child of the host's window, painted from the frame's back buffer,
// delivering mouse, wheel, key and focus events to the frame.

#include "vstgui/iplatformframe.h"

#include <X11/Xlib.h>

namespace VSTGUI {

class X11Frame : public IPlatformFrame
{
public:
	/** Opens a connection to the X server and creates the window inside `parent` (an X11
	 *  Window id); null when either fails. */
	static IPlatformFrame* create (CFrame* frame, void* parent, const CRect& size);
	~X11Frame () override;

	void present (cairo_surface_t* backBuffer, const CRect& rect) override;
	void setSize (const CRect& size) override;
	unsigned long getNativeWindow () const override { return window; }
	int getEventFileDescriptor () const override;
	void pumpEvents () override;

	Display* getDisplay () const { return display; }

	/** The delay within which a second click counts as a double click. */
	static constexpr unsigned long kDoubleClickMs = 300;

private:
	X11Frame (CFrame* frame, Display* display, Window parent, const CRect& size);
	void handleEvent (XEvent& event);

	CFrame* frame;
	Display* display;
	Window window {0};
	cairo_surface_t* surface {nullptr};
	Time lastClickTime {0};
	unsigned int lastClickButton {0};
};

/** Makes frames opened with a parent window create X11 windows. */
void useX11PlatformFrames ();

} // namespace VSTGUI
