// The module's version information as Windows shows it (file properties, hosts' plug-in lists),
// read back with the system's own functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::wstring widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The module's path as Windows names it (the build passes a path of the Linux file system).
std::wstring modulePath()
{
    std::string path = QUORVANE_BUNDLE_SO;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return widen(path);
}

class VersionResource : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(modulePath().c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version information, error " << GetLastError();
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(modulePath().c_str(), 0, size, block.data()));
    }

    std::wstring text(const std::string& field)
    {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = L"\\StringFileInfo\\040904b0\\" + widen(field);
        if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value)
            return L"<missing>";
        return std::wstring(static_cast<const wchar_t*>(value));
    }

    std::vector<unsigned char> block;
};

} // namespace

TEST_F(VersionResource, FixedPartCarriesTheVersionOfFileAndProduct)
{
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010003u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010003u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_DLL));
}

TEST_F(VersionResource, StringTableNamesVendorProductAndTrademark)
{
    const std::wstring description =
        widen(std::string("Ostrelle Quorvane (") + QUORVANE_EXPECTED_BITS + "Bit)");
    EXPECT_EQ(text("FileVersion"), L"1.3.0.1");
    EXPECT_EQ(text("ProductVersion"), L"1.3.0.1");
    EXPECT_EQ(text("CompanyName"), L"Ostrelle");
    EXPECT_EQ(text("OriginalFilename"), L"Quorvane.vst3");
    EXPECT_EQ(text("FileDescription"), description);
    EXPECT_EQ(text("InternalName"), description);
    EXPECT_EQ(text("ProductName"), description);
    EXPECT_EQ(text("LegalTrademarks"), L"VST is a trademark of Steinberg Media Technologies GmbH");

    // The string table is the one for US English in UTF-16, as the translation entry says.
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
}
