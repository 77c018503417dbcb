// DllMain records the module's handle and folder, whatever the folder is called.
#include "public.sdk/source/main/win/modulefolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{

std::wstring probeSource()
{
    std::string path = std::string("Z:") + QUORVANE_MODULE_PROBE;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return std::wstring(path.begin(), path.end());
}

template <typename Function> Function exported(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A fresh folder under the temporary folder, removed with what it holds.
class Folder
{
public:
    explicit Folder(const std::wstring& name)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + name + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~Folder()
    {
        DeleteFileW((path + L"probe.dll").c_str());
        RemoveDirectoryW(path.c_str());
    }
    std::wstring path;
};

} // namespace

TEST(ModuleFolder, FolderPartEndsAtTheLastBackslash)
{
    const std::wstring path = L"C:\\Program Files\\Common Files\\VST3\\Quorvane.vst3";
    EXPECT_EQ(Steinberg::folderPartLength(path.c_str(), path.size()), path.size() - 13);
    EXPECT_EQ(Steinberg::folderPartLength(L"Quorvane.dll", 12), 0u);
    EXPECT_EQ(Steinberg::folderPartLength(L"C:\\", 3), 3u);
}

TEST(ModuleFolder, DllMainRecordsHandleAndFolderOfTheLoadedFile)
{
    // Letters outside ASCII and a blank: the folder must come through as UTF-16, unchanged.
    Folder folder(L"Quorvane Pr\u00fcfung \u03a9");
    const std::wstring target = folder.path + L"probe.dll";
    ASSERT_TRUE(CopyFileW(probeSource().c_str(), target.c_str(), FALSE)) << GetLastError();

    HMODULE module = LoadLibraryW(target.c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    auto handle = exported<void* (*)()>(module, "probeModuleHandle");
    auto folderW = exported<const wchar_t* (*)()>(module, "probeModuleFolder");
    auto folderUtf8 = exported<const char* (*)()>(module, "probeModuleFolderUtf8");
    ASSERT_TRUE(handle && folderW && folderUtf8);

    EXPECT_EQ(handle(), static_cast<void*>(module));
    // The system's long name of the folder (the temporary folder may be given in a short form).
    wchar_t full[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(module, full, MAX_PATH), 0u);
    std::wstring expected(full);
    expected.resize(expected.rfind(L'\\') + 1);
    EXPECT_EQ(std::wstring(folderW()), expected);
    EXPECT_EQ(expected.back(), L'\\');
    EXPECT_NE(expected.find(L"Quorvane Pr\u00fcfung \u03a9\\"), std::wstring::npos);

    const std::string utf8 = folderUtf8();
    EXPECT_NE(utf8.find("Quorvane Pr\xc3\xbc"
                        "fung \xce\xa9\\"),
              std::string::npos)
        << utf8;
    EXPECT_TRUE(FreeLibrary(module));
}
