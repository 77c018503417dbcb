#include "pluginlibrary.h"

#include <windows.h>

#include <vector>

namespace QuorvaneTest
{

namespace
{

// The path as Windows names it: UTF-8 to UTF-16, and a path of the Linux file system that the
// build passed in (it runs the tests under Wine) as the same file on Wine's drive Z:.
std::wstring windowsPath(const std::string& path)
{
    std::string text = path;
    if (!text.empty() && text[0] == '/')
        text = "Z:" + text;
    for (char& c : text)
        if (c == '/')
            c = '\\';
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(units > 0 ? size_t(units) : 1, L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), units);
    return wide.data();
}

} // namespace

PluginLibrary::PluginLibrary(const std::string& path)
{
    handle = LoadLibraryW(windowsPath(path).c_str());
    if (!handle)
        loadError = "LoadLibraryW failed with error " + std::to_string(GetLastError());
}

PluginLibrary::~PluginLibrary()
{
    if (handle)
        FreeLibrary(static_cast<HMODULE>(handle));
}

void* PluginLibrary::symbol(const char* name) const
{
    return handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name))
                  : nullptr;
}

bool PluginLibrary::enter()
{
    auto initDll = function<bool (*)()>("InitDll");
    return initDll && initDll();
}

bool PluginLibrary::leave()
{
    auto exitDll = function<bool (*)()>("ExitDll");
    return exitDll && exitDll();
}

bool platformOffersEditor()
{
    return true;
}

} // namespace QuorvaneTest
