// A VST 3 module loaded the way a DAW loads it: dlopen, ModuleEntry,
// GetPluginFactory; ModuleExit and dlclose when it goes.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

namespace Quorvane
{

class Vst3Module
{
public:
    // PATH is a .vst3 bundle folder or the shared library itself.
    // Throws HostError (kExitPlugin) when it does not load.
    explicit Vst3Module(const std::string& path);
    ~Vst3Module();

    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    Steinberg::IPluginFactory* factory() const { return pluginFactory; }
    const std::string& bundlePath() const { return givenPath; }
    const std::string& libraryPath() const { return library; }

    // The library inside a bundle folder, or PATH itself when it is a file.
    static std::string resolveLibrary(const std::string& path);

private:
    void unload();

    std::string givenPath;
    std::string library;
    void* handle = nullptr;
    bool entered = false;
    Steinberg::IPluginFactory* pluginFactory = nullptr;
};

// The bundle that `quorvane` loads when no --plugin is given.
std::string defaultBundlePath();

} // namespace Quorvane
