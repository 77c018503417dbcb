#include "editorimages.h"
#include "embeddedresources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

using namespace Quorvane;
using QuorvaneTest::editorImages;

namespace
{

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

TEST(EmbeddedResources, EveryEditorImageIsFoundWhateverTheCase)
{
    const unsigned char pngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const auto& image : editorImages)
    {
        const unsigned char* data = nullptr;
        size_t size = 0;
        ASSERT_TRUE(findResource(image.name, &data, &size)) << image.name;
        ASSERT_NE(data, nullptr);
        ASSERT_GT(size, sizeof(pngSignature));
        EXPECT_EQ(std::memcmp(data, pngSignature, sizeof(pngSignature)), 0) << image.name;

        // Other spellings find the very same bytes.
        for (const std::string& spelling : {upper(image.name), lower(image.name)})
        {
            const unsigned char* again = nullptr;
            size_t againSize = 0;
            EXPECT_TRUE(findResource(spelling.c_str(), &again, &againSize)) << spelling;
            EXPECT_EQ(again, data) << spelling;
            EXPECT_EQ(againSize, size) << spelling;
        }
    }
}

TEST(EmbeddedResources, NamesThatAreNotEmbeddedAreNotFoundAndOutputsStayUntouched)
{
    const unsigned char marker = 0;
    for (const char* name : {"", "background", "background.pn", "background.png ",
                             " background.png", "background.png.bak", "sub/background.png",
                             "knobImg3.png", "OnOf.png", "OnOffFlippedX.png"})
    {
        const unsigned char* data = &marker;
        size_t size = 1234;
        EXPECT_FALSE(findResource(name, &data, &size)) << '"' << name << '"';
        EXPECT_EQ(data, &marker);
        EXPECT_EQ(size, 1234u);
    }
    const unsigned char* data = &marker;
    size_t size = 1234;
    EXPECT_FALSE(findResource(nullptr, &data, &size));
    EXPECT_EQ(data, &marker);
    EXPECT_EQ(size, 1234u);
}

TEST(EmbeddedResources, NullOutputPointersAreNotWritten)
{
    size_t size = 0;
    EXPECT_TRUE(findResource("VuOn.png", nullptr, &size));
    EXPECT_GT(size, 0u);
    const unsigned char* data = nullptr;
    EXPECT_TRUE(findResource("VuOn.png", &data, nullptr));
    EXPECT_NE(data, nullptr);
    EXPECT_TRUE(findResource("VuOn.png", nullptr, nullptr));
}

} // namespace
