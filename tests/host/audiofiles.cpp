#include "audiofiles.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sndfile.h>
#include <sys/stat.h>

namespace QuorvaneTest
{

Channels sine(int channels, int frames, int sampleRate, double frequency, double levelDb)
{
    const double amplitude = std::pow(10.0, levelDb / 20.0);
    Channels data(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
    for (int i = 0; i < frames; ++i)
    {
        auto v = static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * i / sampleRate));
        for (auto& channel : data)
            channel[static_cast<size_t>(i)] = v;
    }
    return data;
}

Channels silence(int channels, int frames)
{
    return Channels(static_cast<size_t>(channels),
                    std::vector<float>(static_cast<size_t>(frames), 0.0f));
}

bool writeAudio(const std::string& path, const Channels& data, int sampleRate, int format)
{
    SF_INFO info{};
    info.channels = static_cast<int>(data.size());
    info.samplerate = sampleRate;
    info.format = format ? format : (SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    const size_t frames = data.empty() ? 0 : data[0].size();
    std::vector<float> interleaved(frames * data.size());
    for (size_t i = 0; i < frames; ++i)
        for (size_t c = 0; c < data.size(); ++c)
            interleaved[i * data.size() + c] = data[c][i];
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
    return sf_close(file) == 0;
}

AudioData readAudio(const std::string& path)
{
    AudioData result;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return result;
    std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
    sf_count_t got = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    result.sampleRate = info.samplerate;
    result.format = info.format;
    result.channels.assign(static_cast<size_t>(info.channels),
                           std::vector<float>(static_cast<size_t>(got)));
    for (size_t i = 0; i < static_cast<size_t>(got); ++i)
        for (size_t c = 0; c < result.channels.size(); ++c)
            result.channels[c][i] = interleaved[i * result.channels.size() + c];
    return result;
}

float peak(const Channels& data, size_t begin, size_t end)
{
    float largest = 0.0f;
    for (const auto& channel : data)
        for (size_t i = begin; i < std::min(end, channel.size()); ++i)
            largest = std::max(largest, std::fabs(channel[i]));
    return largest;
}

float peakDb(const Channels& data, size_t begin, size_t end)
{
    float p = peak(data, begin, end);
    return p > 0.0f ? 20.0f * std::log10(p) : -1000.0f;
}

bool fileExists(const std::string& path)
{
    struct stat status
    {
    };
    return stat(path.c_str(), &status) == 0;
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace QuorvaneTest
