#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace Quorvane
{

// Factory defaults of the 17 input parameters in physical units
// (switches 0/1, levels in dB, times in ms, "Beat Skip" as a probability).
struct ParamDefaults
{
    uint8_t channelLinking = 1;
    uint8_t ducking = 0;
    uint8_t bypass = 0;
    uint8_t listen = 0;
    uint8_t gradualAttEnvelope = 1;
    float outputLevel = 0.f;    // dB
    float threshold = -20.f;    // dB
    float range = -120.f;       // dB
    float hysteresis = 0.f;     // dB
    float hold = 35.f;          // ms
    float holdClosed = 0.f;     // ms
    float beatSkip = 0.f;       // probability
    float attackDelay = 0.f;    // ms
    float noteTruncation = 0.f; // ms, 0 = off
    float attackGradual = 1.f;  // ms
    float attackSynth = 5.f;    // ms
    float release = 10.f;       // ms
};

// One mapping between normalized and physical values.
// Linear:      physical = n * a + b
// Logarithmic: physical = exp (n * a + b) - k
struct CurveRecord
{
    float a; // slope
    float b; // offset
    float k; // shift (0 on linear curves)
};

// The mapped parameters, in the order their curve records are kept.
enum class Curve : std::size_t
{
    OutputLevel,
    Threshold,
    Range,
    Hysteresis,
    Hold,
    HoldClosed,
    AttackDelay,
    NoteTruncation,
    AttackGradual,
    AttackSynth,
    Release,
    Count
};

// Immutable value object that maps between the host's normalized values and
// the physical units the gate engine works in. All arithmetic is single
// precision with natural logarithms. Nothing allocates, so the processor may
// call it from the audio thread.
class ParamConverter
{
public:
    ParamConverter();

    const ParamDefaults& defaults() const { return mDefaults; }
    const CurveRecord& curve(Curve c) const { return mCurves[static_cast<std::size_t>(c)]; }

    // Dispatch by parameter ID for the continuous IDs 5..16. "Beat Skip" and
    // every ID without a curve pass the value through unchanged.
    float toPhysical(uint32_t id, float normalized) const;
    float fromPhysical(uint32_t id, float physical) const;

    // Normalized default of an input parameter (IDs 0..16): a switch gives 0.0
    // or 1.0, a continuous parameter fromPhysical of its physical default
    // ("Beat Skip" unmapped). Output IDs give 0.0.
    float defaultNormalized(uint32_t id) const;

    // Normalized value to physical value. The times with an " off" position
    // ("Hold Closed", "Attack Delay", "Note Truncation") give exactly 0 ms at
    // normalized 0.
    float toPhysicalOutputLevel(float n) const;
    float toPhysicalThreshold(float n) const;
    float toPhysicalRange(float n) const;
    float toPhysicalHysteresis(float n) const;
    float toPhysicalHold(float n) const;
    float toPhysicalHoldClosed(float n) const;
    float toPhysicalAttackDelay(float n) const;
    float toPhysicalNoteTruncation(float n) const;
    float toPhysicalAttackGradual(float n) const;
    float toPhysicalAttackSynth(float n) const;
    float toPhysicalRelease(float n) const;

    // Physical value to normalized value. Neither direction clamps: values
    // outside the ranges go through the same formulas. A NaN, and on the
    // logarithmic curves any value at or below -k (where the logarithm has no
    // finite value), give 0 instead of a non-number.
    float fromPhysicalOutputLevel(float p) const;
    float fromPhysicalThreshold(float p) const;
    float fromPhysicalRange(float p) const;
    float fromPhysicalHysteresis(float p) const;
    float fromPhysicalHold(float p) const;
    float fromPhysicalHoldClosed(float p) const;
    float fromPhysicalAttackDelay(float p) const;
    float fromPhysicalNoteTruncation(float p) const;
    float fromPhysicalAttackGradual(float p) const;
    float fromPhysicalAttackSynth(float p) const;
    float fromPhysicalRelease(float p) const;

private:
    float linearTo(Curve c, float n) const;
    float linearFrom(Curve c, float p) const;
    float logTo(Curve c, float n) const;
    float logFrom(Curve c, float p) const;

    ParamDefaults mDefaults;
    std::array<CurveRecord, static_cast<std::size_t>(Curve::Count)> mCurves;
};

} // namespace Quorvane
