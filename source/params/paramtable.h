#pragma once

#include "paramids.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

namespace Quorvane {

// What the controller declares to the host for each of the 22 parameters,
// indexed by ID. The twelve continuous controls are objects of their own
// classes; the others are plain parameters added by title.
struct ParamDescription
{
	Steinberg::Vst::ParamID id;
	const Steinberg::Vst::TChar* title;
	Steinberg::int32 stepCount;
	Steinberg::int32 flags;
	Steinberg::Vst::UnitID unitId;
};

// The unit that holds "Bypass"; every other parameter sits in the root unit.
constexpr Steinberg::Vst::UnitID kGateUnitId = 1;

// The description of a parameter, or nullptr for an unknown ID.
const ParamDescription* findParamDescription (Steinberg::Vst::ParamID id);

// The default reported in ParameterInfo: the switch default (0.0 or 1.0) for
// IDs 0..4, 1.0 for IDs 5..15, 0.0 for "Note Truncation" and the outputs. For
// IDs 5..15 this is not the value a parameter starts with.
Steinberg::Vst::ParamValue infoDefault (Steinberg::Vst::ParamID id);

} // namespace Quorvane
