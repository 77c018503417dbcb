// What the module knows about itself on Windows: the handle the loader gave DllMain and the
// folder of the library file, taken from the handle.
#include "public.sdk/source/main/moduleentry.h"
#include "public.sdk/source/main/win/modulefolder.h"

#include <windows.h>

#include <cwchar>

namespace Steinberg {

namespace {

HINSTANCE moduleHandle = nullptr;
// The folder as the system names it (UTF-16, with its final backslash), and in UTF-8.
wchar_t moduleFolderW[kModulePathUnits] = {};
char moduleFolder[kModulePathUnits * 3] = {};

} // namespace

void* getPlatformModuleHandle () { return moduleHandle; }

const char* getModuleFolder () { return moduleFolder; }

const wchar_t* getModuleFolderW () { return moduleFolderW; }

void recordModule (void* handle, const void* /*addressInModule*/)
{
	forgetModule ();
	moduleHandle = static_cast<HINSTANCE> (handle);
	if (!moduleHandle)
		return;

	wchar_t path[kModulePathUnits] = {};
	const DWORD length = GetModuleFileNameW (moduleHandle, path, kModulePathUnits);
	// A name that does not fit is cut off by the system: its folder is not known.
	if (length == 0 || length >= kModulePathUnits)
		return;
	const size_t folderLength = folderPartLength (path, length);
	if (folderLength == 0)
		return;
	std::wmemcpy (moduleFolderW, path, folderLength);
	moduleFolderW[folderLength] = 0;
	const int bytes =
	    WideCharToMultiByte (CP_UTF8, 0, moduleFolderW, -1, moduleFolder,
	                         static_cast<int> (sizeof (moduleFolder)), nullptr, nullptr);
	if (bytes <= 0)
		moduleFolder[0] = 0;
}

void forgetModule ()
{
	moduleHandle = nullptr;
	moduleFolderW[0] = 0;
	moduleFolder[0] = 0;
}

} // namespace Steinberg
