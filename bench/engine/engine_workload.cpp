// Helpers for bench/run-benchmarks.sh.
//
//   engine_workload run engine|sse2|reference CHANNELS LINKED SECONDS
//     processes SECONDS of the benchmark signal in 512-sample blocks; run it
//     under callgrind with --toggle-collect on the processBlock functions to
//     count instructions per sample frame.
//   engine_workload wav PATH SECONDS
//     writes the benchmark signal as a stereo 48 kHz 32-bit float WAV file.
#include "benchworkload.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using namespace QuorvaneBench;

template <class Gate> void runBlocks(int channels, bool linked, bool avx, int blocks)
{
    Gate gate(channels, linked, avx);
    const auto signal = makeSignal(channels, kBlock * blocks);
    BlockBuffers buffers(channels);
    for (int b = 0; b < blocks; ++b)
    {
        for (int c = 0; c < channels; ++c)
            std::copy_n(signal[c].begin() + b * kBlock, kBlock, buffers.in[c].begin());
        gate.process(buffers.inPointers.data(), buffers.outPointers.data(), kBlock);
    }
}

void put32(std::FILE* f, uint32_t v)
{
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

void put16(std::FILE* f, uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

bool writeWav(const char* path, int seconds)
{
    const int channels = 2;
    const int frames = seconds * static_cast<int>(kRate);
    const auto signal = makeSignal(channels, frames);
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr)
        return false;
    const uint32_t dataBytes = static_cast<uint32_t>(frames) * channels * 4;
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 3); // IEEE float
    put16(f, channels);
    put32(f, static_cast<uint32_t>(kRate));
    put32(f, static_cast<uint32_t>(kRate) * channels * 4);
    put16(f, channels * 4);
    put16(f, 32);
    std::fwrite("data", 1, 4, f);
    put32(f, dataBytes);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
        {
            uint32_t bits;
            std::memcpy(&bits, &signal[c][i], 4);
            put32(f, bits);
        }
    return std::fclose(f) == 0;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: engine_workload run engine|sse2|reference CHANNELS LINKED SECONDS\n"
                 "       engine_workload wav PATH SECONDS\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::string(argv[1]) == "run")
    {
        const std::string kind = argv[2];
        const int channels = std::atoi(argv[3]);
        const bool linked = std::atoi(argv[4]) != 0;
        const int blocks = std::atoi(argv[5]) * static_cast<int>(kRate) / kBlock;
        if (channels < 1 || blocks < 1)
            return usage();
        if (kind == "engine" || kind == "sse2")
            runBlocks<Optimized>(channels, linked, kind == "engine", blocks);
        else if (kind == "reference")
            runBlocks<Reference>(channels, linked, false, blocks);
        else
            return usage();
        std::printf("%d frames\n", blocks * kBlock);
        return 0;
    }
    if (argc == 4 && std::string(argv[1]) == "wav")
    {
        const int seconds = std::atoi(argv[3]);
        if (seconds < 1)
            return usage();
        if (!writeWav(argv[2], seconds))
        {
            std::fprintf(stderr, "engine_workload: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    return usage();
}
