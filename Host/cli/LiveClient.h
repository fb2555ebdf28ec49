// The JACK client of `tavelo live`: one amp engine run inside JACK's process callback, at the
// server's rate and block size, with audio ports, a MIDI input for the expression pedal, the
// reported latency and the figures of the status line.
#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <jack/jack.h>

#include "LiveEngineSlot.h"

namespace tavelo::cli
{

struct LiveClientOptions
{
    std::string name = "tavelo";
    bool stereo = false;
    bool connectDefaults = true;      // physical ports where none are named
    std::vector<std::string> inputs;  // ports to play from (the k-th feeds input k)
    std::vector<std::string> outputs; // ports to play into
};

class LiveClient
{
public:
    // Main thread. Opens the client (never starting a server), prepares the engine at the
    // server's rate, registers the ports and checks every named port. Throws Failure with one
    // clear line: no server, a rate the amp cannot run at, a missing or unsuitable port.
    LiveClient(const LiveClientOptions& options, const LiveControlHandover& controls);
    // Main thread: deactivates and closes the client, then frees the engines.
    ~LiveClient();
    LiveClient(const LiveClient&) = delete;
    LiveClient& operator=(const LiveClient&) = delete;

    // Main thread: starts processing and makes the connections. Throws Failure.
    void activate();

    struct Status
    {
        float inputPeakDb = -INFINITY; // since the previous status
        float outputPeakDb = -INFINITY;
        float dspLoad = 0.0f; // percent, as the server measures it
        uint64_t xruns = 0;
    };
    // Main thread, a few times a second: the figures, peaks restarting from silence. Also
    // frees a replaced engine and passes a latency change on to the server.
    Status poll();

    // Why the client cannot go on (the server quit, or moved to a rate the amp refuses);
    // empty while it plays. Main thread.
    std::string failure() const;

    std::string clientName() const;
    uint32_t sampleRate() const { return mRate.load(); }
    uint32_t blockSize() const { return mBlockSize.load(); }
    uint32_t latency() const { return mEngines.latency(); }
    // What activate() connected, for the start-up line: "capture_1 -> input" and so on.
    const std::vector<std::string>& connections() const { return mConnections; }

private:
    // JACK's real-time thread: nothing here allocates, locks or waits.
    static int Process(jack_nframes_t frames, void* self) noexcept;
    void processBlock(jack_nframes_t frames) noexcept;
    // JACK's notification thread.
    static int SampleRateChanged(jack_nframes_t rate, void* self) noexcept;
    void prepareReplacement(jack_nframes_t rate) noexcept;
    static int BlockSizeChanged(jack_nframes_t frames, void* self) noexcept;
    static int Xrun(void* self) noexcept;
    static void Latency(jack_latency_callback_mode_t mode, void* self) noexcept;
    // Whichever thread of libjack notices the server is gone, under signal-handler rules.
    static void ServerGone(jack_status_t code, const char* reason, void* self) noexcept;

    // Any thread, once: the first reason wins. Copies into a fixed buffer (no allocation), as
    // the server's shutdown callback must behave like a signal handler.
    void fail(const char* message) noexcept;
    // Deactivates and closes the client (the engines go with mEngines).
    void close() noexcept;
    std::string findPort(const std::string& name, unsigned long wantedFlags,
                         const char* role) const;
    std::vector<std::string> physicalPorts(unsigned long flags) const;

    LiveEngineSlot mEngines; // outlives the client: destroyed last
    LiveClientOptions mOptions;
    jack_client_t* mClient = nullptr;
    std::vector<jack_port_t*> mInputs, mOutputs;
    jack_port_t* mMidiInput = nullptr;
    std::vector<std::pair<std::string, std::string>> mWanted; // (source, destination)
    std::vector<std::string> mConnections;

    static constexpr uint32_t kMaxEvents = 1024;
    std::vector<RovuRiza_MidiEvent> mEvents; // kMaxEvents, filled on the audio thread

    std::atomic<uint32_t> mRate{0}, mBlockSize{0};
    std::atomic<bool> mLatencyChanged{false};
    std::atomic<float> mInputPeak{0.0f}, mOutputPeak{0.0f};
    std::atomic<uint64_t> mXruns{0};
    std::atomic<bool> mFailing{false}, mFailed{false};
    char mFailure[320] = {}; // written once, before mFailed
};

} // namespace tavelo::cli
