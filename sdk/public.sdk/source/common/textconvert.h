// Conversions between UTF-8 and UTF-16 into fixed-size, zero-filled
// character arrays such as the fields of the factory's class records.
#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg {

/** Converts src to UTF-16 into dst, which holds dstSize units including the
    terminator. src ends at its terminator or after srcSize bytes (-1: only
    at the terminator). Text that does not fit is cut at a character
    boundary, the rest of dst is zero-filled, and malformed bytes become
    U+FFFD. */
void utf8ToUtf16 (char16* dst, int32 dstSize, const char8* src, int32 srcSize = -1);

/** Converts src to UTF-8 into dst, which holds dstSize bytes including the
    terminator. src ends at its terminator or after srcSize units (-1: only
    at the terminator). Text that does not fit is cut at a character
    boundary, the rest of dst is zero-filled, and unpaired surrogates become
    U+FFFD. */
void utf16ToUtf8 (char8* dst, int32 dstSize, const char16* src, int32 srcSize = -1);

} // namespace Steinberg
