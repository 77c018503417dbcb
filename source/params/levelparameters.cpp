#include "levelparameters.h"

#include "parametertext.h"

namespace Quorvane {

using namespace Steinberg;
using namespace Steinberg::Vst;

// Every level control reports 1.0 as its info default; its actual initial
// value is the mapped physical default.
static constexpr ParamValue kLevelInfoDefault = 1.0;

OutputLevParameter::OutputLevParameter (int32 flags, ParamID id)
: Parameter (STR16 ("Output Level"), id, nullptr, kLevelInfoDefault, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalOutputLevel (converter.defaults ().outputLevel));
}

void OutputLevParameter::toString (ParamValue valueNormalized, String128 string) const
{
	showDecibels (converter, &ParamConverter::toPhysicalOutputLevel, valueNormalized, string);
}

bool OutputLevParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalOutputLevel, string, valueNormalized);
}

ThresholdParameter::ThresholdParameter (int32 flags, ParamID id)
: Parameter (STR16 ("Threshold"), id, nullptr, kLevelInfoDefault, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalThreshold (converter.defaults ().threshold));
}

void ThresholdParameter::toString (ParamValue valueNormalized, String128 string) const
{
	showDecibels (converter, &ParamConverter::toPhysicalThreshold, valueNormalized, string);
}

bool ThresholdParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalThreshold, string, valueNormalized);
}

FloorParameter::FloorParameter (int32 flags, ParamID id)
: Parameter (STR16 ("Range"), id, nullptr, kLevelInfoDefault, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalRange (converter.defaults ().range));
}

void FloorParameter::toString (ParamValue valueNormalized, String128 string) const
{
	showDecibels (converter, &ParamConverter::toPhysicalRange, valueNormalized, string);
}

bool FloorParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalRange, string, valueNormalized);
}

HystParameter::HystParameter (int32 flags, ParamID id)
: Parameter (STR16 ("Hysteresis"), id, nullptr, kLevelInfoDefault, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalHysteresis (converter.defaults ().hysteresis));
}

void HystParameter::toString (ParamValue valueNormalized, String128 string) const
{
	showDecibels (converter, &ParamConverter::toPhysicalHysteresis, valueNormalized, string);
}

bool HystParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalHysteresis, string, valueNormalized);
}

} // namespace Quorvane
