#pragma once

#include "paramconverter.h"

#include "public.sdk/source/vst/vstparameters.h"

namespace Quorvane
{

// The seven time controls, shown in milliseconds and typed in milliseconds.

// Attack time of the gradual envelope.
class TimeAtt1Parameter : public Steinberg::Vst::Parameter
{
public:
    TimeAtt1Parameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(TimeAtt1Parameter, Parameter)

private:
    ParamConverter converter;
};

// Attack time of the synthesized envelope.
class TimeAtt2Parameter : public Steinberg::Vst::Parameter
{
public:
    TimeAtt2Parameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(TimeAtt2Parameter, Parameter)

private:
    ParamConverter converter;
};

class TimeRelParameter : public Steinberg::Vst::Parameter
{
public:
    TimeRelParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(TimeRelParameter, Parameter)

private:
    ParamConverter converter;
};

// How long the gate stays open once the key falls below the threshold.
class HoldOpenTimeParameter : public Steinberg::Vst::Parameter
{
public:
    HoldOpenTimeParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(HoldOpenTimeParameter, Parameter)

private:
    ParamConverter converter;
};

// How long the gate stays closed after each close; 0 is " off".
class HoldClosedTimeParameter : public Steinberg::Vst::Parameter
{
public:
    HoldClosedTimeParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(HoldClosedTimeParameter, Parameter)

private:
    ParamConverter converter;
};

// 0 is " off".
class AttDelayTimeParameter : public Steinberg::Vst::Parameter
{
public:
    AttDelayTimeParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(AttDelayTimeParameter, Parameter)

private:
    ParamConverter converter;
};

// 0 is " off"; any other value is at least about 10 ms.
class AttIsoTimeParameter : public Steinberg::Vst::Parameter
{
public:
    AttIsoTimeParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(AttIsoTimeParameter, Parameter)

private:
    ParamConverter converter;
};

} // namespace Quorvane
