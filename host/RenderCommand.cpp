// `quorvane render IN OUT`: an audio file through the plug-in into another.
#include "AudioFileReader.h"
#include "AudioFileWriter.h"
#include "Commands.h"
#include "HostError.h"
#include "Plot.h"
#include "PluginLoader.h"
#include "Renderer.h"
#include "TemporaryFile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>

namespace Quorvane {

namespace {

std::string seconds (int64_t frames, int rate)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%.2f s", static_cast<double> (frames) / rate);
    return text;
}

std::string decibels (float linear)
{
    if (!(linear > 0.0f))
        return "silent";
    char text[32];
    std::snprintf (text, sizeof (text), "%.1f dBFS", 20.0 * std::log10 (static_cast<double> (linear)));
    return text;
}

bool endsWithPng (const std::string& path)
{
    if (path.size () < 4)
        return false;
    std::string tail = path.substr (path.size () - 4);
    std::transform (tail.begin (), tail.end (), tail.begin (),
                    [] (unsigned char c) { return static_cast<char> (std::tolower (c)); });
    return tail == ".png";
}

std::optional<uint32_t> findGateMeter (HostedPlugin& plugin)
{
    for (const auto& p : plugin.parameters ())
        if (p.readOnly && p.title == "Max Gate")
            return p.id;
    return std::nullopt;
}

std::string fileName (const std::string& path)
{
    auto slash = path.rfind ('/');
    return slash == std::string::npos ? path : path.substr (slash + 1);
}

void printSummary (const RenderTrace& trace, const AudioFileReader& input, const std::string& out,
                   const OutputFormat& format, int blockSize, double wallSeconds)
{
    const int rate = input.sampleRate ();
    const double duration = static_cast<double> (trace.totalFrames ()) / rate;
    std::printf ("%s -> %s (%s)\n", input.path ().c_str (), out.c_str (), format.description.c_str ());
    std::printf ("  duration    %s at %d Hz, %d channel%s, blocks of %d\n",
                 seconds (trace.totalFrames (), rate).c_str (), rate, input.channels (),
                 input.channels () == 1 ? "" : "s", blockSize);
    if (wallSeconds > 0.0 && duration > 0.0)
        std::printf ("  rendered    in %.2f s, %.1fx real time\n", wallSeconds, duration / wallSeconds);
    else
        std::printf ("  rendered    in %.2f s\n", wallSeconds);
    std::printf ("  peak        in %s, out %s\n", decibels (trace.inputPeak ()).c_str (),
                 decibels (trace.outputPeak ()).c_str ());
    if (trace.hasGate ())
        std::printf ("  gate open   %.2f s of %.2f s (%.0f%%)\n", trace.gateOpenSeconds (), duration,
                     duration > 0.0 ? 100.0 * trace.gateOpenSeconds () / duration : 0.0);
    std::fflush (stdout);
}

} // namespace

int runRender (const Options& options)
{
    const std::string& inPath = options.positional.at (0);
    const std::string& outPath = options.positional.at (1);
    if (!options.plotPath.empty () && !endsWithPng (options.plotPath))
        throw HostError (kExitUsage, "--plot writes a PNG picture; name it *.png, not '" + options.plotPath + "'");

    AudioFileReader input (inPath, "input");
    std::unique_ptr<AudioFileReader> key;
    if (!options.sideChainPath.empty ())
    {
        key = std::make_unique<AudioFileReader> (options.sideChainPath, "side-chain");
        if (key->sampleRate () != input.sampleRate ())
            throw HostError (kExitInput, "side-chain file '" + key->path () + "' runs at " +
                                             std::to_string (key->sampleRate ()) + " Hz, the input at " +
                                             std::to_string (input.sampleRate ()) +
                                             " Hz; resample it to the input's rate first");
    }
    const OutputFormat format =
        chooseOutputFormat (outPath, options.bits, input.format (), input.channels (), input.sampleRate ());

    // The output's folder is checked before the plug-in is loaded.
    TemporaryFile temporary (outPath);
    AudioFileWriter writer (temporary, outPath, format, input.channels (), input.sampleRate ());

    auto plugin = loadPlugin (options);
    configurePlugin (*plugin, options);
    plugin->start (input.sampleRate (), input.channels (), options.blockSize, key != nullptr);

    if (key && key->frames () < input.frames ())
        std::fprintf (stderr, "quorvane: note: side-chain file '%s' (%s) is shorter than the input (%s); "
                              "padding it with silence\n",
                      key->path ().c_str (), seconds (key->frames (), key->sampleRate ()).c_str (),
                      seconds (input.frames (), input.sampleRate ()).c_str ());
    if (key && key->channels () != input.channels () && key->channels () != 1 && !options.quiet)
        std::fprintf (stderr, "quorvane: note: side-chain file has %d channels, the input %d; "
                              "its channels are repeated or dropped to match\n",
                      key->channels (), input.channels ());

    RenderJob job;
    job.plugin = plugin.get ();
    job.input = &input;
    job.sideChain = key.get ();
    job.output = &writer;
    job.blockSize = options.blockSize;
    job.gateMeterId = findGateMeter (*plugin);
    job.showProgress = !options.quiet;

    auto started = std::chrono::steady_clock::now ();
    RenderTrace trace = render (job);
    writer.close ();
    double wallSeconds = std::chrono::duration<double> (std::chrono::steady_clock::now () - started).count ();
    plugin->stop ();

    if (!options.savePresetPath.empty ())
        plugin->savePreset (options.savePresetPath);
    if (!options.plotPath.empty ())
        drawPlot (trace, options.plotPath, fileName (inPath) + "  ->  " + fileName (outPath));
    temporary.commit ();

    if (!options.quiet)
        printSummary (trace, input, outPath, format, options.blockSize, wallSeconds);
    if (!options.quiet && !trace.hasGate ())
        std::printf ("  gate open   n/a (%s)\n", options.vst2 ? "a VST 2 effect reports no meters"
                                                            : "the plug-in reports no gate meter");
    return kExitOk;
}

} // namespace Quorvane
