// Text conversions between the VST 3 side (UTF-16 strings, version strings)
// and the fixed-length 8-bit texts a VST 2 host reads.
#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg {
namespace Vst {

class Vst2Text
{
public:
	/** Writes src as UTF-8 into the host's field dst of fieldSize bytes,
	    terminator included, cut at a character boundary where it does not
	    fit. Only the text and its terminator are written, never the rest of
	    a host's buffer. */
	static void copy (char* dst, const char16* src, int32 fieldSize);
	static constexpr int32 kMaxCopy = 255; // the longest UTF-16 text copied
	static void copy (char* dst, const char8* src, int32 fieldSize);

	/** copy for a value with its unit ("-38.0 dB"): a text too long for
	    the field loses its blanks ("-38.0dB"), then, if still too long, the
	    word after its last blank ("-120.0"), before it is cut. The number
	    is what a reader needs most. */
	static void copyValue (char* dst, const char16* src, int32 fieldSize);

	/** The integer a VST 2 host expects for a version string "a.b.c.d":
	    a * 1000 + b * 100 + c * 10 + d, so "1.3.0.1" gives 1301. Missing
	    parts count as 0; b, c and d are limited to 0..9 so that each keeps
	    its own decimal digit, and the result to what an int32 holds. */
	static int32 versionNumber (const char8* version);
};

} // namespace Vst
} // namespace Steinberg
