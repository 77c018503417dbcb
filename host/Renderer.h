// Runs an audio file through a started plug-in block by block.
#pragma once

#include "HostedPlugin.h"
#include "RenderTrace.h"

#include <optional>

namespace Quorvane {

class AudioFileReader;
class AudioFileWriter;

struct RenderJob
{
    HostedPlugin* plugin = nullptr;
    AudioFileReader* input = nullptr;
    AudioFileReader* sideChain = nullptr;       // null without a side chain
    AudioFileWriter* output = nullptr;
    int blockSize = 512;
    std::optional<uint32_t> gateMeterId;        // output parameter carrying the gate gain
    bool showProgress = false;
};

// Processes the whole input; throws HostError when writing fails or the
// user interrupts. Returns the trace of levels and gate gain.
RenderTrace render (const RenderJob& job);

// Silence processed before the file: 100 ms and two blocks, in whole blocks.
int64_t prerollFrames (int sampleRate, int blockSize);

// A gate meter value (0 at -76 dB, 1 at 0 dB) as a gain in dB.
float meterToDb (double meterValue);

} // namespace Quorvane
