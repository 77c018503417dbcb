// The gate meter read every millisecond.
//
// The plug-in refreshes its meters once per 50 ms of audio, at the end of
// the block in which that much has gone by; a block at least that long
// always ends with a fresh value. So each probe (a fresh instance, set up
// like the one that renders) takes the file in such blocks, starting one
// more millisecond into it than the probe before, and together the probes
// read the gain at the end of every millisecond. Reading costs one render
// per probe, about fifty renders.
#pragma once

#include "plugin/instancemaker.h"
#include "rendertrace.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace Quorvane
{

// The gain readings for IN (with the side-chain file KEY, if not empty), in
// order, each at most 1 ms long; empty when the plug-in has no gate meter.
// Runs the probes on up to THREADS threads, each after the render's pre-roll
// of PREROLL_MS, adding the frames they process to FRAMES_DONE (may be
// null). Throws HostError.
std::vector<RenderTrace::GateReading> probeGateMeter(InstanceMaker& maker, const std::string& in,
                                                     const std::string& key, int threads,
                                                     double prerollMs,
                                                     std::atomic<int64_t>* framesDone = nullptr);

// Frames between readings: 1 ms or just under.
int meterProbeStep(int sampleRate);

// The probes' block: the meter's 50 ms rounded up to whole steps.
int meterProbeBlock(int sampleRate);

} // namespace Quorvane
