#include "pluginlibrary.h"

#include <dlfcn.h>

namespace QuorvaneTest
{

PluginLibrary::PluginLibrary(const std::string& path)
{
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        const char* message = dlerror();
        loadError = message ? message : "dlopen failed";
    }
}

PluginLibrary::~PluginLibrary()
{
    if (handle)
        dlclose(handle);
}

void* PluginLibrary::symbol(const char* name) const
{
    return handle ? dlsym(handle, name) : nullptr;
}

bool PluginLibrary::enter()
{
    auto entry = function<bool (*)(void*)>("ModuleEntry");
    return entry && entry(handle);
}

bool PluginLibrary::leave()
{
    auto exit = function<bool (*)()>("ModuleExit");
    return exit && exit();
}

bool platformOffersEditor()
{
    return true;
}

} // namespace QuorvaneTest
