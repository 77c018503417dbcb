// The LV2 entry point: the processor and controller of the VST 3 plug-in, presented as the
// bundle's four plug-ins by the LV2 wrapper.
#include "again.h"
#include "againcontroller.h"
#include "lv2plugin.h"
#include "lv2ports.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

namespace
{

using Steinberg::Vst::Lv2Plugin;

Lv2Plugin* pluginOf(LV2_Handle handle)
{
    return static_cast<Lv2Plugin*>(handle);
}

const Quorvane::Lv2Variant* variantOf(const LV2_Descriptor* descriptor);

LV2_Handle instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char*,
                       const LV2_Feature* const* features)
{
    const Quorvane::Lv2Variant* variant = variantOf(descriptor);
    if (!variant)
        return nullptr;
    Steinberg::IPtr<Steinberg::Vst::IComponent> component =
        Steinberg::owned(static_cast<Steinberg::Vst::IComponent*>(new Quorvane::again));
    Steinberg::IPtr<Steinberg::Vst::IEditController> controller = Steinberg::owned(
        static_cast<Steinberg::Vst::IEditController*>(new Quorvane::againController));
    return Lv2Plugin::create(component, controller, Quorvane::lv2PortLayout(*variant), sampleRate,
                             features);
}

void connectPort(LV2_Handle handle, uint32_t port, void* data)
{
    pluginOf(handle)->connectPort(port, data);
}

void activate(LV2_Handle handle)
{
    pluginOf(handle)->activate();
}

void run(LV2_Handle handle, uint32_t frames)
{
    pluginOf(handle)->run(frames);
}

void deactivate(LV2_Handle handle)
{
    pluginOf(handle)->deactivate();
}

void cleanup(LV2_Handle handle)
{
    delete pluginOf(handle);
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t, const LV2_Feature* const*)
{
    return pluginOf(handle)->save(store, state);
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t, const LV2_Feature* const*)
{
    return pluginOf(handle)->restore(retrieve, state);
}

const LV2_State_Interface kStateInterface = {save, restore};

const void* extensionData(const char* uri)
{
    return std::strcmp(uri, LV2_STATE__interface) == 0 ? &kStateInterface : nullptr;
}

#define QUORVANE_DESCRIPTOR(index)                                                                 \
    {                                                                                              \
        Quorvane::kLv2Variants[index].uri, instantiate, connectPort, activate, run, deactivate,    \
            cleanup, extensionData                                                                 \
    }

const LV2_Descriptor kDescriptors[Quorvane::kNumLv2Variants] = {
    QUORVANE_DESCRIPTOR(0), QUORVANE_DESCRIPTOR(1), QUORVANE_DESCRIPTOR(2), QUORVANE_DESCRIPTOR(3)};

const Quorvane::Lv2Variant* variantOf(const LV2_Descriptor* descriptor)
{
    for (int i = 0; i < Quorvane::kNumLv2Variants; ++i)
        if (descriptor == &kDescriptors[i])
            return &Quorvane::kLv2Variants[i];
    return nullptr;
}

} // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index < uint32_t(Quorvane::kNumLv2Variants) ? &kDescriptors[index] : nullptr;
}
