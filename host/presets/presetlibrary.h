// The .vstpreset files in the folders where VST 3 hosts look for this
// plug-in's presets, found by name.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Quorvane
{

struct PresetEntry
{
    std::string name; // the file name without ".vstpreset"
    std::string path;
};

// The preset folders, in the order they are searched: the one that came
// with this quorvane (../share/vst3/presets/Ostrelle/Quorvane beside its
// folder), the user's (~/.vst3/presets/...), then the shared ones
// (/usr/local/share/..., /usr/share/...).
std::vector<std::string> presetFolders();

// Every preset in those folders and their subfolders, sorted by name; of
// presets with the same name, the first folder's.
std::vector<PresetEntry> listPresets();

// The preset called NAME (case does not matter).
std::optional<PresetEntry> findPreset(const std::string& name);

// What --preset means: an existing file, a path, or else a preset's name.
// Throws HostError (kExitInput) for a name no folder has.
std::string resolvePresetArgument(const std::string& argument);

} // namespace Quorvane
