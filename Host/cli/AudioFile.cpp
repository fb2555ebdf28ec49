#include "AudioFile.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

namespace tavelo::cli
{
namespace
{

// Writers that stream put one of these where the length of the sample data belongs.
bool isUnknownLength(uint32_t announced)
{
    return announced == 0 || announced >= 0x7FFFF000u;
}

// libsndfile reads a WAV or AIFF file whose sample data was cut short as far as it goes, without
// a word, so a damaged file would render short as if nothing were wrong. This walks the file's
// chunks to the sample data and compares the length its header announces with what is there.
std::optional<std::string> cutShort(const std::string& path, int format)
{
    const int container = format & SF_FORMAT_TYPEMASK;
    const bool wav = container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX;
    if (!wav && container != SF_FORMAT_AIFF) return std::nullopt;
    std::error_code ec;
    const uintmax_t fileSize = std::filesystem::file_size(path, ec);
    std::ifstream file(path, std::ios::binary);
    if (ec || !file) return std::nullopt; // libsndfile has opened it; nothing more to learn
    const auto number = [wav](const unsigned char* b) -> uint32_t
    {
        return wav ? uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                         uint32_t(b[3]) << 24
                   : uint32_t(b[3]) | uint32_t(b[2]) << 8 | uint32_t(b[1]) << 16 |
                         uint32_t(b[0]) << 24;
    };
    const std::string dataId = wav ? "data" : "SSND";
    uintmax_t position = 12; // after the RIFF/FORM header and its form type
    unsigned char header[8];
    while (position + 8 <= fileSize)
    {
        file.seekg(std::streamoff(position));
        if (!file.read(reinterpret_cast<char*>(header), 8)) return std::nullopt;
        const uint32_t size = number(header + 4);
        if (std::string(reinterpret_cast<const char*>(header), 4) == dataId)
        {
            const uintmax_t present = fileSize - (position + 8);
            if (isUnknownLength(size) || size <= present) return std::nullopt;
            return path + " is truncated: its header announces " + std::to_string(size) +
                   " bytes of samples, the file holds " + std::to_string(present);
        }
        position += 8 + uintmax_t(size) + (size & 1); // chunks are padded to even lengths
    }
    return std::nullopt;
}

} // namespace

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
    if (auto problem = cutShort(path, info.format))
    {
        sf_close(file);
        error = *problem;
        return nullptr;
    }
    std::unique_ptr<AudioReader> reader(new AudioReader);
    reader->mFile = file;
    reader->mPath = path;
    reader->mChannels = info.channels;
    reader->mSampleRate = info.samplerate;
    reader->mFrames = info.frames;
    return reader;
}

AudioReader::~AudioReader()
{
    if (mFile) sf_close(static_cast<SNDFILE*>(mFile));
}

int64_t AudioReader::read(float* interleaved, int64_t frames, std::string& error)
{
    SNDFILE* file = static_cast<SNDFILE*>(mFile);
    const sf_count_t n = sf_readf_float(file, interleaved, frames);
    // A short read is the end of the file, or a decoder that gave up on damaged data.
    if (n < frames && sf_error(file) != SF_ERR_NO_ERROR)
    {
        std::string reason = sf_strerror(file);
        if (reason.rfind("Error : ", 0) == 0) reason.erase(0, 8); // libsndfile's own prefix
        error = mPath + " is damaged: " + reason;
        return -1;
    }
    return n;
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
