// A loadable module with a valid factory that offers no classes at all, or
// (built with EMPTY_MODULE_REFUSES) one whose ModuleEntry refuses to load.
// The host must report either as a plug-in problem.
#include "pluginterfaces/base/ipluginbase.h"

using namespace Steinberg;

namespace
{

class EmptyFactory : public IPluginFactory
{
public:
    tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) override
    {
        *info = PFactoryInfo("Nobody", "", "", PFactoryInfo::kUnicode);
        return kResultOk;
    }
    int32 PLUGIN_API countClasses() override { return 0; }
    tresult PLUGIN_API getClassInfo(int32, PClassInfo*) override { return kInvalidArgument; }
    tresult PLUGIN_API createInstance(FIDString, FIDString, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
    {
        if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
            FUnknownPrivate::iidEqual(iid, IPluginFactory::iid))
        {
            addRef();
            *obj = this;
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return ++references; }
    uint32 PLUGIN_API release() override { return --references; }

private:
    uint32 references = 1;
};

EmptyFactory factory;

} // namespace

extern "C"
{

    __attribute__((visibility("default"))) bool ModuleEntry(void*)
    {
#ifdef EMPTY_MODULE_REFUSES
        return false;
#else
        return true;
#endif
    }

    __attribute__((visibility("default"))) bool ModuleExit()
    {
        return true;
    }

    __attribute__((visibility("default"))) IPluginFactory* GetPluginFactory()
    {
        factory.addRef();
        return &factory;
    }

} // extern "C"
