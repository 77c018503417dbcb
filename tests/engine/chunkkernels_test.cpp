// The gate pass's four-at-a-time loops against what they promise sample by sample, at every
// chunk length up to twenty (so every split between the vector loops and their tails) with each
// kind of awkward sample at every position.
#include "chunkkernels.h"
#include "engineconstants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace Quorvane;

namespace
{

constexpr int kLanes = 4;

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
    const float inf = std::numeric_limits<float>::infinity();
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                         inf,
                         -inf,
                         1e-30f,
                         -0.0f,
                         0.0f,
                         -3e20f,
                         -kSilence,
                         0.7f,
                         -1.0f};
    for (int count = 0; count <= 20; ++count)
        for (int at = 0; at < std::max(count, 1); ++at)
            for (float value : odd)
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
