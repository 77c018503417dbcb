// The Windows items of the built module, loaded as a host loads it: the editor's images as named
// "DATA" resources found in any letter case, and a clean unload.
#include "editorimages.h"
#include "pluginlibrary.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{

std::wstring widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::string withCase(std::string text, int (*convert)(int))
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [convert](unsigned char c) { return static_cast<char>(convert(c)); });
    return text;
}

std::vector<unsigned char> sourceFile(const std::string& name)
{
    std::vector<unsigned char> bytes;
    const std::string path = std::string("Z:") + QUORVANE_RESOURCE_DIR + "/" + name;
    if (FILE* file = std::fopen(path.c_str(), "rb"))
    {
        unsigned char buffer[4096];
        size_t count;
        while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + count);
        std::fclose(file);
    }
    return bytes;
}

BOOL CALLBACK countName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names)
{
    if (!IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(name);
    return TRUE;
}

} // namespace

TEST(WindowsModule, EveryEditorImageIsADataResourceFoundInAnyLetterCase)
{
    QuorvaneTest::PluginLibrary library(QUORVANE_BUNDLE_SO);
    ASSERT_TRUE(library.loaded()) << library.error();
    auto module = static_cast<HMODULE>(library.nativeHandle());

    for (const auto& image : QuorvaneTest::editorImages)
    {
        const std::vector<unsigned char> expected = sourceFile(image.name);
        ASSERT_FALSE(expected.empty()) << "cannot read the source of " << image.name;
        for (const std::string& spelling :
             {std::string(image.name), withCase(image.name, ::toupper),
              withCase(image.name, ::tolower)})
        {
            HRSRC info = FindResourceW(module, widen(spelling).c_str(), L"DATA");
            ASSERT_NE(info, nullptr) << spelling;
            HGLOBAL loaded = LoadResource(module, info);
            ASSERT_NE(loaded, nullptr) << spelling;
            const auto* bytes = static_cast<const unsigned char*>(LockResource(loaded));
            ASSERT_EQ(SizeofResource(module, info), expected.size()) << spelling;
            EXPECT_EQ(std::memcmp(bytes, expected.data(), expected.size()), 0) << spelling;
        }
        // Not filed under any other type.
        EXPECT_EQ(FindResourceW(module, widen(image.name).c_str(), MAKEINTRESOURCEW(10)), nullptr)
            << image.name;
    }

    // The 18 images at 1 and painted for the six other display scales, and nothing else, each
    // stored under its upper-case name.
    std::vector<std::wstring> names;
    EnumResourceNamesW(module, L"DATA", countName, reinterpret_cast<LONG_PTR>(&names));
    EXPECT_EQ(names.size(), QuorvaneTest::editorImages.size() * 7);
    for (const std::wstring& name : names)
        EXPECT_TRUE(std::none_of(name.begin(), name.end(),
                                 [](wchar_t c) { return c >= L'a' && c <= L'z'; }))
            << std::string(name.begin(), name.end());
}

TEST(WindowsModule, UnloadsCompletelyAfterExitDll)
{
    HMODULE module = nullptr;
    {
        QuorvaneTest::PluginLibrary library(QUORVANE_BUNDLE_SO);
        ASSERT_TRUE(library.loaded()) << library.error();
        module = static_cast<HMODULE>(library.nativeHandle());
        ASSERT_TRUE(library.enter());
        auto getFactory = library.function<void*(__stdcall*)()>("GetPluginFactory");
        ASSERT_NE(getFactory, nullptr);
        EXPECT_NE(library.function<void*>("VSTPluginMain"), nullptr);
        EXPECT_EQ(library.function<void*>("ModuleEntry"), nullptr) << "a Linux entry point";
        ASSERT_TRUE(library.leave());
    }
    // Nothing the module started (threads, other references) keeps it in the process.
    HMODULE stillThere = nullptr;
    EXPECT_FALSE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                        GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                    reinterpret_cast<LPCWSTR>(module), &stillThere) &&
                 stillThere == module);
}
