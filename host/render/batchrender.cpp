#include "batchrender.h"

#include "audio/audiofilereader.h"
#include "filerender.h"
#include "gateevents.h"
#include "meterprobe.h"
#include "plugin/instancemaker.h"
#include "progressbar.h"
#include "rendersummary.h"
#include "support/hostconsole.h"
#include "support/hosterror.h"
#include "support/interrupt.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace Quorvane
{

namespace
{

struct FileTask
{
    std::string input;
    std::string output;
    int64_t frames = 0; // for the progress bar; 0 when the file cannot be read
};

struct FileOutcome
{
    ExitCode code = kExitOk;
    std::string message; // the error, or the one-line summary
    std::optional<FileGateEvents> events;
};

std::vector<FileTask> planTasks(const Options& options)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(options.outDir, error);
    if (!fs::is_directory(options.outDir))
        throw HostError(kExitOutput, "cannot use '" + options.outDir + "' as the output folder" +
                                         (error ? ": " + error.message() : std::string()));

    std::vector<FileTask> tasks;
    std::set<std::string> names;
    for (const auto& input : options.positional)
    {
        std::string name = fileName(input);
        if (name.empty() || name == "." || name == "..")
            throw HostError(kExitUsage, "'" + input + "' does not name a file");
        if (!names.insert(name).second)
            throw HostError(kExitUsage, "two inputs are called '" + name + "'; their outputs in '" +
                                            options.outDir + "' would overwrite each other");
        FileTask task{input, (fs::path(options.outDir) / name).string()};
        std::error_code same;
        if (fs::equivalent(task.input, task.output, same))
            throw HostError(kExitUsage, "'" + input + "' is already in '" + options.outDir +
                                            "'; rendering it there would overwrite the input");
        tasks.push_back(task);
    }
    return tasks;
}

// Reads the lengths for the progress bar (the probes that read the gate
// meter, if any, go through each file too); files that fail here fail
// again, with their message, when their turn comes.
void measureTasks(std::vector<FileTask>& tasks, bool probes)
{
    for (auto& task : tasks)
    {
        try
        {
            AudioFileReader input(task.input, "input");
            const int rate = input.sampleRate();
            task.frames =
                input.frames() * (probes ? 1 + meterProbeBlock(rate) / meterProbeStep(rate) : 1);
        }
        catch (const HostError&)
        {
            task.frames = 0;
        }
    }
}

} // namespace

int runBatchRender(const Options& options)
{
    std::vector<FileTask> tasks = planTasks(options);
    measureTasks(tasks, !options.eventsPath.empty() || !options.plotPath.empty());
    int64_t totalFrames = 0;
    for (const auto& task : tasks)
        totalFrames += task.frames;

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t workers =
        std::min(tasks.size(), static_cast<size_t>(options.jobs ? *options.jobs : cores));

    // Each file gets a fresh instance, so that it sounds as it does rendered
    // on its own: a plug-in keeps its state from one activation to the next.
    InstanceMaker maker(options);
    maker.make(); // a plug-in that does not load fails the command at once

    FileRenderSettings settings = renderSettings(options, maker);
    std::atomic<int64_t> framesDone{0};
    settings.framesDone = &framesDone;

    std::vector<FileOutcome> outcomes(tasks.size());
    std::atomic<size_t> nextTask{0};
    std::mutex lock;
    std::condition_variable finished;
    std::deque<size_t> toReport;

    auto work = [&]()
    {
        for (;;)
        {
            const size_t index = nextTask.fetch_add(1);
            if (index >= tasks.size())
                return;
            const FileTask& task = tasks[index];
            FileOutcome outcome;
            if (interruptRequested())
            {
                outcome.code = kExitInterrupted;
                outcome.message = "not rendered: interrupted";
            }
            else
            {
                try
                {
                    std::shared_ptr<HostedPlugin> plugin;
                    RenderedFile rendered = renderFile(task.input, task.output, settings,
                                                       [&]() -> HostedPlugin&
                                                       {
                                                           plugin = maker.make();
                                                           return *plugin;
                                                       });
                    outcome.message = oneLineSummary(rendered);
                    if (!options.eventsPath.empty())
                        outcome.events =
                            FileGateEvents{task.input, rendered.trace->sampleRate(),
                                           findGateEvents(rendered.trace->gateReadings())};
                }
                catch (const HostError& error)
                {
                    outcome.code = error.code();
                    outcome.message = error.what();
                }
                catch (const std::exception& error)
                {
                    outcome.code = kExitInternal;
                    outcome.message = std::string("internal error: ") + error.what();
                }
            }
            std::lock_guard<std::mutex> guard(lock);
            outcomes[index] = std::move(outcome);
            toReport.push_back(index);
            finished.notify_one();
        }
    };

    std::vector<std::thread> threads;
    for (size_t w = 0; w < workers; ++w)
        threads.emplace_back(work);

    ProgressBar progress(totalFrames, !options.quiet);
    size_t reported = 0;
    while (reported < tasks.size())
    {
        std::deque<size_t> ready;
        {
            std::unique_lock<std::mutex> guard(lock);
            finished.wait_for(guard, std::chrono::milliseconds(100),
                              [&] { return !toReport.empty(); });
            ready.swap(toReport);
        }
        if (!ready.empty())
            progress.finish();
        for (size_t index : ready)
        {
            const FileOutcome& outcome = outcomes[index];
            if (outcome.code == kExitOk)
            {
                if (!options.quiet)
                    std::printf("ok      %s -> %s (%s)\n", tasks[index].input.c_str(),
                                tasks[index].output.c_str(), outcome.message.c_str());
            }
            else
                std::fprintf(hostMessages(), "quorvane: FAILED %s: %s\n",
                             tasks[index].input.c_str(), outcome.message.c_str());
            std::fflush(stdout);
            ++reported;
        }
        progress.update(framesDone.load());
    }
    progress.finish();
    for (auto& thread : threads)
        thread.join();

    size_t failed = 0;
    ExitCode status = kExitOk;
    std::vector<FileGateEvents> events;
    for (const auto& outcome : outcomes)
    {
        if (outcome.code != kExitOk)
        {
            ++failed;
            if (status == kExitOk)
                status = outcome.code;
        }
        if (outcome.events)
            events.push_back(*outcome.events);
    }
    if (!options.eventsPath.empty())
        writeGateEventsCsv(options.eventsPath, events);
    if (!options.savePresetPath.empty())
    {
        // The processor learns of the values with a block; a parameter-only
        // call delivers them before its state is saved.
        auto plugin = maker.make();
        plugin->start(44100.0, 2, 512, false);
        plugin->flushParameters();
        plugin->stop();
        plugin->savePreset(options.savePresetPath);
    }

    if (failed > 0)
        std::fprintf(hostMessages(),
                     "quorvane: %zu of %zu files failed; the other %zu are in '%s'\n", failed,
                     tasks.size(), tasks.size() - failed, options.outDir.c_str());
    else if (!options.quiet)
        std::printf("%zu file%s rendered into '%s' (%zu at a time)\n", tasks.size(),
                    tasks.size() == 1 ? "" : "s", options.outDir.c_str(), workers);
    return status;
}

} // namespace Quorvane
