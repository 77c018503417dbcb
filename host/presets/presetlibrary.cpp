#include "presetlibrary.h"

#include "support/executablelocation.h"
#include "support/hosterror.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace Quorvane
{

namespace
{

const fs::path kVendorAndName = fs::path("vst3") / "presets" / "Ostrelle" / "Quorvane";
const std::string kExtension = ".vstpreset";

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::vector<std::string> presetFolders()
{
    std::vector<std::string> folders;
    fs::path own = executableFolder();
    if (!own.empty())
        folders.push_back(
            (own.parent_path() / "share" / kVendorAndName).lexically_normal().string());
    if (const char* home = std::getenv("HOME"); home && *home)
        folders.push_back(
            (fs::path(home) / ".vst3" / "presets" / "Ostrelle" / "Quorvane").string());
    folders.push_back((fs::path("/usr/local/share") / kVendorAndName).string());
    folders.push_back((fs::path("/usr/share") / kVendorAndName).string());
    return folders;
}

std::vector<PresetEntry> listPresets()
{
    std::vector<PresetEntry> presets;
    std::set<std::string> seen;
    for (const auto& folder : presetFolders())
    {
        std::error_code error;
        if (!fs::is_directory(folder, error))
            continue;
        std::vector<PresetEntry> here;
        for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error))
        {
            const fs::path& file = it->path();
            if (file.extension() == kExtension && it->is_regular_file(error))
                here.push_back({file.stem().string(), file.string()});
        }
        std::sort(here.begin(), here.end(),
                  [](const PresetEntry& a, const PresetEntry& b) { return a.path < b.path; });
        for (auto& entry : here)
            if (seen.insert(lowerCase(entry.name)).second)
                presets.push_back(std::move(entry));
    }
    std::sort(presets.begin(), presets.end(),
              [](const PresetEntry& a, const PresetEntry& b)
              { return lowerCase(a.name) < lowerCase(b.name); });
    return presets;
}

std::optional<PresetEntry> findPreset(const std::string& name)
{
    const std::string wanted = lowerCase(name);
    for (auto& entry : listPresets())
        if (lowerCase(entry.name) == wanted)
            return entry;
    return std::nullopt;
}

std::string resolvePresetArgument(const std::string& argument)
{
    std::error_code error;
    if (fs::exists(argument, error) || argument.find('/') != std::string::npos ||
        (argument.size() > kExtension.size() &&
         lowerCase(argument.substr(argument.size() - kExtension.size())) == kExtension))
        return argument;
    if (auto entry = findPreset(argument))
        return entry->path;
    throw HostError(kExitInput, "no preset file or factory preset called '" + argument +
                                    "'; 'quorvane presets' lists the presets");
}

} // namespace Quorvane
