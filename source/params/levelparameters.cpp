#include "levelparameters.h"

#include "parametertext.h"
#include "paramtable.h"

namespace Quorvane
{

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
// The levels have no " off" position: the word is no level.
constexpr bool kNoOffPosition = false;
} // namespace

OutputLevParameter::OutputLevParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kOutputLevelId, id, flags))
{
}

void OutputLevParameter::toString(ParamValue valueNormalized, String128 string) const
{
    showDecibels(converter, &ParamConverter::toPhysicalOutputLevel, valueNormalized, string);
}

bool OutputLevParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalOutputLevel, kNoOffPosition, string,
                        valueNormalized);
}

ThresholdParameter::ThresholdParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kThresholdId, id, flags))
{
}

void ThresholdParameter::toString(ParamValue valueNormalized, String128 string) const
{
    showDecibels(converter, &ParamConverter::toPhysicalThreshold, valueNormalized, string);
}

bool ThresholdParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalThreshold, kNoOffPosition, string,
                        valueNormalized);
}

FloorParameter::FloorParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kRangeId, id, flags))
{
}

void FloorParameter::toString(ParamValue valueNormalized, String128 string) const
{
    showDecibels(converter, &ParamConverter::toPhysicalRange, valueNormalized, string);
}

bool FloorParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalRange, kNoOffPosition, string,
                        valueNormalized);
}

HystParameter::HystParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kHysteresisId, id, flags))
{
}

void HystParameter::toString(ParamValue valueNormalized, String128 string) const
{
    showDecibels(converter, &ParamConverter::toPhysicalHysteresis, valueNormalized, string);
}

bool HystParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalHysteresis, kNoOffPosition, string,
                        valueNormalized);
}

} // namespace Quorvane
