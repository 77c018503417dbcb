#include "enginetesthelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Quorvane;
using QuorvaneTest::AudioBuffer;
using QuorvaneTest::configure;

namespace
{

constexpr int kBlock = 512;
constexpr float kRate = 48000.0f;

// Runs the bypass or listen fade of a fresh request to its end.
void finishFade(GateEngine& engine, int inputs, int outputs)
{
    AudioBuffer in(inputs, kBlock, 0.0f);
    AudioBuffer out(outputs, kBlock);
    for (int n = 0; n < 10 && engine.fade().fading(); ++n)
        engine.processBlock(in.data(), out.data(), kBlock);
    ASSERT_FALSE(engine.fade().fading());
}

} // namespace

TEST(GateEngineProcess, MetersLinkedAndUnlinked)
{
    for (int linked : {1, 0})
    {
        GateEngine engine;
        configure(engine, 2, 2, 2, kRate);
        engine.setChannelLinking(linked);
        AudioBuffer in(2, kBlock);
        AudioBuffer out(2, kBlock);

        // Meters refresh once 2400 samples have passed, counted in whole blocks.
        for (int b = 0; b < 5; ++b)
        {
            EXPECT_EQ(engine.maxVu(), kSilence) << "block " << b;
            in.fillChannel(0, b == 2 ? 0.5f : 0.2f);
            in.fillChannel(1, 0.001f);
            engine.processBlock(in.data(), out.data(), kBlock);
        }
        EXPECT_EQ(engine.meterCount(), 0);
        EXPECT_EQ(engine.maxVu(), 0.5f);
        EXPECT_GT(engine.maxGate(), 0.99f);
        if (linked)
        {
            EXPECT_EQ(engine.minVu(), kSilence);
            EXPECT_EQ(engine.minGate(), engine.maxGate());
        }
        else
        {
            EXPECT_EQ(engine.minVu(), 0.001f);
            EXPECT_LT(engine.minGate(), 0.001f);
        }
        EXPECT_EQ(engine.keyPeak(0), kSilence) << "peaks restart after each refresh";
    }
}

TEST(GateEngineProcess, OutputLevelScalesTheGatedSignal)
{
    GateEngine unity;
    GateEngine quieter;
    configure(unity, 1, 1, 2, kRate);
    configure(quieter, 1, 1, 2, kRate);
    quieter.setOutputLevel(-6.0f);
    AudioBuffer in(1, kBlock, 0.5f);
    AudioBuffer a(1, kBlock);
    AudioBuffer b(1, kBlock);
    unity.processBlock(in.data(), a.data(), kBlock);
    quieter.processBlock(in.data(), b.data(), kBlock);
    const float factor = std::pow(10.0f, -6.0f / 20.0f);
    for (int i = 0; i < kBlock; ++i)
        ASSERT_EQ(b.at(0, i), a.at(0, i) * factor);
}

TEST(GateEngineProcess, MonoInputFeedsBothOutputsButCopiesOnlyOne)
{
    GateEngine engine;
    configure(engine, 1, 2, 2, kRate);
    AudioBuffer in(1, kBlock, 0.5f);
    AudioBuffer out(2, kBlock);
    engine.processBlock(in.data(), out.data(), kBlock);
    EXPECT_GT(out.at(1, kBlock - 1), 0.1f);
    EXPECT_EQ(out.channel(0), out.channel(1));

    engine.setBypass(1);
    finishFade(engine, 1, 2);
    in.fill(0.5f);
    engine.processBlock(in.data(), out.data(), kBlock);
    EXPECT_EQ(out.at(0, 100), 0.5f);
    EXPECT_EQ(out.at(1, 100), kSilence);
}

TEST(GateEngineProcess, BypassFreezesDetectorsAndSilencesMeters)
{
    GateEngine engine;
    configure(engine, 2, 2, 2, kRate);
    engine.setChannelLinking(0);
    AudioBuffer in(2, kBlock, 0.5f);
    AudioBuffer out(2, kBlock);
    engine.processBlock(in.data(), out.data(), kBlock);
    engine.setBypass(1);
    finishFade(engine, 2, 2); // quiet blocks: the detectors start closing
    const DetectorState before = engine.detector(1);

    for (int b = 0; b < 20; ++b)
    {
        in.fill(0.0f);
        engine.processBlock(in.data(), out.data(), kBlock);
        ASSERT_EQ(engine.maxVu(), kSilence);
        ASSERT_EQ(engine.minGate(), kSilence);
    }
    EXPECT_EQ(engine.detector(1).detectorOpen, before.detectorOpen);
    EXPECT_EQ(engine.detector(1).holdCount, before.holdCount);
    EXPECT_EQ(engine.detector(1).envelope, before.envelope);
    EXPECT_EQ(engine.detector(1).gain, before.gain);

    engine.setBypass(0);
    finishFade(engine, 2, 2);
    EXPECT_LT(engine.detector(1).envelope, before.envelope) << "the release resumes";
}

TEST(GateEngineProcess, ListenOutputsTheKey)
{
    GateEngine engine;
    configure(engine, 2, 2, 2, kRate);
    engine.setListen(1);
    AudioBuffer in(2, kBlock, 0.5f);
    AudioBuffer side(2, kBlock, 0.125f);
    AudioBuffer out(2, kBlock);
    for (int b = 0; b < 10 && !(engine.fade().listen() && !engine.fade().fading()); ++b)
        engine.processBlockSideChain(side.data(), in.data(), out.data(), 2, kBlock);
    engine.processBlockSideChain(side.data(), in.data(), out.data(), 2, kBlock);
    EXPECT_EQ(out.at(0, 0), 0.125f);
    EXPECT_EQ(out.at(1, kBlock - 1), 0.125f);

    // In place, without a side chain: the dry input, not the gated output.
    AudioBuffer io(2, kBlock);
    for (int i = 0; i < kBlock; ++i)
        io.at(0, i) = io.at(1, i) = 0.001f * static_cast<float>(i % 100);
    std::vector<float> dry = io.channel(0);
    for (float& x : dry)
        x = x == 0.0f ? kSilence : x;
    engine.processBlock(io.data(), io.data(), kBlock);
    EXPECT_EQ(io.channel(0), dry);
}

TEST(GateEngineProcess, InPlaceBuffersGiveTheSameResult)
{
    for (int linked : {1, 0})
    {
        GateEngine separate;
        GateEngine inPlace;
        configure(separate, 1, 2, 2, kRate);
        configure(inPlace, 1, 2, 2, kRate);
        separate.setChannelLinking(linked);
        inPlace.setChannelLinking(linked);
        AudioBuffer in(1, kBlock);
        AudioBuffer out(2, kBlock);
        AudioBuffer io(2, kBlock);
        for (int i = 0; i < kBlock; ++i)
            in.at(0, i) = io.at(0, i) = (i / 64) % 2 ? 0.5f : 0.0f;
        separate.processBlock(in.data(), out.data(), kBlock);
        inPlace.processBlock(io.data(), io.data(), kBlock);
        EXPECT_EQ(io.channel(0), out.channel(0)) << "linked " << linked;
        EXPECT_EQ(io.channel(1), out.channel(1)) << "linked " << linked;
    }
}

// So do finite samples too large to be audio: through the filters they would
// overflow the output.
TEST(GateEngineProcess, NonFiniteSamplesCountAsSilence)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    GateEngine engine;
    configure(engine, 2, 2, 2, kRate);
    engine.setChannelLinking(0);
    AudioBuffer in(2, kBlock, 0.5f);
    AudioBuffer side(2, kBlock, 0.5f);
    AudioBuffer out(2, kBlock);
    in.at(0, 10) = nan;
    in.at(1, 20) = -inf;
    in.at(1, 21) = 3.4e38f;
    side.at(0, 30) = inf;
    side.at(1, 40) = nan;
    side.at(1, 41) = -3e38f;
    engine.processBlockSideChain(side.data(), in.data(), out.data(), 2, kBlock);
    EXPECT_EQ(in.at(0, 10), kSilence);
    EXPECT_EQ(in.at(1, 21), kSilence);
    EXPECT_EQ(side.at(1, 40), kSilence);
    EXPECT_EQ(side.at(1, 41), kSilence);

    in.fill(0.5f);
    side.fill(0.5f);
    for (int b = 0; b < 20; ++b)
        engine.processBlockSideChain(side.data(), in.data(), out.data(), 2, kBlock);
    for (int c = 0; c < 2; ++c)
    {
        EXPECT_TRUE(std::isfinite(out.at(c, kBlock - 1)));
        EXPECT_NEAR(out.at(c, kBlock - 1), 0.5f, 0.01f);
        EXPECT_TRUE(std::isfinite(engine.detector(c).gain));
    }
    EXPECT_TRUE(std::isfinite(engine.maxVu()));
}

TEST(GateEngineProcess, SideChainWithoutChannelsUsesTheMainInputAsKey)
{
    GateEngine viaSideChain;
    GateEngine plain;
    configure(viaSideChain, 2, 2, 2, kRate);
    configure(plain, 2, 2, 2, kRate);
    viaSideChain.setChannelLinking(0);
    plain.setChannelLinking(0);
    AudioBuffer side(2, kBlock, 0.0f);
    AudioBuffer a(2, kBlock);
    AudioBuffer b(2, kBlock);
    for (int block = 0; block < 3; ++block)
    {
        AudioBuffer in(2, kBlock, 0.3f);
        AudioBuffer in2(2, kBlock, 0.3f);
        viaSideChain.processBlockSideChain(side.data(), in.data(), a.data(), 0, kBlock);
        viaSideChain.processBlockSideChain(nullptr, in.data(), a.data(), 2, kBlock);
        plain.processBlock(in2.data(), b.data(), kBlock);
        plain.processBlock(in2.data(), b.data(), kBlock);
        ASSERT_EQ(a.channel(1), b.channel(1));
    }
}

TEST(GateEngineProcess, SideChainKeyUsesOnlyTheChannelsPresent)
{
    GateEngine engine;
    configure(engine, 2, 2, 2, kRate);
    engine.setChannelLinking(0);
    AudioBuffer in(2, kBlock, 0.5f);
    AudioBuffer side(1, kBlock, 0.0f);
    AudioBuffer out(2, kBlock);
    // One side-chain channel keys both detectors; the main input does not.
    engine.processBlockSideChain(side.data(), in.data(), out.data(), 1, kBlock);
    EXPECT_FALSE(engine.detector(0).detectorOpen);
    EXPECT_FALSE(engine.detector(1).detectorOpen);
    side.fill(0.5f);
    engine.processBlockSideChain(side.data(), in.data(), out.data(), 1, kBlock);
    EXPECT_TRUE(engine.detector(0).detectorOpen);
    EXPECT_TRUE(engine.detector(1).detectorOpen);
}

TEST(GateEngineProcess, LinkingUsesOneDetectorAndLeavesTheOthersAlone)
{
    GateEngine engine;
    configure(engine, 2, 2, 2, kRate);
    engine.setChannelLinking(0);
    AudioBuffer in(2, kBlock);
    AudioBuffer out(2, kBlock);
    in.fillChannel(1, 0.5f);
    engine.processBlock(in.data(), out.data(), kBlock);
    ASSERT_FALSE(engine.detector(0).detectorOpen);
    const DetectorState second = engine.detector(1);

    // Linked: the loudest key channel opens detector 0 for every output.
    engine.setChannelLinking(1);
    in.fillChannel(1, 0.0f);
    in.fillChannel(0, 0.5f);
    engine.processBlock(in.data(), out.data(), kBlock);
    EXPECT_TRUE(engine.detector(0).detectorOpen);
    EXPECT_EQ(engine.detector(1).gain, second.gain);
    EXPECT_EQ(engine.detector(1).holdCount, second.holdCount);
}

TEST(GateEngineProcess, UnlinkedDetectorsDrawTheirOwnBeatSkips)
{
    GateEngine engine;
    configure(engine, 1, 2, 2, kRate);
    engine.setChannelLinking(0);
    engine.setHold(0.0f);
    engine.setBeatSkip(0.5f);
    AudioBuffer in(1, 64);
    AudioBuffer out(2, 64);
    int differing = 0;
    for (int note = 0; note < 40; ++note)
    {
        in.fill(0.5f);
        engine.processBlock(in.data(), out.data(), 64);
        differing += engine.detector(0).skipNote != engine.detector(1).skipNote ? 1 : 0;
        in.fill(0.0f);
        engine.processBlock(in.data(), out.data(), 64);
    }
    EXPECT_GT(differing, 5);
}

TEST(GateEngineProcess, UnconfiguredEngineWritesSilence)
{
    GateEngine engine;
    AudioBuffer in(2, 64, 0.5f);
    AudioBuffer out(2, 64, 0.5f);
    engine.processBlock(in.data(), out.data(), 64); // no channels at all: nothing to do
    ASSERT_TRUE(engine.setOutputChannels(2));
    engine.processBlock(in.data(), out.data(), 64);
    EXPECT_EQ(out.at(1, 63), kSilence);
}
