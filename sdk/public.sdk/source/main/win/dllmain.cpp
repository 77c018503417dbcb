// The module's entry on Windows: the loader calls DllMain with the module's handle when it
// attaches the library to a process; the handle and the library's folder are recorded there,
// before any host call, so that resources can be loaded through the handle later.
#include "public.sdk/source/main/moduleentry.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain (HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
	if (reason == DLL_PROCESS_ATTACH)
		Steinberg::recordModule (instance, nullptr);
	return TRUE;
}
