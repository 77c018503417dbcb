// The module's exported VST 3 entry points and the contents of its class factory.
#include "again.h"
#include "againcontroller.h"
#include "classids.h"
#include "version.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/main/pluginfactory.h"

#define QUORVANE_EXPORT extern "C" __attribute__((visibility("default")))

using namespace Steinberg;

namespace Quorvane
{
namespace
{

const PFactoryInfo& factoryInfo()
{
    static const PFactoryInfo info("Ostrelle", "http://ostrelle.example/quorvane",
                                   "mailto:quorvane@ostrelle.example", PFactoryInfo::kUnicode);
    return info;
}

const PClassInfo2& processorClassInfo()
{
    static const PClassInfo2 info(kProcessorUID.toTUID(), PClassInfo::kManyInstances,
                                  kVstAudioEffectClass, "Quorvane", Vst::kDistributable, "Fx|Gate",
                                  "", QUORVANE_VERSION, "VST 3.5.2");
    return info;
}

const PClassInfo2& controllerClassInfo()
{
    static const PClassInfo2 info(kControllerUID.toTUID(), PClassInfo::kManyInstances,
                                  kVstComponentControllerClass, "QuorvaneController", 0, "", "",
                                  QUORVANE_VERSION, "VST 3.5.2");
    return info;
}

FUnknown* createProcessor(void*)
{
    auto* processor = new (std::nothrow) again;
    return processor ? static_cast<Vst::IAudioProcessor*>(processor) : nullptr;
}

FUnknown* createController(void*)
{
    auto* controller = new (std::nothrow) againController;
    return controller ? static_cast<Vst::IEditController*>(controller) : nullptr;
}

} // namespace
} // namespace Quorvane

// The module's factory is shared by every caller until its last reference is released; the
// factory then clears gPluginFactory, and the next call builds a new one from the same records.
QUORVANE_EXPORT IPluginFactory* PLUGIN_API GetPluginFactory()
{
    if (gPluginFactory)
    {
        gPluginFactory->addRef();
        return gPluginFactory;
    }
    auto* factory = new (std::nothrow) CPluginFactory(Quorvane::factoryInfo());
    if (!factory)
        return nullptr;
    // A factory without both classes would be a half-built plug-in: none at all is clearer.
    if (!factory->registerClass(&Quorvane::processorClassInfo(), Quorvane::createProcessor) ||
        !factory->registerClass(&Quorvane::controllerClassInfo(), Quorvane::createController))
    {
        factory->release();
        return nullptr;
    }
    gPluginFactory = factory;
    return factory;
}

QUORVANE_EXPORT bool InitDll()
{
    return true;
}
QUORVANE_EXPORT bool ExitDll()
{
    return true;
}

// Called by the module entry on first load and last unload.
bool InitModule()
{
    return true;
}
bool DeinitModule()
{
    return true;
}
