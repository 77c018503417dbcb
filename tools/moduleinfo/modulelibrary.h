// The module's shared library opened the way a host of this platform opens it
// (dlopen and ModuleEntry on Linux, LoadLibraryW and InitDll on Windows): one
// implementation per platform, in linux/ and win/.
#pragma once

#include <filesystem>
#include <string>

namespace Quorvane
{

// Where a host of this platform finds the library of the bundle NAME.vst3.
std::filesystem::path moduleLibraryPath(const std::filesystem::path& bundle,
                                        const std::string& name);

class ModuleLibrary
{
public:
    // Loads the library; throws std::runtime_error with the system's reason.
    explicit ModuleLibrary(const std::string& path);
    // Leaves the module if it was entered, then unloads it.
    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    // An exported function, or null.
    void* symbol(const char* name) const;
    // What a host calls right after loading; throws when the module refuses.
    void enter();

private:
    std::string path;
    void* handle = nullptr;
    bool entered = false;
};

} // namespace Quorvane
