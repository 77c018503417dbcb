#include "audiofilewriter.h"

#include "support/hosterror.h"
#include "support/temporaryfile.h"

#include <algorithm>
#include <cctype>

namespace Quorvane
{

namespace
{

// Samples (of all channels) per write to the file: 256 kB.
constexpr size_t kPieceSamples = 65536;

struct Container
{
    const char* extension;
    int major;
    int fixedSubFormat; // for lossy codecs that have no bit depth, else 0
    const char* name;
};

constexpr Container kContainers[] = {
    {"wav", SF_FORMAT_WAV, 0, "WAV"},
    {"wave", SF_FORMAT_WAV, 0, "WAV"},
    {"w64", SF_FORMAT_W64, 0, "Wave64"},
    {"rf64", SF_FORMAT_RF64, 0, "RF64"},
    {"flac", SF_FORMAT_FLAC, 0, "FLAC"},
    {"aif", SF_FORMAT_AIFF, 0, "AIFF"},
    {"aiff", SF_FORMAT_AIFF, 0, "AIFF"},
    {"aifc", SF_FORMAT_AIFF, 0, "AIFF"},
    {"caf", SF_FORMAT_CAF, 0, "CAF"},
    {"au", SF_FORMAT_AU, 0, "AU"},
    {"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS, "Ogg Vorbis"},
    {"oga", SF_FORMAT_OGG, SF_FORMAT_VORBIS, "Ogg Vorbis"},
    {"opus", SF_FORMAT_OGG, SF_FORMAT_OPUS, "Ogg Opus"},
};

bool isWaveFamily(int major)
{
    return major == SF_FORMAT_WAV || major == SF_FORMAT_W64 || major == SF_FORMAT_RF64;
}

std::string depthName(int subFormat)
{
    switch (subFormat)
    {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return "8-bit";
    case SF_FORMAT_PCM_16:
        return "16-bit";
    case SF_FORMAT_PCM_24:
        return "24-bit";
    case SF_FORMAT_PCM_32:
        return "32-bit integer";
    case SF_FORMAT_FLOAT:
        return "32-bit float";
    case SF_FORMAT_DOUBLE:
        return "64-bit float";
    default:
        return "";
    }
}

bool acceptable(int format, int channels, int sampleRate)
{
    SF_INFO probe{};
    probe.format = format;
    probe.channels = channels;
    probe.samplerate = sampleRate;
    return sf_format_check(&probe) != 0;
}

std::string lowerExtension(const std::string& target)
{
    auto slash = target.rfind('/');
    auto dot = target.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = target.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

OutputFormat chooseOutputFormat(const std::string& target, std::optional<int> bits, int inputFormat,
                                int channels, int sampleRate)
{
    const std::string extension = lowerExtension(target);
    const Container* container = nullptr;
    for (const auto& candidate : kContainers)
        if (extension == candidate.extension)
            container = &candidate;
    if (!container)
        throw HostError(kExitOutput, "cannot tell the format of '" + target +
                                         "' from its extension; use .wav, .flac, .aiff, .ogg, "
                                         ".opus, .caf, .au, .w64 or .rf64");

    std::vector<int> candidates;
    if (container->fixedSubFormat)
    {
        if (bits)
            throw HostError(kExitUsage, std::string(container->name) +
                                            " has no bit depth; leave out --bits for '" + target +
                                            "'");
        candidates.push_back(container->fixedSubFormat);
    }
    else if (bits)
    {
        switch (*bits)
        {
        case 8:
            candidates = {SF_FORMAT_PCM_S8, SF_FORMAT_PCM_U8};
            break;
        case 16:
            candidates = {SF_FORMAT_PCM_16};
            break;
        case 24:
            candidates = {SF_FORMAT_PCM_24};
            break;
        default:
            candidates = {SF_FORMAT_FLOAT};
            break;
        }
    }
    else
    {
        if (isWaveFamily(container->major))
            candidates.push_back(SF_FORMAT_FLOAT);
        int inputDepth = inputFormat & SF_FORMAT_SUBMASK;
        if (!depthName(inputDepth).empty())
            candidates.push_back(inputDepth);
        if (inputDepth == SF_FORMAT_PCM_S8 || inputDepth == SF_FORMAT_PCM_U8)
            candidates.push_back(inputDepth == SF_FORMAT_PCM_S8 ? SF_FORMAT_PCM_U8
                                                                : SF_FORMAT_PCM_S8);
        candidates.push_back(SF_FORMAT_FLOAT);
        candidates.push_back(SF_FORMAT_PCM_24);
    }

    int major = container->major;
    if (major == SF_FORMAT_WAV && channels > 2)
        major = SF_FORMAT_WAVEX; // channel masks for more than two channels
    for (int subFormat : candidates)
        if (acceptable(major | subFormat, channels, sampleRate))
        {
            std::string depth = depthName(subFormat);
            return {major | subFormat,
                    std::string(container->name) + (depth.empty() ? "" : ", " + depth)};
        }

    std::string what =
        bits ? (*bits == 32 ? "32-bit float" : std::to_string(*bits) + "-bit") + std::string(" ")
             : "";
    throw HostError(kExitOutput, std::string(container->name) + " cannot hold " + what +
                                     std::to_string(channels) + "-channel audio at " +
                                     std::to_string(sampleRate) + " Hz ('" + target + "')");
}

AudioFileWriter::AudioFileWriter(TemporaryFile& file, const std::string& target,
                                 const OutputFormat& format, int channels, int sampleRate)
    : targetPath(target), channelCount(channels)
{
    SF_INFO info{};
    info.format = format.format;
    info.channels = channels;
    info.samplerate = sampleRate;
    this->file = sf_open_fd(file.takeDescriptor(), SFM_WRITE, &info, SF_TRUE);
    if (!this->file)
        throw HostError(kExitOutput, "cannot write '" + target + "': " + sf_strerror(nullptr));
    // Samples beyond full scale are clipped rather than wrapped in integer formats.
    sf_command(this->file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // The peak chunk of float files carries the time of writing; without it the same render
    // always gives the same bytes.
    sf_command(this->file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

AudioFileWriter::~AudioFileWriter()
{
    if (file)
        sf_close(file);
}

void AudioFileWriter::write(const std::vector<std::vector<float>>& channelData, int count)
{
    const auto width = static_cast<size_t>(channelCount);
    if (interleaved.empty())
    {
        pieceFrames = std::max<size_t>(1, kPieceSamples / width);
        interleaved.resize(pieceFrames * width);
    }
    const auto frames = static_cast<size_t>(std::max(count, 0));
    for (size_t done = 0; done < frames;)
    {
        const size_t run = std::min(frames - done, pieceFrames - heldFrames);
        float* to = interleaved.data() + heldFrames * width;
        if (width == 1)
            std::copy_n(channelData[0].data() + done, run, to);
        else if (width == 2)
        {
            // The usual stereo file, with a stride the compiler can work with.
            const float* left = channelData[0].data() + done;
            const float* right = channelData[1].data() + done;
            for (size_t i = 0; i < run; ++i)
            {
                to[2 * i] = left[i];
                to[2 * i + 1] = right[i];
            }
        }
        else
            for (size_t c = 0; c < width; ++c)
            {
                const float* from = channelData[c].data() + done;
                for (size_t i = 0; i < run; ++i)
                    to[i * width + c] = from[i];
            }
        heldFrames += run;
        done += run;
        if (heldFrames == pieceFrames)
            flush();
    }
}

void AudioFileWriter::flush()
{
    const auto frames = static_cast<sf_count_t>(heldFrames);
    heldFrames = 0;
    if (frames > 0 && sf_writef_float(file, interleaved.data(), frames) != frames)
        throw HostError(kExitOutput, "writing '" + targetPath + "' failed: " + sf_strerror(file));
}

void AudioFileWriter::close()
{
    SNDFILE* closing = file;
    if (closing)
        flush();
    file = nullptr;
    if (closing && sf_close(closing) != 0)
        throw HostError(kExitOutput, "finishing '" + targetPath + "' failed");
}

} // namespace Quorvane
