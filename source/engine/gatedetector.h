#pragma once

#include "engineconstants.h"

namespace Quorvane {

class GateRandom;

// State of one detector: the level detector, the modifiers on top of it
// (attack delay, note truncation, beat skip, hold closed) and the envelope
// with its smoothed gain. The engine keeps one per output channel; in linked
// mode only the first is used.
struct DetectorState
{
    bool detectorOpen = false;    // the level detector is open
    bool wasOpen = false;         // detectorOpen after the previous sample
    int holdCount = 0;            // consecutive samples at or below the close threshold
    int attackDelayCount = 0;     // samples since opening, up to attackDelaySamples
    bool inAttackDelay = false;   // the attack delay is still running
    int truncationCount = 0;      // samples since opening, up to truncationEndSamples
    bool truncated = false;       // the note has been cut
    bool holdClosedActive = false; // held closed after the detector closed
    int holdClosedCount = 0;      // samples of the running hold-closed time
    bool skipNote = false;        // the current note is skipped
    float envelope = kMinus60dB;  // target level produced by attack and release
    float gain = kGainStart;      // smoothed gain handed to the crossover stage
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
bool beatSkipDecision(float probability, int draw);

// The gate as the envelope sees it before ducking: the detector is open and no
// modifier holds it shut.
bool gateIsOpen(const DetectorState& state);

// One sample of one detector: the gate decision for the key level, then
// advanceEnvelope with the (ducking-inverted) decision. Draws from random only
// on a rising edge.
void decideGate(const GateSettings& settings, DetectorState& state, float level,
                GateRandom& random);

// One envelope and gain-smoothing step: attack while open, release otherwise.
void advanceEnvelope(const GateSettings& settings, DetectorState& state, bool open);

} // namespace Quorvane
