// Buffers for blocks in which the host passes fewer channels than the accepted arrangement:
// missing input channels read silence and missing output channels are written to a discard area.
// Everything is allocated on the main thread (set-up), never while processing.
#pragma once

#include <vector>

namespace Quorvane
{

class ChannelScratch
{
public:
    // Returns false (and keeps the old buffers) when memory cannot be had.
    bool configure(int inputs, int outputs, int frames);

    int frames() const { return frameCount; }

    // Builds pointer arrays for `count` samples starting at `offset` of the host's buffers.
    // Host channels beyond `hostInputs` / `hostOutputs` (or null pointers) are replaced.
    void map(float** hostIn, int hostInputs, float** hostOut, int hostOutputs, int offset);

    float** inputs() { return inPtrs.data(); }
    float** outputs() { return outPtrs.data(); }

private:
    int frameCount = 0;
    std::vector<float> silence; // one channel, re-zeroed before every use
    std::vector<float> discard; // one channel per missing output
    std::vector<float*> inPtrs;
    std::vector<float*> outPtrs;
};

} // namespace Quorvane
