// Small text helpers for the VST 3 structures' fixed-width fields.
#pragma once

#include "pluginterfaces/base/funknown.h"

#include <cstring>
#include <string>

namespace Quorvane
{

// The 32 hex digits that presets and host projects store for a class ID.
inline std::string classIdText(const Steinberg::TUID cid)
{
    Steinberg::char8 text[33]{};
    Steinberg::FUID::fromTUID(cid).toString(text);
    return text;
}

// A fixed-width 8-bit field that may lack its terminator.
template <size_t N> std::string fieldText(const Steinberg::char8 (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

} // namespace Quorvane
