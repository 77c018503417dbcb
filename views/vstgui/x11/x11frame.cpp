#include "vstgui/x11/x11frame.h"

#include "vstgui/cframe.h"
#include "vstgui/x11/x11errortrap.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <cstdint>

namespace VSTGUI {

namespace {

int32_t modifiersOf (unsigned int state)
{
	int32_t result = 0;
	if (state & ShiftMask)
		result |= kShift;
	if (state & ControlMask)
		result |= kControl;
	if (state & Mod1Mask)
		result |= kAlt;
	return result;
}

int32_t buttonsOf (unsigned int state)
{
	int32_t result = modifiersOf (state);
	if (state & Button1Mask)
		result |= kLButton;
	if (state & Button2Mask)
		result |= kMButton;
	if (state & Button3Mask)
		result |= kRButton;
	return result;
}

int32_t buttonBit (unsigned int button)
{
	switch (button)
	{
		case Button1: return kLButton;
		case Button2: return kMButton;
		case Button3: return kRButton;
		default: return 0;
	}
}

// The XEmbed protocol: the messages an embedder sends in `_XEMBED` client messages (and the
// focus request a client sends back), and the protocol version given in `_XEMBED_INFO`.
enum XEmbedMessage : long
{
	kXEmbedEmbeddedNotify = 0,
	kXEmbedWindowActivate = 1,
	kXEmbedWindowDeactivate = 2,
	kXEmbedRequestFocus = 3,
	kXEmbedFocusIn = 4,
	kXEmbedFocusOut = 5,
};
constexpr long kXEmbedVersion = 0;

uint8_t virtualKeyOf (KeySym sym)
{
	switch (sym)
	{
		case XK_BackSpace: return VKEY_BACK;
		case XK_Tab: return VKEY_TAB;
		case XK_Return: return VKEY_RETURN;
		case XK_KP_Enter: return VKEY_ENTER;
		case XK_Escape: return VKEY_ESCAPE;
		case XK_Delete: return VKEY_DELETE;
		case XK_Left: return VKEY_LEFT;
		case XK_Right: return VKEY_RIGHT;
		case XK_Up: return VKEY_UP;
		case XK_Down: return VKEY_DOWN;
		case XK_Home: return VKEY_HOME;
		case XK_End: return VKEY_END;
		default: return VKEY_NONE;
	}
}

} // namespace

IPlatformFrame* X11Frame::create (CFrame* frame, void* parent, const CRect& size)
{
	if (!frame || !parent)
		return nullptr;
	Display* display = XOpenDisplay (nullptr);
	if (!display)
		return nullptr;
	auto* result = new X11Frame (frame, display,
	                             static_cast<Window> (reinterpret_cast<uintptr_t> (parent)), size);
	if (!result->window)
	{
		delete result;
		return nullptr;
	}
	return result;
}

X11Frame::X11Frame (CFrame* frame, Display* display, Window parent, const CRect& size)
: frame (frame), display (display)
{
	// A parent that is not (or no longer) a window fails our requests: the frame then has no
	// window, and the host's error handler hears nothing of it.
	X11ErrorTrap trap (display);

	// Interning asks the server: done before the window exists, so that nothing is sent between
	// its creation and its XEmbed information.
	xembedInfoAtom = XInternAtom (display, "_XEMBED_INFO", False);
	xembedAtom = XInternAtom (display, "_XEMBED", False);

	int w = static_cast<int> (size.width ());
	int h = static_cast<int> (size.height ());
	XSetWindowAttributes attributes {};
	attributes.background_pixmap = None; // the back buffer paints everything
	attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
	                        KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask;
	// XEmbed hosts read the window's XEmbed information the moment they see it created. Both
	// requests go out together, but a busy server may still take a host's request between them:
	// with the server grabbed for those two requests, none can come between. No XEMBED_MAPPED
	// flag: such a host maps the window itself.
	XGrabServer (display);
	window = XCreateWindow (display, parent, 0, 0, static_cast<unsigned> (w > 0 ? w : 1),
	                        static_cast<unsigned> (h > 0 ? h : 1), 0, CopyFromParent, InputOutput,
	                        CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
	const long info[2] = {kXEmbedVersion, 0};
	if (window)
		XChangeProperty (display, window, xembedInfoAtom, xembedInfoAtom, 32, PropModeReplace,
		                 reinterpret_cast<const unsigned char*> (info), 2);
	XUngrabServer (display);
	if (!window)
		return;

	XWindowAttributes attributesNow {};
	if (!XGetWindowAttributes (display, window, &attributesNow) || trap.failed ())
	{
		window = 0;
		return;
	}
	surface = cairo_xlib_surface_create (display, window, attributesNow.visual, w, h);
	// Hosts without XEmbed expect the window to show by itself; for an XEmbed host that maps it
	// too, mapping a mapped window changes nothing.
	XMapWindow (display, window);
	XFlush (display);
}

X11Frame::~X11Frame ()
{
	// The host may have destroyed its window, and ours with it, before closing the editor.
	X11ErrorTrap trap (display);
	if (surface)
		cairo_surface_destroy (surface);
	if (window && !windowGone)
		XDestroyWindow (display, window);
	trap.closeDisplay ();
}

int X11Frame::getEventFileDescriptor () const { return ConnectionNumber (display); }

void X11Frame::present (cairo_surface_t* backBuffer, const CRect& rect)
{
	if (!surface || !backBuffer || rect.isEmpty () || windowGone)
		return;
	X11ErrorTrap trap (display);
	cairo_t* cr = cairo_create (surface);
	cairo_set_operator (cr, CAIRO_OPERATOR_SOURCE);
	cairo_set_source_surface (cr, backBuffer, 0, 0);
	cairo_rectangle (cr, rect.left, rect.top, rect.width (), rect.height ());
	cairo_fill (cr);
	cairo_destroy (cr);
	cairo_surface_flush (surface);
	XFlush (display);
}

void X11Frame::setSize (const CRect& size)
{
	int w = static_cast<int> (size.width ());
	int h = static_cast<int> (size.height ());
	if (w <= 0 || h <= 0 || windowGone)
		return;
	X11ErrorTrap trap (display);
	XResizeWindow (display, window, static_cast<unsigned> (w), static_cast<unsigned> (h));
	if (surface)
		cairo_xlib_surface_set_size (surface, w, h);
	XFlush (display);
}

void X11Frame::pumpEvents ()
{
	for (;;)
	{
		XEvent event;
		{
			// Reading is where the errors of earlier requests would arrive.
			X11ErrorTrap trap (display);
			if (XPending (display) <= 0)
				return;
			XNextEvent (display, &event);
		}
		if (event.xany.window == window)
			handleEvent (event);
	}
}

void X11Frame::handleEvent (XEvent& event)
{
	switch (event.type)
	{
		case Expose:
		{
			const XExposeEvent& e = event.xexpose;
			frame->present (frame->fromPhysical (CRect (e.x, e.y, e.x + e.width, e.y + e.height)));
			break;
		}
		case ButtonPress:
		{
			const XButtonEvent& e = event.xbutton;
			CPoint where = frame->fromPhysical (CPoint (e.x, e.y));
			if (e.button == Button4 || e.button == Button5)
			{
				frame->onWheel (where, e.button == Button4 ? 1.f : -1.f,
				                CButtonState (modifiersOf (e.state)));
				break;
			}
			int32_t bit = buttonBit (e.button);
			if (!bit)
				break;
			// Typing goes to the window clicked into; an XEmbed host is asked for the focus too,
			// so that it knows where its keyboard is.
			takeInputFocus (e.time);
			if (embedded)
				sendToEmbedder (kXEmbedRequestFocus, e.time);
			int32_t state = bit | modifiersOf (e.state);
			if (e.button == lastClickButton && e.time - lastClickTime < kDoubleClickMs)
				state |= kDoubleClick;
			lastClickButton = e.button;
			lastClickTime = e.time;
			frame->onMouseDown (where, CButtonState (state));
			break;
		}
		case ButtonRelease:
		{
			const XButtonEvent& e = event.xbutton;
			int32_t bit = buttonBit (e.button);
			if (!bit)
				break;
			CPoint where = frame->fromPhysical (CPoint (e.x, e.y));
			frame->onMouseUp (where, CButtonState (bit | modifiersOf (e.state)));
			break;
		}
		case MotionNotify:
		{
			// Only the latest position of a burst of moves matters.
			while (XCheckTypedWindowEvent (display, window, MotionNotify, &event))
			{
			}
			const XMotionEvent& e = event.xmotion;
			CPoint where = frame->fromPhysical (CPoint (e.x, e.y));
			frame->onMouseMoved (where, CButtonState (buttonsOf (e.state)));
			break;
		}
		case KeyPress:
		{
			char text[8] = {};
			KeySym sym = NoSymbol;
			int length = XLookupString (&event.xkey, text, sizeof (text) - 1, &sym, nullptr);
			VstKeyCode key;
			key.virt = virtualKeyOf (sym);
			if (key.virt == VKEY_NONE && length == 1)
				key.character = static_cast<unsigned char> (text[0]);
			if (event.xkey.state & ShiftMask)
				key.modifier |= MODIFIER_SHIFT;
			if (event.xkey.state & ControlMask)
				key.modifier |= MODIFIER_CONTROL;
			if (event.xkey.state & Mod1Mask)
				key.modifier |= MODIFIER_ALTERNATE;
			if (key.virt != VKEY_NONE || key.character != 0)
				frame->onKeyDown (key);
			break;
		}
		case FocusOut:
		{
			const XFocusChangeEvent& e = event.xfocus;
			// Grabs and moves between our own windows are no loss of the keyboard. An XEmbed host
			// keeps the X focus itself and passes the keys on: it tells of the keyboard's comings
			// and goings in its own messages.
			if (!embedded && (e.mode == NotifyNormal || e.mode == NotifyWhileGrabbed) &&
			    e.detail != NotifyInferior && e.detail != NotifyPointer)
				frame->onWindowFocusLost ();
			break;
		}
		case ClientMessage:
			if (event.xclient.message_type == xembedAtom && event.xclient.format == 32)
				handleXEmbedMessage (event.xclient);
			break;
		case DestroyNotify:
			// Destroyed with the host's window: nothing more is asked of it.
			if (event.xdestroywindow.window == window)
				windowGone = true;
			break;
		default: break;
	}
}

void X11Frame::handleXEmbedMessage (const XClientMessageEvent& message)
{
	switch (message.data.l[1])
	{
		case kXEmbedEmbeddedNotify: embedded = true; break;
		case kXEmbedFocusIn:
			// The host passes its keys on to us now. The X focus stays where the host put it:
			// a click into the window still takes it, for hosts that do not pass keys on.
			xembedFocus = true;
			break;
		case kXEmbedFocusOut:
		case kXEmbedWindowDeactivate:
			// The keyboard went elsewhere: an edit in progress is committed, as on any focus loss.
			xembedFocus = false;
			frame->onWindowFocusLost ();
			break;
		default:
			// Window activation changes nothing that is drawn; modality and the focus chain
			// messages do not concern a single window.
			break;
	}
}

void X11Frame::takeInputFocus (Time time)
{
	// Only a viewable window may take the focus (anything else is an X error).
	X11ErrorTrap trap (display);
	XWindowAttributes info {};
	if (XGetWindowAttributes (display, window, &info) && info.map_state == IsViewable)
		XSetInputFocus (display, window, RevertToParent, time);
}

void X11Frame::sendToEmbedder (long message, Time time)
{
	// The embedder is the window we live in, which may not be the one we were created in.
	X11ErrorTrap trap (display);
	Window root = 0, embedder = 0, *children = nullptr;
	unsigned int count = 0;
	if (!XQueryTree (display, window, &root, &embedder, &children, &count))
		return;
	if (children)
		XFree (children);
	if (!embedder || embedder == root)
		return;
	XEvent event {};
	event.xclient.type = ClientMessage;
	event.xclient.window = embedder;
	event.xclient.message_type = xembedAtom;
	event.xclient.format = 32;
	event.xclient.data.l[0] = static_cast<long> (time);
	event.xclient.data.l[1] = message;
	XSendEvent (display, embedder, False, NoEventMask, &event);
	XFlush (display);
}

void useX11PlatformFrames () { setPlatformFrameFactory (&X11Frame::create); }

} // namespace VSTGUI
