#include "lv2ports.h"

#include "displayvalue.h"

namespace Quorvane
{

using namespace Steinberg::Vst;

const Lv2Variant kLv2Variants[kNumLv2Variants] = {
    {QUORVANE_LV2_URI "/stereo", "Quorvane", 2, 0},
    {QUORVANE_LV2_URI "/mono", "Quorvane Mono", 1, 0},
    {QUORVANE_LV2_URI "/stereo-sc", "Quorvane SC", 2, 2},
    {QUORVANE_LV2_URI "/mono-sc", "Quorvane Mono SC", 1, 1},
};

const Lv2ControlPort kLv2Controls[kNumParams] = {
    {kBypassId, false},
    {kListenId, false},
    {kChannelLinkingId, false},
    {kDuckingId, false},
    {kGradualAttEnvelopeId, false},
    {kOutputLevelId, false},
    {kThresholdId, false},
    {kRangeId, false},
    {kHysteresisId, false},
    {kAttackGradualId, false},
    {kAttackSynthId, false},
    {kReleaseId, false},
    {kHoldId, false},
    {kHoldClosedId, false},
    {kBeatSkipId, false},
    {kAttackDelayId, false},
    {kNoteTruncationId, false},
    {kMaxVuId, true},
    {kMinVuId, true},
    {kMaxGateId, true},
    {kMinGateId, true},
    {kSideChainMonitorId, true},
};

const char* lv2Symbol(uint32_t id)
{
    static const char* const symbols[kNumParams] = {
        "bypass",
        "listen",
        "channel_linking",
        "ducking",
        "gradual_attack",
        "output_level",
        "threshold",
        "range",
        "hysteresis",
        "attack_gradual",
        "attack_synth",
        "release",
        "hold",
        "hold_closed",
        "beat_skip",
        "attack_delay",
        "note_truncation",
        "max_vu",
        "min_vu",
        "max_gate",
        "min_gate",
        "side_chain_monitor",
    };
    return id < kNumParams ? symbols[id] : "";
}

namespace
{

class DisplayPortValues : public Lv2PortValues
{
public:
    bool toNormalized(ParamID id, float plain, ParamValue& normalized) const override
    {
        return normalizedFromDisplay(id, plain, normalized);
    }
    float toPlain(ParamID id, ParamValue normalized) const override
    {
        return displayFromNormalized(id, normalized);
    }
};

} // namespace

const Lv2PortValues& lv2PortValues()
{
    static const DisplayPortValues values;
    return values;
}

Lv2PortLayout lv2PortLayout(const Lv2Variant& variant)
{
    return {kLv2Controls,     kNumParams,     variant.mainChannels, variant.sideChainChannels,
            &lv2PortValues(), kLv2StateKeyUri};
}

} // namespace Quorvane
