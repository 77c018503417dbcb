// Conversions between the VST 3 interfaces' UTF-16 strings and UTF-8.
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <cstddef>
#include <string>

namespace Quorvane
{

// Reads at most maxUnits units, stopping at the terminator.
std::string toUtf8(const Steinberg::char16* text, size_t maxUnits);
std::u16string toUtf16(const std::string& text);

} // namespace Quorvane
