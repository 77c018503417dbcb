#include "utf16.h"

namespace Quorvane
{

namespace
{

void appendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80)
        out += static_cast<char>(code);
    else if (code < 0x800)
    {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else if (code < 0x10000)
    {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

constexpr char32_t kReplacement = 0xFFFD;

} // namespace

std::string toUtf8(const Steinberg::char16* text, size_t maxUnits)
{
    std::string out;
    for (size_t i = 0; i < maxUnits && text[i] != 0; ++i)
    {
        char32_t unit = static_cast<char16_t>(text[i]);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < maxUnits)
        {
            char32_t low = static_cast<char16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000)
            {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, (unit >= 0xD800 && unit < 0xE000) ? kReplacement : unit);
    }
    return out;
}

std::u16string toUtf16(const std::string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size();)
    {
        auto byte = static_cast<unsigned char>(text[i]);
        int length = byte < 0x80           ? 1
                     : (byte >> 5) == 0x6  ? 2
                     : (byte >> 4) == 0xE  ? 3
                     : (byte >> 3) == 0x1E ? 4
                                           : 0;
        char32_t code = kReplacement;
        if (length == 1)
            code = byte;
        else if (length > 1 && i + length <= text.size())
        {
            code = byte & (0x7F >> length);
            for (int k = 1; k < length; ++k)
            {
                auto next = static_cast<unsigned char>(text[i + k]);
                if ((next & 0xC0) != 0x80)
                {
                    code = kReplacement;
                    length = k;
                    break;
                }
                code = (code << 6) | (next & 0x3F);
            }
        }
        i += length > 0 ? length : 1;
        if (code >= 0x10000 && code < 0x110000)
        {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        }
        else
            out += static_cast<char16_t>(code < 0x110000 ? code : kReplacement);
    }
    return out;
}

} // namespace Quorvane
