#include "public.sdk/source/main/moduleentry.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace Steinberg {

namespace {

void* moduleHandle = nullptr;
char moduleFolder[PATH_MAX] = {};

} // namespace

void* getPlatformModuleHandle () { return moduleHandle; }

const char* getModuleFolder () { return moduleFolder; }

void recordModule (void* handle, const void* addressInModule)
{
	moduleHandle = handle;
	moduleFolder[0] = 0;

	Dl_info info {};
	if (addressInModule == nullptr || dladdr (addressInModule, &info) == 0 ||
	    info.dli_fname == nullptr)
		return;

	// The loader reports the name the library was opened with, which may be
	// relative; resolve it while the working directory still matches.
	char resolved[PATH_MAX];
	const char* path = realpath (info.dli_fname, resolved) ? resolved : info.dli_fname;
	const char* lastSlash = std::strrchr (path, '/');
	if (lastSlash == nullptr)
		return;
	const size_t length = static_cast<size_t> (lastSlash - path) + 1; // keep the slash
	if (length >= sizeof (moduleFolder))
		return;
	std::memcpy (moduleFolder, path, length);
	moduleFolder[length] = 0;
}

void forgetModule ()
{
	moduleHandle = nullptr;
	moduleFolder[0] = 0;
}

} // namespace Steinberg
