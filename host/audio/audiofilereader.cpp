#include "audiofilereader.h"

#include "support/hosterror.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace Quorvane
{

namespace
{

// Samples (of all channels) per read from the file: 256 kB.
constexpr size_t kPieceSamples = 65536;

} // namespace

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
    const auto wanted = static_cast<size_t>(std::max(count, 0));
    size_t done = 0;
    while (done < wanted)
    {
        if (nextFrame == heldFrames)
        {
            if (interleaved.empty())
            {
                pieceFrames = std::max<size_t>(1, kPieceSamples / width);
                interleaved.resize(pieceFrames * width);
            }
            const sf_count_t got =
                sf_readf_float(file, interleaved.data(), static_cast<sf_count_t>(pieceFrames));
            nextFrame = 0;
            heldFrames = got > 0 ? static_cast<size_t>(got) : 0;
            if (heldFrames == 0)
                break;
        }
        const size_t run = std::min(wanted - done, heldFrames - nextFrame);
        const float* from = interleaved.data() + nextFrame * width;
        if (width == 1 && !channelData.empty())
            std::copy_n(from, run, channelData[0].data() + done);
        else if (width == 2 && channelData.size() >= 2)
        {
            // The usual stereo file, with a stride the compiler can work with.
            float* left = channelData[0].data() + done;
            float* right = channelData[1].data() + done;
            for (size_t i = 0; i < run; ++i)
            {
                left[i] = from[2 * i];
                right[i] = from[2 * i + 1];
            }
        }
        else
            for (size_t c = 0; c < width && c < channelData.size(); ++c)
            {
                float* out = channelData[c].data() + done;
                for (size_t i = 0; i < run; ++i)
                    out[i] = from[i * width + c];
            }
        nextFrame += run;
        done += run;
    }
    for (size_t c = 0; c < width && c < channelData.size(); ++c)
        std::fill(channelData[c].data() + done, channelData[c].data() + wanted, 0.0f);
    return static_cast<int>(done);
}

} // namespace Quorvane
