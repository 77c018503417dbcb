#include "modulelibrary.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

namespace Quorvane
{

namespace
{

std::wstring widen(const std::string& text)
{
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(units > 0 ? size_t(units) : 1, L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), units);
    return wide.data();
}

} // namespace

std::filesystem::path moduleLibraryPath(const std::filesystem::path& bundle,
                                        const std::string& name)
{
    return bundle / "Contents" / (sizeof(void*) == 8 ? "x86_64-win" : "x86-win") / (name + ".vst3");
}

ModuleLibrary::ModuleLibrary(const std::string& path) : path(path)
{
    handle = LoadLibraryW(widen(path).c_str());
    if (!handle)
        throw std::runtime_error("cannot load " + path + ": LoadLibraryW failed with error " +
                                 std::to_string(GetLastError()));
}

ModuleLibrary::~ModuleLibrary()
{
    if (entered)
        if (auto exit = reinterpret_cast<bool (*)()>(symbol("ExitDll")))
            exit();
    FreeLibrary(static_cast<HMODULE>(handle));
}

void* ModuleLibrary::symbol(const char* name) const
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void ModuleLibrary::enter()
{
    auto entry = reinterpret_cast<bool (*)()>(symbol("InitDll"));
    if (!entry)
        throw std::runtime_error(path + " lacks InitDll");
    if (!entry())
        throw std::runtime_error("InitDll of " + path + " failed");
    entered = true;
}

} // namespace Quorvane
