#pragma once

#include "detectorrun.h"
#include "gatedetector.h"

#include <cstdint>
#include <cstring>

namespace Quorvane
{

// The states in which a detector's sample changes little: the pieces shared
// by runDetector (a whole chunk of one detector) and DetectorStepper (one
// sample at a time, for detectors that take turns).
namespace Stretch
{

// Bit for bit: a settled envelope must repeat exactly, signed zeros included.
inline bool same(float a, float b)
{
    uint32_t x;
    uint32_t y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

inline bool truncating(const GateSettings& s)
{
    return s.truncationEndSamples != s.attackDelaySamples;
}

// Shut, with nothing running: until a level rises above the open threshold,
// a sample only steps the envelope toward its closed target.
inline bool waitingClosed(const GateSettings& s, const DetectorState& d)
{
    return !d.detectorOpen && !d.wasOpen && !d.holdClosedActive && !d.inAttackDelay &&
           d.attackDelayCount == 0 && !d.truncated && (!truncating(s) || d.truncationCount == 0);
}

// Open with the attack delay over and the note cut or not being cut: until
// the hold runs out, a sample only counts the hold and steps the envelope.
inline bool holdingOpen(const GateSettings& s, const DetectorState& d)
{
    const bool cutDone = d.truncated && d.truncationCount >= s.truncationEndSamples;
    return d.detectorOpen && d.wasOpen && !d.holdClosedActive && !d.inAttackDelay &&
           d.attackDelayCount >= s.attackDelaySamples && (truncating(s) ? cutDone : !d.truncated);
}

// The envelope's decision while holding open.
inline bool openDecision(const GateSettings& s, const DetectorState& d)
{
    return (!d.truncated && !d.skipNote) != s.ducking;
}

// One envelope step; true when it changed nothing, so that every further
// step with the same decision repeats the same gain.
inline bool settles(const GateSettings& s, DetectorState& d, bool open)
{
    const float envelope = d.envelope;
    const float gain = d.gain;
    advanceEnvelope(s, d, open);
    return same(envelope, d.envelope) && same(gain, d.gain);
}

} // namespace Stretch

// One detector, sample by sample, with the same results as decideGate: while
// the gate waits shut or holds open a sample only checks what can end that,
// counts the hold and (until it settles) steps the envelope. For detectors
// that take turns sample by sample, which keeps their Beat Skip draws in
// order.
class DetectorStepper
{
public:
    // Takes over a detector's state (before its first sample of a chunk).
    void start(const DetectorState& state)
    {
        state_ = state;
        mode_ = Mode::Other;
    }

    const DetectorState& state() const { return state_; }

    // Waiting shut or holding open with the envelope settled: until a
    // sample leaves the stretch, every sample repeats the same gain and
    // draws nothing, so detectors in this mode can go on together without
    // taking turns (see settledEnd and skipSettled).
    bool settled() const { return mode_ == Mode::ShutSettled || mode_ == Mode::HeldSettled; }
    float gain() const { return state_.gain; }
    // For a settled detector: the first sample from i on (or count) that
    // ends the stretch, for step to take.
    int settledEnd(const GateSettings& s, const float* key, int i, int count) const
    {
        if (mode_ == Mode::ShutSettled)
            return settledStretchEnd(key, i, count, s.openThreshold, -1, 0);
        return settledStretchEnd(key, i, count, s.closeThreshold, s.holdSamples, state_.holdCount);
    }
    // The samples i..end - 1 of the stretch: what step would do with them.
    void skipSettled(const GateSettings& s, const float* key, int i, int end)
    {
        if (mode_ == Mode::HeldSettled)
            state_.holdCount = heldAfter(key, i, end, s.closeThreshold, state_.holdCount);
    }

    // The gain after the sample with this key level.
    float step(const GateSettings& s, float level, GateRandom& random)
    {
        switch (mode_)
        {
        case Mode::ShutSettled:
            if (!(level > s.openThreshold))
                return state_.gain;
            break;
        case Mode::Shut:
            if (!(level > s.openThreshold))
            {
                if (Stretch::settles(s, state_, s.ducking))
                    mode_ = Mode::ShutSettled;
                return state_.gain;
            }
            break;
        case Mode::HeldSettled:
        case Mode::Held:
        {
            const bool quiet = !(level > s.closeThreshold);
            if (quiet && !(state_.holdCount < s.holdSamples))
                break;
            state_.holdCount = quiet ? state_.holdCount + 1 : 0;
            if (mode_ == Mode::Held &&
                Stretch::settles(s, state_, Stretch::openDecision(s, state_)))
                mode_ = Mode::HeldSettled;
            return state_.gain;
        }
        case Mode::Other:
            break;
        }
        decideGate(s, state_, level, random);
        mode_ = Stretch::waitingClosed(s, state_) ? Mode::Shut
                : Stretch::holdingOpen(s, state_) ? Mode::Held
                                                  : Mode::Other;
        return state_.gain;
    }

private:
    enum class Mode
    {
        Other,       // the full step
        Shut,        // waiting closed, the envelope still moving
        ShutSettled, // waiting closed, the envelope settled
        Held,        // holding open, the envelope still moving
        HeldSettled  // holding open, the envelope settled
    };

    DetectorState state_;
    Mode mode_ = Mode::Other;
};

} // namespace Quorvane
