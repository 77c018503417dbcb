// The host reads and writes files in pieces much longer than a block, and keeps the peaks of
// every block: blocks that straddle a piece, a last piece cut short and odd samples must all
// come through unchanged.
#include "audio/audiofilereader.h"
#include "audio/audiofilewriter.h"
#include "audiofiles.h"
#include "hosttestfixture.h"
#include "render/rendertrace.h"
#include "support/temporaryfile.h"

#include <cmath>
#include <limits>

namespace QuorvaneTest
{
namespace
{

// Every sample different and exact in float: frame and channel in the mantissa.
Channels numbered(int channels, int frames)
{
    Channels data(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < frames; ++i)
            data[c][i] = std::ldexp(static_cast<float>(i * 8 + c + 1), -24) * (i % 2 ? -1 : 1);
    return data;
}

using AudioFilePiecesTest = HostTest;

TEST_F(AudioFilePiecesTest, BlocksOfAnyLengthComeThroughUnchanged)
{
    constexpr int kFrames = 150001; // longer than two pieces for one channel, not a multiple
    for (int channels : {1, 2, 3})
        for (int block : {1, 333, 4096, 70001})
        {
            SCOPED_TRACE(std::to_string(channels) + " channels, blocks of " +
                         std::to_string(block));
            const Channels source = numbered(channels, kFrames);
            ASSERT_TRUE(writeAudio(path("in.wav"), source, 48000));

            Quorvane::AudioFileReader reader(path("in.wav"), "input");
            Quorvane::TemporaryFile temporary(path("out.wav"));
            const auto format = Quorvane::chooseOutputFormat(path("out.wav"), std::nullopt,
                                                             reader.format(), channels, 48000);
            Quorvane::AudioFileWriter writer(temporary, path("out.wav"), format, channels, 48000);
            Channels blockData(static_cast<size_t>(channels),
                               std::vector<float>(static_cast<size_t>(block), 1.0f));
            int total = 0;
            for (int got; (got = reader.read(blockData, block)) > 0; total += got)
            {
                for (const auto& channel : blockData)
                    for (int i = got; i < block; ++i)
                        ASSERT_EQ(channel[i], 0.0f) << "past the end at " << total + i;
                writer.write(blockData, got);
            }
            writer.close();
            temporary.commit();
            EXPECT_EQ(total, kFrames);
            EXPECT_EQ(readAudio(path("out.wav")).channels, source);
        }
}

TEST(RenderTracePeakTest, LargestMagnitudeOfEveryChannelWithoutNaNs)
{
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    // Two channels of five samples, and their peak.
    const std::vector<std::vector<float>> cases[] = {
        {{0.25f, -0.5f, 0.125f, 0, 0.1f}, {-0.75f, 0, 0, 0, 0}, {0.75f}},
        {{kNaN, -kNaN, 1e-40f, -0.0f, 0}, {0, -2e-40f, kNaN, 0, 0}, {2e-40f}},
        {{0.5f, -kInf, kNaN, 0, 0}, {3.0f, 0, 0, 0, 0}, {kInf}},
        {{0, 0, 0, 0, 0}, {0, 0, 0, 0, -0.3f}, {0.3f}},
    };
    for (const auto& c : cases)
    {
        Quorvane::RenderTrace trace(5, 48000.0, 1); // one segment: the block in one run
        const float* in[] = {c[0].data(), c[1].data()};
        const float* out[] = {c[1].data(), c[0].data()};
        trace.addBlock(0, in, out, 2, 5);
        EXPECT_EQ(trace.inputPeak(), c[2][0]);
        EXPECT_EQ(trace.outputPeak(), c[2][0]);
    }
}

} // namespace
} // namespace QuorvaneTest
