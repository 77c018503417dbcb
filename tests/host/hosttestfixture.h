// A scratch folder per test and the location of the built plug-in.
#pragma once

#include "audiofiles.h"
#include "clirunner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace QuorvaneTest
{

class HostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quorvane-host-test-XXXXXX";
        folder = mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string path(const std::string& name) const { return folder + "/" + name; }

    static std::string bundle() { return QUORVANE_TEST_BUNDLE; }
    static bool bundleBuilt()
    {
        return std::filesystem::exists(bundle() + "/Contents/x86_64-linux/Quorvane.so");
    }

    // Files in the scratch folder other than those named.
    std::vector<std::string> strayFiles(const std::vector<std::string>& expected) const
    {
        std::vector<std::string> stray;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
        {
            std::string name = entry.path().filename().string();
            if (std::find(expected.begin(), expected.end(), name) == expected.end())
                stray.push_back(name);
        }
        return stray;
    }

    std::string folder;
};

#define REQUIRE_BUNDLE()                                                                           \
    do                                                                                             \
    {                                                                                              \
        if (!bundleBuilt())                                                                        \
            GTEST_SKIP() << "the plug-in bundle has not been built yet: " << bundle();             \
    } while (false)

} // namespace QuorvaneTest
