// Contents/Resources/moduleinfo.json against the module's own factory,
// record by record and field by field, and the snapshots it lists.
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>

namespace
{

using namespace Steinberg;
using nlohmann::json;

const std::string kBundle = QUORVANE_TEST_BUNDLE;

template <size_t N> std::string text(const char8 (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

std::string cidText(const TUID cid)
{
    char buffer[33]{};
    FUID::fromTUID(cid).toString(buffer);
    return buffer;
}

// PNG width and height from the IHDR chunk.
std::pair<uint32_t, uint32_t> pngSize(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24]{};
    in.read(reinterpret_cast<char*>(header), sizeof(header));
    if (!in || std::memcmp(header, "\x89PNG\r\n\x1a\n", 8) != 0)
        return {0, 0};
    auto word = [&](int at)
    {
        return uint32_t(header[at]) << 24 | uint32_t(header[at + 1]) << 16 |
               uint32_t(header[at + 2]) << 8 | header[at + 3];
    };
    return {word(16), word(20)};
}

class ModuleInfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string library = kBundle + "/Contents/x86_64-linux/Quorvane.so";
        const std::string file = kBundle + "/Contents/Resources/moduleinfo.json";
        if (!std::filesystem::exists(file))
            GTEST_SKIP() << "the bundle's moduleinfo.json has not been made yet";
        std::ifstream in(file);
        info = json::parse(in); // throws, and fails the test, on anything but JSON

        handle = dlopen(library.c_str(), RTLD_LAZY | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(handle, "ModuleEntry"));
        auto getFactory =
            reinterpret_cast<IPluginFactory* (*)()>(dlsym(handle, "GetPluginFactory"));
        ASSERT_TRUE(entry && getFactory);
        ASSERT_TRUE(entry(handle));
        entered = true;
        factory = owned(getFactory());
        ASSERT_TRUE(factory);
    }

    void TearDown() override
    {
        factory = nullptr;
        if (entered)
            reinterpret_cast<bool (*)()>(dlsym(handle, "ModuleExit"))();
        if (handle)
            dlclose(handle);
    }

    json info;
    void* handle = nullptr;
    bool entered = false;
    IPtr<IPluginFactory> factory;
};

TEST_F(ModuleInfoTest, FactoryInformationMatchesTheModule)
{
    EXPECT_EQ(info.at("Name"), "Quorvane");
    EXPECT_EQ(info.at("Version"), QUORVANE_TEST_VERSION);
    PFactoryInfo factoryInfo{};
    ASSERT_EQ(factory->getFactoryInfo(&factoryInfo), kResultOk);
    const json& written = info.at("Factory Info");
    EXPECT_EQ(written.at("Vendor"), text(factoryInfo.vendor));
    EXPECT_EQ(written.at("URL"), text(factoryInfo.url));
    EXPECT_EQ(written.at("E-Mail"), text(factoryInfo.email));
    const json& flags = written.at("Flags");
    EXPECT_EQ(flags.at("Unicode"), (factoryInfo.flags & PFactoryInfo::kUnicode) != 0);
    EXPECT_EQ(flags.at("Classes Discardable"),
              (factoryInfo.flags & PFactoryInfo::kClassesDiscardable) != 0);
    EXPECT_EQ(flags.at("Component Non Discardable"),
              (factoryInfo.flags & PFactoryInfo::kComponentNonDiscardable) != 0);
}

TEST_F(ModuleInfoTest, EveryClassMatchesItsFactoryRecordFieldByField)
{
    FUnknownPtr<IPluginFactory2> factory2(factory);
    ASSERT_TRUE(factory2);
    PFactoryInfo factoryInfo{};
    ASSERT_EQ(factory->getFactoryInfo(&factoryInfo), kResultOk);
    ASSERT_FALSE(text(factoryInfo.vendor).empty());
    const json& classes = info.at("Classes");
    ASSERT_EQ(classes.size(), static_cast<size_t>(factory->countClasses()));
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo2 record{};
        ASSERT_EQ(factory2->getClassInfo2(i, &record), kResultOk);
        const json& written = classes.at(static_cast<size_t>(i));
        SCOPED_TRACE(text(record.name));
        EXPECT_EQ(written.at("CID"), cidText(record.cid));
        EXPECT_EQ(written.at("Category"), text(record.category));
        EXPECT_EQ(written.at("Name"), text(record.name));
        // A class without a vendor of its own is the factory's, as the SDK reads it.
        const std::string vendor = text(record.vendor);
        EXPECT_EQ(written.at("Vendor"), vendor.empty() ? text(factoryInfo.vendor) : vendor);
        EXPECT_EQ(written.at("Version"), text(record.version));
        EXPECT_EQ(written.at("SDKVersion"), text(record.sdkVersion));
        EXPECT_EQ(written.at("Class Flags"), record.classFlags);
        EXPECT_EQ(written.at("Cardinality"), record.cardinality);
        std::string joined;
        for (const auto& part : written.value("Sub Categories", json::array()))
            joined += (joined.empty() ? "" : "|") + part.get<std::string>();
        EXPECT_EQ(joined, text(record.subCategories));
        // Nothing else but the snapshots.
        for (const auto& [key, value] : written.items())
            EXPECT_TRUE(key == "CID" || key == "Category" || key == "Name" || key == "Vendor" ||
                        key == "Version" || key == "SDKVersion" || key == "Sub Categories" ||
                        key == "Class Flags" || key == "Cardinality" || key == "Snapshots")
                << key;
    }
}

TEST_F(ModuleInfoTest, TheProcessorsSnapshotsExistAtOneAndTwiceTheEditorsSize)
{
    PClassInfo processor{};
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo record{};
        if (factory->getClassInfo(i, &record) == kResultOk &&
            text(record.category) == std::string(kVstAudioEffectClass))
            processor = record;
    }
    const std::string cid = cidText(processor.cid);
    ASSERT_EQ(cid.size(), 32u);
    for (const auto& entry : info.at("Classes"))
    {
        if (entry.at("CID") != cid)
        {
            EXPECT_FALSE(entry.contains("Snapshots"));
            continue;
        }
        const json& snapshots = entry.at("Snapshots");
        ASSERT_EQ(snapshots.size(), 2u);
        EXPECT_EQ(snapshots[0].at("Scale Factor"), 1.0);
        EXPECT_EQ(snapshots[0].at("Path"), "Contents/Resources/Snapshots/" + cid + "_snapshot.png");
        EXPECT_EQ(snapshots[1].at("Scale Factor"), 2.0);
        EXPECT_EQ(snapshots[1].at("Path"),
                  "Contents/Resources/Snapshots/" + cid + "_snapshot_2.0x.png");
        auto one = pngSize(kBundle + "/" + snapshots[0].at("Path").get<std::string>());
        auto two = pngSize(kBundle + "/" + snapshots[1].at("Path").get<std::string>());
        EXPECT_EQ(one, std::make_pair(320u, 390u));
        EXPECT_EQ(two, std::make_pair(640u, 780u));
    }
}

} // namespace
