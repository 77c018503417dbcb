#include "windowclass.h"

namespace VSTGUI {

WindowClass::WindowClass (const wchar_t* name, WNDPROC procedure, UINT style)
: name (name), procedure (procedure), style (style)
{
}

HINSTANCE WindowClass::module ()
{
	HMODULE result = nullptr;
	GetModuleHandleExW (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
	                        GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
	                    reinterpret_cast<LPCWSTR> (&WindowClass::module), &result);
	return result;
}

HWND WindowClass::create (DWORD windowStyle, HWND parent, int width, int height, void* user)
{
	if (windows == 0)
	{
		WNDCLASSEXW info {};
		info.cbSize = sizeof (info);
		info.style = style;
		info.lpfnWndProc = procedure;
		info.hInstance = module ();
		info.hCursor = LoadCursorW (nullptr, reinterpret_cast<LPCWSTR> (IDC_ARROW));
		info.lpszClassName = name;
		if (!RegisterClassExW (&info) && GetLastError () != ERROR_CLASS_ALREADY_EXISTS)
			return nullptr;
	}
	HWND window = CreateWindowExW (0, name, L"", windowStyle, 0, 0, width, height, parent, nullptr,
	                               module (), user);
	if (window)
		++windows;
	else if (windows == 0)
		UnregisterClassW (name, module ());
	return window;
}

void WindowClass::destroy (HWND window)
{
	if (!window)
		return;
	DestroyWindow (window);
	if (--windows == 0)
		UnregisterClassW (name, module ());
}

} // namespace VSTGUI
