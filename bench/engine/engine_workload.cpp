// Helpers for bench/run-benchmarks.sh.
//
//   engine_workload run engine|sse2|reference CHANNELS LINKED SECONDS [BLOCK]
//     processes SECONDS of the benchmark signal in 512-sample blocks (or
//     BLOCK-sample blocks); run it
//     under callgrind with --toggle-collect on the processBlock functions to
//     count instructions per sample frame.
//   engine_workload blocks CHANNELS LINKED ROUNDS BLOCK...
//     times the optimized engine on four seconds of the
//     benchmark signal at each block size in turn, ROUNDS rounds, with the
//     order of the sizes rotating from round to round. Prints, per block
//     size, the best and the median processor time of a pass and the median
//     over the rounds of the throughput relative to the first size: on a
//     shared machine the ratio within a round, where all sizes ran close
//     together, moves far less than the absolute times.
//   engine_workload wav PATH SECONDS
//     writes the benchmark signal as a stereo 48 kHz 32-bit float WAV file.
//   engine_workload pink PATH SECONDS [CHANNELS]
//     writes 48 kHz pink noise (independent channels, stereo unless told
//     otherwise, -20 dBFS RMS) as a 32-bit float WAV file: the signal of the
//     comparison with other gate plug-ins (and, as a second file, of the
//     side chain).
#include "benchworkload.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace
{

using namespace QuorvaneBench;

template <class Gate> void runBlocks(int channels, bool linked, bool avx, int blocks, int block)
{
    Gate gate(channels, linked, avx);
    const auto signal = makeSignal(channels, block * blocks);
    BlockBuffers buffers(channels, block);
    for (int b = 0; b < blocks; ++b)
    {
        for (int c = 0; c < channels; ++c)
            std::copy_n(signal[c].begin() + b * block, block, buffers.in[c].begin());
        gate.process(buffers.inPointers.data(), buffers.outPointers.data(), block);
    }
}

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// One timed pass of the engine over signal (one vector per channel) at the
// given block size; the engine is made (and its memory touched) before the
// clock starts.
double timedPass(const std::vector<std::vector<float>>& signal, bool linked, int block)
{
    const int channels = static_cast<int>(signal.size());
    Optimized gate(channels, linked, true);
    BlockBuffers buffers(channels, block);
    const int blocks = static_cast<int>(signal[0].size()) / block;
    const double begin = threadSeconds();
    for (int b = 0; b < blocks; ++b)
    {
        for (int c = 0; c < channels; ++c)
            std::copy_n(signal[c].begin() + b * block, block, buffers.in[c].begin());
        gate.process(buffers.inPointers.data(), buffers.outPointers.data(), block);
    }
    return threadSeconds() - begin;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

int timeBlockSizes(int channels, bool linked, int rounds, const std::vector<int>& sizes)
{
    const int frames = 4 * static_cast<int>(kRate);
    for (int size : sizes)
        if (frames % size != 0)
        {
            std::fprintf(stderr, "engine_workload: %d does not divide %d frames\n", size, frames);
            return 2;
        }
    const auto signal = makeSignal(channels, frames);
    const size_t count = sizes.size();
    std::vector<std::vector<double>> times(count), ratios(count);
    for (size_t k = 0; k < count; ++k)
        timedPass(signal, linked, sizes[k]); // warm up
    for (int r = 0; r < rounds; ++r)
    {
        std::vector<double> round(count);
        for (size_t j = 0; j < count; ++j)
        {
            const size_t k = (j + static_cast<size_t>(r)) % count;
            round[k] = timedPass(signal, linked, sizes[k]);
        }
        for (size_t k = 0; k < count; ++k)
        {
            times[k].push_back(round[k]);
            ratios[k].push_back(round[0] / round[k]);
        }
    }
    const double audio = frames / kRate;
    std::printf("block best_x_realtime median_x_realtime median_share_of_first\n");
    for (size_t k = 0; k < count; ++k)
        std::printf("%d %.1f %.1f %.4f\n", sizes[k],
                    audio / *std::min_element(times[k].begin(), times[k].end()),
                    audio / median(times[k]), median(ratios[k]));
    return 0;
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

// Pink noise: white noise through a sum of first-order low-passes spread over
// the audio band (a -3 dB per octave slope within a fraction of a decibel),
// scaled to the given RMS level.
std::vector<std::vector<float>> makePinkNoise(int channels, int frames, float rms)
{
    constexpr int kPoles = 6;
    const double poles[kPoles] = {0.99886, 0.99332, 0.96900, 0.86650, 0.55000, -0.7616};
    const double weights[kPoles] = {0.0555179, 0.0750759, 0.1538520,
                                    0.3104856, 0.5329522, -0.0168980};
    std::vector<std::vector<double>> raw(channels, std::vector<double>(frames));
    uint32_t noise = 987654321u;
    for (int c = 0; c < channels; ++c)
    {
        double state[kPoles] = {};
        double sumSquares = 0.0;
        for (int i = 0; i < frames; ++i)
        {
            noise = noise * 1664525u + 1013904223u;
            const double white = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
            double pink = 0.5362 * white;
            for (int k = 0; k < kPoles; ++k)
            {
                state[k] = poles[k] * state[k] + weights[k] * white;
                pink += state[k];
            }
            raw[c][i] = pink;
            sumSquares += pink * pink;
        }
        const double scale = rms / std::sqrt(sumSquares / frames);
        for (double& x : raw[c])
            x *= scale;
    }
    std::vector<std::vector<float>> signal(channels, std::vector<float>(frames));
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < frames; ++i)
            signal[c][i] = static_cast<float>(raw[c][i]);
    return signal;
}

bool writeWav(const char* path, const std::vector<std::vector<float>>& signal)
{
    const int channels = static_cast<int>(signal.size());
    const int frames = static_cast<int>(signal[0].size());
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
    std::fprintf(
        stderr, "usage: engine_workload run engine|sse2|reference CHANNELS LINKED SECONDS [BLOCK]\n"
                "       engine_workload blocks CHANNELS LINKED ROUNDS BLOCK...\n"
                "       engine_workload wav PATH SECONDS\n"
                "       engine_workload pink PATH SECONDS [CHANNELS]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if ((argc == 6 || argc == 7) && std::string(argv[1]) == "run")
    {
        const std::string kind = argv[2];
        const int channels = std::atoi(argv[3]);
        const bool linked = std::atoi(argv[4]) != 0;
        const int block = argc == 7 ? std::atoi(argv[6]) : kBlock;
        if (channels < 1 || block < 1)
            return usage();
        const int blocks = std::atoi(argv[5]) * static_cast<int>(kRate) / block;
        if (blocks < 1)
            return usage();
        if (kind == "engine" || kind == "sse2")
            runBlocks<Optimized>(channels, linked, kind == "engine", blocks, block);
        else if (kind == "reference")
            runBlocks<Reference>(channels, linked, false, blocks, block);
        else
            return usage();
        std::printf("%d frames\n", blocks * block);
        return 0;
    }
    if (argc >= 6 && std::string(argv[1]) == "blocks")
    {
        const int channels = std::atoi(argv[2]);
        const bool linked = std::atoi(argv[3]) != 0;
        const int rounds = std::atoi(argv[4]);
        std::vector<int> sizes;
        for (int a = 5; a < argc; ++a)
            sizes.push_back(std::atoi(argv[a]));
        if (channels < 1 || rounds < 1 ||
            std::any_of(sizes.begin(), sizes.end(), [](int s) { return s < 1; }))
            return usage();
        return timeBlockSizes(channels, linked, rounds, sizes);
    }
    const bool pink = argc >= 2 && std::string(argv[1]) == "pink";
    if ((argc == 4 && std::string(argv[1]) == "wav") || (pink && (argc == 4 || argc == 5)))
    {
        const int seconds = std::atoi(argv[3]);
        const int channels = argc == 5 ? std::atoi(argv[4]) : 2;
        if (seconds < 1 || channels < 1)
            return usage();
        const int frames = seconds * static_cast<int>(kRate);
        const float pinkRms = 0.1f; // -20 dBFS
        const auto signal =
            pink ? makePinkNoise(channels, frames, pinkRms) : makeSignal(channels, frames);
        if (!writeWav(argv[2], signal))
        {
            std::fprintf(stderr, "engine_workload: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    return usage();
}
