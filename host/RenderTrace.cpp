#include "RenderTrace.h"

#include <algorithm>
#include <cmath>

namespace Quorvane {

RenderTrace::RenderTrace (int64_t totalFrames, double sampleRate, int maxSegments)
: frames (std::max<int64_t> (0, totalFrames)), rate (sampleRate)
{
    segmentFrames = std::max<int64_t> (1, (frames + maxSegments - 1) / std::max (1, maxSegments));
    list.resize (static_cast<size_t> ((frames + segmentFrames - 1) / segmentFrames));
}

float RenderTrace::toDb (float linear)
{
    if (!(linear > 0.0f))
        return kFloorDb;
    return std::max (kFloorDb, 20.0f * std::log10 (linear));
}

RenderTrace::Segment& RenderTrace::segmentAt (int64_t frame)
{
    auto index = static_cast<size_t> (frame / segmentFrames);
    return list[std::min (index, list.size () - 1)];
}

void RenderTrace::addBlock (int64_t position, const float* const* input, const float* const* output,
                            int channels, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        float in = 0.0f;
        float out = 0.0f;
        for (int c = 0; c < channels; ++c)
        {
            in = std::max (in, std::fabs (input[c][i]));
            out = std::max (out, std::fabs (output[c][i]));
        }
        peakIn = std::max (peakIn, in);
        peakOut = std::max (peakOut, out);
        if (position + i >= frames)
            continue;
        Segment& segment = segmentAt (position + i);
        segment.inputPeak = std::max (segment.inputPeak, in);
        segment.outputPeak = std::max (segment.outputPeak, out);
    }
}

void RenderTrace::addGateGain (int64_t position, int numSamples, float gainDb)
{
    if (std::isnan (gainDb))
        return;
    gateSeen = true;
    const int64_t end = std::min (frames, position + numSamples);
    if (gainDb > kOpenGainDb && end > position)
        openFrames += end - position;
    for (int64_t frame = position; frame < end;)
    {
        Segment& segment = segmentAt (frame);
        segment.gateDb = segment.hasGate ? std::max (segment.gateDb, gainDb) : gainDb;
        segment.gateMinDb = segment.hasGate ? std::min (segment.gateMinDb, gainDb) : gainDb;
        segment.hasGate = true;
        frame = (frame / segmentFrames + 1) * segmentFrames;
    }
}

void RenderTrace::setGateReadings (std::vector<GateReading> fine)
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
        addGateGain (reading.frame, reading.frames, reading.gainDb);
    readings = std::move (fine);
}

} // namespace Quorvane
