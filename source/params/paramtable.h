#pragma once

#include "paramids.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

namespace Steinberg
{
namespace Vst
{
class Parameter;
class ParameterContainer;
} // namespace Vst
} // namespace Steinberg

namespace Quorvane
{

// What the controller declares to the host for each of the 22 parameters,
// indexed by ID. This table is the one place that names the parameters: the
// controller registers from it, and the parameter classes take their titles,
// step counts, flags and units from it.
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

// The name of the unit kGateUnitId ("Unit1").
const Steinberg::Vst::TChar* gateUnitName();

// The description of a parameter, or nullptr for an unknown ID.
const ParamDescription* findParamDescription(Steinberg::Vst::ParamID id);

// The default reported in ParameterInfo, which is also the value the
// parameter starts with: the converter's default (0.0 or 1.0 for a switch,
// the normalized physical default for a continuous control, 0.0 for the
// outputs and for unknown IDs). A host that resets a parameter to it gets the
// sound of a fresh instance.
Steinberg::Vst::ParamValue infoDefault(Steinberg::Vst::ParamID id);

// The ParameterInfo of the parameter that row describes, registered under id
// with flags: title, step count, unit and default from the table.
Steinberg::Vst::ParameterInfo parameterInfo(Steinberg::Vst::ParamID row, Steinberg::Vst::ParamID id,
                                            Steinberg::int32 flags);

// A new parameter object for id, as the controller registers it: the class of
// a continuous control, a SwitchParameter for a switch, a plain Parameter for
// an output. nullptr for an unknown ID.
// The caller owns the one reference.
Steinberg::Vst::Parameter* createParameter(Steinberg::Vst::ParamID id);

// Adds all 22 parameters to container in ID order, so a host's parameter
// index equals the ID.
void addAllParameters(Steinberg::Vst::ParameterContainer& container);

} // namespace Quorvane
