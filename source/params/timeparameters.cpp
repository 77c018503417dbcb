#include "timeparameters.h"

#include "parametertext.h"

namespace Quorvane {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
// Whether an exact normalized 0 shows " off" instead of a time.
constexpr bool kOffAtZero = true;
constexpr bool kNoOffPosition = false;
} // namespace

TimeAtt1Parameter::TimeAtt1Parameter (int32 flags, ParamID id)
: Parameter (STR16 ("Attack (gradual)"), id, nullptr, 1.0, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalAttackGradual (converter.defaults ().attackGradual));
}

void TimeAtt1Parameter::toString (ParamValue valueNormalized, String128 string) const
{
	showMilliseconds (converter, &ParamConverter::toPhysicalAttackGradual, kNoOffPosition, valueNormalized,
	                  string);
}

bool TimeAtt1Parameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalAttackGradual, string, valueNormalized);
}

TimeAtt2Parameter::TimeAtt2Parameter (int32 flags, ParamID id)
: Parameter (STR16 ("Attack (synth)"), id, nullptr, 1.0, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalAttackSynth (converter.defaults ().attackSynth));
}

void TimeAtt2Parameter::toString (ParamValue valueNormalized, String128 string) const
{
	showMilliseconds (converter, &ParamConverter::toPhysicalAttackSynth, kNoOffPosition, valueNormalized,
	                  string);
}

bool TimeAtt2Parameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalAttackSynth, string, valueNormalized);
}

TimeRelParameter::TimeRelParameter (int32 flags, ParamID id)
: Parameter (STR16 ("Release"), id, nullptr, 1.0, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalRelease (converter.defaults ().release));
}

void TimeRelParameter::toString (ParamValue valueNormalized, String128 string) const
{
	showMilliseconds (converter, &ParamConverter::toPhysicalRelease, kNoOffPosition, valueNormalized,
	                  string);
}

bool TimeRelParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalRelease, string, valueNormalized);
}

HoldOpenTimeParameter::HoldOpenTimeParameter (int32 flags, ParamID id)
: Parameter (STR16 ("Hold"), id, nullptr, 1.0, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalHold (converter.defaults ().hold));
}

void HoldOpenTimeParameter::toString (ParamValue valueNormalized, String128 string) const
{
	showMilliseconds (converter, &ParamConverter::toPhysicalHold, kNoOffPosition, valueNormalized,
	                  string);
}

bool HoldOpenTimeParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalHold, string, valueNormalized);
}

HoldClosedTimeParameter::HoldClosedTimeParameter (int32 flags, ParamID id)
: Parameter (STR16 ("Hold Closed"), id, nullptr, 1.0, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalHoldClosed (converter.defaults ().holdClosed));
}

void HoldClosedTimeParameter::toString (ParamValue valueNormalized, String128 string) const
{
	showMilliseconds (converter, &ParamConverter::toPhysicalHoldClosed, kOffAtZero, valueNormalized,
	                  string);
}

bool HoldClosedTimeParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalHoldClosed, string, valueNormalized);
}

AttDelayTimeParameter::AttDelayTimeParameter (int32 flags, ParamID id)
: Parameter (STR16 ("Attack Delay"), id, nullptr, 1.0, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalAttackDelay (converter.defaults ().attackDelay));
}

void AttDelayTimeParameter::toString (ParamValue valueNormalized, String128 string) const
{
	showMilliseconds (converter, &ParamConverter::toPhysicalAttackDelay, kOffAtZero, valueNormalized,
	                  string);
}

bool AttDelayTimeParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalAttackDelay, string, valueNormalized);
}

AttIsoTimeParameter::AttIsoTimeParameter (int32 flags, ParamID id)
: Parameter (STR16 ("Note Truncation"), id, nullptr, 0.0, 0, flags, kRootUnitId)
{
	setNormalized (converter.fromPhysicalNoteTruncation (converter.defaults ().noteTruncation));
}

void AttIsoTimeParameter::toString (ParamValue valueNormalized, String128 string) const
{
	showMilliseconds (converter, &ParamConverter::toPhysicalNoteTruncation, kOffAtZero, valueNormalized,
	                  string);
}

bool AttIsoTimeParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return readPhysical (converter, &ParamConverter::fromPhysicalNoteTruncation, string, valueNormalized);
}

} // namespace Quorvane
