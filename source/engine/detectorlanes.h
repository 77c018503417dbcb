#pragma once

#include "gatedetector.h"

namespace Quorvane
{

// Steps unlinked detectors four at a time, one per SSE lane, with the same
// results as decideGate for each of them. Per sample, the detectors take
// turns in order for their Beat Skip draws, as they do one by one.
//
// Detector k listens to keys[k][i] for sample i of the chunk and writes its
// gain (as a double) to gains[(k / 4) * groupStride + i * 4 + k % 4], which
// is the engine's channel-group layout. Lanes past the last detector write
// gains too (of a silent detector); they are never read for a channel.
void decideDetectorLanes(const GateSettings& settings, DetectorState* detectors, int count,
                         GateRandom& random, const float* const* keys, double* gains,
                         int groupStride, int numSamples);

} // namespace Quorvane
