#include "libmprobe.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

namespace QuorvaneTest
{

namespace
{

template <typename T> std::string bits(T value)
{
    char text[24];
    if constexpr (sizeof(T) == 4)
    {
        uint32_t b;
        std::memcpy(&b, &value, 4);
        std::snprintf(text, sizeof(text), "%08x", b);
    }
    else
    {
        uint64_t b;
        std::memcpy(&b, &value, 8);
        std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(b));
    }
    return text;
}

// The compiler must not fold the calls at build time: the values pass through memory it cannot see.
template <typename T> T opaque(T value)
{
    volatile T v = value;
    return v;
}

} // namespace

std::string probeMathLibrary()
{
    std::string out;
    auto line = [&out](const char* function, const std::string& in, const std::string& result)
    { out += std::string(function) + " " + in + " " + result + "\n"; };
    const float rates[] = {22050.f, 44100.f, 48000.f, 88200.f, 96000.f, 192000.f};

    // Decibels to gains: every tenth of a decibel from -140 to +40.
    for (int tenth = -1400; tenth <= 400; ++tenth)
    {
        const float exponent = opaque(float(tenth) / 10.f / 20.f);
        line("powf(10,x)", bits(exponent), bits(std::pow(10.f, exponent)));
    }
    // Envelope steps and their smoothing: times from 0.01 ms to 10 s at every sample rate.
    for (float rate : rates)
        for (float ms = 0.01f; ms <= 10000.f; ms *= 1.0233f)
        {
            const float n = opaque(ms * rate * 0.001f);
            const float step = std::pow(0.001f, 1.f / n);
            line("powf(0.001,1/n)", bits(n), bits(step));
            line("powf(step,8)", bits(step), bits(std::pow(opaque(step), 8.f)));
            const float fade = std::pow(0.01f, 1.f / n);
            line("powf(0.01,1/n)", bits(n), bits(fade));
        }
    // The crossover filters' prewarping and poles.
    const double frequencies[] = {66.8433613814533, 209.05118043533, 653.803087370331,
                                  2044.75514639445, 6394.92790638715};
    const double pi = std::acos(-1.0);
    for (float rate : rates)
        for (double f : frequencies)
        {
            const double x = opaque(pi * f / double(rate));
            line("tan", bits(x), bits(std::tan(x)));
        }
    for (double angle : {3.0 * pi / 4.0, 5.0 * pi / 4.0})
    {
        const auto pole = std::exp(std::complex<double>(0.0, opaque(angle)));
        line("exp(i*x)", bits(angle), bits(pole.real()) + ":" + bits(pole.imag()));
    }
    // The parameter mappings: logarithms of their ends, exponentials over the whole range.
    for (float end :
         {1.f, 2.f, 5.f, 11.f, 15.f, 1001.f, 3001.f, 4001.f, 4015.f, 9001.f, 1000.f, 1.01f})
        line("logf", bits(end), bits(std::log(opaque(end))));
    for (int i = 0; i <= 2000; ++i)
    {
        const float x = opaque(float(i) * 0.005f);
        line("expf", bits(x), bits(std::exp(x)));
    }
    // Meter readings.
    for (float level = 1e-7f; level <= 4.f; level *= 1.05f)
        line("log10f", bits(level), bits(std::log10(opaque(level))));
    return out;
}

std::string compareMathProbes(const std::string& ours, const std::string& theirs)
{
    std::istringstream a(ours), b(theirs);
    std::string lineA, lineB;
    std::map<std::string, std::pair<int, std::string>> differences; // function -> count, first
    int total = 0;
    while (std::getline(a, lineA) && std::getline(b, lineB))
    {
        ++total;
        if (lineA == lineB)
            continue;
        const std::string function = lineA.substr(0, lineA.find(' '));
        auto& entry = differences[function];
        if (entry.first++ == 0)
            entry.second = "here " + lineA + ", there " + lineB.substr(lineB.rfind(' ') + 1);
    }
    std::string report;
    for (const auto& [function, entry] : differences)
        report += "  " + function + ": " + std::to_string(entry.first) +
                  " results differ (first: " + entry.second + ")\n";
    if (ours.size() != theirs.size() && report.empty())
        report = "  the two lists have different lengths\n";
    return report;
}

} // namespace QuorvaneTest
