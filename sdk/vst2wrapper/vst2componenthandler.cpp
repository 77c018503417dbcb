#include "vst2componenthandler.h"

namespace Steinberg {
namespace Vst {

tresult PLUGIN_API Vst2ComponentHandler::beginEdit (ParamID id)
{
	return sink ? sink->onBeginEdit (id) : kResultFalse;
}

tresult PLUGIN_API Vst2ComponentHandler::performEdit (ParamID id, ParamValue valueNormalized)
{
	return sink ? sink->onPerformEdit (id, valueNormalized) : kResultFalse;
}

tresult PLUGIN_API Vst2ComponentHandler::endEdit (ParamID id)
{
	return sink ? sink->onEndEdit (id) : kResultFalse;
}

tresult PLUGIN_API Vst2ComponentHandler::restartComponent (int32 flags)
{
	return sink ? sink->onRestartComponent (flags) : kResultFalse;
}

} // namespace Vst
} // namespace Steinberg
