// The gate pass's four-at-a-time loops against what they promise sample by sample, at every
// chunk length up to twenty (so every split between the vector loops and their tails) with each
// kind of awkward sample at every position.
#include "chunkkernels.h"
#include "crossoverladder.h"
#include "engineconstants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using namespace Quorvane;

namespace
{

constexpr int kLanes = 4;

const float kOdd[] = {std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity(),
                      1e-30f,
                      -0.0f,
                      0.0f,
                      -3e20f,
                      -kSilence,
                      0.7f,
                      -1.0f};

template <class T> bool sameBits(T a, T b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

float floored(float x)
{
    const float m = std::fabs(x);
    return m >= kSilence && m <= kLargestSample ? x : kSilence;
}

} // namespace

TEST(ChunkKernels, OneChannelLoopsKeepTheirPromiseAtEveryLengthAndPosition)
{
    for (int count = 0; count <= 20; ++count)
        for (int at = 0; at < std::max(count, 1); ++at)
            for (float value : kOdd)
            {
                std::vector<float> a(count), levels(count, -1.0f), out(count);
                for (int i = 0; i < count; ++i)
                    a[i] = (i % 3 == 0 ? -0.25f : 0.5f) / float(i + 1);
                if (at < count)
                    a[at] = value;
                const std::vector<float> in = a;
                std::vector<double> lanes(count * kLanes, 9.0);
                const float peak =
                    floorLevelAndLane(a.data(), count, levels.data(), 0.1f, lanes.data());
                float expectedPeak = 0.1f;
                for (int i = 0; i < count; ++i)
                {
                    const float x = floored(in[i]);
                    const float level = std::max(kSilence, std::fabs(x));
                    expectedPeak = std::max(expectedPeak, level);
                    ASSERT_TRUE(sameBits(a[i], x)) << count << " samples, " << i;
                    ASSERT_TRUE(sameBits(levels[i], level)) << count << " samples, " << i;
                    ASSERT_TRUE(sameBits(lanes[i * kLanes], double(x)));
                    for (int lane = 1; lane < kLanes; ++lane)
                        ASSERT_EQ(lanes[i * kLanes + lane], 9.0) << "lane " << lane << " kept";
                }
                EXPECT_TRUE(sameBits(peak, expectedPeak));
                EXPECT_TRUE(sameBits(largestMagnitude(a.data(), count, 0.1f), expectedPeak));

                // Back out of lane 0: rounded to float, then times the output level.
                for (int i = 0; i < count; ++i)
                    lanes[i * kLanes] = double(a[i]) * (1.0 + 1e-9 * i);
                deinterleaveSingle(lanes.data(), 0.8f, out.data(), count);
                for (int i = 0; i < count; ++i)
                    ASSERT_TRUE(sameBits(out[i], float(lanes[i * kLanes]) * 0.8f));
            }
}

TEST(ChunkKernels, ManyChannelLoopsKeepTheirPromiseAtEveryLengthAndPosition)
{
    // Two to ten channels in pairs, an odd one alone, and (with AVX) groups of three or four; an
    // awkward sample at every position of one channel, in turn.
    constexpr int kStride = 24 * kLanes;
    std::vector<bool> avxModes = {false};
    if (Ladder::avxAvailable())
        avxModes.push_back(true);
    for (bool avx : avxModes)
        for (int channels = 2; channels <= 10; ++channels)
            for (int count = 0; count <= 20; ++count)
                for (int at = 0; at < std::max(count, 1); ++at)
                    for (float value : kOdd)
                    {
                        const std::string label = std::to_string(channels) + " channels, " +
                                                  std::to_string(count) + " samples, avx " +
                                                  std::to_string(avx);
                        std::vector<std::vector<float>> in(channels, std::vector<float>(count));
                        for (int c = 0; c < channels; ++c)
                            for (int i = 0; i < count; ++i)
                                in[c][i] = (i % 3 == c % 2 ? -0.25f : 0.5f) / float(i + c + 1);
                        if (at < count)
                            in[(at + count) % channels][at] = value;
                        std::vector<std::vector<float>> a = in;
                        std::vector<float*> ptr;
                        for (auto& channel : a)
                            ptr.push_back(channel.data());
                        std::vector<float> levels(count, -1.0f);
                        std::vector<double> lanes(3 * kStride, 9.0);
                        const float peak =
                            floorLevelsAndLanesMany(ptr.data(), channels, 0, count, levels.data(),
                                                    0.1f, lanes.data(), kStride, avx);
                        float expectedPeak = 0.1f;
                        for (int i = 0; i < count; ++i)
                        {
                            float level = kSilence;
                            for (int c = 0; c < channels; ++c)
                            {
                                const float x = floored(in[c][i]);
                                level = std::max(level, std::fabs(x));
                                ASSERT_TRUE(sameBits(a[c][i], x))
                                    << label << ", " << c << ", " << i;
                                const double lane =
                                    lanes[(c / kLanes) * kStride + i * kLanes + c % kLanes];
                                ASSERT_TRUE(sameBits(lane, double(x))) << label << ", " << c;
                            }
                            for (int c = channels; c % kLanes != 0; ++c)
                                ASSERT_TRUE(std::isfinite(
                                    lanes[(c / kLanes) * kStride + i * kLanes + c % kLanes]))
                                    << label << ": a lane without a channel stays finite";
                            ASSERT_TRUE(sameBits(levels[i], level)) << label << ", " << i;
                            expectedPeak = std::max(expectedPeak, level);
                        }
                        ASSERT_TRUE(sameBits(peak, expectedPeak)) << label;

                        // A group of three or four back out of its lanes.
                        if (!avx || channels < 3)
                            continue;
                        const int inGroup = std::min(channels, kLanes);
                        deinterleaveGroupAvx(lanes.data(), 0.8f, ptr.data(), inGroup, count);
                        for (int c = 0; c < inGroup; ++c)
                            for (int i = 0; i < count; ++i)
                                ASSERT_TRUE(sameBits(a[c][i], float(lanes[i * kLanes + c]) * 0.8f))
                                    << label << ", out " << c << ", " << i;
                    }
}
