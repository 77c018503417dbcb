#include "public.sdk/source/main/moduleentry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace
{

int initCalls = 0;
int deinitCalls = 0;
bool initResult = true;
std::string folderSeenByInit;

std::string executableFolder()
{
    char path[PATH_MAX];
    if (realpath("/proc/self/exe", path) == nullptr)
        return {};
    std::string folder(path);
    return folder.substr(0, folder.rfind('/') + 1);
}

class ModuleEntryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        initCalls = deinitCalls = 0;
        initResult = true;
        folderSeenByInit.clear();
    }
    int handleStorage = 0;
    void* const handle = &handleStorage;
};

TEST_F(ModuleEntryTest, initializesOnTheFirstEntryAndDeinitializesOnTheLastExit)
{
    ASSERT_TRUE(ModuleEntry(handle));
    ASSERT_TRUE(ModuleEntry(handle));
    EXPECT_EQ(initCalls, 1);
    EXPECT_EQ(Steinberg::getPlatformModuleHandle(), handle);

    EXPECT_TRUE(ModuleExit());
    EXPECT_EQ(deinitCalls, 0);
    EXPECT_EQ(Steinberg::getPlatformModuleHandle(), handle);
    EXPECT_TRUE(ModuleExit());
    EXPECT_EQ(deinitCalls, 1);
    EXPECT_EQ(Steinberg::getPlatformModuleHandle(), nullptr);

    // An exit without an entry is refused and calls nothing.
    EXPECT_FALSE(ModuleExit());
    EXPECT_EQ(deinitCalls, 1);
}

TEST_F(ModuleEntryTest, recordsTheFolderOfTheModuleBeforeInitializing)
{
    ASSERT_TRUE(ModuleEntry(handle));
    const std::string folder = Steinberg::getModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder, executableFolder());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(folderSeenByInit, folder);
    ASSERT_TRUE(ModuleExit());
    EXPECT_STREQ(Steinberg::getModuleFolder(), "");
}

TEST_F(ModuleEntryTest, failsWhenInitializationFailsAndMayBeEnteredAgain)
{
    initResult = false;
    EXPECT_FALSE(ModuleEntry(handle));
    EXPECT_EQ(Steinberg::getPlatformModuleHandle(), nullptr);
    EXPECT_FALSE(ModuleExit());
    EXPECT_EQ(deinitCalls, 0);

    initResult = true;
    EXPECT_TRUE(ModuleEntry(handle));
    EXPECT_EQ(initCalls, 2);
    EXPECT_TRUE(ModuleExit());
    EXPECT_EQ(deinitCalls, 1);
}

} // namespace

bool InitModule()
{
    ++initCalls;
    folderSeenByInit = Steinberg::getModuleFolder();
    return initResult;
}

bool DeinitModule()
{
    ++deinitCalls;
    return true;
}
