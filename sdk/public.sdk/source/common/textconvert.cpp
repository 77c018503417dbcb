#include "public.sdk/source/common/textconvert.h"

namespace Steinberg {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isSurrogate (char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

// Decodes the character at s[0], of which `available` bytes may be read.
// Returns the number of bytes it takes (at least 1).
int32 decodeUtf8 (const uint8* s, int32 available, char32_t& cp)
{
	const uint8 lead = s[0];
	if (lead < 0x80)
	{
		cp = lead;
		return 1;
	}
	int32 length = 0;
	char32_t smallest = 0;
	if ((lead & 0xE0) == 0xC0)
	{
		length = 2;
		cp = lead & 0x1F;
		smallest = 0x80;
	}
	else if ((lead & 0xF0) == 0xE0)
	{
		length = 3;
		cp = lead & 0x0F;
		smallest = 0x800;
	}
	else if ((lead & 0xF8) == 0xF0)
	{
		length = 4;
		cp = lead & 0x07;
		smallest = 0x10000;
	}
	else
	{
		cp = kReplacement;
		return 1;
	}
	for (int32 i = 1; i < length; ++i)
	{
		// A missing or wrong continuation byte ends the sequence before it.
		if (i >= available || (s[i] & 0xC0) != 0x80)
		{
			cp = kReplacement;
			return i;
		}
		cp = (cp << 6) | (s[i] & 0x3F);
	}
	// Overlong forms, surrogates and values past U+10FFFF are not characters.
	if (cp < smallest || cp > 0x10FFFF || isSurrogate (cp))
		cp = kReplacement;
	return length;
}

int32 encodeUtf8 (char32_t cp, uint8 out[4])
{
	if (cp < 0x80)
	{
		out[0] = static_cast<uint8> (cp);
		return 1;
	}
	if (cp < 0x800)
	{
		out[0] = static_cast<uint8> (0xC0 | (cp >> 6));
		out[1] = static_cast<uint8> (0x80 | (cp & 0x3F));
		return 2;
	}
	if (cp < 0x10000)
	{
		out[0] = static_cast<uint8> (0xE0 | (cp >> 12));
		out[1] = static_cast<uint8> (0x80 | ((cp >> 6) & 0x3F));
		out[2] = static_cast<uint8> (0x80 | (cp & 0x3F));
		return 3;
	}
	out[0] = static_cast<uint8> (0xF0 | (cp >> 18));
	out[1] = static_cast<uint8> (0x80 | ((cp >> 12) & 0x3F));
	out[2] = static_cast<uint8> (0x80 | ((cp >> 6) & 0x3F));
	out[3] = static_cast<uint8> (0x80 | (cp & 0x3F));
	return 4;
}

} // namespace

void utf8ToUtf16 (char16* dst, int32 dstSize, const char8* src, int32 srcSize)
{
	if (dst == nullptr || dstSize <= 0)
		return;
	int32 out = 0;
	if (src != nullptr)
	{
		const auto* s = reinterpret_cast<const uint8*> (src);
		int32 in = 0;
		while ((srcSize < 0 || in < srcSize) && s[in] != 0)
		{
			// Never look past the terminator or the end of src.
			int32 available = 0;
			while (available < 4 && (srcSize < 0 || in + available < srcSize) &&
			       s[in + available] != 0)
				++available;
			char32_t cp = 0;
			in += decodeUtf8 (s + in, available, cp);
			const int32 units = cp > 0xFFFF ? 2 : 1;
			if (out + units > dstSize - 1)
				break;
			if (units == 2)
			{
				const char32_t v = cp - 0x10000;
				dst[out++] = static_cast<char16> (0xD800 + (v >> 10));
				dst[out++] = static_cast<char16> (0xDC00 + (v & 0x3FF));
			}
			else
			{
				dst[out++] = static_cast<char16> (cp);
			}
		}
	}
	while (out < dstSize)
		dst[out++] = 0;
}

void utf16ToUtf8 (char8* dst, int32 dstSize, const char16* src, int32 srcSize)
{
	if (dst == nullptr || dstSize <= 0)
		return;
	int32 out = 0;
	if (src != nullptr)
	{
		int32 in = 0;
		while ((srcSize < 0 || in < srcSize) && src[in] != 0)
		{
			char32_t cp = static_cast<uint16> (src[in++]);
			if (cp >= 0xD800 && cp <= 0xDBFF)
			{
				const bool haveNext = (srcSize < 0 || in < srcSize) && src[in] != 0;
				const char32_t next = haveNext ? static_cast<uint16> (src[in]) : 0;
				if (next >= 0xDC00 && next <= 0xDFFF)
				{
					cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
					++in;
				}
				else
				{
					cp = kReplacement;
				}
			}
			else if (isSurrogate (cp))
			{
				cp = kReplacement;
			}
			uint8 bytes[4];
			const int32 length = encodeUtf8 (cp, bytes);
			if (out + length > dstSize - 1)
				break;
			for (int32 i = 0; i < length; ++i)
				dst[out++] = static_cast<char8> (bytes[i]);
		}
	}
	while (out < dstSize)
		dst[out++] = 0;
}

} // namespace Steinberg
