#include "bypasslistenfade.h"

#include "engineconstants.h"

#include <cmath>

namespace Quorvane
{

void BypassListenFade::reset(float sampleRate)
{
    fadingOut_ = true;
    gain_ = 1.0f;
    coeff_ = std::pow(kFadeFloor, 1.0f / (sampleRate * kFadeTimeMs * kMsToSeconds));
    // A waiting change must still reach a silent point.
    fading_ = changePending();
}

void BypassListenFade::settle()
{
    if (bypassPending_)
        bypass_ = waitingBypass_;
    if (listenPending_)
        listen_ = waitingListen_;
    bypassPending_ = listenPending_ = false;
    fading_ = false;
    fadingOut_ = true;
    gain_ = 1.0f;
    heard_ = false;
}

void BypassListenFade::request(bool on, bool& inForce, bool& pending, bool& waiting)
{
    if (!heard_)
    {
        inForce = on;
        pending = false;
        return;
    }
    if (on == inForce)
    {
        // Back to the value in force: the change asked for before (if any) is
        // withdrawn. A fade that has already begun runs its cycle to the end,
        // as it would have for the change, so the gain never jumps; one that
        // has not begun yet need not run at all.
        pending = false;
        if (!changePending() && fadingOut_ && gain_ == 1.0f)
            fading_ = false;
        return;
    }
    fading_ = true;
    pending = true;
    waiting = on;
}

void BypassListenFade::beginBlock(int numSamples)
{
    if (numSamples > 0)
        heard_ = true;
    if (fadingOut_)
    {
        if (gain_ <= kFadeFloor)
        {
            if (bypassPending_)
            {
                bypass_ = waitingBypass_;
                bypassPending_ = false;
            }
            if (listenPending_)
            {
                listen_ = waitingListen_;
                listenPending_ = false;
            }
            fadingOut_ = false;
        }
    }
    else if (gain_ >= 1.0f - kFadeFloor)
    {
        // Full gain again. A change requested during the rise fades out at once
        // instead of waiting for the next request.
        fadingOut_ = true;
        fading_ = changePending();
    }
}

float BypassListenFade::next()
{
    if (fadingOut_)
    {
        gain_ = gain_ * coeff_;
        if (gain_ <= kFadeFloor)
            gain_ = kFadeFloor;
    }
    else
    {
        gain_ = static_cast<float>((1.0 - static_cast<double>(coeff_)) +
                                   static_cast<double>(coeff_) * static_cast<double>(gain_));
        if (gain_ >= 1.0f - kFadeFloor)
            gain_ = 1.0f;
    }
    return gain_;
}

} // namespace Quorvane
