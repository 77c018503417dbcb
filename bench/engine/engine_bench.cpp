// Throughput of the gate engine on stereo 48 kHz audio in 512-sample blocks.
// Counters: "samples" is sample frames per second (one frame = one sample of
// every channel), "x_realtime" how many times faster than real time that is.
#include "gateengine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kChannels = 2;
constexpr int kBlock = 512;
constexpr float kRate = 48000.0f;
constexpr int kBlocksInLoop = 375; // four seconds of audio, repeated

void configure(Quorvane::GateEngine& engine, bool linked)
{
    engine.setInputChannels(kChannels);
    engine.setOutputChannels(kChannels);
    engine.setSideChainChannels(kChannels);
    engine.setSampleRate(kRate);
    engine.setRandomSeed(1);
    engine.setChannelLinking(linked ? 1 : 0);
    engine.setDucking(0);
    engine.setGradualAttack(0);
    engine.setOutputLevel(0.0f);
    engine.setThreshold(-30.0f);
    engine.setRange(-60.0f);
    engine.setHysteresis(-3.0f);
    engine.setAttackGradual(1.0f);
    engine.setAttackSynth(5.0f);
    engine.setRelease(50.0f);
    engine.setHold(20.0f);
    engine.setHoldClosed(0.0f);
    engine.setBeatSkip(0.2f);
    engine.setAttackDelay(1.0f);
    engine.setNoteTruncation(0.0f);
}

// Drum-like notes: decaying tone bursts every 250 ms over low noise, so the
// gate opens and closes throughout.
std::vector<std::vector<float>> makeSignal()
{
    const int frames = kBlock * kBlocksInLoop;
    std::vector<std::vector<float>> signal(kChannels, std::vector<float>(frames));
    uint32_t noise = 12345;
    for (int i = 0; i < frames; ++i)
    {
        const int sinceNote = i % 12000;
        const float burst = 0.8f * std::exp(-sinceNote / 2000.0f) *
                            std::sin(2.0f * 3.14159265f * 180.0f * i / kRate);
        for (int c = 0; c < kChannels; ++c)
        {
            noise = noise * 1664525u + 1013904223u;
            const float hiss = 0.002f * (static_cast<float>(noise >> 8) / 16777216.0f - 0.5f);
            signal[c][i] = burst * (c == 0 ? 1.0f : 0.7f) + hiss;
        }
    }
    return signal;
}

void runEngine(benchmark::State& state, bool linked)
{
    Quorvane::GateEngine engine;
    configure(engine, linked);
    const auto signal = makeSignal();
    std::vector<std::vector<float>> in(kChannels, std::vector<float>(kBlock));
    std::vector<std::vector<float>> out(kChannels, std::vector<float>(kBlock));
    float* inPointers[kChannels] = {in[0].data(), in[1].data()};
    float* outPointers[kChannels] = {out[0].data(), out[1].data()};

    int block = 0;
    for (auto _ : state)
    {
        // The engine writes its silence floor into the input, so each block
        // gets a fresh copy (a negligible share of the time, cheaper than
        // pausing the timer).
        for (int c = 0; c < kChannels; ++c)
            std::copy_n(signal[c].begin() + block * kBlock, kBlock, in[c].begin());
        block = (block + 1) % kBlocksInLoop;

        engine.processBlock(inPointers, outPointers, kBlock);
        benchmark::DoNotOptimize(out[0].data());
        benchmark::ClobberMemory();
    }
    const double frames = static_cast<double>(state.iterations()) * kBlock;
    state.counters["samples"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["x_realtime"] = benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
}

void BM_EngineStereoLinked(benchmark::State& state)
{
    runEngine(state, true);
}

void BM_EngineStereoUnlinked(benchmark::State& state)
{
    runEngine(state, false);
}

} // namespace

BENCHMARK(BM_EngineStereoLinked);
BENCHMARK(BM_EngineStereoUnlinked);
