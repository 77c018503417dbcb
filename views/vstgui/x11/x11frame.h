#pragma once
// A frame's window on X11: a child of the host's window, painted from the frame's back buffer,
// delivering mouse, wheel, key and focus events to the frame. It takes part in the XEmbed
// protocol when the host speaks it (`_XEMBED_INFO` from its creation on, `_XEMBED` messages) and
// shows by itself in hosts that do not.

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
	uintptr_t getNativeWindow () const override { return window; }
	int getEventFileDescriptor () const override;
	void pumpEvents () override;

	Display* getDisplay () const { return display; }
	/** Whether an XEmbed host has announced itself (XEMBED_EMBEDDED_NOTIFY). */
	bool isEmbedded () const { return embedded; }
	/** Whether the XEmbed host has given us its keyboard (XEMBED_FOCUS_IN, not yet taken back). */
	bool hasXEmbedFocus () const { return xembedFocus; }

	/** The delay within which a second click counts as a double click. */
	static constexpr unsigned long kDoubleClickMs = 300;

private:
	X11Frame (CFrame* frame, Display* display, Window parent, const CRect& size);
	void handleEvent (XEvent& event);
	void handleXEmbedMessage (const XClientMessageEvent& message);
	void takeInputFocus (Time time);
	void sendToEmbedder (long message, Time time);

	CFrame* frame;
	Display* display;
	Window window {0};
	Atom xembedInfoAtom {0};
	Atom xembedAtom {0};
	bool embedded {false};
	bool xembedFocus {false};
	bool windowGone {false};
	cairo_surface_t* surface {nullptr};
	Time lastClickTime {0};
	unsigned int lastClickButton {0};
};

/** Makes frames opened with a parent window create X11 windows. */
void useX11PlatformFrames ();

} // namespace VSTGUI
