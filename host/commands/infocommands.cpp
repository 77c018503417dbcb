// `quorvane params` and `quorvane info`.
#include "commands.h"
#include "plugin/pluginloader.h"
#include "support/hosterror.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace Quorvane
{

namespace
{

std::string flagsText(const ParameterDescription& p)
{
    std::string text;
    auto add = [&](bool on, const char* name)
    {
        if (on)
            text += (text.empty() ? "" : ",") + std::string(name);
    };
    add(p.automatable, "automate");
    add(p.readOnly, "read-only");
    add(p.bypass, "bypass");
    return text.empty() ? "-" : text;
}

std::string valueText(HostedPlugin& plugin, uint32_t id, double normalized)
{
    std::string shown = plugin.displayText(id, normalized);
    auto begin = shown.find_first_not_of(' ');
    shown = begin == std::string::npos ? "" : shown.substr(begin);
    char number[32];
    std::snprintf(number, sizeof(number), "%.4f", normalized);
    return shown + " (" + number + ")";
}

void printTable(const std::vector<std::vector<std::string>>& rows)
{
    std::vector<size_t> widths;
    for (const auto& row : rows)
        for (size_t c = 0; c < row.size(); ++c)
        {
            if (widths.size() <= c)
                widths.push_back(0);
            widths[c] = std::max(widths[c], row[c].size());
        }
    for (const auto& row : rows)
    {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c)
        {
            line += row[c];
            if (c + 1 < row.size())
                line += std::string(widths[c] - row[c].size() + 2, ' ');
        }
        std::cout << line << "\n";
    }
}

} // namespace

int runParams(const Options& options)
{
    auto plugin = loadPlugin(options);
    configurePlugin(*plugin, options);
    if (!options.savePresetPath.empty())
    {
        // The processor learns of the values with a block; a parameter-only
        // call delivers them before its state is saved.
        plugin->start(44100.0, 2, 512, false);
        plugin->flushParameters();
        plugin->stop();
        plugin->savePreset(options.savePresetPath);
    }

    std::vector<std::vector<std::string>> rows{
        {"ID", "Title", "Flags", "Steps", "Default", "Value"}};
    for (const auto& p : plugin->parameters())
        rows.push_back({std::to_string(p.id),
                        p.title + (p.units.empty() ? "" : " [" + p.units + "]"), flagsText(p),
                        std::to_string(p.stepCount), valueText(*plugin, p.id, p.defaultNormalized),
                        valueText(*plugin, p.id, plugin->parameterValue(p.id))});
    printTable(rows);
    return kExitOk;
}

int runInfo(const Options& options)
{
    auto plugin = loadPlugin(options);
    std::cout << "Plug-in  " << plugin->path() << "\n";
    plugin->describe(std::cout);
    return kExitOk;
}

} // namespace Quorvane
