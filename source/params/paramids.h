#pragma once

#include <cstdint>

namespace Quorvane
{

// Fixed parameter IDs shared by processor, controller and editor. The
// controller registers the parameters in ID order, so a host's parameter
// index equals the ID.
enum ParamIds : uint32_t
{
    // Switches
    kBypassId = 0,
    kListenId = 1,
    kChannelLinkingId = 2,
    kDuckingId = 3,
    kGradualAttEnvelopeId = 4,

    // Continuous controls
    kOutputLevelId = 5,
    kThresholdId = 6,
    kRangeId = 7,
    kHysteresisId = 8,
    kAttackGradualId = 9,
    kAttackSynthId = 10,
    kReleaseId = 11,
    kHoldId = 12,
    kHoldClosedId = 13,
    kBeatSkipId = 14,
    kAttackDelayId = 15,
    kNoteTruncationId = 16,

    // Read-only outputs (meters and the side-chain indicator)
    kMaxVuId = 17,
    kMinVuId = 18,
    kMaxGateId = 19,
    kMinGateId = 20,
    kSideChainMonitorId = 21,
};

constexpr uint32_t kNumSwitchParams = 5; // IDs 0..4
constexpr uint32_t kFirstContinuousId = kOutputLevelId;
constexpr uint32_t kLastContinuousId = kNoteTruncationId;
constexpr uint32_t kNumInputParams = 17; // IDs 0..16: everything the host may write
constexpr uint32_t kNumContinuousParams = kNumInputParams - kNumSwitchParams; // IDs 5..16
constexpr uint32_t kNumParams = 22;                                           // IDs 0..21

constexpr bool isSwitchParam(uint32_t id)
{
    return id < kNumSwitchParams;
}
constexpr bool isContinuousParam(uint32_t id)
{
    return id >= kFirstContinuousId && id <= kLastContinuousId;
}
constexpr bool isOutputParam(uint32_t id)
{
    return id >= kNumInputParams && id < kNumParams;
}

} // namespace Quorvane
