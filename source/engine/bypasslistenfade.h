#pragma once

namespace Quorvane
{

// Switches "Bypass" and "Listen" under a short fade so that they never click:
// a change starts a fall to -40 dB, the switch happens at the first block
// boundary at that silent point, then the gain rises again and the cycle ends
// at the first block boundary at full gain.
//
// Only a real change fades. Hosts send values again that are already in force
// (a set-up pushes every parameter, some hosts re-send them every block), and
// a fade for those would dip the audio for nothing. Before any audio has gone
// through (a new instance, or processing started again) a change takes effect
// at once: there is nothing yet that could click.
class BypassListenFade
{
public:
    // Back to rest at full gain with the coefficient for this rate. A change
    // still waiting is not lost: the fade-out for it starts over from full gain.
    void reset(float sampleRate);

    // Processing starts afresh: waiting changes take effect now and the fade
    // is at rest until audio has gone through again.
    void settle();

    void requestBypass(bool on) { request(on, bypass_, bypassPending_, waitingBypass_); }
    void requestListen(bool on) { request(on, listen_, listenPending_, waitingListen_); }

    // At the start of every block: applies waiting changes at the silent point
    // and ends or continues the cycle. A block with samples counts as heard.
    void beginBlock(int numSamples);

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
    void request(bool on, bool& inForce, bool& pending, bool& waiting);

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
    bool heard_ = false; // audio has gone through since construction or settle()
};

} // namespace Quorvane
