#pragma once

#include "paramconverter.h"

#include "public.sdk/source/vst/vstparameters.h"

namespace Quorvane
{

// "Beat Skip": the probability that a note is silenced, shown as a whole
// percentage (" off" at exactly 0) and typed in percent. The normalized value
// is the probability itself; its default is the converter's, through the
// parameter table.
class HoldClosedProbParameter : public Steinberg::Vst::Parameter
{
public:
    HoldClosedProbParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(HoldClosedProbParameter, Parameter)

private:
    ParamConverter converter;
};

} // namespace Quorvane
