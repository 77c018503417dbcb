// `quorvane presets`: the presets found in the VST 3 preset folders.
#include "commands.h"
#include "presets/presetlibrary.h"
#include "support/hosterror.h"

#include <algorithm>
#include <cstdio>

namespace Quorvane
{

int runPresets(const Options&)
{
    auto presets = listPresets();
    if (presets.empty())
    {
        std::printf("No presets found. Searched:\n");
        for (const auto& folder : presetFolders())
            std::printf("  %s\n", folder.c_str());
        return kExitOk;
    }
    size_t width = 0;
    for (const auto& preset : presets)
        width = std::max(width, preset.name.size());
    for (const auto& preset : presets)
        std::printf("%-*s  %s\n", static_cast<int>(width), preset.name.c_str(),
                    preset.path.c_str());
    return kExitOk;
}

} // namespace Quorvane
