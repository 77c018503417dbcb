// A scratch folder per test and the plug-in bundle for the editor tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace QuorvaneTest {

class EditorTest : public ::testing::Test
{
protected:
    void SetUp () override
    {
        char pattern[] = "/tmp/quorvane-editor-test-XXXXXX";
        folder = mkdtemp (pattern);
    }
    void TearDown () override { std::filesystem::remove_all (folder); }

    std::string path (const std::string& name) const { return folder + "/" + name; }

    static std::string bundle () { return QUORVANE_TEST_BUNDLE; }
    static bool bundleBuilt ()
    {
        return std::filesystem::exists (bundle () + "/Contents/x86_64-linux/Quorvane.so");
    }
    static bool haveDisplay ()
    {
        const char* display = std::getenv ("DISPLAY");
        return display && *display;
    }

    std::string folder;
};

} // namespace QuorvaneTest
