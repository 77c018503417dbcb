#include "pluginloader.h"

#include "lv2plugin.h"
#include "parameterresolver.h"
#include "presets/presetlibrary.h"
#include "vst2plugin.h"
#include "vst3module.h"
#include "vst3plugin.h"

namespace Quorvane
{

std::unique_ptr<HostedPlugin> loadPlugin(const Options& options)
{
    if (options.lv2 || isLv2BundlePath(options.pluginPath))
        return std::make_unique<Lv2Plugin>(options.pluginPath.empty() ? defaultLv2BundlePath()
                                                                      : options.pluginPath);
    std::string path = options.pluginPath.empty() ? defaultBundlePath() : options.pluginPath;
    if (options.vst2)
        return std::make_unique<Vst2Plugin>(path);
    return std::make_unique<Vst3Plugin>(path);
}

void configurePlugin(HostedPlugin& plugin, const Options& options)
{
    // Resolve every value before changing anything, so a bad one fails early.
    auto resolved = resolveAssignments(plugin, options.assignments);
    if (!options.presetPath.empty())
        plugin.loadPreset(resolvePresetArgument(options.presetPath));
    applyAssignments(plugin, resolved, options.quiet);
}

} // namespace Quorvane
