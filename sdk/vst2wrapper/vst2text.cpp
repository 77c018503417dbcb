#include "vst2text.h"

#include "public.sdk/source/common/textconvert.h"

#include <cstring>

namespace Steinberg {
namespace Vst {

void Vst2Text::copy (char* dst, const char8* src, int32 maxBytes)
{
	if (dst == nullptr)
		return;
	if (src == nullptr || maxBytes <= 0)
	{
		dst[0] = 0;
		return;
	}
	int32 length = 0;
	while (length < maxBytes && src[length] != 0)
		++length;
	if (length == maxBytes && src[length] != 0)
	{
		// Cut before a UTF-8 sequence that would not fit whole.
		while (length > 0 && (static_cast<unsigned char> (src[length]) & 0xC0) == 0x80)
			--length;
	}
	std::memcpy (dst, src, static_cast<size_t> (length));
	dst[length] = 0;
}

void Vst2Text::copy (char* dst, const char16* src, int32 maxBytes)
{
	if (dst == nullptr)
		return;
	if (src == nullptr || maxBytes <= 0)
	{
		dst[0] = 0;
		return;
	}
	char8 utf8[kMaxCopy + 1] = {};
	const int32 limit = maxBytes < kMaxCopy ? maxBytes : kMaxCopy;
	utf16ToUtf8 (utf8, limit + 1, src);
	std::memcpy (dst, utf8, std::strlen (utf8) + 1);
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
