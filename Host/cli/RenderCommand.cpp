// `tavelo render` and `tavelo plot render`: a file (or the built-in performance) through one
// instance on the stand-in host, in host-sized blocks on the host's audio thread.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <unistd.h>

#include "ArgumentReader.h"
#include "AudioFile.h"
#include "Commands.h"
#include "DefaultPerformance.h"
#include "HostSampleRate.h"
#include "Json.h"
#include "Plot.h"
#include "Session.h"
#include "SignalAnalysis.h"

namespace tavelo::cli
{
namespace
{

constexpr const char* kRenderHelp =
    R"(usage: tavelo render [INPUT] OUTPUT [options]

Renders INPUT (any file libsndfile reads; mono uses the mono configuration, stereo the stereo
one) through Tavelo1 into OUTPUT, a WAV file at the input's rate. Without INPUT the built-in
DI guitar performance (about 20 s at 48 kHz) is played.

options:
  --set ID=VALUE   set a parameter (repeatable); ID is an identifier or host name (any case),
                   VALUE a normalized value 0..1; for Sound and Pickup also an entry title
                   or #index
  --bypass         Master Bypass on
  --preset FILE    restore a preset saved with `tavelo preset save`
  --cc11 N         control change 11 (expression) with value N (0..127) at the start
  --block N        host block size, 1..8192 (default 512)
  --stereo         stereo configuration for a mono input
  --format F       output samples: float (default), pcm24 or pcm16; the integer formats
                   clip what exceeds full scale, and the summary counts it
  --json           print the summary as one JSON object
  --bundle PATH    the plug-in bundle to load
)";

struct RenderRequest
{
    std::string input;
    std::string output;
    SessionOptions session;
    int cc11 = -1;
    bool stereo = false;
    bool json = false;
    SampleFormat format = SampleFormat::Float32;
};

// Parses the render options and the [INPUT] OUTPUT operands; `usage` names the form in errors.
RenderRequest parseRender(ArgumentReader& reader, const char* usage)
{
    RenderRequest r;
    std::vector<std::string> positionals;
    while (!reader.done())
    {
        const std::string a = reader.next();
        if (readSessionOption(reader, a, r.session)) continue;
        if (a == "--bypass")
            r.session.bypass = true;
        else if (a == "--cc11")
            r.cc11 = int(reader.integer(a, 0, 127));
        else if (a == "--block")
            r.session.blockSize = int32_t(reader.integer(a, 1, 8192));
        else if (a == "--stereo")
            r.stereo = true;
        else if (a == "--json")
            r.json = true;
        else if (a == "--format")
        {
            const std::string f = reader.value(a);
            if (!parseSampleFormat(f, r.format))
                throw UsageError("--format wants float, pcm24 or pcm16, got \"" + f + "\"");
        }
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError("render: unknown option " + a);
        else
            positionals.push_back(a);
    }
    if (positionals.empty() || positionals.size() > 2) throw UsageError(usage);
    r.output = positionals.back();
    if (positionals.size() == 2) r.input = positionals[0];
    return r;
}

double toDb(double v)
{
    return v > 0 ? tavelo::signal::gainDb(v) : -INFINITY;
}

struct RenderResult
{
    int64_t frames = 0;
    int channelsIn = 0, channelsOut = 0;
    double sampleRate = 0;
    double peak = 0, sumSquares = 0;
    int64_t overFullScale = 0; // samples an integer file holds only clipped
    double seconds = 0, processSeconds = 0, setupMs = 0;
    bool nonFinite = false;
};

class ProgressBar
{
public:
    explicit ProgressBar(bool enabled) : mEnabled(enabled) {}
    void show(int64_t done, int64_t total)
    {
        if (!mEnabled || total <= 0) return;
        const int percent = int(100 * done / total);
        if (percent == mLast) return;
        mLast = percent;
        const int width = 40, filled = width * percent / 100;
        std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled,
                     "########################################", width - filled, "", percent);
        std::fflush(stderr);
    }
    void finish()
    {
        if (mEnabled && mLast >= 0) std::fprintf(stderr, "\r%*s\r", 50, "");
    }

private:
    bool mEnabled;
    int mLast = -1;
};

// Source of input frames: a file, or the synthesized performance.
struct InputSource
{
    std::unique_ptr<AudioReader> reader;
    std::vector<float> synthesized;
    size_t position = 0;
    int channels = 1;
    double sampleRate = 48000;
    int64_t frames = 0;

    int64_t read(float* interleaved, int64_t count)
    {
        if (reader)
        {
            std::string error;
            const int64_t n = reader->read(interleaved, count, error);
            if (n < 0) throw Failure(error);
            return n;
        }
        const int64_t n = std::min<int64_t>(count, int64_t(synthesized.size() - position));
        std::copy_n(synthesized.begin() + long(position), n, interleaved);
        position += size_t(n);
        return n;
    }
};

InputSource openInput(const std::string& path)
{
    InputSource source;
    if (path.empty())
    {
        source.synthesized = synthesizeDefaultPerformance(source.sampleRate);
        source.frames = int64_t(source.synthesized.size());
        return source;
    }
    std::string error;
    source.reader = AudioReader::open(path, error);
    if (!source.reader) throw Failure(error);
    source.channels = source.reader->channels();
    source.sampleRate = source.reader->sampleRate();
    source.frames = source.reader->frames();
    if (auto problem = host::checkSampleRate(source.sampleRate))
        throw Failure(path + ": " + *problem);
    return source;
}

// Runs the render; `sink` receives each processed chunk (interleaved input and output).
template <class Sink> RenderResult render(RenderRequest& request, InputSource& source, Sink&& sink)
{
    RenderResult result;
    result.channelsIn = source.channels;
    result.sampleRate = source.sampleRate;
    const bool stereo = source.channels == 2 || request.stereo;
    result.channelsOut = stereo ? 2 : 1;
    request.session.stemFormat = stereo ? AAX_eStemFormat_Stereo : AAX_eStemFormat_Mono;
    request.session.sampleRate = source.sampleRate;

    Session session(request.session);
    result.setupMs = session.setupMilliseconds();
    host::HostInstance& instance = session.instance();
    if (request.cc11 >= 0) instance.SendExpression(0, uint8_t(request.cc11));

    // Chunks are whole host blocks, so every render call gets the requested block size.
    const int64_t block = request.session.blockSize;
    const int64_t chunk = block * std::max<int64_t>(1, 8192 / block);
    const int ch = result.channelsOut;
    std::vector<float> interleavedIn(size_t(chunk * source.channels));
    std::vector<float> planarIn(size_t(chunk * ch)), planarOut(size_t(chunk * ch));
    std::vector<float> interleavedOut(size_t(chunk * ch));
    const float* inputs[2] = {planarIn.data(), planarIn.data() + (ch == 2 ? chunk : 0)};
    float* outputs[2] = {planarOut.data(), planarOut.data() + (ch == 2 ? chunk : 0)};

    ProgressBar progress(isatty(STDERR_FILENO) && !request.json);
    for (;;)
    {
        const int64_t n = source.read(interleavedIn.data(), chunk);
        if (n <= 0) break;
        for (int64_t i = 0; i < n; ++i)
            for (int c = 0; c < ch; ++c)
                planarIn[size_t(c * chunk + i)] =
                    interleavedIn[size_t(i * source.channels + std::min(c, source.channels - 1))];
        const auto start = std::chrono::steady_clock::now();
        instance.Process(inputs, outputs, n);
        result.processSeconds += elapsedMilliseconds(start) / 1000.0;
        for (int64_t i = 0; i < n; ++i)
            for (int c = 0; c < ch; ++c)
            {
                const float v = planarOut[size_t(c * chunk + i)];
                interleavedOut[size_t(i * ch + c)] = v;
                if (!std::isfinite(v)) result.nonFinite = true;
                result.peak = std::max(result.peak, double(std::abs(v)));
                result.sumSquares += double(v) * v;
                if (!(std::abs(v) <= 1.0f)) ++result.overFullScale;
            }
        sink(interleavedIn.data(), source.channels, interleavedOut.data(), ch, n);
        result.frames += n;
        progress.show(result.frames, source.frames);
    }
    progress.finish();
    result.seconds = double(result.frames) / result.sampleRate;
    return result;
}

void printSummary(const RenderRequest& request, const RenderResult& r)
{
    // A float file keeps what exceeds full scale; an integer one clips it.
    const int64_t clipped = request.format == SampleFormat::Float32 ? 0 : r.overFullScale;
    const double rms = r.frames ? std::sqrt(r.sumSquares / double(r.frames * r.channelsOut)) : 0;
    const double factor = r.processSeconds > 0 ? r.seconds / r.processSeconds : INFINITY;
    const char* configuration = r.channelsOut == 2 ? "stereo" : "mono";
    if (request.json)
    {
        JsonWriter j;
        j.beginObject()
            .field("input",
                   request.input.empty() ? std::string("(built-in performance)") : request.input)
            .field("output", request.output)
            .field("duration_s", r.seconds)
            .field("sample_rate", r.sampleRate)
            .field("configuration", configuration)
            .field("block", int(request.session.blockSize))
            .field("frames", (long long)r.frames)
            .field("peak_dbfs", toDb(r.peak))
            .field("rms_dbfs", toDb(rms))
            .field("setup_ms", r.setupMs)
            .field("realtime_factor", factor)
            .field("finite", !r.nonFinite)
            .field("clipped_samples", (long long)clipped)
            .endObject();
        std::printf("%s\n", j.str().c_str());
        return;
    }
    std::printf("input          %s\n",
                request.input.empty() ? "built-in DI performance" : request.input.c_str());
    std::printf("output         %s\n", request.output.c_str());
    std::printf("duration       %.2f s at %.0f Hz, %s, blocks of %d\n", r.seconds, r.sampleRate,
                configuration, int(request.session.blockSize));
    std::printf("output level   peak %.1f dBFS, RMS %.1f dBFS\n", toDb(r.peak), toDb(rms));
    if (clipped > 0)
        std::printf("clipped        %lld samples above full scale (lower Volume, or --format "
                    "float keeps them)\n",
                    (long long)clipped);
    std::printf("set-up         %.0f ms\n", r.setupMs);
    std::printf("speed          %.1fx real time\n", factor);
}

} // namespace

int runRender(const Arguments& args)
{
    ArgumentReader reader(args);
    if (reader.wantsHelp())
    {
        std::fputs(kRenderHelp, stdout);
        return 0;
    }
    RenderRequest request =
        parseRender(reader, "render wants [INPUT] OUTPUT (see tavelo render --help)");

    InputSource source = openInput(request.input);
    std::unique_ptr<AudioWriter> writer;
    std::string error;
    const RenderResult result =
        render(request, source,
               [&](const float*, int, const float* out, int channels, int64_t frames)
               {
                   if (!writer)
                   {
                       writer = AudioWriter::create(request.output, channels, source.sampleRate,
                                                    request.format, error);
                       if (!writer) throw Failure(error);
                   }
                   if (!writer->write(out, frames, error)) throw Failure(error);
               });
    if (!writer) throw Failure("the input holds no audio");
    if (!writer->commit(error)) throw Failure(error);
    printSummary(request, result);
    return 0;
}

int runPlotRender(ArgumentReader& reader)
{
    RenderRequest request =
        parseRender(reader, "plot render wants [INPUT] OUTPUT.png (see tavelo plot --help)");
    InputSource source = openInput(request.input);
    std::vector<float> in, out;
    const RenderResult result = render(request, source,
                                       [&](const float* input, int inChannels, const float* output,
                                           int outChannels, int64_t frames)
                                       {
                                           for (int64_t i = 0; i < frames; ++i)
                                           {
                                               in.push_back(input[i * inChannels]);
                                               out.push_back(output[i * outChannels]);
                                           }
                                       });
    std::string error;
    const std::string title =
        "Tavelo1 render: " +
        (request.input.empty() ? std::string("built-in DI performance") : request.input);
    if (!plotRender(request.output, in, out, result.sampleRate, title, error)) throw Failure(error);
    printSummary(request, result);
    return 0;
}

} // namespace tavelo::cli
