// Chooses and loads the plug-in a command works with.
#pragma once

#include "commands/commandline.h"
#include "hostedplugin.h"

#include <memory>

namespace Quorvane
{

// The bundle named by --plugin (or BUNDLE), else the default one, hosted as
// a VST 3 plug-in, or through its VST 2 entry with --vst2, or as LV2 with --lv2 or a NAME.lv2
// bundle. Throws
// HostError (kExitPlugin) when it cannot be loaded.
std::unique_ptr<HostedPlugin> loadPlugin(const Options& options);

// Applies --preset and the --set values, in that order.
void configurePlugin(HostedPlugin& plugin, const Options& options);

} // namespace Quorvane
