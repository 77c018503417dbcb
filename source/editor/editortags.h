// Tags of the editor's controls: four ASCII characters, the first in the most significant byte.
#pragma once

#include "paramids.h"

#include <cstdint>

namespace Quorvane
{

constexpr int32_t makeTag(const char (&chars)[5])
{
    return int32_t((uint32_t(uint8_t(chars[0])) << 24) | (uint32_t(uint8_t(chars[1])) << 16) |
                   (uint32_t(uint8_t(chars[2])) << 8) | uint32_t(uint8_t(chars[3])));
}

constexpr int32_t kSplashTag = makeTag("xxxx");

struct ParameterTags
{
    uint32_t id;
    int32_t control; // knob, slider or switch
    int32_t text;    // text field; 0 for the switches
};

// One row per editable parameter, in ID order.
constexpr ParameterTags kParameterTags[kNumInputParams] = {
    {kBypassId, makeTag("ByPB"), 0},
    {kListenId, makeTag("CPB "), 0},
    {kChannelLinkingId, makeTag("ChLB"), 0},
    {kDuckingId, makeTag("DkB "), 0},
    {kGradualAttEnvelopeId, makeTag("EnvB"), 0},
    {kOutputLevelId, makeTag("OGK "), makeTag("OGT ")},
    {kThresholdId, makeTag("ThrS"), makeTag("ThrT")},
    {kRangeId, makeTag("RngK"), makeTag("RngT")},
    {kHysteresisId, makeTag("HstK"), makeTag("HstT")},
    {kAttackGradualId, makeTag("At1K"), makeTag("At1T")},
    {kAttackSynthId, makeTag("At2K"), makeTag("At2T")},
    {kReleaseId, makeTag("RelK"), makeTag("RelT")},
    {kHoldId, makeTag("HOTK"), makeTag("HOTT")},
    {kHoldClosedId, makeTag("HCTK"), makeTag("HCTT")},
    {kBeatSkipId, makeTag("HCPK"), makeTag("HCPT")},
    {kAttackDelayId, makeTag("ADTK"), makeTag("ADTT")},
    {kNoteTruncationId, makeTag("AITK"), makeTag("AITT")},
};

// The parameter a control tag or a text field tag edits; false for any other tag.
inline bool parameterOfControlTag(int32_t tag, uint32_t& id)
{
    for (const ParameterTags& row : kParameterTags)
        if (row.control == tag)
        {
            id = row.id;
            return true;
        }
    return false;
}

inline bool parameterOfTextTag(int32_t tag, uint32_t& id)
{
    for (const ParameterTags& row : kParameterTags)
        if (row.text != 0 && row.text == tag)
        {
            id = row.id;
            return true;
        }
    return false;
}

static_assert(makeTag("ThrS") == 0x54687253, "tags put the first character in the top byte");
static_assert(makeTag("OGK ") == 0x4F474B20, "a trailing blank is part of the tag");

} // namespace Quorvane
