#pragma once

#include "engineconstants.h"
#include "gaterandom.h"

namespace Quorvane
{

// State of one detector: the level detector, the modifiers on top of it
// (attack delay, note truncation, beat skip, hold closed) and the envelope
// with its smoothed gain. The engine keeps one per output channel; in linked
// mode only the first is used.
struct DetectorState
{
    bool detectorOpen = false;     // the level detector is open
    bool wasOpen = false;          // detectorOpen after the previous sample
    int holdCount = 0;             // consecutive samples at or below the close threshold
    int attackDelayCount = 0;      // samples since opening, up to attackDelaySamples
    bool inAttackDelay = false;    // the attack delay is still running
    int truncationCount = 0;       // samples since opening, up to truncationEndSamples
    bool truncated = false;        // the note has been cut
    bool holdClosedActive = false; // held closed after the detector closed
    int holdClosedCount = 0;       // samples of the running hold-closed time
    bool skipNote = false;         // the current note is skipped
    float envelope = kMinus60dB;   // target level produced by attack and release
    float gain = kGainStart;       // smoothed gain handed to the crossover stage
};

// The engine's derived values that drive every detector (linear levels,
// sample counts, per-sample coefficients).
struct GateSettings
{
    float openThreshold = 1.0f;
    float closeThreshold = 1.0f;
    int holdSamples = 0;
    int attackDelaySamples = 0;
    int truncationEndSamples = 0;
    int holdClosedSamples = 0;
    float beatSkipProbability = 0.0f;
    bool ducking = false;
    bool gradualAttack = false;
    // A coefficient of 0 means an instant step; the setters replace these.
    float gradualStep = 0.0f;
    float gradualSmooth = 0.0f;
    float synthCoeff = 0.0f;
    float synthSmooth = 0.0f;
    float releaseStep = 0.0f;
    float releaseSmooth = 0.0f;
    float rangeGain = 1.0f;
};

// True when a beat-skip draw of 0..32767 skips the note.
inline bool beatSkipDecision(float probability, int draw)
{
    return probability > static_cast<float>(draw) / static_cast<float>(kRandomMax);
}

// The gate as the envelope sees it before ducking: the detector is open and no
// modifier holds it shut.
inline bool gateIsOpen(const DetectorState& state)
{
    return state.detectorOpen && !state.inAttackDelay && !state.truncated &&
           !state.holdClosedActive && !state.skipNote;
}

// One envelope and gain-smoothing step: attack while open, release otherwise.
inline void advanceEnvelope(const GateSettings& settings, DetectorState& state, bool open)
{
    // The branch only changes when the gate does.
    if (open && settings.gradualAttack)
    {
        // A constant rise in decibels: 60 dB per attack time.
        state.envelope = state.envelope / settings.gradualStep;
        if (state.envelope < kMinus60dB)
            state.envelope = kMinus60dB;
        else if (state.envelope > 1.0f)
            state.envelope = 1.0f;
        state.gain =
            (1.0f - settings.gradualSmooth) * state.envelope + settings.gradualSmooth * state.gain;
    }
    else if (open)
    {
        // An exponential approach toward 1.3, clamped at 1.
        state.envelope =
            (1.0f - settings.synthCoeff) * kSynthTarget + settings.synthCoeff * state.envelope;
        if (state.envelope > 1.0f)
            state.envelope = 1.0f;
        state.gain =
            (1.0f - settings.synthSmooth) * state.envelope + settings.synthSmooth * state.gain;
    }
    else
    {
        // Release: a constant fall of 60 dB per release time, down to the range floor.
        state.envelope = state.envelope * settings.releaseStep;
        if (state.envelope < settings.rangeGain)
            state.envelope = settings.rangeGain;
        state.gain =
            (1.0f - settings.releaseSmooth) * state.envelope + settings.releaseSmooth * state.gain;
    }
}

// One sample of one detector: the gate decision for the key level, then
// advanceEnvelope with the (ducking-inverted) decision. Draws from random only
// on a rising edge. Inline and written with selects rather than branches
// where the outcome can change from sample to sample, since it runs once per
// sample and detector.
//
// This is the plain form of the decision. The engine runs it in three faster
// forms that must give the same states, gains and Beat Skip draws:
// runDetector (detectorrun.h: one linked detector through a chunk, settled
// stretches in short loops), DetectorStepper (detectorstepper.h: one or two
// unlinked detectors taking turns sample by sample) and decideDetectorLanes
// (detectorlanes.h: more unlinked detectors, four at a time in SSE lanes).
// The test reference (tests/engine/reference/referencegate.cpp) writes the
// decision once more with ordinary branches. tests/engine/
// gateengine_bitexact_test.cpp keeps the engine, whichever form a layout
// takes, equal to the reference bit for bit (every layout, linked and
// unlinked, with and without AVX); tests/engine/gatedetector_test.cpp checks
// this form against the behaviour it should have.
inline void decideGate(const GateSettings& settings, DetectorState& state, float level,
                       GateRandom& random)
{
    // Level detector: opens strictly above the open threshold, closes on the
    // (holdSamples + 1)-th consecutive sample at or below the close threshold.
    bool open = state.detectorOpen || level > settings.openThreshold;
    const bool quiet = !(level > settings.closeThreshold);
    const bool holding = state.holdCount < settings.holdSamples;
    state.holdCount = !open ? state.holdCount : !quiet ? 0 : state.holdCount + (holding ? 1 : 0);
    open = open && !(quiet && !holding);
    state.detectorOpen = open;

    // Attack delay: the gate stays shut for attackDelaySamples after opening.
    state.inAttackDelay = open && state.attackDelayCount < settings.attackDelaySamples;
    state.attackDelayCount = open ? state.attackDelayCount + (state.inAttackDelay ? 1 : 0) : 0;

    // Note truncation: cut the note truncationEndSamples after opening. The
    // end equals the attack delay exactly when the truncation time is zero,
    // which switches the feature off.
    const bool truncating = settings.truncationEndSamples != settings.attackDelaySamples;
    const bool beforeEnd = state.truncationCount < settings.truncationEndSamples;
    state.truncated = truncating && open && !beforeEnd;
    state.truncationCount = !truncating ? state.truncationCount
                            : open      ? state.truncationCount + (beforeEnd ? 1 : 0)
                                        : 0;

    // Beat skip: one draw per note, on the rising edge.
    if (open && !state.wasOpen)
        state.skipNote = beatSkipDecision(settings.beatSkipProbability, random.next());

    // Hold closed: starts on the falling edge and runs for holdClosedSamples,
    // then its counter starts over.
    const bool holdingClosed = state.holdClosedActive || (!open && state.wasOpen);
    const bool counting = state.holdClosedCount < settings.holdClosedSamples;
    state.holdClosedActive = holdingClosed && counting;
    state.holdClosedCount = !holdingClosed ? state.holdClosedCount
                            : counting     ? state.holdClosedCount + 1
                                           : 0;

    state.wasOpen = open;

    // Ducking inverts the decision after every modifier.
    advanceEnvelope(settings, state, gateIsOpen(state) != settings.ducking);
}

} // namespace Quorvane
