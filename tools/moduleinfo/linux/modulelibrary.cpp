#include "modulelibrary.h"

#include <dlfcn.h>
#include <stdexcept>

namespace Quorvane
{

std::filesystem::path moduleLibraryPath(const std::filesystem::path& bundle,
                                        const std::string& name)
{
    return bundle / "Contents" / "x86_64-linux" / (name + ".so");
}

ModuleLibrary::ModuleLibrary(const std::string& path) : path(path)
{
    handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle)
        throw std::runtime_error("cannot load " + path + ": " + dlerror());
}

ModuleLibrary::~ModuleLibrary()
{
    if (entered)
        if (auto exit = reinterpret_cast<bool (*)()>(symbol("ModuleExit")))
            exit();
    dlclose(handle);
}

void* ModuleLibrary::symbol(const char* name) const
{
    return dlsym(handle, name);
}

void ModuleLibrary::enter()
{
    auto entry = reinterpret_cast<bool (*)(void*)>(symbol("ModuleEntry"));
    if (!entry)
        throw std::runtime_error(path + " lacks ModuleEntry");
    if (!entry(handle))
        throw std::runtime_error("ModuleEntry of " + path + " failed");
    entered = true;
}

} // namespace Quorvane
