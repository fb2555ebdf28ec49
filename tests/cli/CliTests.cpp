// The command-line tool as a user runs it: exit statuses, messages and the files it writes.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

Outcome tavelo(const std::string& args)
{
    const fs::path dir = fs::temp_directory_path();
    const std::string errFile = (dir / ("tavelo-err-" + std::to_string(getpid()))).string();
    const std::string command = std::string(TAVELO_EXE) + " " + args + " 2>" + errFile;
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    fs::remove(errFile);
    return run;
}

std::string fileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The first `length` bytes of `from`, as a damaged copy at `to`.
void writeCut(const std::string& from, const std::string& to, size_t length)
{
    std::ofstream(to, std::ios::binary).write(fileBytes(from).data(), std::streamsize(length));
}

struct Audio
{
    int channels = 0;
    int rate = 0;
    std::vector<float> samples; // interleaved
};

Audio readWav(const std::string& path)
{
    Audio a;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return a;
    a.channels = info.channels;
    a.rate = info.samplerate;
    a.samples.resize(size_t(info.frames * info.channels));
    sf_readf_float(f, a.samples.data(), info.frames);
    sf_close(f);
    return a;
}

void writeWav(const std::string& path, const Audio& a, int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT)
{
    SF_INFO info{};
    info.channels = a.channels;
    info.samplerate = a.rate;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_float(f, a.samples.data(), sf_count_t(a.samples.size() / size_t(a.channels)));
    sf_close(f);
}

// A decaying 110 Hz tone with some harmonics, like a plucked low string, per channel.
Audio pluck(int rate, int channels, double seconds, double level = 0.3)
{
    Audio a{channels, rate, {}};
    const size_t frames = size_t(seconds * rate);
    for (size_t i = 0; i < frames; ++i)
    {
        const double t = double(i) / rate;
        for (int c = 0; c < channels; ++c)
        {
            const double f = 110.0 * (1 + c);
            const double v = level * std::exp(-2.0 * t) *
                             (std::sin(2 * M_PI * f * t) + 0.4 * std::sin(4 * M_PI * f * t) +
                              0.2 * std::sin(6 * M_PI * f * t));
            a.samples.push_back(float(v));
        }
    }
    return a;
}

class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("tavelo-cli-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }

    fs::path dir;
};

TEST_F(CliTest, BypassPassesTheInputThroughBitForBitInMonoAndStereo)
{
    for (int channels : {1, 2})
    {
        const Audio in = pluck(48000, channels, 0.5);
        writeWav(path("in.wav"), in);
        const Outcome run =
            tavelo("render " + path("in.wav") + " " + path("out.wav") + " --bypass --block 333");
        ASSERT_EQ(run.status, 0) << run.err;
        const Audio out = readWav(path("out.wav"));
        ASSERT_EQ(out.channels, channels);
        ASSERT_EQ(out.samples.size(), in.samples.size());
        for (size_t i = 0; i < in.samples.size(); ++i)
            ASSERT_EQ(out.samples[i], in.samples[i])
                << "sample " << i << ", " << channels << " channels";
    }
}

TEST_F(CliTest, StereoOutputsAreIdenticalAndFollowTheLeftInput)
{
    Audio in = pluck(44100, 2, 0.5);
    writeWav(path("in.wav"), in);
    ASSERT_EQ(tavelo("render " + path("in.wav") + " " + path("a.wav")).status, 0);
    // A different right channel changes nothing: the model runs on the left input.
    for (size_t i = 1; i < in.samples.size(); i += 2)
        in.samples[i] = 0.0f;
    writeWav(path("in.wav"), in);
    ASSERT_EQ(tavelo("render " + path("in.wav") + " " + path("b.wav")).status, 0);
    const Audio a = readWav(path("a.wav")), b = readWav(path("b.wav"));
    ASSERT_EQ(a.channels, 2);
    double energy = 0;
    for (size_t i = 0; i + 1 < a.samples.size(); i += 2)
    {
        ASSERT_EQ(a.samples[i], a.samples[i + 1]);
        energy += double(a.samples[i]) * a.samples[i];
    }
    EXPECT_GT(energy, 1e-3);
    // The dither is the instance's own and deterministic, so two renders agree exactly.
    EXPECT_EQ(a.samples, b.samples);
}

TEST_F(CliTest, SilenceGivesFiniteTinyOutputWithoutDrift)
{
    Audio silence{1, 48000, std::vector<float>(48000 * 4, 0.0f)};
    writeWav(path("silence.wav"), silence);
    const Outcome run = tavelo("render " + path("silence.wav") + " " + path("out.wav") + " --json");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"finite\": true"), std::string::npos) << run.out;
    const Audio out = readWav(path("out.wav"));
    // The output is quiet and stays there. Drift is judged on the power of whole seconds: the
    // resting noise's single peaks vary by 2x from one second to the next in any build.
    double lastSecondPeak = 0, lastSecondPower = 0, thirdSecondPower = 0;
    for (size_t i = 0; i < out.samples.size(); ++i)
    {
        ASSERT_TRUE(std::isfinite(out.samples[i]));
        const double v = out.samples[i];
        if (i >= 3 * 48000)
        {
            lastSecondPeak = std::max(lastSecondPeak, std::abs(v));
            lastSecondPower += v * v;
        }
        else if (i >= 2 * 48000)
            thirdSecondPower += v * v;
    }
    EXPECT_LT(lastSecondPeak, 1e-2);
    EXPECT_LE(lastSecondPower, thirdSecondPower * 1.5 + 1e-6);
}

TEST_F(CliTest, IntegerFilesClipWhatExceedsFullScaleAndSaySo)
{
    // The amp's output is transparent to highs and can pass full scale; a float file keeps it,
    // an integer file must clip it (never wrap around) and the summary must say how much.
    writeWav(path("in.wav"), pluck(48000, 1, 0.5, 0.8));
    const std::string render = "render " + path("in.wav") + " ";
    const Outcome kept = tavelo(render + path("float.wav") + " --set Volume=1");
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(kept.out.find("clipped"), std::string::npos) << kept.out;
    const Audio full = readWav(path("float.wav"));
    size_t overs = 0;
    for (float v : full.samples)
        overs += std::abs(v) > 1.0f;
    ASSERT_GT(overs, 0u) << "the case needs output above full scale";

    const Outcome clipped = tavelo(render + path("pcm.wav") + " --set Volume=1 --format pcm16");
    ASSERT_EQ(clipped.status, 0) << clipped.err;
    EXPECT_NE(clipped.out.find("clipped        " + std::to_string(overs) + " samples"),
              std::string::npos)
        << clipped.out;
    const Audio pcm = readWav(path("pcm.wav"));
    ASSERT_EQ(pcm.samples.size(), full.samples.size());
    for (size_t i = 0; i < pcm.samples.size(); ++i)
    {
        const float want = std::max(-1.0f, std::min(1.0f, full.samples[i]));
        ASSERT_NEAR(pcm.samples[i], want, 1e-4f) << "sample " << i;
    }
    const Outcome json =
        tavelo(render + path("pcm24.wav") + " --set Volume=1 --format pcm24 --json");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"clipped_samples\": " + std::to_string(overs)), std::string::npos)
        << json.out;
}

TEST_F(CliTest, EverySupportedRateRendersAndEightKilohertzIsRefused)
{
    for (int rate : {16000, 44100, 48000, 88200, 96000, 176400, 192000})
    {
        writeWav(path("in.wav"), pluck(rate, 1, 0.25));
        const Outcome run =
            tavelo("render " + path("in.wav") + " " + path("out.wav") + " --set Gain=0.6");
        ASSERT_EQ(run.status, 0) << rate << ": " << run.err;
        const Audio out = readWav(path("out.wav"));
        EXPECT_EQ(out.rate, rate);
        double energy = 0;
        for (float v : out.samples)
        {
            ASSERT_TRUE(std::isfinite(v)) << rate;
            energy += double(v) * v;
        }
        EXPECT_GT(energy, 0.0) << rate;
    }
    writeWav(path("low.wav"), pluck(8000, 1, 0.25));
    const Outcome refused = tavelo("render " + path("low.wav") + " " + path("never.wav"));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("unsupported sample rate 8000"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(path("never.wav")));
}

TEST_F(CliTest, PresetRoundTripRendersLikeTheSameSettings)
{
    writeWav(path("in.wav"), pluck(48000, 1, 0.5));
    const std::string settings =
        "--set Gain=0.7 --set tone=0.3 --set Microphone=\"6 Senn + 57 - Newer\" --set Pickup=#1";
    ASSERT_EQ(tavelo("preset save " + path("p.elck") + " " + settings).status, 0);
    const Outcome show = tavelo("preset show " + path("p.elck"));
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_NE(show.out.find("Complete Controls State"), std::string::npos);
    EXPECT_NE(show.out.find("'Quor'"), std::string::npos);
    EXPECT_NE(show.out.find("Sound"), std::string::npos);
    EXPECT_EQ(show.out.find("MasterBypassID"), std::string::npos);

    ASSERT_EQ(
        tavelo("render " + path("in.wav") + " " + path("a.wav") + " --preset " + path("p.elck"))
            .status,
        0);
    ASSERT_EQ(tavelo("render " + path("in.wav") + " " + path("b.wav") + " " + settings).status, 0);
    EXPECT_EQ(readWav(path("a.wav")).samples, readWav(path("b.wav")).samples);

    const Outcome params = tavelo("params --json --preset " + path("p.elck"));
    ASSERT_EQ(params.status, 0);
    EXPECT_NE(params.out.find("\"id\": \"Sound\""), std::string::npos);
    EXPECT_NE(params.out.find("\"value\": 0.05"), std::string::npos) << params.out;
}

TEST_F(CliTest, DamagedInputsGiveOneClearLineAndTouchNothing)
{
    writeWav(path("in.wav"), pluck(48000, 1, 0.2));
    {
        std::ofstream existing(path("keep.wav"));
        existing << "precious";
    }
    struct Case
    {
        std::string args;
        int status;
        std::string message;
    };
    // A WAV cut inside its header and one cut inside its samples, a FLAC file cut short, and a
    // preset whose header lies about its size.
    writeCut(path("in.wav"), path("cut.wav"), 30);
    writeCut(path("in.wav"), path("short.wav"), fileBytes(path("in.wav")).size() / 2);
    writeWav(path("in.flac"), pluck(48000, 1, 0.5), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    writeCut(path("in.flac"), path("short.flac"), fileBytes(path("in.flac")).size() / 2);
    ASSERT_EQ(tavelo("preset save " + path("p.elck")).status, 0);
    writeCut(path("p.elck"), path("bad.elck"), fileBytes(path("p.elck")).size() - 7);
    // One whose header is right but whose last value is cut short.
    std::string cutValue = fileBytes(path("p.elck"));
    cutValue.resize(cutValue.size() - 4);
    const int32_t dataSize = int32_t(cutValue.size() - 56);
    std::memcpy(cutValue.data(), &dataSize, 4);
    std::ofstream(path("cut.elck"), std::ios::binary) << cutValue;
    const std::string cutPreset = " --preset " + path("cut.elck");
    const std::vector<Case> cases = {
        {"render " + path("cut.wav") + " " + path("keep.wav"), 1, "cannot read"},
        {"render " + path("short.wav") + " " + path("keep.wav"), 1, "is truncated"},
        {"render " + path("short.flac") + " " + path("keep.wav"), 1, "is damaged"},
        {"render " + path("in.wav") + " " + path("keep.wav") + " --preset " + path("bad.elck"), 1,
         "damaged"},
        {"render " + path("in.wav") + " " + path("keep.wav") + " --set Drive=0.5", 2,
         "unknown parameter \"Drive\""},
        {"render " + path("in.wav") + " " + path("keep.wav") + " --set Gain=1.5", 2,
         "outside the normalized range"},
        {"render " + path("in.wav") + " " + path("keep.wav") + " --block 0", 2,
         "--block wants a whole number from 1 to 8192"},
        {"render " + path("in.wav") + " " + path("keep.wav") + " --set Sound=#28", 2,
         "does not exist"},
        {"preset show " + path("bad.elck"), 1, "damaged"},
        {"preset show " + path("cut.elck"), 1, "is damaged: entry \"Pickup\""},
        {"render " + path("in.wav") + " " + path("keep.wav") + cutPreset, 1, "is damaged"},
        {"params" + cutPreset, 1, "is damaged"},
        {"preset save " + path("keep.wav") + cutPreset, 1, "is damaged"},
        {"frobnicate", 2, "unknown command"},
    };
    for (const Case& c : cases)
    {
        const Outcome run = tavelo(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << "\n" << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(fileBytes(path("keep.wav")), "precious") << c.args;
    }
}

TEST_F(CliTest, AWavStreamedWithoutItsLengthRendersInFull)
{
    // A writer that streams cannot know the length when it writes the header and puts a marker
    // there instead; that file is whole, not cut short.
    const Audio in = pluck(48000, 1, 0.25);
    writeWav(path("in.wav"), in);
    std::fstream f(path("in.wav"), std::ios::binary | std::ios::in | std::ios::out);
    std::string head(512, '\0');
    f.read(head.data(), std::streamsize(head.size()));
    const size_t data = head.find("data");
    ASSERT_NE(data, std::string::npos);
    f.clear();
    f.seekp(std::streamoff(data + 4));
    f.write("\xff\xff\xff\xff", 4);
    f.close();
    const Outcome run = tavelo("render " + path("in.wav") + " " + path("out.wav"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readWav(path("out.wav")).samples.size(), in.samples.size());
}

TEST_F(CliTest, DescribeAndHelpTellWhatTheHostSees)
{
    const Outcome describe = tavelo("describe --json");
    ASSERT_EQ(describe.status, 0) << describe.err;
    for (const char* needle : {"\"manufacturer\": \"Quorva\"", "\"DudE.xml\"", "\"Tavelo1MIDI\"",
                               "17644544", "\"code\": \"DARs\""})
        EXPECT_NE(describe.out.find(needle), std::string::npos) << needle;
    for (const char* command : {"render", "describe", "params", "preset", "editor", "plot"})
    {
        const Outcome help = tavelo(std::string(command) + " --help");
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find("usage: tavelo"), std::string::npos) << command;
    }
}

TEST_F(CliTest, PlotsAndTheOffscreenEditorWritePictures)
{
    ASSERT_EQ(tavelo("plot voicings " + path("v.png")).status, 0);
    writeWav(path("in.wav"), pluck(48000, 1, 0.3));
    ASSERT_EQ(tavelo("plot render " + path("in.wav") + " " + path("r.png")).status, 0);
    const Outcome editor = tavelo("editor --set Gain=1 --screenshot " + path("e.png"));
    ASSERT_EQ(editor.status, 0) << editor.err;
    for (const char* png : {"v.png", "r.png", "e.png"})
    {
        std::ifstream f(path(png), std::ios::binary);
        unsigned char head[24] = {};
        f.read(reinterpret_cast<char*>(head), sizeof head);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(head) + 1, 3), "PNG") << png;
        if (std::string(png) != "e.png") continue;
        // The summary names the picture's real size (the header chunk: width, then height).
        const auto bigEndian = [&](int at)
        { return (head[at] << 24) | (head[at + 1] << 16) | (head[at + 2] << 8) | head[at + 3]; };
        const int width = bigEndian(16), height = bigEndian(20);
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        EXPECT_NE(
            editor.out.find("(" + std::to_string(width) + " x " + std::to_string(height) + ")"),
            std::string::npos)
            << editor.out;
    }
}

} // namespace
