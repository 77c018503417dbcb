// `quorvane render IN OUT`: an audio file through the plug-in into another.
// With --out-dir the work goes to BatchRender.
#include "audio/audiofilereader.h"
#include "commands.h"
#include "plugin/instancemaker.h"
#include "render/batchrender.h"
#include "render/filerender.h"
#include "render/gateevents.h"
#include "render/meterprobe.h"
#include "render/plot.h"
#include "render/progresswatcher.h"
#include "render/rendersummary.h"
#include "support/hosterror.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <thread>

namespace Quorvane
{

namespace
{

bool endsWith(const std::string& path, const std::string& extension)
{
    if (path.size() < extension.size())
        return false;
    std::string tail = path.substr(path.size() - extension.size());
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == extension;
}

} // namespace

int runRender(const Options& options)
{
    if (!options.plotPath.empty() && !endsWith(options.plotPath, ".png"))
        throw HostError(kExitUsage, "--plot writes a PNG picture; name it *.png, not '" +
                                        options.plotPath + "'");
    if (!options.eventsPath.empty() && !endsWith(options.eventsPath, ".csv"))
        throw HostError(kExitUsage, "--events writes a CSV table; name it *.csv, not '" +
                                        options.eventsPath + "'");
    if (!options.outDir.empty())
        return runBatchRender(options);

    const std::string& inPath = options.positional.at(0);
    const std::string& outPath = options.positional.at(1);

    InstanceMaker maker(options);
    std::shared_ptr<HostedPlugin> plugin;
    FileRenderSettings settings = renderSettings(options, maker);
    settings.showProgress = !options.quiet;
    settings.probeThreads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    auto load = [&]() -> HostedPlugin&
    {
        plugin = maker.make();
        return *plugin;
    };
    auto beforeCommit = [&](HostedPlugin& hosted, const RenderTrace& trace)
    {
        if (!options.savePresetPath.empty())
            hosted.savePreset(options.savePresetPath);
        if (!options.plotPath.empty())
            drawPlot(trace, options.plotPath, fileName(inPath) + "  ->  " + fileName(outPath));
        if (!options.eventsPath.empty())
            writeGateEventsCsv(options.eventsPath, {{inPath, trace.sampleRate(),
                                                     findGateEvents(trace.gateReadings())}});
    };
    // Reading the gate meter finely takes the probes' time too: one bar for all.
    std::atomic<int64_t> framesDone{0};
    std::unique_ptr<ProgressWatcher> watcher;
    if (settings.probeMaker && !options.quiet)
    {
        try
        {
            AudioFileReader input(inPath, "input");
            const int rate = input.sampleRate();
            settings.showProgress = false;
            settings.framesDone = &framesDone;
            watcher = std::make_unique<ProgressWatcher>(
                framesDone, input.frames() * (1 + meterProbeBlock(rate) / meterProbeStep(rate)),
                true);
        }
        catch (const HostError&)
        {
            // renderFile reports the input's problem.
        }
    }
    RenderedFile rendered = renderFile(inPath, outPath, settings, load, beforeCommit);
    watcher.reset();

    if (!options.quiet)
    {
        printSummary(rendered, inPath, outPath, options.blockSize);
        if (!rendered.trace->hasGate())
            std::printf("  gate open   n/a (%s)\n", options.vst2
                                                        ? "a VST 2 effect reports no meters"
                                                        : "the plug-in reports no gate meter");
    }
    return kExitOk;
}

} // namespace Quorvane
