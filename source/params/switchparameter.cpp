#include "switchparameter.h"

#include "parametertext.h"
#include "paramtable.h"

namespace Quorvane
{

using namespace Steinberg;
using namespace Steinberg::Vst;

SwitchParameter::SwitchParameter(int32 flags, ParamID id) : Parameter(parameterInfo(id, id, flags))
{
}

bool SwitchParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    if (isTypedWord(string, "on") || isTypedWord(string, "off"))
    {
        valueNormalized = isTypedWord(string, "on") ? 1. : 0.;
        return true;
    }
    float number = 0.f;
    if (!scanTypedNumber(string, number))
        return false;
    return switchFromNumber(number, valueNormalized);
}

} // namespace Quorvane
