// The loops the gate pass runs over a chunk of samples, four at a time with SSE2: the input
// floor, the key levels, and moving samples into and out of the crossover ladder's lanes. They
// do per sample exactly what their plain tails do, so the results do not depend on where a
// chunk starts or how long it is.
#pragma once

namespace Quorvane
{

// Non-finite samples, and finite ones too large to be audio, become kSilence; tiny samples are
// raised to it.
void applyFloor(float* samples, int count);

// levels[i]: the largest magnitude of the key channels at sample start + i, at least kSilence;
// returns the largest of peak and the levels. The key must be floored already.
float loudestLevels(float** key, int keyChannels, int start, int count, float* levels, float peak);

// The largest of peak and the magnitudes of count samples (floored ones: no NaN).
float largestMagnitude(const float* samples, int count, float peak);

// The usual stereo case in one pass over the two channels of a chunk: the input floor (written
// back, as applyFloor does), the key levels with the running peak (as loudestLevels does) and
// the samples into lanes 0 and 1 (as interleavePair does), with the same operations in the
// same order.
float floorLevelsAndLanes(float* a, float* b, int count, float* levels, float peak, double* lanes);

// The same for one channel: floor, levels and the samples into lane 0 (as a one-channel
// loudestLevels and the single-channel lanes of the gate pass do).
float floorLevelAndLane(float* a, int count, float* levels, float peak, double* lanes);

// The same for two or more channels, each into its own lane: channel c goes to lane c % 4 of
// group c / 4, the groups groupStride doubles apart. Channels in pairs, then the odd one alone;
// with avx (only when the processor has AVX) groups of three or four channels at once.
float floorLevelsAndLanesMany(float** channels, int channelCount, int start, int count,
                              float* levels, float peak, double* lanes, int groupStride, bool avx);

// One group of three or four channels (channels[k] is lane k's, already at the chunk's start)
// for floorLevelsAndLanesMany, in AVX. first: the levels are written, not raised; last: the
// returned peak includes them (otherwise peak is returned as it was). Lane 3 of a group of
// three gets zeros.
float floorLevelsAndLanesOfGroupAvx(float* const* channels, int channelCount, int count,
                                    float* levels, float peak, double* lanes, bool first,
                                    bool last);

// Two channels into lanes 0 and 1 of the group layout (CrossoverGainStage::kGroupLanes doubles
// per sample), as doubles; a and b may be the same channel.
void interleavePair(const float* a, const float* b, double* lanes, int count);

// Lanes 0 and 1 back to two channels: each sample rounded to float, then times gain.
void deinterleavePair(const double* lanes, float gain, float* a, float* b, int count);

// Lane 0 back to one channel, likewise.
void deinterleaveSingle(const double* lanes, float gain, float* a, int count);

// Lanes 0 to channels - 1 (3 or 4) back to the channels out[0] onwards, likewise. AVX: only
// when the processor has it.
void deinterleaveGroupAvx(const double* lanes, float gain, float* const* out, int channels,
                          int count);

} // namespace Quorvane
