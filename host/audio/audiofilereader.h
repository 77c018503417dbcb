// Reads an audio file block by block as 32-bit float channels (libsndfile). The file is read
// in pieces of a few hundred kilobytes whatever the block size: a read per block of a few
// kilobytes costs a system call and a partial page each time.
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
    std::vector<float> interleaved; // frames read from the file and not yet handed out
    size_t pieceFrames = 0;         // frames the buffer holds
    size_t nextFrame = 0;           // the first of them not yet handed out
    size_t heldFrames = 0;          // how many of them came from the file
};

} // namespace Quorvane
