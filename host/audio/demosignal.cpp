#include "demosignal.h"

#include <cmath>
#include <cstdint>

namespace Quorvane
{

namespace
{

// xorshift32: the same numbers on every platform and library.
class Noise
{
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    float next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }

private:
    uint32_t state;
};

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 0.5; // 120 beats per minute

struct Hit
{
    double time;
    enum
    {
        kick,
        snare,
        hat
    } kind;
};

std::vector<Hit> pattern(double seconds)
{
    std::vector<Hit> hits;
    for (double bar = 0.0; bar < seconds; bar += 4 * kBeat)
    {
        for (double beat : {0.0, 2.0, 2.5})
            hits.push_back({bar + beat * kBeat, Hit::kick});
        for (double beat : {1.0, 3.0})
            hits.push_back({bar + beat * kBeat, Hit::snare});
        for (double offbeat : {0.5, 1.5, 2.75, 3.5})
            hits.push_back({bar + offbeat * kBeat, Hit::hat});
    }
    return hits;
}

void addKick(std::vector<std::vector<float>>& out, size_t start, int rate)
{
    double phase = 0.0;
    const size_t length = static_cast<size_t>(0.4 * rate);
    for (size_t i = 0; i < length && start + i < out[0].size(); ++i)
    {
        double t = static_cast<double>(i) / rate;
        double frequency = 48.0 + 110.0 * std::exp(-t / 0.035);
        phase += 2.0 * kPi * frequency / rate;
        auto v = static_cast<float>(0.7 * std::exp(-t / 0.075) * std::sin(phase));
        out[0][start + i] += v;
        out[1][start + i] += v;
    }
}

void addSnare(std::vector<std::vector<float>>& out, size_t start, int rate, Noise& noise)
{
    const size_t length = static_cast<size_t>(0.3 * rate);
    for (size_t i = 0; i < length && start + i < out[0].size(); ++i)
    {
        double t = static_cast<double>(i) / rate;
        double body = 0.28 * std::exp(-t / 0.045) * std::sin(2.0 * kPi * 185.0 * t);
        double rattle = 0.4 * std::exp(-t / 0.045);
        out[0][start + i] += static_cast<float>(body + rattle * noise.next());
        out[1][start + i] += static_cast<float>(body + rattle * noise.next());
    }
}

void addHat(std::vector<std::vector<float>>& out, size_t start, int rate, Noise& noise)
{
    const size_t length = static_cast<size_t>(0.08 * rate);
    float previous = 0.0f;
    for (size_t i = 0; i < length && start + i < out[0].size(); ++i)
    {
        double t = static_cast<double>(i) / rate;
        float white = noise.next();
        float bright = white - previous; // first difference: mostly high frequencies
        previous = white;
        auto v = static_cast<float>(0.09 * std::exp(-t / 0.018)) * bright;
        out[0][start + i] += 0.7f * v;
        out[1][start + i] += v;
    }
}

} // namespace

std::vector<std::vector<float>> makeDemoSignal(int sampleRate, double seconds)
{
    const auto frames = static_cast<size_t>(seconds * sampleRate);
    std::vector<std::vector<float>> out(2, std::vector<float>(frames, 0.0f));
    Noise hitNoise(0x2545F491u);
    for (const Hit& hit : pattern(seconds))
    {
        auto start = static_cast<size_t>(hit.time * sampleRate);
        switch (hit.kind)
        {
        case Hit::kick:
            addKick(out, start, sampleRate);
            break;
        case Hit::snare:
            addSnare(out, start, sampleRate, hitNoise);
            break;
        case Hit::hat:
            addHat(out, start, sampleRate, hitNoise);
            break;
        }
    }
    // The floor the gate is there to remove: hiss and a 50 Hz hum.
    Noise floorNoise(0x9E3779B9u);
    for (size_t i = 0; i < frames; ++i)
    {
        double hum = 0.0022 * std::sin(2.0 * kPi * 50.0 * static_cast<double>(i) / sampleRate);
        for (auto& channel : out)
            channel[i] += static_cast<float>(hum) + 0.0028f * floorNoise.next();
    }
    return out;
}

} // namespace Quorvane
