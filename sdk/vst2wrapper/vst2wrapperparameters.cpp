// Vst2Wrapper: parameters by VST 2 index, and the controller's edits as
// host automation.
#include "vst2wrapper.h"

#include <cmath>

namespace Steinberg {
namespace Vst {

void Vst2Wrapper::setParameter (int32 index, float value)
{
	if (index < 0 || index >= static_cast<int32> (parameters.size ()))
		return;
	// A value that is not a number means nothing to any parameter.
	if ((parameters[index].flags & ParameterInfo::kIsReadOnly) != 0 || std::isnan (value))
		return;
	values->set (index, value);
	slots->post (index, value);
	controllerSlots->post (index, value);
}

float Vst2Wrapper::getParameter (int32 index) { return values->get (index); }

void Vst2Wrapper::handOverToController ()
{
	ParamValue value = 0.;
	for (Vst2ParameterSlots* from : {controllerSlots.get (), outputSlots.get ()})
		for (int32 i = 0; i < from->getCount (); ++i)
			if (from->take (i, value))
				controller->setParamNormalized (from->getId (i), value);
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
	values->set (index, valueNormalized);
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
	if ((flags & kParamValuesChanged) != 0)
		readValuesFromController ();
	if ((flags & (kParamValuesChanged | kParamTitlesChanged)) != 0)
		callHost (Vst2Abi::kAudioMasterUpdateDisplay, 0, 0, nullptr, 0.f);
	return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
