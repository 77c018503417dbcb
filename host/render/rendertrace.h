// What a render leaves behind for the summary and the plot: peak levels of
// input and output and the gate's gain, over time in short segments.
#pragma once

#include <cstdint>
#include <vector>

namespace Quorvane
{

class RenderTrace
{
public:
    // Levels in dB at or below this count as silence.
    static constexpr float kFloorDb = -200.0f;
    // The gate counts as open while its gain is above this.
    static constexpr float kOpenGainDb = -6.0f;

    struct Segment
    {
        float inputPeak = 0.0f; // linear, largest magnitude over all channels
        float outputPeak = 0.0f;
        float gateDb = kFloorDb;    // largest gate gain reported in the segment
        float gateMinDb = kFloorDb; // smallest gate gain reported in the segment
        bool hasGate = false;
    };

    // One reading of the gate meter: the gain at the end of the stretch of
    // `frames` frames starting at `frame`.
    struct GateReading
    {
        int64_t frame = 0;
        int frames = 0;
        float gainDb = kFloorDb;
    };

    RenderTrace(int64_t totalFrames, double sampleRate, int maxSegments = 2400);

    // Adds one processed block that starts at frame `position`.
    void addBlock(int64_t position, const float* const* input, const float* const* output,
                  int channels, int numSamples);
    // The gate gain that the plug-in reported for the block starting at `position`.
    void addGateGain(int64_t position, int numSamples, float gainDb);

    // Replaces the gate gains reported block by block with finer readings
    // (in order, not overlapping), and keeps them for gateReadings ().
    void setGateReadings(std::vector<GateReading> fine);
    const std::vector<GateReading>& gateReadings() const { return readings; }

    double sampleRate() const { return rate; }
    int64_t totalFrames() const { return frames; }
    int64_t framesPerSegment() const { return segmentFrames; }
    const std::vector<Segment>& segments() const { return list; }

    float inputPeak() const { return peakIn; }
    float outputPeak() const { return peakOut; }
    bool hasGate() const { return gateSeen; }
    double gateOpenSeconds() const { return static_cast<double>(openFrames) / rate; }

    static float toDb(float linear);

private:
    Segment& segmentAt(int64_t frame);

    int64_t frames;
    double rate;
    int64_t segmentFrames;
    std::vector<Segment> list;
    float peakIn = 0.0f;
    float peakOut = 0.0f;
    bool gateSeen = false;
    int64_t openFrames = 0;
    std::vector<GateReading> readings;
};

} // namespace Quorvane
