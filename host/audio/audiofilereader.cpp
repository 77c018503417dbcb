#include "audiofilereader.h"

#include "support/hosterror.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace Quorvane
{

AudioFileReader::AudioFileReader(const std::string& path, const std::string& role) : filePath(path)
{
    const std::string named = role + " file '" + path + "'";
    struct stat status
    {
    };
    if (stat(path.c_str(), &status) != 0)
        throw HostError(kExitInput, named + " does not exist");
    if (S_ISDIR(status.st_mode))
        throw HostError(kExitInput, named + " is a folder");
    if (access(path.c_str(), R_OK) != 0)
        throw HostError(kExitInput, named + " is not readable: " + std::strerror(errno));

    file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        throw HostError(kExitInput, named + " is not in an audio format that can be read (" +
                                        sf_strerror(nullptr) + ")");
    if (info.channels <= 0 || info.samplerate <= 0)
    {
        sf_close(file);
        throw HostError(kExitInput, named + " has no channels or no sample rate");
    }
}

AudioFileReader::~AudioFileReader()
{
    if (file)
        sf_close(file);
}

int AudioFileReader::read(std::vector<std::vector<float>>& channelData, int count)
{
    const auto width = static_cast<size_t>(info.channels);
    interleaved.resize(static_cast<size_t>(count) * width);
    sf_count_t got = sf_readf_float(file, interleaved.data(), count);
    if (got < 0)
        got = 0;
    const auto frames = static_cast<size_t>(got);
    for (size_t c = 0; c < width && c < channelData.size(); ++c)
    {
        float* out = channelData[c].data();
        for (size_t i = 0; i < frames; ++i)
            out[i] = interleaved[i * width + c];
        std::fill(out + frames, out + count, 0.0f);
    }
    return static_cast<int>(got);
}

} // namespace Quorvane
