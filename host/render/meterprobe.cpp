#include "meterprobe.h"

#include "audio/audiofilereader.h"
#include "renderer.h"
#include "support/hosterror.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

namespace Quorvane
{

namespace
{

using Reading = RenderTrace::GateReading;

// The ends of the probe's whole blocks, each with the gain read there.
std::vector<Reading> runProbe(InstanceMaker& maker, const std::string& in,
                              const std::string& keyPath, int offset, double prerollMs,
                              std::atomic<int64_t>* framesDone)
{
    AudioFileReader input(in, "input");
    std::unique_ptr<AudioFileReader> key;
    if (!keyPath.empty())
        key = std::make_unique<AudioFileReader>(keyPath, "side-chain");
    const int block = meterProbeBlock(input.sampleRate());

    auto plugin = maker.make();
    RenderJob job;
    job.plugin = plugin.get();
    job.input = &input;
    job.sideChain = key.get();
    job.blockSize = block;
    job.gateMeterId = findGateMeter(*plugin);
    job.firstBlock = offset;
    job.prerollFrames = prerollFrames(input.sampleRate(), prerollMs);
    job.framesDone = framesDone;
    if (!job.gateMeterId)
        return {};
    std::vector<Reading> readings;
    job.meterReadings = &readings;
    plugin->start(input.sampleRate(), input.channels(), block, key != nullptr);
    try
    {
        render(job);
    }
    catch (...)
    {
        plugin->stop();
        throw;
    }
    plugin->stop();

    std::vector<Reading> fresh;
    for (const auto& reading : readings)
        if (reading.frames == block)
            fresh.push_back({reading.frame + reading.frames, 0, reading.gainDb});
    return fresh;
}

} // namespace

int meterProbeStep(int sampleRate)
{
    return std::max(1, sampleRate / 1000);
}

int meterProbeBlock(int sampleRate)
{
    const int step = meterProbeStep(sampleRate);
    const int interval = (sampleRate + 19) / 20;
    return (interval + step - 1) / step * step;
}

std::vector<RenderTrace::GateReading> probeGateMeter(InstanceMaker& maker, const std::string& in,
                                                     const std::string& key, int threads,
                                                     double prerollMs,
                                                     std::atomic<int64_t>* framesDone)
{
    const int rate = AudioFileReader(in, "input").sampleRate();
    const int step = meterProbeStep(rate);
    const int probes = meterProbeBlock(rate) / step;

    std::vector<std::vector<Reading>> found(static_cast<size_t>(probes));
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::atomic<bool> failed{false};
    auto work = [&]()
    {
        for (int k; !failed && (k = next.fetch_add(1)) < probes;)
        {
            try
            {
                found[static_cast<size_t>(k)] =
                    runProbe(maker, in, key, k * step, prerollMs, framesDone);
            }
            catch (...)
            {
                if (!failed.exchange(true))
                    failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::min(threads, probes); ++t)
        pool.emplace_back(work);
    work();
    for (auto& thread : pool)
        thread.join();
    if (failure)
        std::rethrow_exception(failure);

    // Each reading holds the gain at its frame; it becomes the reading of
    // the stretch since the reading before.
    std::vector<Reading> ends;
    for (auto& list : found)
        ends.insert(ends.end(), list.begin(), list.end());
    std::sort(ends.begin(), ends.end(),
              [](const Reading& a, const Reading& b) { return a.frame < b.frame; });
    std::vector<Reading> readings;
    int64_t previous = 0;
    for (const auto& end : ends)
    {
        if (end.frame <= previous)
            continue;
        readings.push_back({previous, static_cast<int>(end.frame - previous), end.gainDb});
        previous = end.frame;
    }
    return readings;
}

} // namespace Quorvane
