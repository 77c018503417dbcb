// The VST 2 entry point: the same two classes, presented as one VST 2 effect by the wrapper.
#include "classids.h"

#include "vst2wrapper.h"

#include "pluginterfaces/base/ipluginbase.h"

extern "C" Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory();
bool InitModule();

extern "C" __attribute__((visibility("default"))) AEffect*
VSTPluginMain(audioMasterCallback audioMaster)
{
    // A host that does not answer the version query is not a VST 2 host.
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.f) == 0)
        return nullptr;
    if (!InitModule())
        return nullptr;
    auto* wrapper = Steinberg::Vst::Vst2Wrapper::create(
        GetPluginFactory(), Quorvane::kProcessorUID.toTUID(), Quorvane::kVst2UniqueId, audioMaster);
    return wrapper ? wrapper->getAeffect() : nullptr;
}
