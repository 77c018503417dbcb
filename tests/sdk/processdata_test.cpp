#include "testeffect.h"

#include "public.sdk/source/vst/hosting/processdata.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

TEST(HostProcessData, preparesSilentSeparateBuffersForEveryChannel)
{
    HostProcessData data;
    ASSERT_TRUE(data.prepare({2, 1}, {6}, 64));
    EXPECT_EQ(data.numInputs, 2);
    EXPECT_EQ(data.numOutputs, 1);
    EXPECT_EQ(data.numSamples, 64);
    EXPECT_EQ(data.symbolicSampleSize, kSample32);
    EXPECT_EQ(data.inputs[0].numChannels, 2);
    EXPECT_EQ(data.inputs[1].numChannels, 1);
    EXPECT_EQ(data.outputs[0].numChannels, 6);

    // Write a distinct value into the last sample of each channel; every
    // channel must keep its own.
    std::vector<Sample32*> all;
    for (int32 b = 0; b < 2; ++b)
        for (int32 c = 0; c < data.inputs[b].numChannels; ++c)
            all.push_back(data.inputs[b].channelBuffers32[c]);
    for (int32 c = 0; c < 6; ++c)
        all.push_back(data.outputs[0].channelBuffers32[c]);
    for (size_t i = 0; i < all.size(); ++i)
    {
        EXPECT_EQ(all[i][0], 0.f);
        EXPECT_EQ(all[i][63], 0.f);
        all[i][63] = static_cast<float>(i + 1);
    }
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i][63], static_cast<float>(i + 1));

    EXPECT_EQ(data.getChannel32(kInput, 1, 0), data.inputs[1].channelBuffers32[0]);
    EXPECT_EQ(data.getChannel32(kOutput, 0, 5), data.outputs[0].channelBuffers32[5]);
    data.silence();
    EXPECT_EQ(data.getChannel32(kOutput, 0, 5)[63], 0.f);
}

TEST(HostProcessData, findsChannelsOnlyWhereTheyExist)
{
    HostProcessData data;
    ASSERT_TRUE(data.prepare({2}, {0}, 16));
    EXPECT_EQ(data.outputs[0].channelBuffers32, nullptr);
    EXPECT_EQ(data.getChannel32(kInput, 0, 2), nullptr);
    EXPECT_EQ(data.getChannel32(kInput, 1, 0), nullptr);
    EXPECT_EQ(data.getChannel32(kOutput, 0, 0), nullptr);
    EXPECT_EQ(data.getChannel32(kInput, -1, 0), nullptr);
    EXPECT_EQ(data.getChannel64(kInput, 0, 0), nullptr);
    // The owned buffer stays reachable after the host points a bus elsewhere.
    Sample32* own = data.getChannel32(kInput, 0, 1);
    float other[16] = {};
    data.inputs[0].channelBuffers32[1] = other;
    EXPECT_EQ(data.getChannel32(kInput, 0, 1), own);
}

TEST(HostProcessData, refusesImpossibleLayoutsAndKeepsItsPreviousOne)
{
    HostProcessData data;
    ASSERT_TRUE(data.prepare({1}, {1}, 8));
    EXPECT_FALSE(data.prepare({-1}, {1}, 8));
    EXPECT_FALSE(data.prepare({1}, {1}, -8));
    EXPECT_FALSE(data.prepare({1}, {1}, 8, 7));
    EXPECT_EQ(data.numInputs, 1);
    EXPECT_NE(data.getChannel32(kInput, 0, 0), nullptr);

    data.unprepare();
    EXPECT_EQ(data.numInputs, 0);
    EXPECT_EQ(data.inputs, nullptr);
    EXPECT_EQ(data.getChannel32(kInput, 0, 0), nullptr);
}

TEST(HostProcessData, preparesDoublePrecisionBuffers)
{
    HostProcessData data;
    ASSERT_TRUE(data.prepare({2}, {2}, 32, kSample64));
    EXPECT_EQ(data.symbolicSampleSize, kSample64);
    ASSERT_NE(data.getChannel64(kOutput, 0, 1), nullptr);
    EXPECT_EQ(data.outputs[0].channelBuffers64[1], data.getChannel64(kOutput, 0, 1));
    EXPECT_NE(data.outputs[0].channelBuffers64[0], data.outputs[0].channelBuffers64[1]);
    EXPECT_EQ(data.getChannel32(kOutput, 0, 1), nullptr);
}

TEST(HostProcessData, followsTheBusesOfAComponent)
{
    IPtr<QuorvaneTest::TestEffect> effect = owned(new QuorvaneTest::TestEffect);
    ASSERT_EQ(effect->initialize(nullptr), kResultOk);
    SpeakerArrangement ins[] = {SpeakerArr::k51, SpeakerArr::kStereo};
    SpeakerArrangement outs[] = {SpeakerArr::kMono};
    ASSERT_EQ(effect->setBusArrangements(ins, 2, outs, 1), kResultTrue);

    HostProcessData data;
    ASSERT_TRUE(data.prepare(*effect, 128));
    ASSERT_EQ(data.numInputs, 2);
    ASSERT_EQ(data.numOutputs, 1);
    EXPECT_EQ(data.inputs[0].numChannels, 6);
    EXPECT_EQ(data.inputs[1].numChannels, 2);
    EXPECT_EQ(data.outputs[0].numChannels, 1);
    EXPECT_EQ(data.numSamples, 128);
    effect->terminate();
}

} // namespace
