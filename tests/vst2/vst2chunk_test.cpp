#include "vst2chunk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using Steinberg::Vst::Vst2Chunk;

namespace
{

std::vector<std::uint8_t> header(std::int64_t p, std::int64_t c, std::size_t payload)
{
    std::vector<std::uint8_t> bytes(16 + payload, 0xAB);
    for (int i = 0; i < 8; ++i)
    {
        bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(p) >> (8 * i));
        bytes[8 + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(c) >> (8 * i));
    }
    return bytes;
}

} // namespace

TEST(Vst2Chunk, ComposedChunksParseBackToTheirParts)
{
    const std::uint8_t processor[] = {1, 2, 3};
    std::vector<std::uint8_t> chunk;
    Vst2Chunk::compose(processor, 3, nullptr, 0, chunk);
    ASSERT_EQ(chunk.size(), 19u);
    EXPECT_EQ(chunk[0], 3);
    EXPECT_EQ(chunk[8], 0);

    Vst2Chunk::Parts parts;
    ASSERT_TRUE(Vst2Chunk::parse(chunk.data(), static_cast<std::int64_t>(chunk.size()), parts));
    EXPECT_EQ(parts.processorSize, 3);
    EXPECT_EQ(parts.processorState, chunk.data() + 16);
    EXPECT_EQ(parts.controllerSize, 0);
    EXPECT_EQ(parts.controllerState, chunk.data() + 19);
}

TEST(Vst2Chunk, InconsistentChunksAreRefusedAndLeavePartsAlone)
{
    struct Case
    {
        std::int64_t p, c;
        std::size_t payload;
        std::int64_t claimedSize; // -1: the real size
    };
    const Case cases[] = {
        {-8, 21, 13, -1},               // negative processor size that adds up
        {21, -8, 13, -1},               // negative controller size that adds up
        {8, 6, 13, -1},                 // more than the chunk holds
        {8, 4, 13, -1},                 // less than the chunk holds
        {INT64_MAX, INT64_MAX, 13, -1}, // a sum that overflows
        {INT64_MAX, 1, 13, -1},
        {0, 0, 0, 15}, // shorter than the header
        {0, 0, 0, -5}, // a negative size
    };
    for (const Case& test : cases)
    {
        auto bytes = header(test.p, test.c, test.payload);
        const std::int64_t size =
            test.claimedSize == -1 ? static_cast<std::int64_t>(bytes.size()) : test.claimedSize;
        Vst2Chunk::Parts parts;
        parts.processorSize = 77;
        EXPECT_FALSE(Vst2Chunk::parse(bytes.data(), size, parts)) << test.p << " " << test.c;
        EXPECT_EQ(parts.processorSize, 77);
    }
    Vst2Chunk::Parts parts;
    EXPECT_FALSE(Vst2Chunk::parse(nullptr, 16, parts));
    // An empty chunk with both sizes 0 is consistent.
    auto empty = header(0, 0, 0);
    EXPECT_TRUE(Vst2Chunk::parse(empty.data(), 16, parts));
}
