#include "LiveClient.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <jack/midiport.h>

#include "Session.h"

namespace tavelo::cli
{
namespace
{

// libjack prints its own diagnostics (socket paths, retries) on stderr; the client reports
// failures itself in one line.
void quiet(const char*) {}

float decibels(float peak)
{
    return peak > 0.0f ? 20.0f * std::log10(peak) : -INFINITY;
}

// Real-time thread: raises `peak` to `value` if it is higher (the main thread resets it).
void raisePeak(std::atomic<float>& peak, float value) noexcept
{
    float current = peak.load(std::memory_order_relaxed);
    while (value > current &&
           !peak.compare_exchange_weak(current, value, std::memory_order_relaxed))
    {
    }
}

float peakOf(const float* samples, uint32_t frames) noexcept
{
    float peak = 0.0f;
    for (uint32_t i = 0; i < frames; ++i)
        peak = std::max(peak, std::fabs(samples[i])); // a NaN never wins
    return peak;
}

} // namespace

LiveClient::LiveClient(const LiveClientOptions& options, const LiveControlHandover& controls)
    : mEngines(controls), mOptions(options), mEvents(kMaxEvents)
{
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    jack_status_t status{};
    mClient = jack_client_open(options.name.c_str(), JackNoStartServer, &status);
    if (!mClient)
    {
        if (status & JackServerFailed)
            throw Failure("no JACK server is running: start one, or run under pw-jack");
        if (status & JackInvalidOption)
            throw Failure("the JACK client name \"" + options.name + "\" is not allowed");
        char code[16];
        std::snprintf(code, sizeof code, "0x%x", unsigned(status));
        throw Failure(std::string("the JACK server refused the client (status ") + code + ")");
    }

    const jack_nframes_t rate = jack_get_sample_rate(mClient);
    if (!mEngines.prepare(double(rate), options.stereo ? 2 : 1))
    {
        close();
        throw Failure("the JACK server runs at " + std::to_string(rate) +
                      " Hz: Tavelo1 plays at 16000 to 192000 Hz");
    }
    mRate = rate;
    mBlockSize = jack_get_buffer_size(mClient);

    const int channels = options.stereo ? 2 : 1;
    for (int c = 0; c < channels; ++c)
    {
        char input[16] = "input", output[16] = "output";
        if (options.stereo)
        {
            std::snprintf(input, sizeof input, "input_%d", c + 1);
            std::snprintf(output, sizeof output, "output_%d", c + 1);
        }
        mInputs.push_back(
            jack_port_register(mClient, input, JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));
        mOutputs.push_back(
            jack_port_register(mClient, output, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0));
    }
    // Control change 11 on this port is the expression pedal.
    mMidiInput =
        jack_port_register(mClient, "expression", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    const bool registered =
        mMidiInput &&
        std::none_of(mInputs.begin(), mInputs.end(), [](auto* p) { return p == nullptr; }) &&
        std::none_of(mOutputs.begin(), mOutputs.end(), [](auto* p) { return p == nullptr; });
    jack_set_process_callback(mClient, Process, this);
    jack_set_sample_rate_callback(mClient, SampleRateChanged, this);
    jack_set_buffer_size_callback(mClient, BlockSizeChanged, this);
    jack_set_xrun_callback(mClient, Xrun, this);
    jack_set_latency_callback(mClient, Latency, this);
    jack_on_info_shutdown(mClient, ServerGone, this);
    if (!registered)
    {
        close();
        throw Failure("the JACK server refused to register the client's ports");
    }

    // Every named port is checked now, before anything plays.
    try
    {
        std::vector<std::string> sources = options.inputs;
        if (sources.empty() && options.connectDefaults)
        {
            const auto capture = physicalPorts(JackPortIsOutput);
            if (capture.empty())
                throw Failure("the JACK server has no capture port: name one with --input, or "
                              "use --no-connect");
            sources.push_back(capture[0]);
        }
        for (size_t c = 0; c < mInputs.size() && !sources.empty(); ++c)
            mWanted.emplace_back(
                findPort(sources[std::min(c, sources.size() - 1)], JackPortIsOutput, "--input"),
                jack_port_name(mInputs[c]));

        std::vector<std::string> sinks = options.outputs;
        if (sinks.empty() && options.connectDefaults)
        {
            sinks = physicalPorts(JackPortIsInput);
            if (sinks.empty())
                throw Failure("the JACK server has no playback port: name one with --output, "
                              "or use --no-connect");
            sinks.resize(std::min<size_t>(sinks.size(), 2));
        }
        for (size_t k = 0; k < sinks.size(); ++k)
        {
            const std::string sink = findPort(sinks[k], JackPortIsInput, "--output");
            // Mono feeds every playback port; stereo pairs them up, left and right.
            if (mOutputs.size() == 1)
                mWanted.emplace_back(jack_port_name(mOutputs[0]), sink);
            else if (k < mOutputs.size())
                mWanted.emplace_back(jack_port_name(mOutputs[k]), sink);
        }
    }
    catch (...)
    {
        close();
        throw;
    }
}

LiveClient::~LiveClient()
{
    close();
}

void LiveClient::close() noexcept
{
    if (mClient)
    {
        jack_deactivate(mClient);
        jack_client_close(mClient);
        mClient = nullptr;
    }
}

std::vector<std::string> LiveClient::physicalPorts(unsigned long flags) const
{
    std::vector<std::string> names;
    const char** ports =
        jack_get_ports(mClient, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | flags);
    for (const char** p = ports; p && *p; ++p)
        names.emplace_back(*p);
    jack_free(ports);
    return names;
}

std::string LiveClient::findPort(const std::string& name, unsigned long wantedFlags,
                                 const char* role) const
{
    jack_port_t* port = jack_port_by_name(mClient, name.c_str());
    if (!port) throw Failure("no such JACK port: " + name + " (jack_lsp lists them)");
    if (!(jack_port_flags(port) & wantedFlags) ||
        std::strcmp(jack_port_type(port), JACK_DEFAULT_AUDIO_TYPE) != 0)
        throw Failure(
            std::string(role) + " " + name + " is not an audio " +
            (wantedFlags == JackPortIsOutput ? "output to play from" : "input to play into"));
    return jack_port_name(port);
}

void LiveClient::activate()
{
    if (jack_activate(mClient) != 0) throw Failure("the JACK server refused to start the client");
    for (const auto& [source, destination] : mWanted)
    {
        const int result = jack_connect(mClient, source.c_str(), destination.c_str());
        if (result != 0 && result != EEXIST)
            throw Failure("cannot connect " + source + " to " + destination);
        mConnections.push_back(source + " -> " + destination);
    }
}

std::string LiveClient::clientName() const
{
    return jack_get_client_name(mClient);
}

int LiveClient::Process(jack_nframes_t frames, void* self) noexcept
{
    static_cast<LiveClient*>(self)->processBlock(frames);
    return 0;
}

void LiveClient::processBlock(jack_nframes_t frames) noexcept
{
    RovuRiza_Engine* engine = mEngines.acquire();

    uint32_t eventCount = 0;
    void* midi = jack_port_get_buffer(mMidiInput, frames);
    const uint32_t available = jack_midi_get_event_count(midi);
    for (uint32_t k = 0; k < available && eventCount < kMaxEvents; ++k)
    {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, midi, k) != 0 || event.size != 3) continue;
        if ((event.buffer[0] & 0xF0) != 0xB0 || event.buffer[1] != 11) continue;
        RovuRiza_MidiEvent& e = mEvents[eventCount++];
        e.frame = event.time;
        std::memcpy(e.data, event.buffer, 3);
        mEngines.noteExpression(float(event.buffer[2]) / 127.0f);
    }

    // The render keeps NaN and infinite input out of its carried state; nothing to clean here.
    const float* inputs[2] = {};
    float* outputs[2] = {};
    float inputPeak = 0.0f;
    for (size_t c = 0; c < mInputs.size(); ++c)
    {
        inputs[c] = static_cast<const float*>(jack_port_get_buffer(mInputs[c], frames));
        outputs[c] = static_cast<float*>(jack_port_get_buffer(mOutputs[c], frames));
        inputPeak = std::max(inputPeak, peakOf(inputs[c], frames));
    }
    if (!engine || mFailed.load(std::memory_order_relaxed))
        for (size_t c = 0; c < mOutputs.size(); ++c)
            std::fill(outputs[c], outputs[c] + frames, 0.0f);
    else
        engine->process(inputs, outputs, frames, mEvents.data(), eventCount);

    float outputPeak = 0.0f;
    for (size_t c = 0; c < mOutputs.size(); ++c)
        outputPeak = std::max(outputPeak, peakOf(outputs[c], frames));
    raisePeak(mInputPeak, inputPeak);
    raisePeak(mOutputPeak, outputPeak);
}

int LiveClient::SampleRateChanged(jack_nframes_t rate, void* self) noexcept
{
    static_cast<LiveClient*>(self)->prepareReplacement(rate);
    return 0;
}

void LiveClient::prepareReplacement(jack_nframes_t rate) noexcept
{
    // JACK's notification thread: the audio thread keeps playing while the set-up runs.
    mRate = rate;
    if (double(rate) == mEngines.preparedRate()) return;
    try
    {
        if (!mEngines.prepare(double(rate), mOptions.stereo ? 2 : 1))
        {
            char message[128];
            std::snprintf(message, sizeof message,
                          "the JACK server moved to %u Hz: Tavelo1 plays at 16000 to 192000 Hz",
                          unsigned(rate));
            fail(message);
            return;
        }
        mLatencyChanged = true;
    }
    catch (...)
    {
        fail("out of memory preparing the amp for the new sample rate");
    }
}

int LiveClient::BlockSizeChanged(jack_nframes_t frames, void* self) noexcept
{
    // The engine takes any block length, so only the status needs to know.
    static_cast<LiveClient*>(self)->mBlockSize = frames;
    return 0;
}

int LiveClient::Xrun(void* self) noexcept
{
    static_cast<LiveClient*>(self)->mXruns.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

void LiveClient::Latency(jack_latency_callback_mode_t mode, void* self) noexcept
{
    // What flows through the amp arrives later by the converter's delay, in both directions.
    auto* client = static_cast<LiveClient*>(self);
    const jack_nframes_t delay = client->mEngines.latency();
    const bool capture = mode == JackCaptureLatency;
    const auto& from = capture ? client->mInputs : client->mOutputs;
    const auto& to = capture ? client->mOutputs : client->mInputs;
    jack_latency_range_t range{~0u, 0};
    for (jack_port_t* port : from)
    {
        jack_latency_range_t r;
        jack_port_get_latency_range(port, mode, &r);
        range.min = std::min(range.min, r.min);
        range.max = std::max(range.max, r.max);
    }
    if (range.min > range.max) range.min = range.max;
    range.min += delay;
    range.max += delay;
    for (jack_port_t* port : to)
        jack_port_set_latency_range(port, mode, &range);
}

void LiveClient::ServerGone(jack_status_t, const char* reason, void* self) noexcept
{
    char message[256];
    std::snprintf(message, sizeof message, "the JACK server shut down: %s",
                  reason && *reason ? reason : "no reason given");
    static_cast<LiveClient*>(self)->fail(message);
}

void LiveClient::fail(const char* message) noexcept
{
    if (mFailing.exchange(true)) return;
    std::snprintf(mFailure, sizeof mFailure, "%s", message);
    mFailed.store(true, std::memory_order_release);
}

std::string LiveClient::failure() const
{
    return mFailed.load(std::memory_order_acquire) ? std::string(mFailure) : std::string();
}

LiveClient::Status LiveClient::poll()
{
    mEngines.collect();
    if (mLatencyChanged.exchange(false)) jack_recompute_total_latencies(mClient);
    Status status;
    status.inputPeakDb = decibels(mInputPeak.exchange(0.0f, std::memory_order_relaxed));
    status.outputPeakDb = decibels(mOutputPeak.exchange(0.0f, std::memory_order_relaxed));
    status.dspLoad = jack_cpu_load(mClient);
    status.xruns = mXruns.load(std::memory_order_relaxed);
    return status;
}

} // namespace tavelo::cli
