#pragma once
// A window class of this module, registered while windows of it exist and unregistered after
// the last one is gone (so that nothing of the module stays behind in the process when it is
// unloaded).

#include <windows.h>

namespace VSTGUI {

class WindowClass
{
public:
	WindowClass (const wchar_t* name, WNDPROC procedure, UINT style);

	/** Creates a window of the class (registering it first where needed); null on failure. */
	HWND create (DWORD style, HWND parent, int width, int height, void* user);
	/** Destroys a window made by create. */
	void destroy (HWND window);

	/** The module the class belongs to (the one holding this code). */
	static HINSTANCE module ();

private:
	const wchar_t* name;
	WNDPROC procedure;
	UINT style;
	int windows {0};
};

} // namespace VSTGUI
