#pragma once

#include "gatedetector.h"

namespace Quorvane
{

// One detector through a chunk of key levels, with the same results as
// decideGate sample by sample (state, gains and Beat Skip draws).
//
// Most of the time a gate is either closed and waiting or open and holding,
// and its envelope has settled: then a sample changes nothing but the hold
// count, and the gain repeats. Those stretches run in short loops that check
// only what can end them (a level above the open threshold; the hold running
// out); the envelope is stepped only until it stops changing. Every other
// sample (edges, attack delay, note truncation, hold closed) takes the full
// decideGate step.
//
// The gain of sample i goes (as a double) to gains[g * groupStride + i * kLanes]
// onwards, kLanes doubles, for each channel group g of `channels` channels;
// where it repeats, lanes without a channel may be left as they are.
void runDetector(const GateSettings& settings, DetectorState& state, GateRandom& random,
                 const float* levels, int count, double* gains, int channels, int groupStride);

// For a detector in a settled stretch, on key samples (their magnitudes are
// the levels): the first sample from i on (or count) that ends the stretch.
// Waiting shut (hold < 0): a level above threshold, the open threshold.
// Holding open with held samples of hold counted: a quiet sample (not above
// threshold, the close threshold) with the hold count at hold.
int settledStretchEnd(const float* key, int i, int count, float threshold, int hold, int held);

// The hold count after the samples i..end - 1, none of which ends the stretch.
int heldAfter(const float* key, int i, int end, float threshold, int held);

} // namespace Quorvane
