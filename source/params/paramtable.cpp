#include "paramtable.h"

#include "paramconverter.h"

#include <array>

namespace Quorvane {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32 kAutomate = ParameterInfo::kCanAutomate;
constexpr int32 kReadOnly = ParameterInfo::kIsReadOnly;
constexpr int32 kBypass = ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass;

const std::array<ParamDescription, kNumParams> kDescriptions = {{
	{kBypassId, STR16 ("Bypass"), 1, kBypass, kGateUnitId},
	{kListenId, STR16 ("Listen"), 1, kAutomate, kRootUnitId},
	{kChannelLinkingId, STR16 ("Channel Linking"), 1, kAutomate, kRootUnitId},
	{kDuckingId, STR16 ("Ducking"), 1, kAutomate, kRootUnitId},
	{kGradualAttEnvelopeId, STR16 ("Gradual Att Envelope"), 1, kAutomate, kRootUnitId},
	{kOutputLevelId, STR16 ("Output Level"), 0, kAutomate, kRootUnitId},
	{kThresholdId, STR16 ("Threshold"), 0, kAutomate, kRootUnitId},
	{kRangeId, STR16 ("Range"), 0, kAutomate, kRootUnitId},
	{kHysteresisId, STR16 ("Hysteresis"), 0, kAutomate, kRootUnitId},
	{kAttackGradualId, STR16 ("Attack (gradual)"), 0, kAutomate, kRootUnitId},
	{kAttackSynthId, STR16 ("Attack (synth)"), 0, kAutomate, kRootUnitId},
	{kReleaseId, STR16 ("Release"), 0, kAutomate, kRootUnitId},
	{kHoldId, STR16 ("Hold"), 0, kAutomate, kRootUnitId},
	{kHoldClosedId, STR16 ("Hold Closed"), 0, kAutomate, kRootUnitId},
	{kBeatSkipId, STR16 ("Beat Skip"), 0, kAutomate, kRootUnitId},
	{kAttackDelayId, STR16 ("Attack Delay"), 0, kAutomate, kRootUnitId},
	{kNoteTruncationId, STR16 ("Note Truncation"), 0, kAutomate, kRootUnitId},
	{kMaxVuId, STR16 ("Max Vu"), 0, kReadOnly, kRootUnitId},
	{kMinVuId, STR16 ("Min Vu"), 0, kReadOnly, kRootUnitId},
	{kMaxGateId, STR16 ("Max Gate"), 0, kReadOnly, kRootUnitId},
	{kMinGateId, STR16 ("Min Gate"), 0, kReadOnly, kRootUnitId},
	{kSideChainMonitorId, STR16 ("Side Chain Monitor: on/off"), 0, kReadOnly, kRootUnitId},
}};

} // namespace

const ParamDescription* findParamDescription (ParamID id)
{
	return id < kNumParams ? &kDescriptions[id] : nullptr;
}

ParamValue infoDefault (ParamID id)
{
	if (isSwitchParam (id))
		return ParamConverter ().defaultNormalized (id);
	if (id >= kFirstContinuousId && id < kNoteTruncationId)
		return 1.0;
	return 0.0;
}

} // namespace Quorvane
