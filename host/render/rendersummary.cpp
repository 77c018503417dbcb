#include "rendersummary.h"

#include <cmath>
#include <cstdio>

namespace Quorvane
{

namespace
{

std::string decibels(float linear)
{
    if (!(linear > 0.0f))
        return "silent";
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f dBFS", 20.0 * std::log10(static_cast<double>(linear)));
    return text;
}

} // namespace

std::string fileName(const std::string& path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string secondsText(int64_t frames, int rate)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f s", static_cast<double>(frames) / rate);
    return text;
}

void printSummary(const RenderedFile& rendered, const std::string& in, const std::string& out,
                  int blockSize)
{
    const RenderTrace& trace = *rendered.trace;
    const int rate = rendered.sampleRate;
    const double duration = static_cast<double>(trace.totalFrames()) / rate;
    const double wallSeconds = rendered.wallSeconds;
    std::printf("%s -> %s (%s)\n", in.c_str(), out.c_str(), rendered.format.description.c_str());
    std::printf("  duration    %s at %d Hz, %d channel%s, blocks of %d\n",
                secondsText(trace.totalFrames(), rate).c_str(), rate, rendered.channels,
                rendered.channels == 1 ? "" : "s", blockSize);
    if (wallSeconds > 0.0 && duration > 0.0)
        std::printf("  rendered    in %.2f s, %.1fx real time\n", wallSeconds,
                    duration / wallSeconds);
    else
        std::printf("  rendered    in %.2f s\n", wallSeconds);
    std::printf("  peak        in %s, out %s\n", decibels(trace.inputPeak()).c_str(),
                decibels(trace.outputPeak()).c_str());
    if (trace.hasGate())
        std::printf("  gate open   %.2f s of %.2f s (%.0f%%)\n", trace.gateOpenSeconds(), duration,
                    duration > 0.0 ? 100.0 * trace.gateOpenSeconds() / duration : 0.0);
    std::fflush(stdout);
}

std::string oneLineSummary(const RenderedFile& rendered)
{
    const RenderTrace& trace = *rendered.trace;
    const double duration = static_cast<double>(trace.totalFrames()) / rendered.sampleRate;
    std::string text = secondsText(trace.totalFrames(), rendered.sampleRate);
    char part[96];
    if (rendered.wallSeconds > 0.0 && duration > 0.0)
    {
        std::snprintf(part, sizeof(part), ", %.1fx real time", duration / rendered.wallSeconds);
        text += part;
    }
    if (trace.hasGate())
    {
        std::snprintf(part, sizeof(part), ", gate open %.2f s", trace.gateOpenSeconds());
        text += part;
    }
    return text;
}

} // namespace Quorvane
