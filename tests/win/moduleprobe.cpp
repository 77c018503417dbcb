// A module made of the plug-in's entry files and nothing else, exporting what its DllMain
// recorded, so that a test can load it from any folder and look.
#include "public.sdk/source/main/moduleentry.h"
#include "public.sdk/source/main/win/modulefolder.h"

extern "C" __declspec(dllexport) void* probeModuleHandle()
{
    return Steinberg::getPlatformModuleHandle();
}
extern "C" __declspec(dllexport) const wchar_t* probeModuleFolder()
{
    return Steinberg::getModuleFolderW();
}
extern "C" __declspec(dllexport) const char* probeModuleFolderUtf8()
{
    return Steinberg::getModuleFolder();
}
