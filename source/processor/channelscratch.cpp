#include "channelscratch.h"

#include <algorithm>
#include <new>

namespace Quorvane
{

bool ChannelScratch::configure(int inputs, int outputs, int frames)
{
    inputs = std::max(inputs, 1);
    outputs = std::max(outputs, 1);
    frames = std::max(frames, 1);
    try
    {
        std::vector<float> newSilence(size_t(frames), 0.f);
        std::vector<float> newDiscard(size_t(frames) * size_t(outputs), 0.f);
        std::vector<float*> newIn(size_t(inputs), nullptr);
        std::vector<float*> newOut(size_t(outputs), nullptr);
        silence.swap(newSilence);
        discard.swap(newDiscard);
        inPtrs.swap(newIn);
        outPtrs.swap(newOut);
        frameCount = frames;
        return true;
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

void ChannelScratch::map(float** hostIn, int hostInputs, float** hostOut, int hostOutputs,
                         int offset)
{
    std::fill(silence.begin(), silence.end(), 0.f);
    for (size_t c = 0; c < inPtrs.size(); ++c)
    {
        float* p = (hostIn && int(c) < hostInputs) ? hostIn[c] : nullptr;
        inPtrs[c] = p ? p + offset : silence.data();
    }
    for (size_t c = 0; c < outPtrs.size(); ++c)
    {
        float* p = (hostOut && int(c) < hostOutputs) ? hostOut[c] : nullptr;
        outPtrs[c] = p ? p + offset : discard.data() + c * size_t(frameCount);
    }
}

} // namespace Quorvane
