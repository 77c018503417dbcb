#include "beatskipparameter.h"

#include "displayformat.h"
#include "parametertext.h"
#include "paramtable.h"

#include <algorithm>

namespace Quorvane
{

using namespace Steinberg;
using namespace Steinberg::Vst;

HoldClosedProbParameter::HoldClosedProbParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kBeatSkipId, id, flags))
{
}

void HoldClosedProbParameter::toString(ParamValue valueNormalized, String128 string) const
{
    const float probability = narrowNormalized(valueNormalized);
    if (probability == 0.f)
    {
        writeDisplayText(kOffText, string);
        return;
    }
    char text[kDisplayBufferSize];
    formatPercent(probability, text, sizeof(text));
    writeDisplayText(text, string);
}

bool HoldClosedProbParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    if (isTypedWord(string, "off"))
    {
        valueNormalized = 0.;
        return true;
    }
    float percent = 0.f;
    if (!scanTypedNumber(string, percent))
        return false;
    return clampedNormalized(percent / 100.f, valueNormalized);
}

} // namespace Quorvane
