// Quorvane as LV2 sees it: the four plug-ins of the bundle, their ports, and the conversions
// between port values and normalized values. The binary and the tool that writes the bundle's
// .ttl files both read it, so what the host is told is what the binary does.
#pragma once

#include "lv2portlayout.h"
#include "paramids.h"

namespace Quorvane
{

#define QUORVANE_LV2_URI "http://ostrelle.example/quorvane/lv2"

// The URIs never change: hosts keep them in their sessions.
constexpr const char kLv2StateKeyUri[] = QUORVANE_LV2_URI "#state";
constexpr const char kLv2UiUri[] = QUORVANE_LV2_URI "/ui";

// LV2 has no bus negotiation: each channel layout is a plug-in of its own.
struct Lv2Variant
{
    const char* uri;
    const char* name;
    int mainChannels;
    int sideChainChannels;
};
constexpr int kNumLv2Variants = 4;
extern const Lv2Variant kLv2Variants[kNumLv2Variants];

// The control ports, one per parameter in ID order (so a control port's index is its parameter
// ID), and their symbols.
extern const Steinberg::Vst::Lv2ControlPort kLv2Controls[kNumParams];
const char* lv2Symbol(uint32_t id);

// Port values are the values the editor shows (see displayvalue.h).
const Steinberg::Vst::Lv2PortValues& lv2PortValues();

Steinberg::Vst::Lv2PortLayout lv2PortLayout(const Lv2Variant& variant);

} // namespace Quorvane
