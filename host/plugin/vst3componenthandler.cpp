#include "vst3componenthandler.h"

using namespace Steinberg;

namespace Quorvane
{

tresult PLUGIN_API Vst3ComponentHandler::beginEdit(Vst::ParamID)
{
    return kResultOk;
}

tresult PLUGIN_API Vst3ComponentHandler::performEdit(Vst::ParamID, Vst::ParamValue)
{
    return kResultOk;
}

tresult PLUGIN_API Vst3ComponentHandler::endEdit(Vst::ParamID)
{
    return kResultOk;
}

tresult PLUGIN_API Vst3ComponentHandler::restartComponent(int32)
{
    ++restarts;
    return kResultOk;
}

tresult PLUGIN_API Vst3ComponentHandler::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
        FUnknownPrivate::iidEqual(iid, Vst::IComponentHandler::iid))
    {
        addRef();
        *obj = static_cast<Vst::IComponentHandler*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API Vst3ComponentHandler::addRef()
{
    return ++references;
}

uint32 PLUGIN_API Vst3ComponentHandler::release()
{
    if (--references == 0)
    {
        delete this;
        return 0;
    }
    return references;
}

} // namespace Quorvane
