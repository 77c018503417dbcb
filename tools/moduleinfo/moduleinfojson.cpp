#include "moduleinfojson.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <filesystem>

namespace Quorvane
{

namespace
{

nlohmann::ordered_json subCategories(const std::string& text)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    size_t begin = 0;
    while (begin <= text.size())
    {
        size_t end = text.find('|', begin);
        if (end == std::string::npos)
            end = text.size();
        if (end > begin)
            list.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return list;
}

nlohmann::ordered_json snapshots(const std::string& bundle, const std::string& cid)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (auto [suffix, scale] :
         {std::pair<const char*, double>{"_snapshot.png", 1.0}, {"_snapshot_2.0x.png", 2.0}})
    {
        std::string path = "Contents/Resources/Snapshots/" + cid + suffix;
        std::error_code error;
        if (std::filesystem::is_regular_file(std::filesystem::path(bundle) / path, error))
            list.push_back({{"Scale Factor", scale}, {"Path", path}});
    }
    return list;
}

} // namespace

nlohmann::ordered_json moduleInfoJson(const ModuleRecords& records, const std::string& name,
                                      const std::string& version, const std::string& bundle)
{
    using Steinberg::PFactoryInfo;
    const int32_t flags = records.factory.flags;
    nlohmann::ordered_json info;
    info["Name"] = name;
    info["Version"] = version;
    info["Factory Info"] = {
        {"Vendor", records.factory.vendor},
        {"URL", records.factory.url},
        {"E-Mail", records.factory.email},
        {"Flags",
         {{"Unicode", (flags & PFactoryInfo::kUnicode) != 0},
          {"Classes Discardable", (flags & PFactoryInfo::kClassesDiscardable) != 0},
          {"Component Non Discardable", (flags & PFactoryInfo::kComponentNonDiscardable) != 0}}}};
    nlohmann::ordered_json classes = nlohmann::ordered_json::array();
    for (const auto& record : records.classes)
    {
        nlohmann::ordered_json entry;
        entry["CID"] = record.cid;
        entry["Category"] = record.category;
        entry["Name"] = record.name;
        // Hosts (and the SDK's own check of this file) give a class without a vendor the
        // factory's vendor; the file says what they will read.
        entry["Vendor"] = record.vendor.empty() ? records.factory.vendor : record.vendor;
        entry["Version"] = record.version;
        entry["SDKVersion"] = record.sdkVersion;
        auto sub = subCategories(record.subCategories);
        if (!sub.empty())
            entry["Sub Categories"] = sub;
        entry["Class Flags"] = record.classFlags;
        entry["Cardinality"] = record.cardinality;
        auto pictures = snapshots(bundle, record.cid);
        if (!pictures.empty())
            entry["Snapshots"] = pictures;
        classes.push_back(entry);
    }
    info["Classes"] = classes;
    return info;
}

} // namespace Quorvane
