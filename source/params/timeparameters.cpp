#include "timeparameters.h"

#include "parametertext.h"
#include "paramtable.h"

namespace Quorvane
{

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
// Whether an exact normalized 0 shows " off" instead of a time.
constexpr bool kOffAtZero = true;
constexpr bool kNoOffPosition = false;

// The normalized value of Note Truncation's shortest time, the first position above " off"
// (a float, so that it survives a host that keeps values in single precision).
constexpr float kFirstOnPosition = 1e-6f;
} // namespace

TimeAtt1Parameter::TimeAtt1Parameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kAttackGradualId, id, flags))
{
}

void TimeAtt1Parameter::toString(ParamValue valueNormalized, String128 string) const
{
    showMilliseconds(converter, &ParamConverter::toPhysicalAttackGradual, kNoOffPosition,
                     valueNormalized, string);
}

bool TimeAtt1Parameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalAttackGradual, kNoOffPosition,
                        string, valueNormalized);
}

TimeAtt2Parameter::TimeAtt2Parameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kAttackSynthId, id, flags))
{
}

void TimeAtt2Parameter::toString(ParamValue valueNormalized, String128 string) const
{
    showMilliseconds(converter, &ParamConverter::toPhysicalAttackSynth, kNoOffPosition,
                     valueNormalized, string);
}

bool TimeAtt2Parameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalAttackSynth, kNoOffPosition, string,
                        valueNormalized);
}

TimeRelParameter::TimeRelParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kReleaseId, id, flags))
{
}

void TimeRelParameter::toString(ParamValue valueNormalized, String128 string) const
{
    showMilliseconds(converter, &ParamConverter::toPhysicalRelease, kNoOffPosition, valueNormalized,
                     string);
}

bool TimeRelParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalRelease, kNoOffPosition, string,
                        valueNormalized);
}

HoldOpenTimeParameter::HoldOpenTimeParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kHoldId, id, flags))
{
}

void HoldOpenTimeParameter::toString(ParamValue valueNormalized, String128 string) const
{
    showMilliseconds(converter, &ParamConverter::toPhysicalHold, kNoOffPosition, valueNormalized,
                     string);
}

bool HoldOpenTimeParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalHold, kNoOffPosition, string,
                        valueNormalized);
}

HoldClosedTimeParameter::HoldClosedTimeParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kHoldClosedId, id, flags))
{
}

void HoldClosedTimeParameter::toString(ParamValue valueNormalized, String128 string) const
{
    showMilliseconds(converter, &ParamConverter::toPhysicalHoldClosed, kOffAtZero, valueNormalized,
                     string);
}

bool HoldClosedTimeParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalHoldClosed, kOffAtZero, string,
                        valueNormalized);
}

AttDelayTimeParameter::AttDelayTimeParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kAttackDelayId, id, flags))
{
}

void AttDelayTimeParameter::toString(ParamValue valueNormalized, String128 string) const
{
    showMilliseconds(converter, &ParamConverter::toPhysicalAttackDelay, kOffAtZero, valueNormalized,
                     string);
}

bool AttDelayTimeParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return readPhysical(converter, &ParamConverter::fromPhysicalAttackDelay, kOffAtZero, string,
                        valueNormalized);
}

AttIsoTimeParameter::AttIsoTimeParameter(int32 flags, ParamID id)
    : Parameter(parameterInfo(kNoteTruncationId, id, flags))
{
}

void AttIsoTimeParameter::toString(ParamValue valueNormalized, String128 string) const
{
    showMilliseconds(converter, &ParamConverter::toPhysicalNoteTruncation, kOffAtZero,
                     valueNormalized, string);
}

// The curve starts at 10 ms, right above " off", and the first positions on it show "10.0 ms":
// that text, typed back, must not fall to " off" as a time below the curve does.
bool AttIsoTimeParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    ParamValue value = 0.;
    if (!readPhysical(converter, &ParamConverter::fromPhysicalNoteTruncation, kOffAtZero, string,
                      value))
        return false;
    float typed = 0.f;
    const float firstShown = converter.toPhysicalNoteTruncation(kFirstOnPosition) - 0.05f;
    if (value == 0. && scanTypedNumber(string, typed) && typed >= firstShown)
        value = kFirstOnPosition;
    valueNormalized = value;
    return true;
}

} // namespace Quorvane
