#include "vst2text.h"

#include <gtest/gtest.h>

#include <cstring>

using Steinberg::Vst::Vst2Text;

TEST(Vst2Text, VersionStringsBecomeOneDigitPerPartAfterTheFirst)
{
    EXPECT_EQ(Vst2Text::versionNumber("1.3.0.1"), 1301);
    EXPECT_EQ(Vst2Text::versionNumber("2.4"), 2400);
    EXPECT_EQ(Vst2Text::versionNumber("12.0.5"), 12050);
    EXPECT_EQ(Vst2Text::versionNumber("1.12.3.4"), 1934); // a part above 9 keeps its digit at 9
    EXPECT_EQ(Vst2Text::versionNumber("3.1 beta"), 3100);
    EXPECT_EQ(Vst2Text::versionNumber(""), 0);
    EXPECT_EQ(Vst2Text::versionNumber("beta"), 0);
    EXPECT_EQ(Vst2Text::versionNumber(nullptr), 0);
    EXPECT_EQ(Vst2Text::versionNumber("99999999999.1"), 0x7FFFFFFF);
}

TEST(Vst2Text, CopiesCutAtCharacterBoundariesAndWriteNoFurther)
{
    char buffer[16];
    std::memset(buffer, 'x', sizeof(buffer));
    Vst2Text::copy(buffer, "abcdefghijk", 8); // an 8-byte field: 7 characters and the terminator
    EXPECT_STREQ(buffer, "abcdefg");
    EXPECT_EQ(buffer[8], 'x');

    // "-5 dB" with a minus sign U+2212 (3 bytes in UTF-8) after 6 ASCII bytes:
    // the sign does not fit into 8 bytes and is left out whole.
    const Steinberg::char16 wide[] = {'L', 'e', 'v', 'e', 'l', ' ', 0x2212, '5', 0};
    std::memset(buffer, 'x', sizeof(buffer));
    Vst2Text::copy(buffer, wide, 8);
    EXPECT_STREQ(buffer, "Level ");
    EXPECT_EQ(buffer[7], 'x');

    std::memset(buffer, 'x', sizeof(buffer));
    Vst2Text::copy(buffer,
                   "ab\xE2\x88\x92"
                   "5",
                   4);
    EXPECT_STREQ(buffer, "ab");

    Vst2Text::copy(buffer, static_cast<const char*>(nullptr), 8);
    EXPECT_STREQ(buffer, "");
}
