#pragma once

#include "paramconverter.h"

#include "public.sdk/source/vst/vstparameters.h"

namespace Quorvane
{

// The four level controls, shown as "%.1f dB" and typed in dB.

class OutputLevParameter : public Steinberg::Vst::Parameter
{
public:
    OutputLevParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(OutputLevParameter, Parameter)

private:
    ParamConverter converter;
};

// 0 dB at normalized 0 down to -76 dB at normalized 1.
class ThresholdParameter : public Steinberg::Vst::Parameter
{
public:
    ThresholdParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(ThresholdParameter, Parameter)

private:
    ParamConverter converter;
};

// "Range": the floor the closed gate attenuates to.
class FloorParameter : public Steinberg::Vst::Parameter
{
public:
    FloorParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(FloorParameter, Parameter)

private:
    ParamConverter converter;
};

class HystParameter : public Steinberg::Vst::Parameter
{
public:
    HystParameter(Steinberg::int32 flags, Steinberg::Vst::ParamID id);

    void toString(Steinberg::Vst::ParamValue valueNormalized,
                  Steinberg::Vst::String128 string) const override;
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& valueNormalized) const override;

    OBJ_METHODS(HystParameter, Parameter)

private:
    ParamConverter converter;
};

} // namespace Quorvane
