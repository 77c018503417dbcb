// The module's exported entry and exit. This file is built as an object
// library and linked straight into the plug-in's shared library, so the
// linker keeps the exports even though nothing inside the library calls them.
#include "public.sdk/source/main/moduleentry.h"

#include <mutex>

namespace {

std::mutex entryMutex;
int entryCount = 0;

} // namespace

extern "C" {

SMTG_EXPORT_SYMBOL bool ModuleEntry (void* sharedLibraryHandle)
{
	std::lock_guard<std::mutex> lock (entryMutex);
	if (++entryCount > 1)
		return true;

	Steinberg::recordModule (sharedLibraryHandle, reinterpret_cast<const void*> (&ModuleEntry));
	if (!InitModule ())
	{
		// A failed entry leaves the module as if it had never been entered.
		Steinberg::forgetModule ();
		entryCount = 0;
		return false;
	}
	return true;
}

SMTG_EXPORT_SYMBOL bool ModuleExit ()
{
	std::lock_guard<std::mutex> lock (entryMutex);
	if (entryCount == 0)
		return false;
	if (--entryCount > 0)
		return true;

	const bool result = DeinitModule ();
	Steinberg::forgetModule ();
	return result;
}

} // extern "C"
