// A small AudioEffect as a plug-in would write one: three audio buses and an
// event bus, and a count of live instances to check reference handling.
#pragma once

#include "public.sdk/source/vst/vstaudioeffect.h"

#include <atomic>

namespace QuorvaneTest
{

class TestEffect : public Steinberg::Vst::AudioEffect
{
public:
    static inline std::atomic<int> liveCount{0};

    TestEffect() { ++liveCount; }
    ~TestEffect() override { --liveCount; }

    Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override
    {
        using namespace Steinberg::Vst;
        const Steinberg::tresult result = AudioEffect::initialize(context);
        if (result != Steinberg::kResultOk)
            return result;
        addAudioInput(STR16("Stereo In"), SpeakerArr::kStereo);
        addAudioInput(STR16("Aux In"), SpeakerArr::kMono, kAux, 0);
        addAudioOutput(STR16("Stereo Out"), SpeakerArr::kStereo);
        addEventInput(STR16("Events"), 1);
        return Steinberg::kResultOk;
    }

    const Steinberg::Vst::ProcessSetup& currentSetup() const { return processSetup; }

    static Steinberg::FUnknown* createInstance(void* /*context*/)
    {
        return static_cast<Steinberg::Vst::IAudioProcessor*>(new TestEffect);
    }
};

} // namespace QuorvaneTest
