#include "vst2text.h"

#include "public.sdk/source/common/textconvert.h"

#include <cstring>

namespace Steinberg {
namespace Vst {

void Vst2Text::copy (char* dst, const char8* src, int32 fieldSize)
{
	if (dst == nullptr || fieldSize <= 0)
		return;
	const int32 maxBytes = fieldSize - 1;
	int32 length = 0;
	while (src != nullptr && length < maxBytes && src[length] != 0)
		++length;
	if (length == maxBytes && src[length] != 0)
	{
		// Cut before a UTF-8 sequence that would not fit whole.
		while (length > 0 && (static_cast<unsigned char> (src[length]) & 0xC0) == 0x80)
			--length;
	}
	if (length > 0)
		std::memcpy (dst, src, static_cast<size_t> (length));
	dst[length] = 0;
}

void Vst2Text::copy (char* dst, const char16* src, int32 fieldSize)
{
	if (dst == nullptr || fieldSize <= 0)
		return;
	char8 utf8[kMaxCopy + 1] = {};
	const int32 limit = fieldSize - 1 < kMaxCopy ? fieldSize - 1 : kMaxCopy;
	utf16ToUtf8 (utf8, limit + 1, src);
	std::memcpy (dst, utf8, std::strlen (utf8) + 1);
}

void Vst2Text::copyValue (char* dst, const char16* src, int32 fieldSize)
{
	if (dst == nullptr || fieldSize <= 0)
		return;
	char8 whole[kMaxCopy + 1] = {};
	utf16ToUtf8 (whole, kMaxCopy + 1, src);
	const auto fits = [fieldSize] (const char8* text) {
		return std::strlen (text) < static_cast<size_t> (fieldSize);
	};
	if (!fits (whole))
	{
		char8 compact[kMaxCopy + 1] = {};
		auto withoutBlanks = [&compact] (const char8* text, size_t length) {
			size_t out = 0;
			for (size_t i = 0; i < length; ++i)
				if (text[i] != ' ')
					compact[out++] = text[i];
			compact[out] = 0;
		};
		withoutBlanks (whole, std::strlen (whole));
		if (!fits (compact))
		{
			const char8* lastBlank = std::strrchr (whole, ' ');
			if (lastBlank != nullptr)
				withoutBlanks (whole, static_cast<size_t> (lastBlank - whole));
		}
		if (compact[0] != 0)
		{
			copy (dst, compact, fieldSize);
			return;
		}
	}
	copy (dst, whole, fieldSize);
}

int32 Vst2Text::versionNumber (const char8* version)
{
	static const int64 weights[4] = {1000, 100, 10, 1};
	int64 result = 0;
	int part = 0;
	const char8* p = version;
	while (p != nullptr && part < 4 && *p >= '0' && *p <= '9')
	{
		int64 value = 0;
		while (*p >= '0' && *p <= '9')
		{
			if (value < 10000000)
				value = value * 10 + (*p - '0');
			++p;
		}
		if (part > 0 && value > 9)
			value = 9;
		result += value * weights[part];
		++part;
		if (*p != '.')
			break;
		++p;
	}
	return result > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32> (result);
}

} // namespace Vst
} // namespace Steinberg
