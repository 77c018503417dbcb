// The plug-in library loaded as a host of this platform loads it: dlopen and ModuleEntry on
// Linux, LoadLibraryW and InitDll on Windows. One implementation per platform (linux/, win/).
#pragma once

#include <string>

namespace QuorvaneTest
{

class PluginLibrary
{
public:
    // Loads the library; nothing is entered yet.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return handle != nullptr; }
    // Why loading failed, as the system tells it.
    const std::string& error() const { return loadError; }
    void* nativeHandle() const { return handle; }

    // An exported function, or null.
    void* symbol(const char* name) const;
    template <typename Function> Function function(const char* name) const
    {
        return reinterpret_cast<Function>(symbol(name));
    }

    // What a VST 3 host calls right after loading, and right before unloading.
    bool enter();
    bool leave();

private:
    void* handle = nullptr;
    std::string loadError;
};

// Whether the plug-in offers an editor on this platform.
bool platformOffersEditor();

} // namespace QuorvaneTest
