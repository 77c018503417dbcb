#pragma once

// Helpers for driving the parameter objects with plain 8-bit text.

#include "beatskipparameter.h"
#include "levelparameters.h"
#include "paramids.h"
#include "timeparameters.h"

#include "pluginterfaces/base/smartpointer.h"

#include <string>
#include <vector>

namespace QuorvaneTest
{

using Steinberg::IPtr;
using Steinberg::Vst::Parameter;
using Steinberg::Vst::ParameterInfo;
using Steinberg::Vst::ParamID;
using Steinberg::Vst::ParamValue;

// The parameter object the controller registers for a continuous ID (5..16).
inline IPtr<Parameter> makeContinuousParameter(ParamID id)
{
    using namespace Quorvane;
    const Steinberg::int32 flags = ParameterInfo::kCanAutomate;
    Parameter* p = nullptr;
    switch (id)
    {
    case kOutputLevelId:
        p = new OutputLevParameter(flags, id);
        break;
    case kThresholdId:
        p = new ThresholdParameter(flags, id);
        break;
    case kRangeId:
        p = new FloorParameter(flags, id);
        break;
    case kHysteresisId:
        p = new HystParameter(flags, id);
        break;
    case kAttackGradualId:
        p = new TimeAtt1Parameter(flags, id);
        break;
    case kAttackSynthId:
        p = new TimeAtt2Parameter(flags, id);
        break;
    case kReleaseId:
        p = new TimeRelParameter(flags, id);
        break;
    case kHoldId:
        p = new HoldOpenTimeParameter(flags, id);
        break;
    case kHoldClosedId:
        p = new HoldClosedTimeParameter(flags, id);
        break;
    case kBeatSkipId:
        p = new HoldClosedProbParameter(flags, id);
        break;
    case kAttackDelayId:
        p = new AttDelayTimeParameter(flags, id);
        break;
    case kNoteTruncationId:
        p = new AttIsoTimeParameter(flags, id);
        break;
    default:
        return nullptr;
    }
    return Steinberg::owned(p);
}

inline std::vector<ParamID> continuousIds()
{
    std::vector<ParamID> ids;
    for (ParamID id = Quorvane::kFirstContinuousId; id <= Quorvane::kLastContinuousId; ++id)
        ids.push_back(id);
    return ids;
}

inline std::string narrow(const Steinberg::Vst::TChar* text)
{
    std::string out;
    for (; *text; ++text)
        out += static_cast<char>(*text);
    return out;
}

// The SDK's 16-bit text (char16_t on Linux, wchar_t on Windows).
using TString = std::basic_string<Steinberg::Vst::TChar>;

inline TString widen(const std::string& text)
{
    return TString(text.begin(), text.end());
}

// toString into a String128 that is checked for its terminator.
inline std::string display(const Parameter& p, ParamValue normalized)
{
    Steinberg::Vst::String128 string;
    for (auto& c : string)
        c = u'#';
    p.toString(normalized, string);
    bool terminated = false;
    for (auto c : string)
        terminated = terminated || c == 0;
    return terminated ? narrow(string) : std::string("<unterminated>");
}

inline bool parse(const Parameter& p, const std::string& text, ParamValue& normalized)
{
    const TString wide = widen(text);
    return p.fromString(wide.c_str(), normalized);
}

} // namespace QuorvaneTest
