#include "commandline.h"

#include "plugin/lv2plugin.h"

#include "support/hosterror.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace Quorvane
{

namespace
{

constexpr int kMaxBlockSize = 65536;

[[noreturn]] void usageError(const std::string& message)
{
    throw HostError(kExitUsage, message + " (see 'quorvane help')");
}

int parseInteger(const std::string& option, const std::string& text, long low, long high)
{
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        usageError(option + " expects a whole number from " + std::to_string(low) + " to " +
                   std::to_string(high) + ", not '" + text + "'");
    return static_cast<int>(value);
}

double parseSeconds(const std::string& option, const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(value > 0.0) || value > 1e6)
        usageError(option + " expects a number of seconds above 0, not '" + text + "'");
    return value;
}

double parseScale(const std::string& option, const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(value >= 0.5) || value > 4.0)
        usageError(option + " expects a display scale from 0.5 to 4, not '" + text + "'");
    return value;
}

double parseMilliseconds(const std::string& option, const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(value >= 0.0) || value > 60000.0)
        usageError(option + " expects milliseconds from 0 to 60000, not '" + text + "'");
    return value;
}

ParameterAssignment parseAssignment(const std::string& option, const std::string& text,
                                    bool normalized)
{
    auto equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        usageError(option + " expects " + (normalized ? "ID=VALUE" : "NAME=VALUE") + ", not '" +
                   text + "'");
    return {text.substr(0, equals), text.substr(equals + 1), normalized};
}

Command parseCommand(const std::string& word)
{
    if (word == "render")
        return Command::render;
    if (word == "params")
        return Command::params;
    if (word == "info")
        return Command::info;
    if (word == "demo")
        return Command::demo;
    if (word == "editor")
        return Command::editor;
    if (word == "presets")
        return Command::presets;
    if (word == "make-presets")
        return Command::makePresets;
    if (word == "help" || word == "--help" || word == "-h")
        return Command::help;
    if (word == "version" || word == "--version")
        return Command::version;
    usageError("unknown command '" + word + "'");
}

struct PositionalLimits
{
    size_t minimum;
    size_t maximum;
    const char* shape;
};

PositionalLimits positionalLimits(Command command)
{
    switch (command)
    {
    case Command::render:
        return {2, 2, "render IN OUT' or 'quorvane render IN... --out-dir DIR"};
    case Command::params:
        return {0, 1, "params [BUNDLE]"};
    case Command::info:
        return {0, 1, "info [BUNDLE]"};
    case Command::demo:
        return {0, 1, "demo [DIR]"};
    case Command::editor:
        return {0, 0, "editor"};
    case Command::presets:
        return {0, 0, "presets"};
    case Command::makePresets:
        return {1, 2, "make-presets SOURCE [DIR]"};
    case Command::help:
    case Command::version:
        break;
    }
    return {0, 0, ""};
}

// The LV2 bundle is hosted for rendering and listing; its presets live in the bundle.
void checkLv2Options(const Options& options)
{
    if (options.command != Command::render && options.command != Command::params &&
        options.command != Command::info)
        usageError("--lv2 applies to 'render', 'params' and 'info' only");
    if (options.vst2)
        usageError("--lv2 and --vst2 cannot be used together");
    if (!options.presetPath.empty() || !options.savePresetPath.empty())
        usageError("--preset and --save-preset cannot be used with an LV2 plug-in; use --set");
}

// A VST 2 effect offers its main input and output only, and its host sets
// values as normalized numbers.
void checkVst2Options(const Options& options)
{
    if (options.command != Command::render && options.command != Command::params &&
        options.command != Command::info)
        usageError("--vst2 applies to 'render', 'params' and 'info' only");
    if (!options.sideChainPath.empty())
        usageError(
            "--sidechain cannot be used with --vst2: a VST 2 effect has no side-chain input");
    if (!options.presetPath.empty() || !options.savePresetPath.empty())
        usageError("--preset and --save-preset cannot be used with --vst2");
    for (const auto& assignment : options.assignments)
        if (!assignment.normalized)
            usageError("with --vst2 set values with --set-normalized ID=VALUE, not --set " +
                       assignment.name + "=" + assignment.value);
}

} // namespace

Options parseCommandLine(int argc, const char* const* argv)
{
    Options options;
    if (argc < 2)
        usageError("no command given");
    options.command = parseCommand(argv[1]);
    if (options.command == Command::help || options.command == Command::version)
        return options;

    for (int i = 2; i < argc; ++i)
    {
        std::string arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-' || arg == "--")
        {
            options.positional.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (auto equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos)
        {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        }
        auto value = [&]() -> std::string
        {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= argc)
                usageError(name + " needs a value");
            return argv[++i];
        };

        if (name == "--quiet" || name == "-q")
        {
            if (inlineValue)
                usageError(name + " takes no value");
            options.quiet = true;
        }
        else if (name == "--vst2")
        {
            if (inlineValue)
                usageError(name + " takes no value");
            options.vst2 = true;
        }
        else if (name == "--lv2")
        {
            if (inlineValue)
                usageError(name + " takes no value");
            options.lv2 = true;
        }
        else if (name == "--plugin")
            options.pluginPath = value();
        else if (name == "--sidechain")
            options.sideChainPath = value();
        else if (name == "--preset")
            options.presetPath = value();
        else if (name == "--save-preset")
            options.savePresetPath = value();
        else if (name == "--plot")
            options.plotPath = value();
        else if (name == "--out-dir")
            options.outDir = value();
        else if (name == "--events")
            options.eventsPath = value();
        else if (name == "--jobs")
            options.jobs = parseInteger(name, value(), 1, 256);
        else if (name == "--seconds")
            options.seconds = parseSeconds(name, value());
        else if (name == "--scale")
            options.scale = parseScale(name, value());
        else if (name == "--screenshot")
            options.screenshotPath = value();
        else if (name == "--print-params")
        {
            if (inlineValue)
                usageError(name + " takes no value");
            options.printParams = true;
        }
        else if (name == "--set")
            options.assignments.push_back(parseAssignment(name, value(), false));
        else if (name == "--set-normalized")
            options.assignments.push_back(parseAssignment(name, value(), true));
        else if (name == "--block")
            options.blockSize = parseInteger(name, value(), 1, kMaxBlockSize);
        else if (name == "--preroll")
            options.prerollMs = parseMilliseconds(name, value());
        else if (name == "--bits")
        {
            std::string text = value();
            int bits = parseInteger(name, text, 8, 32);
            if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
                usageError("--bits expects 8, 16, 24 or 32 (32 is floating point), not '" + text +
                           "'");
            options.bits = bits;
        }
        else
            usageError("unknown option '" + arg + "'");
    }

    auto limits = positionalLimits(options.command);
    if (options.command == Command::render && !options.outDir.empty())
        limits = {1, SIZE_MAX, "render IN... --out-dir DIR"};
    if (options.positional.size() < limits.minimum || options.positional.size() > limits.maximum)
        usageError(std::string("expected 'quorvane ") + limits.shape + "'");

    bool renders = options.command == Command::render;
    bool keepsState =
        renders || options.command == Command::params || options.command == Command::editor;
    if (!renders && !options.sideChainPath.empty())
        usageError("--sidechain applies to 'render' only");
    if (!renders && options.bits)
        usageError("--bits applies to 'render' only");
    if (!renders && options.prerollMs > 0.0)
        usageError("--preroll applies to 'render' only");
    if (!renders && !options.plotPath.empty())
        usageError("--plot applies to 'render' only; 'demo' draws its own");
    if (!renders && (!options.outDir.empty() || !options.eventsPath.empty() || options.jobs))
        usageError("--out-dir, --events and --jobs apply to 'render' only");
    if (renders && options.jobs && options.outDir.empty())
        usageError("--jobs applies to rendering several files with --out-dir");
    if (renders && !options.plotPath.empty() && options.positional.size() > 1 &&
        !options.outDir.empty())
        usageError("--plot draws one file; render the files one at a time to plot each");
    if (!keepsState && (!options.presetPath.empty() || !options.savePresetPath.empty() ||
                        !options.assignments.empty()))
        usageError("presets and --set apply to 'render', 'params' and 'editor' only");
    if (options.command != Command::editor && (options.seconds || !options.screenshotPath.empty() ||
                                               options.printParams || options.scale))
        usageError("--seconds, --screenshot, --print-params and --scale apply to 'editor' only");
    if (options.command == Command::params && options.positional.size() == 1 &&
        !options.pluginPath.empty())
        usageError("give the bundle either as BUNDLE or with --plugin, not both");
    if (options.command == Command::info && options.positional.size() == 1 &&
        !options.pluginPath.empty())
        usageError("give the bundle either as BUNDLE or with --plugin, not both");
    if (options.vst2)
        checkVst2Options(options);
    if (options.lv2 || isLv2BundlePath(options.pluginPath))
        checkLv2Options(options);
    if ((options.command == Command::params || options.command == Command::info) &&
        options.positional.size() == 1)
        options.pluginPath = options.positional[0];
    return options;
}

const char* usageText()
{
    return "usage: quorvane COMMAND [ARGUMENTS] [OPTIONS]\n"
           "\n"
           "Commands:\n"
           "  demo [DIR]            synthesize a drum loop with a noise floor, gate it and write\n"
           "                        the input, the output and a plot into DIR (./quorvane-demo)\n"
           "  render IN OUT         gate the audio file IN into OUT (WAV, FLAC, AIFF, OGG, ...)\n"
           "  render IN... --out-dir DIR\n"
           "                        gate every IN into DIR under its own name, several at once\n"
           "  presets               list the factory presets (use them with --preset NAME)\n"
           "  make-presets SOURCE [DIR]\n"
           "                        make the presets that SOURCE describes into DIR; without\n"
           "                        DIR print their table (the build makes the factory presets)\n"
           "  params [BUNDLE]       list the plug-in's parameters with their current values\n"
           "  info [BUNDLE]         show the plug-in's factory, classes and buses\n"
           "  editor                open the plug-in's editor in a window (X11) while it gates\n"
           "                        a looping drum pattern; close the window to end\n"
           "  help, version\n"
           "\n"
           "Options:\n"
           "  --plugin PATH         the .vst3 bundle (or its .so) to load instead of the default\n"
           "  --sidechain KEY       feed the audio file KEY to the side-chain input (render)\n"
           "  --set NAME=VALUE      set a parameter by title and display text, e.g.\n"
           "                        --set \"Threshold=-30 dB\" --set Hold=120 --set Ducking=on\n"
           "  --set-normalized ID=V set parameter ID to the normalized value V (0 to 1)\n"
           "  --preset FILE|NAME    load a .vstpreset, or a factory preset by name, before the\n"
           "                        --set values\n"
           "  --save-preset FILE    save the resulting state as a .vstpreset\n"
           "  --block N             process blocks of N samples (default 512)\n"
           "  --preroll MS          play MS milliseconds of silence into the plug-in before the\n"
           "                        file and discard what comes out (default: none, the file\n"
           "                        goes through the new instance from its first sample)\n"
           "  --bits N              output sample format: 8, 16, 24 bit integer or 32 bit float\n"
           "                        (default: float for WAV, else the input's depth)\n"
           "  --plot FILE.png       draw input, output and gate gain over time, the gain read\n"
           "                        every millisecond (render)\n"
           "  --events FILE.csv     list when the gate opened and closed, in seconds and samples,\n"
           "                        read every millisecond (render)\n"
           "  --out-dir DIR         render every input into DIR (created if missing)\n"
           "  --jobs N              render N files at once (default: one per core)\n"
           "  --quiet               no progress bar, summary or notes, and the plug-in's own\n"
           "                        diagnostic lines on standard error are dropped\n"
           "  --seconds N           close the editor after N seconds (editor)\n"
           "  --screenshot FILE.png picture of the editor as it closes (editor)\n"
           "  --scale F             display scale of the editor, 0.5 to 4; default: the\n"
           "                        desktop's (Xft.dpi) or QUORVANE_UI_SCALE (editor)\n"
           "  --print-params        list the values as the editor closes (editor)\n"
           "  --lv2                 host the LV2 bundle (render, params, info); also when\n"
           "                        --plugin names a NAME.lv2 folder\n"
           "  --vst2                host the library through its VST 2 entry (render, params,\n"
           "                        info); main stereo input only, values by --set-normalized\n"
           "\n"
           "Exit status: 0 success, 1 internal error, 2 bad command line or parameter,\n"
           "3 unusable input or preset file, 4 plug-in problem, 5 output not written;\n"
           "with several inputs, the status of the first file that failed.\n";
}

} // namespace Quorvane
