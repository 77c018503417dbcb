#pragma once

namespace Quorvane {

// Switches "Bypass" and "Listen" under a short fade so that they never click:
// a request starts a fall to -40 dB, the switch happens at the first block
// boundary at that silent point, then the gain rises again and the cycle ends
// at the first block boundary at full gain.
class BypassListenFade
{
public:
    // Back to rest at full gain with the coefficient for this rate. A change
    // still waiting is not lost: the fade-out for it starts over from full gain.
    void reset(float sampleRate);

    // Every request runs a full fade cycle, even for the value already in force.
    void requestBypass(bool on);
    void requestListen(bool on);

    // At the start of every block: applies waiting changes at the silent point
    // and ends or continues the cycle.
    void beginBlock();

    // Once per sample while fading(): advances and returns the fade gain.
    float next();

    bool bypass() const { return bypass_; }
    bool listen() const { return listen_; }
    bool fading() const { return fading_; }
    bool fadingOut() const { return fadingOut_; }
    float gain() const { return gain_; }
    float coeff() const { return coeff_; }
    bool bypassPending() const { return bypassPending_; }
    bool listenPending() const { return listenPending_; }

private:
    bool changePending() const { return bypassPending_ || listenPending_; }

    bool bypass_ = false;
    bool listen_ = false;
    float gain_ = 1.0f;
    float coeff_ = 0.0f;
    bool fadingOut_ = true;
    bool fading_ = false;
    bool bypassPending_ = false;
    bool listenPending_ = false;
    bool waitingBypass_ = false;
    bool waitingListen_ = false;
};

} // namespace Quorvane
