#include "rendertrace.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Quorvane
{

RenderTrace::RenderTrace(int64_t totalFrames, double sampleRate, int maxSegments)
    : frames(std::max<int64_t>(0, totalFrames)), rate(sampleRate)
{
    segmentFrames = std::max<int64_t>(1, (frames + maxSegments - 1) / std::max(1, maxSegments));
    list.resize(static_cast<size_t>((frames + segmentFrames - 1) / segmentFrames));
}

float RenderTrace::toDb(float linear)
{
    if (!(linear > 0.0f))
        return kFloorDb;
    return std::max(kFloorDb, 20.0f * std::log10(linear));
}

RenderTrace::Segment& RenderTrace::segmentAt(int64_t frame)
{
    auto index = static_cast<size_t>(frame / segmentFrames);
    return list[std::min(index, list.size() - 1)];
}

namespace
{

// The largest magnitude among n samples; a NaN sample counts as nothing. Worked out on the
// samples' bits: without the sign, a float's bits as an integer grow with its magnitude, and
// NaNs are the values above infinity's. Integer maxima make a loop the compiler runs four or
// eight samples at a time, which float maxima with their NaN rules do not.
float absolutePeak(const float* x, int64_t n)
{
    constexpr int32_t kMagnitudeBits = 0x7fffffff;
    constexpr int32_t kInfinityBits = 0x7f800000;
    int32_t largest = 0;
    for (int64_t k = 0; k < n; ++k)
    {
        int32_t bits;
        std::memcpy(&bits, x + k, sizeof bits);
        bits &= kMagnitudeBits;
        const int32_t magnitude = bits > kInfinityBits ? 0 : bits;
        largest = magnitude > largest ? magnitude : largest;
    }
    float peak;
    std::memcpy(&peak, &largest, sizeof peak);
    return peak;
}

} // namespace

void RenderTrace::addBlock(int64_t position, const float* const* input, const float* const* output,
                           int channels, int numSamples)
{
    // One pass per stretch of the block that falls in one segment (or past the end).
    for (int64_t i = 0; i < numSamples;)
    {
        const int64_t frame = position + i;
        int64_t run = numSamples - i;
        Segment* segment = nullptr;
        if (frame < frames)
        {
            segment = &segmentAt(frame);
            const int64_t segmentEnd =
                std::min(frames, (frame / segmentFrames + 1) * segmentFrames);
            run = std::min(run, segmentEnd - frame);
        }
        float in = 0.0f;
        float out = 0.0f;
        for (int c = 0; c < channels; ++c)
        {
            in = std::max(in, absolutePeak(input[c] + i, run));
            out = std::max(out, absolutePeak(output[c] + i, run));
        }
        peakIn = std::max(peakIn, in);
        peakOut = std::max(peakOut, out);
        if (segment)
        {
            segment->inputPeak = std::max(segment->inputPeak, in);
            segment->outputPeak = std::max(segment->outputPeak, out);
        }
        i += run;
    }
}

void RenderTrace::addGateGain(int64_t position, int numSamples, float gainDb)
{
    if (std::isnan(gainDb))
        return;
    gateSeen = true;
    const int64_t end = std::min(frames, position + numSamples);
    if (gainDb > kOpenGainDb && end > position)
        openFrames += end - position;
    for (int64_t frame = position; frame < end;)
    {
        Segment& segment = segmentAt(frame);
        segment.gateDb = segment.hasGate ? std::max(segment.gateDb, gainDb) : gainDb;
        segment.gateMinDb = segment.hasGate ? std::min(segment.gateMinDb, gainDb) : gainDb;
        segment.hasGate = true;
        frame = (frame / segmentFrames + 1) * segmentFrames;
    }
}

void RenderTrace::setGateReadings(std::vector<GateReading> fine)
{
    for (auto& segment : list)
    {
        segment.hasGate = false;
        segment.gateDb = kFloorDb;
        segment.gateMinDb = kFloorDb;
    }
    gateSeen = false;
    openFrames = 0;
    for (const auto& reading : fine)
        addGateGain(reading.frame, reading.frames, reading.gainDb);
    readings = std::move(fine);
}

} // namespace Quorvane
