// Runs an audio file through a started plug-in block by block.
#pragma once

#include "plugin/hostedplugin.h"
#include "rendertrace.h"

#include <atomic>
#include <optional>

namespace Quorvane
{

class AudioFileReader;
class AudioFileWriter;

struct RenderJob
{
    HostedPlugin* plugin = nullptr;
    AudioFileReader* input = nullptr;
    AudioFileReader* sideChain = nullptr; // null without a side chain
    AudioFileWriter* output = nullptr;    // null: the audio is only measured
    int blockSize = 512;
    std::optional<uint32_t> gateMeterId; // output parameter carrying the gate gain
    bool showProgress = false;
    // Frames done so far, added to as the render goes (for a progress bar
    // that covers several files); may be null.
    std::atomic<int64_t>* framesDone = nullptr;
    // The length of the first block of the file, when it differs from blockSize.
    int firstBlock = 0;
    // When not null, receives the gate meter's value after every block.
    std::vector<RenderTrace::GateReading>* meterReadings = nullptr;
    // Silence processed before the file, its output discarded (--preroll). None by default: the
    // file goes through the fresh instance from its first sample, as an offline host sends it.
    int64_t prerollFrames = 0;
};

// Processes the whole input; throws HostError when writing fails or the
// user interrupts. Returns the trace of levels and gate gain.
RenderTrace render(const RenderJob& job);

// Frames of a pre-roll of MS milliseconds at SAMPLE_RATE.
int64_t prerollFrames(int sampleRate, double ms);

// The plug-in's gate meter output parameter, if it has one.
std::optional<uint32_t> findGateMeter(HostedPlugin& plugin);

// A gate meter value (0 at -76 dB, 1 at 0 dB) as a gain in dB.
float meterToDb(double meterValue);

} // namespace Quorvane
