// The parsed command line of `quorvane`.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Quorvane
{

enum class Command
{
    help,
    version,
    render,
    params,
    info,
    demo,
    editor,
    presets,
    makePresets,
};

// One --set NAME=VALUE (by title and display text) or --set-normalized ID=v.
struct ParameterAssignment
{
    std::string name;  // title, or the ID in decimal for a normalized assignment
    std::string value; // text as the user typed it
    bool normalized = false;
};

struct Options
{
    Command command = Command::help;
    std::vector<std::string> positional; // IN OUT (or IN... with --out-dir) for render,
                                         // BUNDLE for params/info, DIR for demo
    std::string outDir;                  // --out-dir: render every input into this folder
    std::string eventsPath;              // --events: CSV of the gate's openings and closings
    std::optional<int> jobs;             // --jobs: files rendered at once (default: every core)
    std::string pluginPath;              // --plugin, empty for the default bundle
    std::string sideChainPath;           // --sidechain
    std::string presetPath;              // --preset
    std::string savePresetPath;          // --save-preset
    std::string plotPath;                // --plot
    std::vector<ParameterAssignment> assignments;
    int blockSize = 512;
    double prerollMs = 0.0;  // --preroll: silence played in before the file (render)
    std::optional<int> bits; // --bits
    bool quiet = false;
    std::optional<double> seconds; // --seconds: how long the editor stays open
    std::string screenshotPath;    // --screenshot: a PNG of the editor when it closes
    bool printParams = false;      // --print-params: the values when the editor closes
    std::optional<double> scale;   // --scale: the display scale the editor is given
    bool vst2 = false;             // --vst2: host the library as a VST 2 effect
    bool lv2 = false;              // --lv2: host the LV2 bundle
};

// Parses argv; throws HostError (kExitUsage) with a one-line message on bad input.
Options parseCommandLine(int argc, const char* const* argv);

// The text printed by `quorvane help`.
const char* usageText();

} // namespace Quorvane
