#include "presetsignals.h"

#include <cmath>
#include <random>

namespace QuorvaneTest
{

namespace
{

constexpr double kTwoPi = 6.283185307179586;

double gainOf(double db)
{
    return std::pow(10.0, db / 20.0);
}

Channels blank(double seconds)
{
    return Channels(1, std::vector<float>(static_cast<size_t>(seconds * kSignalRate), 0.0f));
}

// Adds a sine from START for LENGTH frames at LEVEL, decaying with time constant TAU seconds (0:
// steady).
void addTone(Channels& data, size_t start, size_t length, double hz, double levelDb,
             double tau = 0.0)
{
    auto& channel = data[0];
    for (size_t i = 0; i < length && start + i < channel.size(); ++i)
    {
        double t = static_cast<double>(i) / kSignalRate;
        double envelope = tau > 0.0 ? std::exp(-t / tau) : 1.0;
        channel[start + i] +=
            static_cast<float>(gainOf(levelDb) * envelope * std::sin(kTwoPi * hz * t));
    }
}

// Adds noise whose peaks reach about LEVEL; repeatable, seeded by SEED.
void addNoise(Channels& data, size_t start, size_t length, double levelDb, unsigned seed,
              double tau = 0.0)
{
    std::minstd_rand random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    auto& channel = data[0];
    for (size_t i = 0; i < length && start + i < channel.size(); ++i)
    {
        double t = static_cast<double>(i) / kSignalRate;
        double envelope = tau > 0.0 ? std::exp(-t / tau) : 1.0;
        channel[start + i] += static_cast<float>(gainOf(levelDb) * envelope * uniform(random));
    }
}

} // namespace

TestSignal kickSignal()
{
    TestSignal s;
    s.audio = blank(4.0);
    addNoise(s.audio, 0, s.audio[0].size(), -50.0, 1);
    for (size_t start = ms(250); start + ms(750) <= s.audio[0].size(); start += ms(750))
    {
        addTone(s.audio, start, ms(700), 55.0, -6.0, 0.060);
        s.starts.push_back(start);
        s.ends.push_back(start + ms(30));
    }
    return s;
}

TestSignal snareSignal()
{
    TestSignal s;
    s.audio = blank(4.0);
    for (size_t start = ms(200); start + ms(1000) <= s.audio[0].size(); start += ms(1000))
    {
        addNoise(s.audio, start, ms(15), -6.0, static_cast<unsigned>(start));
        addTone(s.audio, start, ms(950), 180.0, -14.0, 0.400);
        s.starts.push_back(start);
        s.ends.push_back(start + ms(15));
    }
    return s;
}

TestSignal tomSignal()
{
    TestSignal s;
    s.audio = blank(7.5);
    addNoise(s.audio, 0, s.audio[0].size(), -55.0, 2);
    for (size_t start = ms(300); start + ms(2500) <= s.audio[0].size(); start += ms(2500))
    {
        addTone(s.audio, start, ms(2400), 90.0, -8.0, 0.250);
        s.starts.push_back(start);
        s.ends.push_back(start + ms(20));
    }
    return s;
}

TestSignal hiHatSignal()
{
    TestSignal s;
    s.audio = blank(3.0);
    // Spill: the kick's and snare's bleed, steady enough to measure.
    addTone(s.audio, 0, s.audio[0].size(), 60.0, -38.0);
    addTone(s.audio, 0, s.audio[0].size(), 200.0, -42.0);
    for (size_t start = ms(125); start + ms(250) <= s.audio[0].size(); start += ms(250))
    {
        addNoise(s.audio, start, ms(60), -10.0, static_cast<unsigned>(start), 0.010);
        s.starts.push_back(start);
        s.ends.push_back(start + ms(5));
    }
    return s;
}

TestSignal speechSignal()
{
    TestSignal s;
    s.audio = blank(6.0);
    addNoise(s.audio, 0, s.audio[0].size(), -55.0, 3);
    for (size_t phrase = ms(300); phrase + ms(1440) <= s.audio[0].size(); phrase += ms(2440))
    {
        for (int word = 0; word < 4; ++word)
        {
            size_t start = phrase + static_cast<size_t>(word) * ms(360);
            addTone(s.audio, start, ms(300), 180.0 + 20.0 * word, -16.0);
            addTone(s.audio, start, ms(300), 540.0 + 40.0 * word, -24.0);
        }
        s.starts.push_back(phrase);
        s.ends.push_back(phrase + ms(1380));
    }
    return s;
}

TestSignal singerSignal()
{
    TestSignal s;
    s.audio = blank(7.5);
    for (size_t click = 0; click < s.audio[0].size(); click += ms(125))
        addNoise(s.audio, click, ms(3), -40.0, static_cast<unsigned>(click) + 7);
    addTone(s.audio, 0, s.audio[0].size(), 110.0, -45.0);
    for (size_t phrase = ms(500); phrase + ms(1500) <= s.audio[0].size(); phrase += ms(3000))
    {
        addTone(s.audio, phrase, ms(1500), 330.0, -14.0);
        s.starts.push_back(phrase);
        s.ends.push_back(phrase + ms(1500));
    }
    return s;
}

TestSignal guitarSignal()
{
    TestSignal s;
    s.audio = blank(9.3);
    addTone(s.audio, 0, s.audio[0].size(), 50.0, -52.0);
    addTone(s.audio, 0, s.audio[0].size(), 150.0, -58.0);
    addNoise(s.audio, 0, s.audio[0].size(), -60.0, 4);
    for (size_t phrase = ms(400); phrase + ms(4400) <= s.audio[0].size(); phrase += ms(4400))
    {
        for (int note = 0; note < 4; ++note)
            addTone(s.audio, phrase + static_cast<size_t>(note) * ms(400), ms(1600),
                    196.0 * (1.0 + 0.25 * note), -10.0, 0.300);
        s.starts.push_back(phrase);
        s.ends.push_back(phrase + ms(1600));
    }
    return s;
}

TestSignal duckingSignal()
{
    TestSignal s;
    s.audio = blank(3.6);
    addTone(s.audio, 0, s.audio[0].size(), 220.0, -18.0);
    addTone(s.audio, 0, s.audio[0].size(), 277.0, -18.0);
    addTone(s.audio, 0, s.audio[0].size(), 330.0, -18.0);
    s.key = blank(3.6);
    for (size_t start = ms(300); start + ms(600) <= s.key[0].size(); start += ms(600))
    {
        addTone(s.key, start, ms(550), 50.0, -6.0, 0.050);
        s.starts.push_back(start);
        s.ends.push_back(start + ms(100));
    }
    return s;
}

TestSignal drumLoopSignal()
{
    TestSignal s;
    s.audio = blank(10.5);
    for (int hit = 0; hit < 40; ++hit)
    {
        size_t start = ms(200) + static_cast<size_t>(hit) * ms(250);
        addTone(s.audio, start, ms(40), 150.0, -10.0);
        s.starts.push_back(start);
        s.ends.push_back(start + ms(40));
    }
    return s;
}

TestSignal noiseFloorSignal()
{
    TestSignal s;
    s.audio = blank(4.0);
    addNoise(s.audio, 0, s.audio[0].size(), -50.0, 5);
    for (size_t start : {ms(0), ms(3000)})
    {
        addTone(s.audio, start, ms(1000), 440.0, -12.0);
        s.starts.push_back(start);
        s.ends.push_back(start + ms(1000));
    }
    return s;
}

} // namespace QuorvaneTest
