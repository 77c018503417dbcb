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

} // namespace Quorvane
