#pragma once
// What a frame needs from the window system: a window showing the frame's back buffer, and
// the window's events delivered to the frame. The window works in physical pixels (the back
// buffer's); positions it hands the frame go through CFrame::fromPhysical first.

#include "nativegraphics.h"
#include "vstgui/crect.h"

#include <cstdint>

namespace VSTGUI {

class CFrame;

class IPlatformFrame
{
public:
	virtual ~IPlatformFrame () = default;

	/** Copies `rect` (physical pixels) of the frame's back buffer to the window. */
	virtual void present (NativeImage* backBuffer, const CRect& rect) = 0;
	/** Resizes the window to `size` (physical pixels). */
	virtual void setSize (const CRect& size) = 0;
	/** The native window (an X11 Window id for the X11 frame, an HWND for the Win32 frame). */
	virtual uintptr_t getNativeWindow () const = 0;
	/** A descriptor that becomes readable when events are waiting, or −1. */
	virtual int getEventFileDescriptor () const = 0;
	/** Handles every event waiting for the window, without blocking. */
	virtual void pumpEvents () = 0;
	/** The frame's keyboard focus moved to a view (true) or away from every view (false): a
	 *  window system that routes keys by window focus takes the keyboard or gives it back. */
	virtual void onFocusViewChanged (bool /*hasFocusView*/) {}
};

/** Creates the window of `frame` inside `parentWindow`, `size` physical pixels large; returns
 *  null when it cannot. */
using PlatformFrameFactory = IPlatformFrame* (*)(CFrame* frame, void* parentWindow,
                                                 const CRect& size);

/** Installs the factory frames use when they are given a parent window. */
void setPlatformFrameFactory (PlatformFrameFactory factory);
PlatformFrameFactory getPlatformFrameFactory ();

} // namespace VSTGUI
