// Entry and exit of a plug-in module on Linux, and what the module knows
// about itself once a host has entered it.
//
// A host calls ModuleEntry once after loading the library and ModuleExit
// before unloading it; nested pairs are counted. The first entry records
// the module's handle and folder and then calls the plug-in's InitModule;
// the last exit calls DeinitModule.
#pragma once

#include "pluginterfaces/base/fplatform.h"

extern "C" {
SMTG_EXPORT_SYMBOL bool ModuleEntry (void* sharedLibraryHandle);
SMTG_EXPORT_SYMBOL bool ModuleExit ();
}

/** Defined by the plug-in: called on the first ModuleEntry. Returning false
    makes ModuleEntry fail. */
bool InitModule ();
/** Defined by the plug-in: called on the last ModuleExit. */
bool DeinitModule ();

namespace Steinberg {

/** The handle the host passed to ModuleEntry, or null outside entry. */
void* getPlatformModuleHandle ();

/** The folder of the module's library file, ending in '/', or "" when it is
    not known. */
const char* getModuleFolder ();

/** Records the module: its handle, and its folder found from an address
    inside the module. Called by ModuleEntry. */
void recordModule (void* handle, const void* addressInModule);

/** Forgets what recordModule recorded. Called by the last ModuleExit. */
void forgetModule ();

} // namespace Steinberg
