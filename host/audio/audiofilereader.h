// Reads an audio file block by block as 32-bit float channels (libsndfile).
#pragma once

#include <cstdint>
#include <sndfile.h>
#include <string>
#include <vector>

namespace Quorvane
{

class AudioFileReader
{
public:
    // ROLE names the file in messages ("input", "side-chain"). Throws
    // HostError (kExitInput) when the file is missing, unreadable or not audio.
    AudioFileReader(const std::string& path, const std::string& role);
    ~AudioFileReader();

    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    const std::string& path() const { return filePath; }
    int channels() const { return info.channels; }
    int sampleRate() const { return info.samplerate; }
    int64_t frames() const { return info.frames; }
    // libsndfile's major and sub-format of the file.
    int format() const { return info.format; }

    // Reads up to `count` frames into `channels` (one vector per channel, each
    // at least `count` long); frames past the end of the file are silence.
    // Returns the number of frames read from the file.
    int read(std::vector<std::vector<float>>& channelData, int count);

private:
    std::string filePath;
    SF_INFO info{};
    SNDFILE* file = nullptr;
    std::vector<float> interleaved;
};

} // namespace Quorvane
