#include "AudioFile.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace tavelo::cli
{

std::unique_ptr<AudioReader> AudioReader::open(const std::string& path, std::string& error)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
    {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    if (info.channels < 1 || info.channels > 2)
    {
        sf_close(file);
        error = path + ": " + std::to_string(info.channels) +
                " channels; only mono and stereo files are supported";
        return nullptr;
    }
    std::unique_ptr<AudioReader> reader(new AudioReader);
    reader->mFile = file;
    reader->mChannels = info.channels;
    reader->mSampleRate = info.samplerate;
    reader->mFrames = info.frames;
    return reader;
}

AudioReader::~AudioReader()
{
    if (mFile) sf_close(static_cast<SNDFILE*>(mFile));
}

int64_t AudioReader::read(float* interleaved, int64_t frames)
{
    return sf_readf_float(static_cast<SNDFILE*>(mFile), interleaved, frames);
}

bool parseSampleFormat(const std::string& text, SampleFormat& format)
{
    if (text == "float")
        format = SampleFormat::Float32;
    else if (text == "pcm24")
        format = SampleFormat::Pcm24;
    else if (text == "pcm16")
        format = SampleFormat::Pcm16;
    else
        return false;
    return true;
}

std::unique_ptr<AudioWriter> AudioWriter::create(const std::string& path, int channels,
                                                 double sampleRate, SampleFormat format,
                                                 std::string& error)
{
    SF_INFO info{};
    info.samplerate = int(sampleRate);
    info.channels = channels;
    info.format = SF_FORMAT_WAV | (format == SampleFormat::Float32 ? SF_FORMAT_FLOAT
                                   : format == SampleFormat::Pcm24 ? SF_FORMAT_PCM_24
                                                                   : SF_FORMAT_PCM_16);
    const std::filesystem::path target(path);
    const std::filesystem::path directory =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    // A hidden name beside the target, so the final rename stays on one file system.
    std::string hiddenName = target.filename().string();
    hiddenName.insert(hiddenName.begin(), '.');
    hiddenName += ".tavelo-" + std::to_string(getpid());
    const std::string temporary = (directory / hiddenName).string();
    SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
    {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    // Clip rather than wrap when a float sample exceeds full scale in an integer format.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    std::unique_ptr<AudioWriter> writer(new AudioWriter);
    writer->mFile = file;
    writer->mPath = path;
    writer->mTemporaryPath = temporary;
    writer->mChannels = channels;
    return writer;
}

AudioWriter::~AudioWriter()
{
    if (mFile) sf_close(static_cast<SNDFILE*>(mFile));
    if (!mCommitted && !mTemporaryPath.empty()) std::remove(mTemporaryPath.c_str());
}

bool AudioWriter::write(const float* interleaved, int64_t frames, std::string& error)
{
    if (sf_writef_float(static_cast<SNDFILE*>(mFile), interleaved, frames) != frames)
    {
        error = "cannot write " + mPath + ": " + sf_strerror(static_cast<SNDFILE*>(mFile));
        return false;
    }
    return true;
}

bool AudioWriter::commit(std::string& error)
{
    if (sf_close(static_cast<SNDFILE*>(mFile)) != 0)
    {
        mFile = nullptr;
        error = "cannot finish " + mPath;
        return false;
    }
    mFile = nullptr;
    if (std::rename(mTemporaryPath.c_str(), mPath.c_str()) != 0)
    {
        error = "cannot move the rendered file into place at " + mPath;
        return false;
    }
    mCommitted = true;
    return true;
}

} // namespace tavelo::cli
