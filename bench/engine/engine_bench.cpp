// Throughput of the gate engine at 48 kHz in 512-sample blocks, for 1, 2 and
// 6 channels, linked and unlinked, next to the plain per-sample gate pass
// kept with the tests (the reference) in the same run.
// Counters: "samples" is sample frames per second (one frame = one sample of
// every channel), "x_realtime" how many times faster than real time that is.
#include "benchworkload.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace
{

using namespace QuorvaneBench;

constexpr int kBlocksInLoop = 375; // four seconds of audio, repeated

// Arguments: channels, linked, block size.
template <class Gate> void run(benchmark::State& state, bool avx)
{
    const int channels = static_cast<int>(state.range(0));
    const bool linked = state.range(1) != 0;
    const int blockSize = static_cast<int>(state.range(2));
    const int blocksInLoop = kBlock * kBlocksInLoop / blockSize;
    Gate gate(channels, linked, avx);
    const auto signal = makeSignal(channels, blockSize * blocksInLoop);
    BlockBuffers buffers(channels, blockSize);

    int block = 0;
    for (auto _ : state)
    {
        // The engine writes its silence floor into the input, so each block
        // gets a fresh copy (a negligible share of the time, cheaper than
        // pausing the timer).
        for (int c = 0; c < channels; ++c)
            std::copy_n(signal[c].begin() + block * blockSize, blockSize, buffers.in[c].begin());
        block = (block + 1) % blocksInLoop;

        gate.process(buffers.inPointers.data(), buffers.outPointers.data(), blockSize);
        benchmark::DoNotOptimize(buffers.out[0].data());
        benchmark::ClobberMemory();
    }
    const double frames = static_cast<double>(state.iterations()) * blockSize;
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
    b->ArgNames({"channels", "linked", "block"});
    for (int channels : {1, 2, 6})
        for (int linked : {1, 0})
            b->Args({channels, linked, kBlock});
}

// Stereo, linked, in the small blocks some hosts use: the ladder's pipeline
// fills and drains once per block.
void smallBlocks(benchmark::internal::Benchmark* b)
{
    for (int block : {32, 64, 128})
        b->Args({2, 1, block});
}

} // namespace

BENCHMARK(BM_Engine)->Apply(layouts)->Apply(smallBlocks);
BENCHMARK(BM_EngineSse2)->Apply(layouts);
BENCHMARK(BM_Reference)->Apply(layouts)->Apply(smallBlocks);
