// The engine's block entry points never allocate, and a channel operation that runs out of
// memory leaves the configuration whole.
#include "allocationcounter.h"
#include "enginetesthelpers.h"

#include <gtest/gtest.h>

using namespace Quorvane;
using QuorvaneTest::AllocationProbe;
using QuorvaneTest::AudioBuffer;

TEST(GateEngineAllocation, BlockEntryPointsNeverAllocate)
{
    GateEngine engine;
    QuorvaneTest::configure(engine, 2, 2, 2, 48000.0f);
    engine.setBeatSkip(0.5f);
    engine.setHold(0.0f);
    AudioBuffer in(2, 512);
    AudioBuffer side(2, 512);
    AudioBuffer out(2, 512);
    auto notes = [&]
    {
        for (int i = 0; i < 512; ++i)
        {
            const float v = (i / 32) % 2 ? 0.5f : 0.0f;
            in.at(0, i) = in.at(1, i) = side.at(0, i) = side.at(1, i) = v;
        }
    };

    AllocationProbe probe;
    for (int round = 0; round < 4; ++round)
    {
        engine.setChannelLinking(round % 2);
        // Bypass on and off, then listen on and off, each with its fades.
        if (round == 1)
            engine.setBypass(1);
        if (round == 2)
            engine.setBypass(0);
        if (round == 3)
            engine.setListen(1);
        for (int block = 0; block < 8; ++block)
        {
            notes();
            engine.processBlock(in.data(), out.data(), 512);
            notes();
            engine.processBlockSideChain(side.data(), in.data(), out.data(), 2, 512);
            engine.processBlockSideChain(side.data(), in.data(), out.data(), 0, 512);
        }
    }
    EXPECT_EQ(probe.count(), 0u);
    EXPECT_TRUE(engine.fade().listen());
}

TEST(GateEngineAllocation, FailedAllocationLeavesTheConfigurationWhole)
{
    struct Operation
    {
        const char* name;
        bool (GateEngine::*set)(int);
        int (GateEngine::*count)() const;
    };
    const Operation operations[] = {
        {"outputs", &GateEngine::setOutputChannels, &GateEngine::outputChannels},
        {"inputs", &GateEngine::setInputChannels, &GateEngine::inputChannels},
        {"side chain", &GateEngine::setSideChainChannels, &GateEngine::sideChainChannels},
    };
    for (const Operation& op : operations)
    {
        GateEngine engine;
        QuorvaneTest::configure(engine, 2, 2, 2, 48000.0f);
        engine.setChannelLinking(0);
        AudioBuffer in(4, 256, 0.5f);
        AudioBuffer side(4, 256, 0.5f);
        AudioBuffer out(4, 256);
        engine.processBlock(in.data(), out.data(), 256);
        const DetectorState opened = engine.detector(1);
        const float peak = engine.keyPeak(1);

        // Fail the first allocation of the operation, then the second, ...
        int failures = 0;
        for (size_t nth = 1; nth <= 10; ++nth)
        {
            bool done = false;
            {
                AllocationProbe failing(nth);
                done = (engine.*op.set)(4);
            }
            if (done)
                break;
            ++failures;
            EXPECT_EQ((engine.*op.count)(), 2) << op.name;
            EXPECT_EQ(engine.crossover().channels(), 2) << op.name;
            EXPECT_EQ(engine.detector(1).gain, opened.gain) << op.name;
            EXPECT_EQ(engine.detector(1).holdCount, opened.holdCount) << op.name;
            EXPECT_EQ(engine.keyPeak(1), peak) << op.name;
        }
        EXPECT_GT(failures, 0) << op.name;
        EXPECT_EQ((engine.*op.count)(), 4) << op.name;

        // The engine works with whatever configuration it ended up with.
        engine.processBlock(in.data(), out.data(), 256);
        engine.processBlockSideChain(side.data(), in.data(), out.data(), 4, 256);
    }
}
