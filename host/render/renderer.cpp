#include "renderer.h"

#include "audio/audiofilereader.h"
#include "audio/audiofilewriter.h"
#include "progressbar.h"
#include "support/hosterror.h"
#include "support/interrupt.h"

#include <algorithm>
#include <cmath>

namespace Quorvane
{

std::optional<uint32_t> findGateMeter(HostedPlugin& plugin)
{
    for (const auto& p : plugin.parameters())
        if (p.readOnly && p.title == "Max Gate")
            return p.id;
    return std::nullopt;
}

float meterToDb(double meterValue)
{
    return static_cast<float>((meterValue - 1.0) * 76.0);
}

int64_t prerollFrames(int sampleRate, double ms)
{
    return std::llround(ms * sampleRate / 1000.0);
}

RenderTrace render(const RenderJob& job)
{
    AudioFileReader& input = *job.input;
    const int channels = input.channels();
    const int block = job.blockSize;
    const auto blockLength = static_cast<size_t>(block);

    std::vector<std::vector<float>> in(static_cast<size_t>(channels),
                                       std::vector<float>(blockLength));
    std::vector<std::vector<float>> out(static_cast<size_t>(channels),
                                        std::vector<float>(blockLength));
    std::vector<std::vector<float>> key;
    std::vector<const float*> inPointers, keyPointers;
    std::vector<float*> outPointers;
    for (int c = 0; c < channels; ++c)
    {
        inPointers.push_back(in[static_cast<size_t>(c)].data());
        outPointers.push_back(out[static_cast<size_t>(c)].data());
    }
    if (job.sideChain)
    {
        key.assign(static_cast<size_t>(job.sideChain->channels()), std::vector<float>(blockLength));
        // The key bus has as many channels as the main input: a key with fewer
        // channels repeats them (a mono key feeds every channel).
        for (int c = 0; c < channels; ++c)
            keyPointers.push_back(key[static_cast<size_t>(c) % key.size()].data());
    }

    // Only when asked for: a DAW whose transport stands still keeps processing silence, an
    // offline host starts with the file.
    AudioBlock silent;
    silent.input = inPointers.data();
    silent.sideChain = job.sideChain ? keyPointers.data() : nullptr;
    silent.output = outPointers.data();
    for (auto& channel : in)
        std::fill(channel.begin(), channel.end(), 0.0f);
    for (auto& channel : key)
        std::fill(channel.begin(), channel.end(), 0.0f);
    std::vector<OutputValue> reported;
    for (int64_t done = 0; done < job.prerollFrames; done += block)
    {
        silent.numSamples = static_cast<int>(std::min<int64_t>(block, job.prerollFrames - done));
        job.plugin->process(silent, reported);
    }

    RenderTrace trace(input.frames(), input.sampleRate());
    ProgressBar progress(input.frames(), job.showProgress);
    int64_t position = 0;
    for (;;)
    {
        if (interruptRequested())
            throw HostError(kExitInterrupted, "interrupted; nothing was written");
        int count = input.read(
            in, position == 0 && job.firstBlock > 0 ? std::min(job.firstBlock, block) : block);
        if (count <= 0)
            break;
        if (job.sideChain)
            job.sideChain->read(key, count);

        AudioBlock audio;
        audio.input = inPointers.data();
        audio.sideChain = job.sideChain ? keyPointers.data() : nullptr;
        audio.output = outPointers.data();
        audio.numSamples = count;
        job.plugin->process(audio, reported);

        if (job.output)
            job.output->write(out, count);
        trace.addBlock(position, inPointers.data(), outPointers.data(), channels, count);
        if (job.gateMeterId)
            for (const auto& value : reported)
                if (value.id == *job.gateMeterId)
                {
                    trace.addGateGain(position, count, meterToDb(value.normalized));
                    if (job.meterReadings)
                        job.meterReadings->push_back(
                            {position, count, meterToDb(value.normalized)});
                }
        position += count;
        if (job.framesDone)
            job.framesDone->fetch_add(count);
        progress.update(position);
    }
    progress.finish();
    return trace;
}

} // namespace Quorvane
