// Throughput of the gate engine at 48 kHz in 512-sample blocks, for 1, 2 and
// 6 channels, linked and unlinked, next to the plain per-sample gate pass
// kept with the tests (the reference) in the same run.
// Counters: "samples" is sample frames per second (one frame = one sample of
// every channel), "x_realtime" how many times faster than real time that is.
#include "gateengine.h"
#include "reference/referencegate.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kBlock = 512;
constexpr float kRate = 48000.0f;
constexpr int kBlocksInLoop = 375; // four seconds of audio, repeated

void configure(Quorvane::GateEngine& engine, int channels, bool linked)
{
    engine.setInputChannels(channels);
    engine.setOutputChannels(channels);
    engine.setSideChainChannels(channels);
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
std::vector<std::vector<float>> makeSignal(int channels)
{
    const int frames = kBlock * kBlocksInLoop;
    std::vector<std::vector<float>> signal(channels, std::vector<float>(frames));
    uint32_t noise = 12345;
    for (int i = 0; i < frames; ++i)
    {
        const int sinceNote = i % 12000;
        const float burst = 0.8f * std::exp(-sinceNote / 2000.0f) *
                            std::sin(2.0f * 3.14159265f * 180.0f * i / kRate);
        for (int c = 0; c < channels; ++c)
        {
            noise = noise * 1664525u + 1013904223u;
            const float hiss = 0.002f * (static_cast<float>(noise >> 8) / 16777216.0f - 0.5f);
            signal[c][i] = burst * (1.0f - 0.1f * c) + hiss;
        }
    }
    return signal;
}

// The engine as the plug-in runs it.
struct Optimized
{
    Optimized(int channels, bool linked, bool avx)
    {
        configure(engine, channels, linked);
        engine.allowAvx(avx);
    }
    void process(float** in, float** out, int n) { engine.processBlock(in, out, n); }
    Quorvane::GateEngine engine;
};

// The plain per-sample pass, with the settings the engine derives.
struct Reference
{
    Reference(int channels, bool linked, bool)
    {
        configure(settings, channels, linked);
        gate.setChannels(channels, channels, channels);
        gate.setSampleRate(settings);
        gate.takeSettings(settings);
        gate.seed(1);
    }
    void process(float** in, float** out, int n) { gate.processBlock(in, out, n); }
    Quorvane::GateEngine settings;
    QuorvaneTest::ReferenceGate gate;
};

template <class Gate>
void run(benchmark::State& state, bool avx)
{
    const int channels = static_cast<int>(state.range(0));
    const bool linked = state.range(1) != 0;
    Gate gate(channels, linked, avx);
    const auto signal = makeSignal(channels);
    std::vector<std::vector<float>> in(channels, std::vector<float>(kBlock));
    std::vector<std::vector<float>> out(channels, std::vector<float>(kBlock));
    std::vector<float*> inPointers;
    std::vector<float*> outPointers;
    for (int c = 0; c < channels; ++c)
    {
        inPointers.push_back(in[c].data());
        outPointers.push_back(out[c].data());
    }

    int block = 0;
    for (auto _ : state)
    {
        // The engine writes its silence floor into the input, so each block
        // gets a fresh copy (a negligible share of the time, cheaper than
        // pausing the timer).
        for (int c = 0; c < channels; ++c)
            std::copy_n(signal[c].begin() + block * kBlock, kBlock, in[c].begin());
        block = (block + 1) % kBlocksInLoop;

        gate.process(inPointers.data(), outPointers.data(), kBlock);
        benchmark::DoNotOptimize(out[0].data());
        benchmark::ClobberMemory();
    }
    const double frames = static_cast<double>(state.iterations()) * kBlock;
    state.counters["samples"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["x_realtime"] = benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
}

void BM_Engine(benchmark::State& state)
{
    run<Optimized>(state, true);
}

// The engine with AVX turned off: SSE2 and scalar passes only.
void BM_EngineSse2(benchmark::State& state)
{
    run<Optimized>(state, false);
}

void BM_Reference(benchmark::State& state)
{
    run<Reference>(state, false);
}

void layouts(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"channels", "linked"});
    for (int channels : {1, 2, 6})
        for (int linked : {1, 0})
            b->Args({channels, linked});
}

} // namespace

BENCHMARK(BM_Engine)->Apply(layouts);
BENCHMARK(BM_EngineSse2)->Apply(layouts);
BENCHMARK(BM_Reference)->Apply(layouts);
