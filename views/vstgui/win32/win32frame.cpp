#include "win32frame.h"

#include "gdiplussession.h"
#include "windowclass.h"

#include "vstgui/cframe.h"
#include "vstgui/displayscale.h"

#include <windowsx.h>

namespace VSTGUI {

namespace {

WindowClass& frameClass ()
{
	static WindowClass instance (L"QuorvaneFrame", &Win32Frame::windowProc, CS_DBLCLKS);
	return instance;
}

bool isDown (int virtualKey) { return (GetKeyState (virtualKey) & 0x8000) != 0; }

// Shift and Ctrl come with the mouse message; Alt has to be asked for.
int32_t mouseState (WPARAM wParam)
{
	return ((wParam & MK_LBUTTON) ? kLButton : 0) | ((wParam & MK_MBUTTON) ? kMButton : 0) |
	       ((wParam & MK_RBUTTON) ? kRButton : 0) | ((wParam & MK_SHIFT) ? kShift : 0) |
	       ((wParam & MK_CONTROL) ? kControl : 0) | (isDown (VK_MENU) ? kAlt : 0);
}

uint8_t keyModifiers ()
{
	return static_cast<uint8_t> ((isDown (VK_SHIFT) ? MODIFIER_SHIFT : 0) |
	                             (isDown (VK_CONTROL) ? MODIFIER_CONTROL : 0) |
	                             (isDown (VK_MENU) ? MODIFIER_ALTERNATE : 0));
}

struct KeyPair
{
	WPARAM system;
	uint8_t view;
};

constexpr KeyPair kVirtualKeys[] = {
    {VK_BACK, VKEY_BACK},     {VK_TAB, VKEY_TAB},       {VK_RETURN, VKEY_RETURN},
    {VK_ESCAPE, VKEY_ESCAPE}, {VK_DELETE, VKEY_DELETE}, {VK_LEFT, VKEY_LEFT},
    {VK_RIGHT, VKEY_RIGHT},   {VK_UP, VKEY_UP},         {VK_DOWN, VKEY_DOWN},
    {VK_HOME, VKEY_HOME},     {VK_END, VKEY_END}};

// A mouse message's position, in frame coordinates.
CPoint pointOf (CFrame* frame, LPARAM lParam)
{
	return frame->fromPhysical (CPoint (GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam)));
}

// Sent to child windows when their top-level window moved to a monitor of another DPI (named in
// the headers of Windows 10 1703 and later only).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

} // namespace

UINT windowDpi (HWND window)
{
	// Loaded by name: older systems lack them, and the module must still load there.
	using DpiForWindow = UINT (WINAPI*) (HWND);
	using DpiForSystem = UINT (WINAPI*) ();
	static const HMODULE user32 = GetModuleHandleW (L"user32.dll");
	static const auto forWindow = user32 ? reinterpret_cast<DpiForWindow> (reinterpret_cast<void*> (
	                                           GetProcAddress (user32, "GetDpiForWindow")))
	                                     : nullptr;
	static const auto forSystem = user32 ? reinterpret_cast<DpiForSystem> (reinterpret_cast<void*> (
	                                           GetProcAddress (user32, "GetDpiForSystem")))
	                                     : nullptr;
	UINT dpi = 0;
	if (window && forWindow)
		dpi = forWindow (window);
	if (!dpi && forSystem)
		dpi = forSystem ();
	if (!dpi)
	{
		HDC screen = GetDC (nullptr);
		dpi = screen ? static_cast<UINT> (GetDeviceCaps (screen, LOGPIXELSX)) : 0;
		if (screen)
			ReleaseDC (nullptr, screen);
	}
	return dpi ? dpi : 96;
}

IPlatformFrame* Win32Frame::create (CFrame* frame, void* parent, const CRect& size)
{
	if (!frame || !parent || !IsWindow (static_cast<HWND> (parent)))
		return nullptr;
	auto* result = new Win32Frame (frame, static_cast<HWND> (parent), size);
	if (!result->window)
	{
		delete result;
		return nullptr;
	}
	return result;
}

Win32Frame::Win32Frame (CFrame* frame, HWND parent, const CRect& size) : frame (frame)
{
	GdiplusSession::acquire ();
	const int w = static_cast<int> (size.width ()), h = static_cast<int> (size.height ());
	window = frameClass ().create (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
	                               parent, w > 0 ? w : 1, h > 0 ? h : 1, this);
}

Win32Frame::~Win32Frame ()
{
	if (window)
	{
		onFocusViewChanged (false);
		SetWindowLongPtrW (window, GWLP_USERDATA, 0);
		frameClass ().destroy (window);
	}
	GdiplusSession::release ();
}

void Win32Frame::present (NativeImage* backBuffer, const CRect& rect)
{
	if (!window || !backBuffer || rect.isEmpty ())
		return;
	// The finished picture goes to the window in one plain copy of its pixels (the back buffer is
	// opaque, so its premultiplied pixels are the colours themselves).
	const INT x = static_cast<INT> (rect.left), y = static_cast<INT> (rect.top);
	const INT w = static_cast<INT> (rect.width ()), h = static_cast<INT> (rect.height ());
	Gdiplus::Rect area (x, y, w, h);
	Gdiplus::BitmapData pixels {};
	if (backBuffer->LockBits (&area, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &pixels) !=
	    Gdiplus::Ok)
		return;
	BITMAPINFO info {};
	info.bmiHeader.biSize = sizeof (info.bmiHeader);
	info.bmiHeader.biWidth = pixels.Stride / 4;
	info.bmiHeader.biHeight = -h; // top row first
	info.bmiHeader.biPlanes = 1;
	info.bmiHeader.biBitCount = 32;
	info.bmiHeader.biCompression = BI_RGB;
	HDC dc = paintDC ? paintDC : GetDC (window);
	SetDIBitsToDevice (dc, x, y, static_cast<DWORD> (w), static_cast<DWORD> (h), 0, 0, 0,
	                   static_cast<UINT> (h), pixels.Scan0, &info, DIB_RGB_COLORS);
	if (!paintDC)
		ReleaseDC (window, dc);
	backBuffer->UnlockBits (&pixels);
}

void Win32Frame::setSize (const CRect& size)
{
	const int w = static_cast<int> (size.width ()), h = static_cast<int> (size.height ());
	if (w > 0 && h > 0)
		SetWindowPos (window, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Frame::onFocusViewChanged (bool hasFocusView)
{
	if (!window)
		return;
	if (hasFocusView)
	{
		// Typing goes to the field being edited: take the keyboard, remembering who had it.
		if (GetFocus () != window)
			focusBefore = SetFocus (window);
		return;
	}
	HWND back = focusBefore;
	focusBefore = nullptr;
	if (GetFocus () == window)
		SetFocus (back && IsWindow (back) ? back : GetParent (window));
}

void Win32Frame::paint ()
{
	PAINTSTRUCT ps;
	paintDC = BeginPaint (window, &ps);
	if (paintDC)
		frame->present (frame->fromPhysical (
		    CRect (ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom)));
	EndPaint (window, &ps);
	paintDC = nullptr;
}

void Win32Frame::mouseDown (WPARAM wParam, LPARAM lParam, int32_t button, bool doubleClick)
{
	// The drag stays ours until the last button is up, wherever the mouse goes.
	SetCapture (window);
	CPoint where = pointOf (frame, lParam);
	frame->onMouseDown (where,
	                    CButtonState ((mouseState (wParam) & ~(kLButton | kMButton | kRButton)) |
	                                  button | (doubleClick ? kDoubleClick : 0)));
}

void Win32Frame::mouseUp (WPARAM wParam, LPARAM lParam, int32_t button)
{
	CPoint where = pointOf (frame, lParam);
	const int32_t state = mouseState (wParam);
	if (!(state & (kLButton | kMButton | kRButton)) && GetCapture () == window)
		ReleaseCapture ();
	frame->onMouseUp (where, CButtonState ((state & ~(kLButton | kMButton | kRButton)) | button));
}

bool Win32Frame::key (WPARAM wParam, bool character)
{
	VstKeyCode code;
	code.modifier = keyModifiers ();
	if (character)
	{
		// Control characters came as virtual keys with their WM_KEYDOWN.
		if (wParam < 0x20 || wParam == 0x7f || wParam > 0xff)
			return false;
		code.character = static_cast<int32_t> (wParam);
	}
	else
	{
		for (const KeyPair& pair : kVirtualKeys)
			if (pair.system == wParam)
				code.virt = pair.view;
		if (code.virt == VKEY_NONE)
			return false;
	}
	return frame->onKeyDown (code) >= 0;
}

LRESULT CALLBACK Win32Frame::windowProc (HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
	if (message == WM_NCCREATE)
	{
		auto* create = reinterpret_cast<CREATESTRUCTW*> (lParam);
		SetWindowLongPtrW (hwnd, GWLP_USERDATA,
		                   reinterpret_cast<LONG_PTR> (create->lpCreateParams));
	}
	auto* self = reinterpret_cast<Win32Frame*> (GetWindowLongPtrW (hwnd, GWLP_USERDATA));
	if (self && self->window == hwnd)
		return self->handle (message, wParam, lParam);
	return DefWindowProcW (hwnd, message, wParam, lParam);
}

LRESULT Win32Frame::handle (UINT message, WPARAM wParam, LPARAM lParam)
{
	switch (message)
	{
		case WM_ERASEBKGND: return 1; // the back buffer covers everything
		case WM_PAINT: paint (); return 0;
		case WM_LBUTTONDOWN: mouseDown (wParam, lParam, kLButton, false); return 0;
		case WM_LBUTTONDBLCLK: mouseDown (wParam, lParam, kLButton, true); return 0;
		case WM_MBUTTONDOWN: mouseDown (wParam, lParam, kMButton, false); return 0;
		case WM_RBUTTONDOWN: mouseDown (wParam, lParam, kRButton, false); return 0;
		case WM_LBUTTONUP: mouseUp (wParam, lParam, kLButton); return 0;
		case WM_MBUTTONUP: mouseUp (wParam, lParam, kMButton); return 0;
		case WM_RBUTTONUP: mouseUp (wParam, lParam, kRButton); return 0;
		case WM_MOUSEMOVE:
		{
			CPoint where = pointOf (frame, lParam);
			frame->onMouseMoved (where, CButtonState (mouseState (wParam)));
			return 0;
		}
		case WM_MOUSEWHEEL:
		{
			// Screen coordinates, one notch per WHEEL_DELTA.
			POINT screen {GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam)};
			ScreenToClient (window, &screen);
			const float notches =
			    static_cast<float> (GET_WHEEL_DELTA_WPARAM (wParam)) / WHEEL_DELTA;
			if (frame->onWheel (frame->fromPhysical (CPoint (screen.x, screen.y)), notches,
			                    CButtonState (mouseState (GET_KEYSTATE_WPARAM (wParam)))))
				return 0;
			break;
		}
		case WM_KEYDOWN:
			if (key (wParam, false))
				return 0;
			break;
		case WM_CHAR:
			if (key (wParam, true))
				return 0;
			break;
		case WM_GETDLGCODE:
			return DLGC_WANTALLKEYS | DLGC_WANTCHARS; // keys for the field being edited
		case kDpiChangedAfterParent:
			// Moved to a monitor of another scale with the host's window.
			if (VSTGUIEditorInterface* editor = frame->getEditor ())
				editor->onSystemScaleChanged (scaleForDpi (windowDpi (window)));
			return 0;
		case WM_KILLFOCUS:
			// The keyboard went elsewhere: an edit in progress is committed.
			focusBefore = nullptr;
			frame->onWindowFocusLost ();
			return 0;
		default: break;
	}
	return DefWindowProcW (window, message, wParam, lParam);
}

void useWin32PlatformFrames () { setPlatformFrameFactory (&Win32Frame::create); }

} // namespace VSTGUI
