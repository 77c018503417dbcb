#include "gatedetector.h"

#include "gaterandom.h"

namespace Quorvane {

bool beatSkipDecision(float probability, int draw)
{
    return probability > static_cast<float>(draw) / static_cast<float>(kRandomMax);
}

bool gateIsOpen(const DetectorState& state)
{
    return state.detectorOpen && !state.inAttackDelay && !state.truncated &&
           !state.holdClosedActive && !state.skipNote;
}

void decideGate(const GateSettings& settings, DetectorState& state, float level,
                GateRandom& random)
{
    // Level detector: opens strictly above the open threshold, closes on the
    // (holdSamples + 1)-th consecutive sample at or below the close threshold.
    if (!state.detectorOpen && level > settings.openThreshold)
        state.detectorOpen = true;
    if (state.detectorOpen)
    {
        if (level > settings.closeThreshold)
            state.holdCount = 0;
        else if (state.holdCount < settings.holdSamples)
            state.holdCount += 1;
        else
            state.detectorOpen = false;
    }

    // Attack delay: the gate stays shut for attackDelaySamples after opening.
    if (state.detectorOpen)
    {
        if (state.attackDelayCount < settings.attackDelaySamples)
        {
            state.attackDelayCount += 1;
            state.inAttackDelay = true;
        }
        else
        {
            state.inAttackDelay = false;
        }
    }
    else
    {
        state.attackDelayCount = 0;
        state.inAttackDelay = false;
    }

    // Note truncation: cut the note truncationEndSamples after opening. The
    // end equals the attack delay exactly when the truncation time is zero,
    // which switches the feature off.
    if (settings.truncationEndSamples != settings.attackDelaySamples)
    {
        if (state.detectorOpen)
        {
            if (state.truncationCount < settings.truncationEndSamples)
            {
                state.truncationCount += 1;
                state.truncated = false;
            }
            else
            {
                state.truncated = true;
            }
        }
        else
        {
            state.truncationCount = 0;
            state.truncated = false;
        }
    }
    else
    {
        state.truncated = false;
    }

    // Beat skip: one draw per note, on the rising edge.
    if (state.detectorOpen && !state.wasOpen)
        state.skipNote = beatSkipDecision(settings.beatSkipProbability, random.next());

    // Hold closed: starts on the falling edge and runs for holdClosedSamples.
    if (!state.detectorOpen && state.wasOpen)
        state.holdClosedActive = true;
    if (state.holdClosedActive)
    {
        if (state.holdClosedCount < settings.holdClosedSamples)
        {
            state.holdClosedCount += 1;
        }
        else
        {
            state.holdClosedActive = false;
            state.holdClosedCount = 0;
        }
    }

    state.wasOpen = state.detectorOpen;

    // Ducking inverts the decision after every modifier.
    advanceEnvelope(settings, state, gateIsOpen(state) != settings.ducking);
}

void advanceEnvelope(const GateSettings& settings, DetectorState& state, bool open)
{
    if (open && settings.gradualAttack)
    {
        // A constant rise in decibels: 60 dB per attack time.
        state.envelope = state.envelope / settings.gradualStep;
        if (state.envelope < kMinus60dB)
            state.envelope = kMinus60dB;
        else if (state.envelope > 1.0f)
            state.envelope = 1.0f;
        state.gain = (1.0f - settings.gradualSmooth) * state.envelope +
                     settings.gradualSmooth * state.gain;
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
        state.gain = (1.0f - settings.releaseSmooth) * state.envelope +
                     settings.releaseSmooth * state.gain;
    }
}

} // namespace Quorvane
