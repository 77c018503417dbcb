// `quorvane editor`: the plug-in's editor in a window of its own, with the
// processor running on a test signal behind it.
#include "commands.h"
#include "editor/editorsession.h"
#include "editor/editorwindow.h"
#include "plugin/pluginloader.h"
#include "plugin/vst3module.h"
#include "plugin/vst3plugin.h"
#include "support/hosterror.h"

#include <cstdio>
#include <optional>

namespace Quorvane
{

namespace
{

constexpr int kInitialWidth = 320;
constexpr int kInitialHeight = 390;

// One line per parameter: ID, title, normalized value and display text, separated by tabs.
void printParameters(Vst3Plugin& plugin)
{
    std::printf("ID\tTitle\tNormalized\tDisplay\n");
    for (const auto& p : plugin.parameters())
    {
        const double value = plugin.parameterValue(p.id);
        std::string shown = plugin.displayText(p.id, value);
        auto begin = shown.find_first_not_of(' ');
        shown = begin == std::string::npos ? "" : shown.substr(begin);
        std::printf("%u\t%s\t%.7f\t%s\n", p.id, p.title.c_str(), value, shown.c_str());
    }
    std::fflush(stdout);
}

} // namespace

int runEditor(const Options& options)
{
    // The editor needs the VST 3 interfaces themselves (createView, the frame).
    Vst3Plugin plugin(options.pluginPath.empty() ? defaultBundlePath() : options.pluginPath);
    configurePlugin(plugin, options);

    EditorSession::Ending ending = EditorSession::Ending::closed;
    std::optional<HostError> screenshotError;
    {
        EditorWindow window("Quorvane", kInitialWidth, kInitialHeight);
        EditorSession session(plugin, window, options.scale);
        ending = session.run(options.seconds);
        // Taken before the editor goes, so that it shows what the user saw.
        // A failed picture must not cost the user the settings made.
        if (!options.screenshotPath.empty())
        {
            try
            {
                window.saveScreenshot(options.screenshotPath);
            }
            catch (const HostError& error)
            {
                screenshotError = error;
            }
        }
        session.close();
    }

    if (options.printParams)
        printParameters(plugin);
    if (!options.savePresetPath.empty())
        plugin.savePreset(options.savePresetPath);
    if (screenshotError)
        throw *screenshotError;
    return ending == EditorSession::Ending::interrupted ? kExitInterrupted : kExitOk;
}

} // namespace Quorvane
