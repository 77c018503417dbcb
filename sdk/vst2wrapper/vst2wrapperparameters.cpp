// Vst2Wrapper: parameters by VST 2 index, and the controller's edits as
// host automation.
#include "vst2wrapper.h"

namespace Steinberg {
namespace Vst {

void Vst2Wrapper::setParameter (int32 index, float value)
{
	if (index < 0 || index >= static_cast<int32> (parameters.size ()))
		return;
	if ((parameters[index].flags & ParameterInfo::kIsReadOnly) != 0)
		return;
	slots->post (index, value);
	controller->setParamNormalized (parameterIds[index], value);
}

float Vst2Wrapper::getParameter (int32 index)
{
	if (index < 0 || index >= static_cast<int32> (parameters.size ()))
		return 0.f;
	flushOutputParameters ();
	return static_cast<float> (controller->getParamNormalized (parameterIds[index]));
}

void Vst2Wrapper::flushOutputParameters ()
{
	ParamValue value = 0.;
	for (int32 i = 0; i < outputSlots->getCount (); ++i)
		if (outputSlots->take (i, value))
			controller->setParamNormalized (outputSlots->getId (i), value);
}

int32 Vst2Wrapper::indexOfParameter (ParamID id) const
{
	// The usual layout has index == ID; look there first.
	if (id < parameterIds.size () && parameterIds[id] == id)
		return static_cast<int32> (id);
	for (size_t i = 0; i < parameterIds.size (); ++i)
		if (parameterIds[i] == id)
			return static_cast<int32> (i);
	return -1;
}

//------------------------------------------------------------------------
tresult Vst2Wrapper::onBeginEdit (ParamID id)
{
	const int32 index = indexOfParameter (id);
	if (index < 0)
		return kInvalidArgument;
	callHost (audioMasterBeginEdit, index, 0, nullptr, 0.f);
	return kResultOk;
}

tresult Vst2Wrapper::onPerformEdit (ParamID id, ParamValue valueNormalized)
{
	const int32 index = indexOfParameter (id);
	if (index < 0)
		return kInvalidArgument;
	// A VST 3 host would pass the edit on to the processor; so do we.
	slots->post (index, valueNormalized);
	callHost (audioMasterAutomate, index, 0, nullptr, static_cast<float> (valueNormalized));
	return kResultOk;
}

tresult Vst2Wrapper::onEndEdit (ParamID id)
{
	const int32 index = indexOfParameter (id);
	if (index < 0)
		return kInvalidArgument;
	callHost (audioMasterEndEdit, index, 0, nullptr, 0.f);
	return kResultOk;
}

tresult Vst2Wrapper::onRestartComponent (int32 flags)
{
	if ((flags & kLatencyChanged) != 0)
	{
		effect.initialDelay = static_cast<VstInt32> (processor->getLatencySamples ());
		callHost (Vst2Abi::kAudioMasterIOChanged, 0, 0, nullptr, 0.f);
	}
	if ((flags & (kParamValuesChanged | kParamTitlesChanged)) != 0)
		callHost (Vst2Abi::kAudioMasterUpdateDisplay, 0, 0, nullptr, 0.f);
	return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
