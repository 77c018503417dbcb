// The X11 side: the view's window is the newest child of the parent window.
#include "lv2uiwindow.h"

#include <X11/Xlib.h>

namespace Steinberg {
namespace Vst {
namespace Lv2UiWindow {

uintptr_t newestChild (void* parent)
{
	Display* display = XOpenDisplay (nullptr);
	if (!display)
		return 0;
	Window root = 0, parentOfParent = 0;
	Window* children = nullptr;
	unsigned count = 0;
	uintptr_t child = 0;
	// Children come bottom to top: the last one was stacked last.
	if (XQueryTree (display, Window (reinterpret_cast<uintptr_t> (parent)), &root, &parentOfParent,
	                &children, &count) &&
	    count > 0)
		child = uintptr_t (children[count - 1]);
	if (children)
		XFree (children);
	XCloseDisplay (display);
	return child;
}

} // namespace Lv2UiWindow
} // namespace Vst
} // namespace Steinberg
