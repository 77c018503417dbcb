#pragma once
// A frame's window on Windows: a WS_CHILD window in the host's HWND that shows the frame's back
// buffer (so nothing flickers: the window never erases, it only copies finished pictures) and
// delivers mouse, wheel, key and focus messages to the frame. It takes the keyboard while a view
// of the frame has the focus (a text field being edited) and gives it back afterwards.

#include "vstgui/iplatformframe.h"

namespace VSTGUI {

class Win32Frame : public IPlatformFrame
{
public:
	/** Creates the window inside `parent` (an HWND); null when that fails. */
	static IPlatformFrame* create (CFrame* frame, void* parent, const CRect& size);
	~Win32Frame () override;

	HWND getWindow () const { return window; }
	uintptr_t getNativeWindow () const override { return reinterpret_cast<uintptr_t> (window); }

	/** Copies the finished picture to the window (WM_PAINT, or right after a redraw). */
	void present (NativeImage* backBuffer, const CRect& rect) override;
	void setSize (const CRect& size) override;
	/** Takes the keyboard while a view edits text, gives it back afterwards. */
	void onFocusViewChanged (bool hasFocusView) override;

	/** The system's message loop delivers the window's messages: no descriptor, nothing to pump. */
	int getEventFileDescriptor () const override { return -1; }
	void pumpEvents () override {}

	/** The window procedure of every frame window. */
	static LRESULT CALLBACK windowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
	Win32Frame (CFrame* frame, HWND parent, const CRect& size);
	LRESULT handle (UINT message, WPARAM wParam, LPARAM lParam);
	void paint ();
	void mouseDown (WPARAM wParam, LPARAM lParam, int32_t button, bool doubleClick);
	void mouseUp (WPARAM wParam, LPARAM lParam, int32_t button);
	bool key (WPARAM wParam, bool character);

	CFrame* frame;
	HWND window {nullptr};
	HWND focusBefore {nullptr};
	HDC paintDC {nullptr};
};

/** The DPI of the monitor that shows `window` where the system knows it per monitor (Windows 10
 *  1607 and later), else the system's; null: the system's. 96 is scale 1. */
UINT windowDpi (HWND window);

/** Makes frames opened with a parent window create Win32 child windows. */
void useWin32PlatformFrames ();

} // namespace VSTGUI
