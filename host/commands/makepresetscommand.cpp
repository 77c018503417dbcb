// `quorvane make-presets SOURCE [DIR]`: the factory presets, each made by a
// fresh plug-in instance from the values in the source, as a user would
// set them; without DIR, the presets' table for the README.
#include "commands.h"
#include "plugin/parameterresolver.h"
#include "plugin/pluginloader.h"
#include "presets/presetsource.h"
#include "support/hosterror.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace Quorvane
{

namespace
{

std::string trimmed(const std::string& text)
{
    auto begin = text.find_first_not_of(' ');
    return begin == std::string::npos ? std::string() : text.substr(begin);
}

bool sameText(std::string a, std::string b)
{
    auto lower = [](std::string& s)
    {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    };
    lower(a);
    lower(b);
    return a == b;
}

void makePreset(const PresetDefinition& preset, const Options& options, const std::string& source,
                const fs::path& file)
{
    auto plugin = loadPlugin(options);
    std::vector<ParameterAssignment> assignments;
    for (const auto& [title, value] : preset.values)
        assignments.push_back({title, value, false});
    std::vector<ResolvedAssignment> resolved;
    try
    {
        resolved = resolveAssignments(*plugin, assignments);
    }
    catch (const HostError& error)
    {
        throw HostError(kExitInput, source + ":" + std::to_string(preset.line) + ": preset '" +
                                        preset.name + "': " + error.what());
    }
    // The source holds values as the plug-in shows them, so what it says is
    // exactly what the preset holds.
    for (size_t i = 0; i < resolved.size(); ++i)
    {
        std::string shown =
            trimmed(plugin->displayText(resolved[i].parameter.id, resolved[i].normalized));
        if (!sameText(shown, assignments[i].value))
            throw HostError(kExitInput, source + ":" + std::to_string(preset.line) + ": preset '" +
                                            preset.name + "': " + assignments[i].name + " '" +
                                            assignments[i].value + "' shows as '" + shown +
                                            "'; write it as the plug-in shows it");
    }
    applyAssignments(*plugin, resolved, true);
    // The processor learns of the values with a block, before its state is saved.
    plugin->start(44100.0, 2, 512, false);
    plugin->flushParameters();
    plugin->stop();
    plugin->savePreset(file.string());
}

} // namespace

int runMakePresets(const Options& options)
{
    const std::string& source = options.positional.at(0);
    auto presets = readPresetSource(source);
    if (options.positional.size() < 2)
    {
        std::fputs(presetTable(presets).c_str(), stdout);
        return kExitOk;
    }

    const fs::path folder = options.positional[1];
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder))
        throw HostError(kExitOutput, "cannot make the preset folder '" + folder.string() + "'");
    std::set<fs::path> made;
    for (const auto& preset : presets)
    {
        fs::path file = folder / (preset.name + ".vstpreset");
        makePreset(preset, options, source, file);
        made.insert(file);
        if (!options.quiet)
            std::printf("%s\n", file.string().c_str());
    }
    // Presets dropped from the source leave the folder too.
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".vstpreset" && !made.count(entry.path()))
            fs::remove(entry.path(), error);
    return kExitOk;
}

} // namespace Quorvane
