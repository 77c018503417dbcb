#include "filerender.h"

#include "audio/audiofilereader.h"
#include "meterprobe.h"
#include "renderer.h"
#include "rendersummary.h"
#include "support/hostconsole.h"
#include "support/hosterror.h"
#include "support/temporaryfile.h"

#include <chrono>
#include <cstdio>
#include <memory>

namespace Quorvane
{

FileRenderSettings renderSettings(const Options& options, InstanceMaker& maker)
{
    FileRenderSettings settings;
    settings.sideChainPath = options.sideChainPath;
    settings.bits = options.bits;
    settings.blockSize = options.blockSize;
    settings.prerollMs = options.prerollMs;
    if (!options.plotPath.empty() || !options.eventsPath.empty())
        settings.probeMaker = &maker;
    const bool quiet = options.quiet;
    settings.note = [quiet](const std::string& note, bool always)
    {
        if (always || !quiet)
            std::fprintf(hostMessages(), "quorvane: note: %s\n", note.c_str());
    };
    return settings;
}

RenderedFile renderFile(const std::string& in, const std::string& out,
                        const FileRenderSettings& settings,
                        const std::function<HostedPlugin&()>& pluginSource,
                        const std::function<void(HostedPlugin&, const RenderTrace&)>& beforeCommit)
{
    AudioFileReader input(in, "input");
    std::unique_ptr<AudioFileReader> key;
    if (!settings.sideChainPath.empty())
    {
        key = std::make_unique<AudioFileReader>(settings.sideChainPath, "side-chain");
        if (key->sampleRate() != input.sampleRate())
            throw HostError(kExitInput, "side-chain file '" + key->path() + "' runs at " +
                                            std::to_string(key->sampleRate()) +
                                            " Hz, the input at " +
                                            std::to_string(input.sampleRate()) +
                                            " Hz; resample it to the input's rate first");
    }
    RenderedFile result;
    result.format = chooseOutputFormat(out, settings.bits, input.format(), input.channels(),
                                       input.sampleRate());
    result.sampleRate = input.sampleRate();
    result.channels = input.channels();

    // The output's folder is checked before the plug-in is asked for.
    TemporaryFile temporary(out);
    AudioFileWriter writer(temporary, out, result.format, input.channels(), input.sampleRate());

    HostedPlugin& plugin = pluginSource();
    plugin.start(input.sampleRate(), input.channels(), settings.blockSize, key != nullptr);

    if (settings.note && key && key->frames() < input.frames())
        settings.note(
            "side-chain file '" + key->path() + "' (" +
                secondsText(key->frames(), key->sampleRate()) + ") is shorter than the input (" +
                secondsText(input.frames(), input.sampleRate()) + "); padding it with silence",
            true);
    if (settings.note && key && key->channels() != input.channels() && key->channels() != 1)
        settings.note("side-chain file has " + std::to_string(key->channels()) +
                          " channels, the input " + std::to_string(input.channels()) +
                          "; its channels are repeated or dropped to match",
                      false);

    RenderJob job;
    job.plugin = &plugin;
    job.input = &input;
    job.sideChain = key.get();
    job.output = &writer;
    job.blockSize = settings.blockSize;
    job.prerollFrames = prerollFrames(input.sampleRate(), settings.prerollMs);
    job.gateMeterId = findGateMeter(plugin);
    job.showProgress = settings.showProgress;
    job.framesDone = settings.framesDone;

    auto started = std::chrono::steady_clock::now();
    try
    {
        result.trace.emplace(render(job));
        writer.close();
    }
    catch (...)
    {
        plugin.stop();
        throw;
    }
    result.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    plugin.stop();
    if (settings.probeMaker && job.gateMeterId)
    {
        // A file shorter than the meter's refresh keeps the readings per block.
        auto fine = probeGateMeter(*settings.probeMaker, in, settings.sideChainPath,
                                   settings.probeThreads, settings.prerollMs, settings.framesDone);
        if (!fine.empty())
            result.trace->setGateReadings(std::move(fine));
    }

    if (beforeCommit)
        beforeCommit(plugin, *result.trace);
    temporary.commit();
    return result;
}

} // namespace Quorvane
