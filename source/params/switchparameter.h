#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Quorvane
{

// The five on/off switches. They show the SDK's "On" (above normalized 0.5) and "Off", and read
// those words back in any case; a typed number lands on the nearer of the two positions.
class SwitchParameter : public Steinberg::Vst::Parameter
{
public:
    SwitchParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(SwitchParameter, Parameter)
};

} // namespace Quorvane
