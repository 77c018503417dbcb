#include "public.sdk/source/common/textconvert.h"

#include <gtest/gtest.h>

#include <string>

using namespace Steinberg;

namespace
{

template <int N> std::u16string toUtf16(const char* text, int32 srcSize = -1)
{
    char16 out[N];
    for (auto& c : out)
        c = u'?';
    utf8ToUtf16(out, N, text, srcSize);
    for (int i = 0; i < N; ++i)
        if (out[i] == 0)
        {
            for (int j = i; j < N; ++j)
                EXPECT_EQ(out[j], 0) << "unfilled unit " << j;
            return std::u16string(out, static_cast<size_t>(i));
        }
    ADD_FAILURE() << "no terminator";
    return {};
}

template <int N> std::string toUtf8(const char16* text, int32 srcSize = -1)
{
    char8 out[N];
    for (auto& c : out)
        c = '?';
    utf16ToUtf8(out, N, text, srcSize);
    for (int i = 0; i < N; ++i)
        if (out[i] == 0)
        {
            for (int j = i; j < N; ++j)
                EXPECT_EQ(out[j], 0) << "unfilled byte " << j;
            return std::string(out, static_cast<size_t>(i));
        }
    ADD_FAILURE() << "no terminator";
    return {};
}

TEST(TextConvert, convertsEveryEncodedLengthBothWays)
{
    const char* utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E";
    const char16* utf16 = u"A\u00E9\u20AC\U0001D11E";
    EXPECT_EQ(toUtf16<16>(utf8), utf16);
    EXPECT_EQ(toUtf8<16>(utf16), utf8);
    EXPECT_EQ(toUtf16<4>(nullptr), u"");
    EXPECT_EQ(toUtf8<4>(nullptr), "");
}

TEST(TextConvert, cutsTooLongTextAtACharacterBoundary)
{
    // Room for three units: the surrogate pair after "Ab" does not fit whole.
    EXPECT_EQ(toUtf16<4>("Ab\xF0\x9D\x84\x9E"), u"Ab");
    EXPECT_EQ(toUtf16<4>("Abc\xC3\xA9"), u"Abc");
    // Room for four bytes: the three-byte euro sign after "Ab" does not fit.
    EXPECT_EQ(toUtf8<5>(u"Ab\u20AC"), "Ab");
    EXPECT_EQ(toUtf8<5>(u"\u00E9\u00E9x"), "\xC3\xA9\xC3\xA9");
}

TEST(TextConvert, replacesMalformedInput)
{
    // A stray continuation byte, a truncated sequence, an overlong form and
    // an encoded surrogate each become one replacement character.
    EXPECT_EQ(toUtf16<16>("a\x80"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(toUtf16<16>("a\xE2\x82"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(toUtf16<16>("\xC0\xAF"), u"\uFFFD");
    EXPECT_EQ(toUtf16<16>("\xED\xA0\x80"), u"\uFFFD");
    EXPECT_EQ(toUtf16<16>("\xE2\x82"), u"\uFFFD");

    const char16 lone[] = {u'a', 0xD800, u'b', 0xDC00, 0};
    EXPECT_EQ(toUtf8<16>(lone), "a\xEF\xBF\xBD"
                                "b\xEF\xBF\xBD");
}

TEST(TextConvert, stopsAtTheSourceSizeOfAnUnterminatedField)
{
    const char field[4] = {'G', 'a', 't', 'e'};
    EXPECT_EQ(toUtf16<16>(field, 4), u"Gate");
    // A sequence cut by the end of the field is not read past it.
    const char cut[3] = {'x', '\xE2', '\x82'};
    EXPECT_EQ(toUtf16<16>(cut, 3), u"x\uFFFD");
    const char16 wide[3] = {u'a', u'b', u'c'};
    EXPECT_EQ(toUtf8<16>(wide, 2), "ab");
}

} // namespace
