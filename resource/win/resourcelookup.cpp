// The editor's images on Windows: named binary resources of type "DATA" in the module, looked up
// through the handle its DllMain recorded. The system compares resource names without regard to
// letter case (the resource script stores them upper-case).
#include "embeddedresources.h"

#include "public.sdk/source/main/moduleentry.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace Quorvane
{

bool findResource(const char* name, const unsigned char** data, size_t* size)
{
    // An empty name, or one the system would read as a number ("#12"), names no image.
    if (!name || name[0] == 0 || name[0] == '#')
        return false;
    auto module = static_cast<HMODULE>(Steinberg::getPlatformModuleHandle());
    if (!module)
        return false;
    // The resource script stores the scaled sets' '@' as '_' (windres reads no '@' in a name).
    std::string stored(name);
    std::replace(stored.begin(), stored.end(), '@', '_');
    HRSRC info = FindResourceA(module, stored.c_str(), "DATA");
    if (!info)
        return false;
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    if (data)
        *data = static_cast<const unsigned char*>(bytes);
    if (size)
        *size = SizeofResource(module, info);
    return true;
}

} // namespace Quorvane
