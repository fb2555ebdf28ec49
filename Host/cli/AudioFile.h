// Audio files for the command-line tool, through libsndfile: streaming reads of any format it
// knows, and WAV writes that appear only when complete (temporary file, then rename).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavelo::cli
{

enum class SampleFormat
{
    Float32,
    Pcm24,
    Pcm16
};

class AudioReader
{
public:
    // Null with `error` set when the file cannot be opened or decoded.
    static std::unique_ptr<AudioReader> open(const std::string& path, std::string& error);
    ~AudioReader();

    int channels() const { return mChannels; }
    double sampleRate() const { return mSampleRate; }
    int64_t frames() const { return mFrames; }
    // Reads up to `frames` interleaved frames; returns how many were read (0 at the end), or
    // -1 with `error` set when the data cannot be decoded.
    int64_t read(float* interleaved, int64_t frames, std::string& error);

private:
    AudioReader() = default;
    void* mFile = nullptr;
    std::string mPath;
    int mChannels = 0;
    double mSampleRate = 0;
    int64_t mFrames = 0;
};

class AudioWriter
{
public:
    // Writes to a temporary file beside `path`; commit() renames it into place.
    static std::unique_ptr<AudioWriter> create(const std::string& path, int channels,
                                               double sampleRate, SampleFormat format,
                                               std::string& error);
    ~AudioWriter(); // removes the temporary file unless committed

    bool write(const float* interleaved, int64_t frames, std::string& error);
    bool commit(std::string& error);

private:
    AudioWriter() = default;
    void* mFile = nullptr;
    std::string mPath;
    std::string mTemporaryPath;
    int mChannels = 0;
    bool mCommitted = false;
};

bool parseSampleFormat(const std::string& text, SampleFormat& format);

} // namespace tavelo::cli
