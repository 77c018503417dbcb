// Small audio files for the host's tests, written and read with libsndfile.
#pragma once

#include <string>
#include <vector>

namespace QuorvaneTest
{

using Channels = std::vector<std::vector<float>>;

struct AudioData
{
    Channels channels;
    int sampleRate = 0;
    int format = 0; // libsndfile format of the file read
};

// A sine of the given peak level in dBFS on every channel.
Channels sine(int channels, int frames, int sampleRate, double frequency, double levelDb);
// `channels` channels of silence.
Channels silence(int channels, int frames);

// Writes a float WAV (or the libsndfile FORMAT given); returns false on failure.
bool writeAudio(const std::string& path, const Channels& data, int sampleRate, int format = 0);
// Reads a whole file; empty channels when it cannot be read.
AudioData readAudio(const std::string& path);

// The largest magnitude over all channels in frames [begin, end).
float peak(const Channels& data, size_t begin, size_t end);
float peakDb(const Channels& data, size_t begin, size_t end);

bool fileExists(const std::string& path);
void writeText(const std::string& path, const std::string& text);

} // namespace QuorvaneTest
