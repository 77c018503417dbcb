#include "bypasslistenfade.h"

#include "engineconstants.h"

#include <cmath>

namespace Quorvane {

void BypassListenFade::reset(float sampleRate)
{
    fadingOut_ = true;
    gain_ = 1.0f;
    coeff_ = std::pow(kFadeFloor, 1.0f / (sampleRate * kFadeTimeMs * kMsToSeconds));
    // A waiting change must still reach a silent point.
    fading_ = changePending();
}

void BypassListenFade::requestBypass(bool on)
{
    fading_ = true;
    bypassPending_ = true;
    waitingBypass_ = on;
}

void BypassListenFade::requestListen(bool on)
{
    fading_ = true;
    listenPending_ = true;
    waitingListen_ = on;
}

void BypassListenFade::beginBlock()
{
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
