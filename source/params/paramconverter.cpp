#include "paramconverter.h"

#include "paramids.h"

#include <cmath>

namespace Quorvane
{

namespace
{

CurveRecord makeLinear(float min, float max)
{
    return {max - min, min, 0.f};
}

// The float overloads of std::log keep the records in single precision.
CurveRecord makeLogarithmic(float min, float max, float k)
{
    const float b = std::log(min + k);
    const float a = std::log(max + k) - b;
    return {a, b, k};
}

} // namespace

ParamConverter::ParamConverter()
{
    auto set = [this](Curve c, CurveRecord r) { mCurves[static_cast<std::size_t>(c)] = r; };
    set(Curve::OutputLevel, makeLinear(-40.f, 40.f));
    set(Curve::Threshold, makeLinear(0.f, -76.f)); // runs downwards: 0 dB at n = 0
    set(Curve::Range, makeLinear(-120.f, 0.f));
    set(Curve::Hysteresis, makeLinear(-70.f, 0.f));
    set(Curve::Hold, makeLogarithmic(5.f, 1000.f, 0.f));
    set(Curve::HoldClosed, makeLogarithmic(0.f, 4000.f, 15.f));
    set(Curve::AttackDelay, makeLogarithmic(0.f, 1000.f, 1.f));
    set(Curve::NoteTruncation, makeLogarithmic(10.f, 1000.f, 1.f));
    set(Curve::AttackGradual, makeLogarithmic(0.01f, 3000.f, 1.f));
    set(Curve::AttackSynth, makeLogarithmic(0.01f, 9000.f, 1.f));
    set(Curve::Release, makeLogarithmic(1.f, 4000.f, 1.f));
}

float ParamConverter::linearTo(Curve c, float n) const
{
    const CurveRecord& r = curve(c);
    return n * r.a + r.b;
}

float ParamConverter::linearFrom(Curve c, float p) const
{
    if (std::isnan(p))
        return 0.f;
    const CurveRecord& r = curve(c);
    return (p - r.b) / r.a;
}

float ParamConverter::logTo(Curve c, float n) const
{
    const CurveRecord& r = curve(c);
    return std::exp(n * r.a + r.b) - r.k;
}

float ParamConverter::logFrom(Curve c, float p) const
{
    const CurveRecord& r = curve(c);
    const float shifted = p + r.k;
    // At or below -k (a negative time typed by a user, say) the logarithm has
    // no finite value; the bottom of the range is the sensible answer. The
    // negated test also catches NaN.
    if (!(shifted > 0.f))
        return 0.f;
    return (std::log(shifted) - r.b) / r.a;
}

float ParamConverter::toPhysicalOutputLevel(float n) const
{
    return linearTo(Curve::OutputLevel, n);
}
float ParamConverter::toPhysicalThreshold(float n) const
{
    return linearTo(Curve::Threshold, n);
}
float ParamConverter::toPhysicalRange(float n) const
{
    return linearTo(Curve::Range, n);
}
float ParamConverter::toPhysicalHysteresis(float n) const
{
    return linearTo(Curve::Hysteresis, n);
}
float ParamConverter::toPhysicalHold(float n) const
{
    return logTo(Curve::Hold, n);
}
float ParamConverter::toPhysicalAttackGradual(float n) const
{
    return logTo(Curve::AttackGradual, n);
}
float ParamConverter::toPhysicalAttackSynth(float n) const
{
    return logTo(Curve::AttackSynth, n);
}
float ParamConverter::toPhysicalRelease(float n) const
{
    return logTo(Curve::Release, n);
}

// The three times with an " off" position give exactly 0 ms at normalized 0. On the shifted
// curves the formula only comes close: exp (ln 15) - 15 is about 1e-6 in single precision.
float ParamConverter::toPhysicalHoldClosed(float n) const
{
    if (n == 0.f)
        return 0.f;
    return logTo(Curve::HoldClosed, n);
}

float ParamConverter::toPhysicalAttackDelay(float n) const
{
    if (n == 0.f)
        return 0.f;
    return logTo(Curve::AttackDelay, n);
}

// Normalized 0 is "off": exactly 0 ms, below the curve's 10 ms start.
float ParamConverter::toPhysicalNoteTruncation(float n) const
{
    if (n == 0.f)
        return 0.f;
    return logTo(Curve::NoteTruncation, n);
}

float ParamConverter::fromPhysicalOutputLevel(float p) const
{
    return linearFrom(Curve::OutputLevel, p);
}
float ParamConverter::fromPhysicalThreshold(float p) const
{
    return linearFrom(Curve::Threshold, p);
}
float ParamConverter::fromPhysicalRange(float p) const
{
    return linearFrom(Curve::Range, p);
}
float ParamConverter::fromPhysicalHysteresis(float p) const
{
    return linearFrom(Curve::Hysteresis, p);
}
float ParamConverter::fromPhysicalHold(float p) const
{
    return logFrom(Curve::Hold, p);
}
float ParamConverter::fromPhysicalHoldClosed(float p) const
{
    return logFrom(Curve::HoldClosed, p);
}
float ParamConverter::fromPhysicalAttackDelay(float p) const
{
    return logFrom(Curve::AttackDelay, p);
}
float ParamConverter::fromPhysicalAttackGradual(float p) const
{
    return logFrom(Curve::AttackGradual, p);
}
float ParamConverter::fromPhysicalAttackSynth(float p) const
{
    return logFrom(Curve::AttackSynth, p);
}
float ParamConverter::fromPhysicalRelease(float p) const
{
    return logFrom(Curve::Release, p);
}

float ParamConverter::fromPhysicalNoteTruncation(float p) const
{
    if (p == 0.f)
        return 0.f;
    return logFrom(Curve::NoteTruncation, p);
}

float ParamConverter::toPhysical(uint32_t id, float normalized) const
{
    switch (id)
    {
    case kOutputLevelId:
        return toPhysicalOutputLevel(normalized);
    case kThresholdId:
        return toPhysicalThreshold(normalized);
    case kRangeId:
        return toPhysicalRange(normalized);
    case kHysteresisId:
        return toPhysicalHysteresis(normalized);
    case kAttackGradualId:
        return toPhysicalAttackGradual(normalized);
    case kAttackSynthId:
        return toPhysicalAttackSynth(normalized);
    case kReleaseId:
        return toPhysicalRelease(normalized);
    case kHoldId:
        return toPhysicalHold(normalized);
    case kHoldClosedId:
        return toPhysicalHoldClosed(normalized);
    case kAttackDelayId:
        return toPhysicalAttackDelay(normalized);
    case kNoteTruncationId:
        return toPhysicalNoteTruncation(normalized);
    default:
        return normalized; // "Beat Skip" is used as it is
    }
}

float ParamConverter::fromPhysical(uint32_t id, float physical) const
{
    switch (id)
    {
    case kOutputLevelId:
        return fromPhysicalOutputLevel(physical);
    case kThresholdId:
        return fromPhysicalThreshold(physical);
    case kRangeId:
        return fromPhysicalRange(physical);
    case kHysteresisId:
        return fromPhysicalHysteresis(physical);
    case kAttackGradualId:
        return fromPhysicalAttackGradual(physical);
    case kAttackSynthId:
        return fromPhysicalAttackSynth(physical);
    case kReleaseId:
        return fromPhysicalRelease(physical);
    case kHoldId:
        return fromPhysicalHold(physical);
    case kHoldClosedId:
        return fromPhysicalHoldClosed(physical);
    case kAttackDelayId:
        return fromPhysicalAttackDelay(physical);
    case kNoteTruncationId:
        return fromPhysicalNoteTruncation(physical);
    default:
        return physical;
    }
}

float ParamConverter::defaultNormalized(uint32_t id) const
{
    const ParamDefaults& d = mDefaults;
    auto onOff = [](uint8_t flag) { return flag ? 1.f : 0.f; };
    switch (id)
    {
    case kBypassId:
        return onOff(d.bypass);
    case kListenId:
        return onOff(d.listen);
    case kChannelLinkingId:
        return onOff(d.channelLinking);
    case kDuckingId:
        return onOff(d.ducking);
    case kGradualAttEnvelopeId:
        return onOff(d.gradualAttEnvelope);
    case kOutputLevelId:
        return fromPhysicalOutputLevel(d.outputLevel);
    case kThresholdId:
        return fromPhysicalThreshold(d.threshold);
    case kRangeId:
        return fromPhysicalRange(d.range);
    case kHysteresisId:
        return fromPhysicalHysteresis(d.hysteresis);
    case kAttackGradualId:
        return fromPhysicalAttackGradual(d.attackGradual);
    case kAttackSynthId:
        return fromPhysicalAttackSynth(d.attackSynth);
    case kReleaseId:
        return fromPhysicalRelease(d.release);
    case kHoldId:
        return fromPhysicalHold(d.hold);
    case kHoldClosedId:
        return fromPhysicalHoldClosed(d.holdClosed);
    case kBeatSkipId:
        return d.beatSkip;
    case kAttackDelayId:
        return fromPhysicalAttackDelay(d.attackDelay);
    case kNoteTruncationId:
        return fromPhysicalNoteTruncation(d.noteTruncation);
    default:
        return 0.f;
    }
}

} // namespace Quorvane
