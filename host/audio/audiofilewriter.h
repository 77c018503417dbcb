// Writes 32-bit float channels to an audio file in the format its name's
// extension calls for (libsndfile), through a TemporaryFile. Blocks are
// gathered and written in pieces of a few hundred kilobytes.
#pragma once

#include <optional>
#include <sndfile.h>
#include <string>
#include <vector>

namespace Quorvane
{

class TemporaryFile;

struct OutputFormat
{
    int format = 0;          // libsndfile major | sub-format
    std::string description; // for the summary, e.g. "WAV, 32-bit float"
};

// Picks the file format for TARGET from its extension, the requested bits
// (if any) and the input's format; the WAV family defaults to 32-bit float.
// Throws HostError when no such format can hold the audio.
OutputFormat chooseOutputFormat(const std::string& target, std::optional<int> bits, int inputFormat,
                                int channels, int sampleRate);

class AudioFileWriter
{
public:
    // Writes into FILE's descriptor; TARGET names the file in messages.
    AudioFileWriter(TemporaryFile& file, const std::string& target, const OutputFormat& format,
                    int channels, int sampleRate);
    ~AudioFileWriter();

    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // Throws HostError (kExitOutput) when writing fails, here or at close.
    void write(const std::vector<std::vector<float>>& channelData, int count);
    // Writes what is gathered and finishes the file; throws HostError
    // (kExitOutput) when that fails.
    void close();

private:
    void flush();

    std::string targetPath;
    int channelCount;
    SNDFILE* file = nullptr;
    std::vector<float> interleaved; // gathered frames not yet written
    size_t pieceFrames = 0;         // frames the buffer holds
    size_t heldFrames = 0;          // frames gathered in it
};

} // namespace Quorvane
