#include "detectorrun.h"

#include "crossoverladder.h"

#include <cstdint>
#include <cstring>

namespace Quorvane {

namespace {

constexpr int kLanes = Ladder::kLanes;

// Bit for bit: a settled envelope must repeat exactly, signed zeros included.
bool same(float a, float b)
{
    uint32_t x;
    uint32_t y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

struct GainOut
{
    double* gains;
    int groups;
    int groupStride;

    void put(int i, double gain) const
    {
        double* lanes = gains + i * kLanes;
        for (int group = 0; group < groups; ++group, lanes += groupStride)
            for (int lane = 0; lane < kLanes; ++lane)
                lanes[lane] = gain;
    }
};

bool truncating(const GateSettings& s)
{
    return s.truncationEndSamples != s.attackDelaySamples;
}

// Shut, with nothing running: until a level rises above the open threshold,
// a sample only steps the envelope toward its closed target.
bool waitingClosed(const GateSettings& s, const DetectorState& d)
{
    return !d.detectorOpen && !d.wasOpen && !d.holdClosedActive && !d.inAttackDelay &&
           d.attackDelayCount == 0 && !d.truncated && (!truncating(s) || d.truncationCount == 0);
}

// Open with the attack delay over and the note cut or not being cut: until
// the hold runs out, a sample only counts the hold and steps the envelope.
bool holdingOpen(const GateSettings& s, const DetectorState& d)
{
    const bool cutDone = d.truncated && d.truncationCount >= s.truncationEndSamples;
    return d.detectorOpen && d.wasOpen && !d.holdClosedActive && !d.inAttackDelay &&
           d.attackDelayCount >= s.attackDelaySamples && (truncating(s) ? cutDone : !d.truncated);
}

// One envelope step; true when it changed nothing, so that every further
// step with the same decision repeats the same gain.
bool settles(const GateSettings& s, DetectorState& d, bool open)
{
    const float envelope = d.envelope;
    const float gain = d.gain;
    advanceEnvelope(s, d, open);
    return same(envelope, d.envelope) && same(gain, d.gain);
}

// Samples from i on while the gate stays shut; returns the first one not done.
int runClosed(const GateSettings& s, DetectorState& d, const float* levels, int i, int count,
              const GainOut& out)
{
    const bool open = s.ducking; // the envelope's decision while shut
    const float threshold = s.openThreshold;
    for (; i < count && !(levels[i] > threshold); ++i)
    {
        const bool settled = settles(s, d, open);
        out.put(i, d.gain);
        if (settled)
        {
            const double gain = d.gain;
            for (++i; i < count && !(levels[i] > threshold); ++i)
                out.put(i, gain);
            return i;
        }
    }
    return i;
}

// Samples from i on while the gate stays open; returns the first one not done.
int runOpen(const GateSettings& s, DetectorState& d, const float* levels, int i, int count,
            const GainOut& out)
{
    const bool open = (!d.truncated && !d.skipNote) != s.ducking;
    const float threshold = s.closeThreshold;
    const int hold = s.holdSamples;
    int held = d.holdCount;
    for (; i < count; ++i)
    {
        const bool quiet = !(levels[i] > threshold);
        if (quiet && !(held < hold))
            break;
        held = quiet ? held + 1 : 0;
        const bool settled = settles(s, d, open);
        out.put(i, d.gain);
        if (settled)
        {
            const double gain = d.gain;
            for (++i; i < count; ++i)
            {
                const bool silent = !(levels[i] > threshold);
                if (silent && !(held < hold))
                    break;
                held = silent ? held + 1 : 0;
                out.put(i, gain);
            }
            break;
        }
    }
    d.holdCount = held;
    return i;
}

} // namespace

void runDetector(const GateSettings& settings, DetectorState& state, GateRandom& random,
                 const float* levels, int count, double* gains, int groups, int groupStride)
{
    // Local copies: the Beat Skip draw is a call, after which members would
    // have to be read again.
    const GateSettings s = settings;
    DetectorState d = state;
    const GainOut out{gains, groups, groupStride};
    int i = 0;
    while (i < count)
    {
        if (waitingClosed(s, d))
            i = runClosed(s, d, levels, i, count, out);
        else if (holdingOpen(s, d))
            i = runOpen(s, d, levels, i, count, out);
        if (i < count)
        {
            decideGate(s, d, levels[i], random);
            out.put(i, d.gain);
            ++i;
        }
    }
    state = d;
}

} // namespace Quorvane
