#pragma once

// The workload shared by the engine benchmarks: a gate configured like a
// drum track, a drum-like test signal, and the optimized engine and the
// plain per-sample reference behind one small interface.
#include "gateengine.h"
#include "reference/referencegate.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace QuorvaneBench
{

constexpr int kBlock = 512;
constexpr float kRate = 48000.0f;

inline void configure(Quorvane::GateEngine& engine, int channels, bool linked)
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
// gate opens and closes throughout. Channel c is a little quieter than c - 1.
inline std::vector<std::vector<float>> makeSignal(int channels, int frames)
{
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

// Planar buffers of one block (512 frames unless told otherwise) and the channel pointers to them.
struct BlockBuffers
{
    explicit BlockBuffers(int channels, int frames = kBlock)
        : in(channels, std::vector<float>(frames)), out(channels, std::vector<float>(frames))
    {
        for (int c = 0; c < channels; ++c)
        {
            inPointers.push_back(in[c].data());
            outPointers.push_back(out[c].data());
        }
    }
    std::vector<std::vector<float>> in, out;
    std::vector<float*> inPointers, outPointers;
};

} // namespace QuorvaneBench
