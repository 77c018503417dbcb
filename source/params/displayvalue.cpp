#include "displayvalue.h"

#include "displayformat.h"
#include "paramconverter.h"
#include "parametertext.h"

#include <algorithm>
#include <cmath>

namespace Quorvane
{

using Steinberg::Vst::ParamValue;

namespace
{

bool isMeter(uint32_t id)
{
    return id >= kMaxVuId && id <= kMinGateId;
}

DisplayUnit unitOf(uint32_t id)
{
    if (id == kBeatSkipId)
        return DisplayUnit::percent;
    if ((id >= kOutputLevelId && id <= kHysteresisId) || isMeter(id))
        return DisplayUnit::decibels;
    if (isContinuousParam(id))
        return DisplayUnit::milliseconds;
    return DisplayUnit::toggle;
}

// The physical defaults themselves: the normalized default is made from them, so they map back
// onto it exactly, which a display value computed from the normalized default need not.
float physicalDefault(const ParamConverter& converter, uint32_t id)
{
    const ParamDefaults& d = converter.defaults();
    switch (id)
    {
    case kOutputLevelId:
        return d.outputLevel;
    case kThresholdId:
        return d.threshold;
    case kRangeId:
        return d.range;
    case kHysteresisId:
        return d.hysteresis;
    case kAttackGradualId:
        return d.attackGradual;
    case kAttackSynthId:
        return d.attackSynth;
    case kReleaseId:
        return d.release;
    case kHoldId:
        return d.hold;
    case kHoldClosedId:
        return d.holdClosed;
    case kBeatSkipId:
        return d.beatSkip * 100.f;
    case kAttackDelayId:
        return d.attackDelay;
    case kNoteTruncationId:
        return d.noteTruncation;
    default:
        return isMeter(id) ? kMeterFloorDecibels : converter.defaultNormalized(id);
    }
}

} // namespace

DisplayRange displayRange(uint32_t id)
{
    const float low = displayFromNormalized(id, 0.);
    const float high = displayFromNormalized(id, 1.);
    return {std::min(low, high), std::max(low, high), physicalDefault(ParamConverter(), id),
            unitOf(id)};
}

bool normalizedFromDisplay(uint32_t id, float display, ParamValue& normalized)
{
    if (!std::isfinite(display) || id >= kNumParams)
        return false;
    if (isMeter(id))
        return clampedNormalized(1.f - display / kMeterFloorDecibels, normalized);
    if (id == kSideChainMonitorId)
        return switchFromNumber(display, normalized);
    if (isSwitchParam(id))
        return switchFromNumber(display, normalized);
    if (id == kBeatSkipId)
        return clampedNormalized(display / 100.f, normalized);
    return clampedNormalized(ParamConverter().fromPhysical(id, display), normalized);
}

float displayFromNormalized(uint32_t id, ParamValue normalized)
{
    float n = narrowNormalized(normalized);
    if (std::isnan(n))
        n = 0.f;
    if (isContinuousParam(id))
        return id == kBeatSkipId ? n * 100.f : ParamConverter().toPhysical(id, n);
    if (isMeter(id))
        return kMeterFloorDecibels * (1.f - n) + 0.f; // 0 dB, not -0 dB
    return n > 0.5f ? 1.f : 0.f;
}

} // namespace Quorvane
