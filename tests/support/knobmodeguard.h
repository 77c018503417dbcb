// The host's knob mode is one setting for the whole process (every EditController shares it).
// A test that changes it holds a guard, which puts the mode back when the test ends, so that no
// test depends on which ran before it.
#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"

namespace QuorvaneTest
{

class KnobModeGuard
{
public:
    KnobModeGuard() : saved(Steinberg::Vst::EditController::getHostKnobMode()) {}
    ~KnobModeGuard()
    {
        // setKnobMode is an instance method that writes the shared setting.
        auto* any = new Steinberg::Vst::EditController;
        any->setKnobMode(saved);
        any->release();
    }
    KnobModeGuard(const KnobModeGuard&) = delete;
    KnobModeGuard& operator=(const KnobModeGuard&) = delete;

private:
    Steinberg::Vst::KnobMode saved;
};

} // namespace QuorvaneTest
