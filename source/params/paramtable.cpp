#include "paramtable.h"

#include "beatskipparameter.h"
#include "levelparameters.h"
#include "paramconverter.h"
#include "switchparameter.h"
#include "timeparameters.h"

#include "public.sdk/source/vst/vstparameters.h"

#include <array>
#include <iterator>

namespace Quorvane
{

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

constexpr int32 kAutomate = ParameterInfo::kCanAutomate;
constexpr int32 kReadOnly = ParameterInfo::kIsReadOnly;
constexpr int32 kBypass = ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass;

const std::array<ParamDescription, kNumParams> kDescriptions = {{
    {kBypassId, STR16("Bypass"), 1, kBypass, kGateUnitId},
    {kListenId, STR16("Listen"), 1, kAutomate, kRootUnitId},
    {kChannelLinkingId, STR16("Channel Linking"), 1, kAutomate, kRootUnitId},
    {kDuckingId, STR16("Ducking"), 1, kAutomate, kRootUnitId},
    {kGradualAttEnvelopeId, STR16("Gradual Att Envelope"), 1, kAutomate, kRootUnitId},
    {kOutputLevelId, STR16("Output Level"), 0, kAutomate, kRootUnitId},
    {kThresholdId, STR16("Threshold"), 0, kAutomate, kRootUnitId},
    {kRangeId, STR16("Range"), 0, kAutomate, kRootUnitId},
    {kHysteresisId, STR16("Hysteresis"), 0, kAutomate, kRootUnitId},
    {kAttackGradualId, STR16("Attack (gradual)"), 0, kAutomate, kRootUnitId},
    {kAttackSynthId, STR16("Attack (synth)"), 0, kAutomate, kRootUnitId},
    {kReleaseId, STR16("Release"), 0, kAutomate, kRootUnitId},
    {kHoldId, STR16("Hold"), 0, kAutomate, kRootUnitId},
    {kHoldClosedId, STR16("Hold Closed"), 0, kAutomate, kRootUnitId},
    {kBeatSkipId, STR16("Beat Skip"), 0, kAutomate, kRootUnitId},
    {kAttackDelayId, STR16("Attack Delay"), 0, kAutomate, kRootUnitId},
    {kNoteTruncationId, STR16("Note Truncation"), 0, kAutomate, kRootUnitId},
    {kMaxVuId, STR16("Max Vu"), 0, kReadOnly, kRootUnitId},
    {kMinVuId, STR16("Min Vu"), 0, kReadOnly, kRootUnitId},
    {kMaxGateId, STR16("Max Gate"), 0, kReadOnly, kRootUnitId},
    {kMinGateId, STR16("Min Gate"), 0, kReadOnly, kRootUnitId},
    {kSideChainMonitorId, STR16("Side Chain Monitor: on/off"), 0, kReadOnly, kRootUnitId},
}};

Parameter* createContinuousParameter(ParamID id)
{
    const int32 flags = kDescriptions[id].flags;
    switch (id)
    {
    case kOutputLevelId:
        return new OutputLevParameter(flags, id);
    case kThresholdId:
        return new ThresholdParameter(flags, id);
    case kRangeId:
        return new FloorParameter(flags, id);
    case kHysteresisId:
        return new HystParameter(flags, id);
    case kAttackGradualId:
        return new TimeAtt1Parameter(flags, id);
    case kAttackSynthId:
        return new TimeAtt2Parameter(flags, id);
    case kReleaseId:
        return new TimeRelParameter(flags, id);
    case kHoldId:
        return new HoldOpenTimeParameter(flags, id);
    case kHoldClosedId:
        return new HoldClosedTimeParameter(flags, id);
    case kBeatSkipId:
        return new HoldClosedProbParameter(flags, id);
    case kAttackDelayId:
        return new AttDelayTimeParameter(flags, id);
    case kNoteTruncationId:
        return new AttIsoTimeParameter(flags, id);
    default:
        return nullptr;
    }
}

} // namespace

const TChar* gateUnitName()
{
    return STR16("Unit1");
}

const ParamDescription* findParamDescription(ParamID id)
{
    return id < kNumParams ? &kDescriptions[id] : nullptr;
}

ParameterInfo parameterInfo(ParamID row, ParamID id, int32 flags)
{
    ParameterInfo info{};
    const ParamDescription* d = findParamDescription(row);
    if (!d)
        return info;
    for (size_t i = 0; i + 1 < std::size(info.title) && d->title[i] != 0; ++i)
        info.title[i] = d->title[i];
    info.id = id;
    info.stepCount = d->stepCount;
    info.defaultNormalizedValue = infoDefault(row);
    info.flags = flags;
    info.unitId = d->unitId;
    return info;
}

ParamValue infoDefault(ParamID id)
{
    return ParamConverter().defaultNormalized(id);
}

Parameter* createParameter(ParamID id)
{
    const ParamDescription* d = findParamDescription(id);
    if (!d)
        return nullptr;
    if (isContinuousParam(id))
        return createContinuousParameter(id);
    if (isSwitchParam(id))
        return new SwitchParameter(d->flags, id);
    return new Parameter(parameterInfo(id, id, d->flags));
}

void addAllParameters(ParameterContainer& container)
{
    for (ParamID id = 0; id < kNumParams; ++id)
        container.addParameter(createParameter(id));
}

} // namespace Quorvane
