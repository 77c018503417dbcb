#include "vst3module.h"
#include "support/executablelocation.h"

#include "support/hosterror.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>

#ifndef QUORVANE_DEFAULT_BUNDLE
#define QUORVANE_DEFAULT_BUNDLE ""
#endif

namespace fs = std::filesystem;

namespace Quorvane
{

namespace
{

using ModuleEntryFunc = bool (*)(void*);
using ModuleExitFunc = bool (*)();
using InitDllFunc = bool (*)();
using GetFactoryFunc = Steinberg::IPluginFactory* (*)();

template <typename Func> Func symbol(void* handle, const char* name)
{
    return reinterpret_cast<Func>(dlsym(handle, name));
}

} // namespace

std::string Vst3Module::resolveLibrary(const std::string& path)
{
    std::error_code error;
    fs::path given(path);
    if (!fs::exists(given, error))
        pluginError("plug-in '" + path + "' does not exist");
    // dlopen searches the library path for a name without a slash.
    if (!fs::is_directory(given, error))
        return fs::absolute(given, error).string();

    std::string stem = given.filename().string();
    if (stem.empty())
        stem = given.parent_path().filename().string();
    stem = fs::path(stem).stem().string();
    fs::path library = given / "Contents" / "x86_64-linux" / (stem + ".so");
    if (fs::is_regular_file(library, error))
        return library.string();

    // Bundles renamed after they were built still hold a single library.
    fs::path folder = given / "Contents" / "x86_64-linux";
    if (fs::is_directory(folder, error))
        for (const auto& entry : fs::directory_iterator(folder, error))
            if (entry.path().extension() == ".so")
                return entry.path().string();
    pluginError("plug-in bundle '" + path + "' holds no Contents/x86_64-linux/" + stem + ".so");
}

Vst3Module::Vst3Module(const std::string& path) : givenPath(path), library(resolveLibrary(path))
{
    handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        const char* why = dlerror();
        pluginError("cannot load plug-in '" + path + "': " + (why ? why : "unknown reason"));
    }

    auto moduleEntry = symbol<ModuleEntryFunc>(handle, "ModuleEntry");
    auto initDll = symbol<InitDllFunc>(handle, "InitDll");
    auto getFactory = symbol<GetFactoryFunc>(handle, "GetPluginFactory");
    if (!getFactory)
    {
        dlclose(handle);
        pluginError("plug-in '" + path + "' is not a VST 3 module (no GetPluginFactory)");
    }
    bool accepted = moduleEntry ? moduleEntry(handle) : (initDll ? initDll() : true);
    if (!accepted)
    {
        dlclose(handle);
        pluginError("plug-in '" + path + "' refused to initialize (ModuleEntry returned false)");
    }
    entered = true;

    pluginFactory = getFactory();
    if (!pluginFactory)
    {
        unload();
        pluginError("plug-in '" + path + "' returned no class factory");
    }
}

Vst3Module::~Vst3Module()
{
    unload();
}

void Vst3Module::unload()
{
    if (pluginFactory)
    {
        pluginFactory->release();
        pluginFactory = nullptr;
    }
    if (handle)
    {
        if (entered)
        {
            if (auto moduleExit = symbol<ModuleExitFunc>(handle, "ModuleExit"))
                moduleExit();
            else if (auto exitDll = symbol<ModuleExitFunc>(handle, "ExitDll"))
                exitDll();
        }
        dlclose(handle);
        handle = nullptr;
    }
}

std::string defaultBundlePath()
{
    std::error_code error;
    std::string built = QUORVANE_DEFAULT_BUNDLE;
    // An installed or unpacked quorvane: BIN/quorvane beside LIB/vst3.
    if (fs::path own = executableFolder(); !own.empty())
    {
        fs::path beside = (own.parent_path() / "lib" / "vst3" / "Quorvane.vst3").lexically_normal();
        if (fs::exists(beside, error))
            return beside.string();
    }
    if (!built.empty() && fs::exists(built, error))
        return built;
    if (const char* home = std::getenv("HOME"))
    {
        fs::path installed = fs::path(home) / ".vst3" / "Quorvane.vst3";
        if (fs::exists(installed, error))
            return installed.string();
    }
    if (!built.empty())
        return built;
    pluginError("no Quorvane.vst3 found; name one with --plugin PATH");
}

} // namespace Quorvane
