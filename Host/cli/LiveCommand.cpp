// `tavelo live`: Tavelo1 played in real time as a JACK client, with the editor in an X11
// window driving it. The stand-in host's data model holds the settings (from --set, a preset
// or the editor); each confirmed value goes to the engine on JACK's audio thread through the
// lock-free hand-over.
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

#include "ArgumentReader.h"
#include "Commands.h"
#include "HostEditor.h"
#include "LiveClient.h"
#include "Session.h"

namespace tavelo::cli
{
namespace
{

constexpr const char* kLiveHelp =
    R"(usage: tavelo live [--set ID=VALUE ...] [--preset FILE] [--input PORT] [--output PORT ...]
                  [--no-connect] [--stereo] [--no-editor] [--name NAME] [--bundle PATH]

Plays Tavelo1 live as a client of the running JACK server (or of PipeWire under pw-jack), at
the server's sample rate and block size, with the editor open in an X11 window. Control change
11 on the client's "expression" MIDI port is the expression pedal. Close the window or press
Ctrl-C to stop. A status line shows the input and output peaks, the DSP load and the xruns.

options:
  --set ID=VALUE   set a parameter (repeatable), as for `tavelo render`
  --preset FILE    start from a preset saved with `tavelo preset save`
  --input PORT     the port to play from (default: the first capture port); with --stereo a
                   second --input feeds the right input, else the first feeds both
  --output PORT    a port to play into (repeatable; default: the first two playback ports);
                   mono output goes to every one, stereo pairs them up
  --no-connect     connect only the ports named with --input and --output
  --stereo         the stereo configuration (two inputs, two outputs)
  --no-editor      play without the editor (no display needed)
  --name NAME      the JACK client name (default "tavelo")
  --bundle PATH    the plug-in bundle whose editor and data model to use
)";

std::atomic<bool> gStop{false};
void requestStop(int)
{
    gStop = true;
}

std::string dbfs(float db)
{
    if (!std::isfinite(db)) return "  -inf";
    char text[16];
    std::snprintf(text, sizeof text, "%6.1f", db);
    return text;
}

// The status line: on a terminal rewritten in place a few times a second, otherwise (a log)
// one line a second.
class StatusLine
{
public:
    StatusLine() : mTerminal(isatty(STDOUT_FILENO) == 1) {}
    ~StatusLine()
    {
        if (mTerminal && mShown) std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    void tick(LiveClient& client)
    {
        const auto now = std::chrono::steady_clock::now();
        if (now < mNext) return;
        mNext = now + std::chrono::milliseconds(mTerminal ? 250 : 1000);
        const LiveClient::Status s = client.poll();
        std::printf("%sin %s dBFS  out %s dBFS  DSP %5.1f %%  xruns %llu  (%u Hz, %u frames)%s",
                    mTerminal ? "\r" : "", dbfs(s.inputPeakDb).c_str(),
                    dbfs(s.outputPeakDb).c_str(), s.dspLoad,
                    static_cast<unsigned long long>(s.xruns), client.sampleRate(),
                    client.blockSize(), mTerminal ? "\033[K" : "\n");
        std::fflush(stdout);
        mShown = true;
    }

private:
    const bool mTerminal;
    bool mShown = false;
    std::chrono::steady_clock::time_point mNext{};
};

// Every control of the data model, as confirmed now, to the engine.
void publishAll(host::HostInstance& instance, LiveControlHandover& controls)
{
    for (int c = 0; c < kRovuRizaControlCount; ++c)
    {
        double value = 0.0;
        if (instance.GetParameter(kRovuRizaControls[c].identifier, &value) == AAX_SUCCESS)
            controls.publish(RovuRiza_Control(c), float(value));
    }
}

void publishOne(host::HostInstance& instance, LiveControlHandover& controls,
                const std::string& identifier)
{
    for (int c = 0; c < kRovuRizaControlCount; ++c)
        if (identifier == kRovuRizaControls[c].identifier)
        {
            double value = 0.0;
            if (instance.GetParameter(identifier, &value) == AAX_SUCCESS)
                controls.publish(RovuRiza_Control(c), float(value));
        }
}

} // namespace

int runLive(const Arguments& args)
{
    ArgumentReader reader(args);
    if (reader.wantsHelp()) return std::fputs(kLiveHelp, stdout), 0;
    SessionOptions sessionOptions;
    LiveClientOptions clientOptions;
    bool withEditor = true;
    while (!reader.done())
    {
        const std::string a = reader.next();
        if (readSessionOption(reader, a, sessionOptions)) continue;
        if (a == "--input")
            clientOptions.inputs.push_back(reader.value(a));
        else if (a == "--output")
            clientOptions.outputs.push_back(reader.value(a));
        else if (a == "--no-connect")
            clientOptions.connectDefaults = false;
        else if (a == "--stereo")
            clientOptions.stereo = true;
        else if (a == "--no-editor")
            withEditor = false;
        else if (a == "--name")
            clientOptions.name = reader.value(a);
        else
            throw UsageError("live: unexpected argument " + a);
    }
    if (clientOptions.inputs.size() > (clientOptions.stereo ? 2u : 1u))
        throw UsageError(clientOptions.stereo ? "live: --stereo takes at most two --input ports"
                                              : "live: one --input port (two with --stereo)");
    if (clientOptions.name.empty()) throw UsageError("live: --name wants a non-empty name");
    if (clientOptions.stereo) sessionOptions.stemFormat = AAX_eStemFormat_Stereo;

    Session session(sessionOptions);
    host::HostInstance& instance = session.instance();
    LiveControlHandover controls;
    publishAll(instance, controls);
    LiveClient client(clientOptions, controls);

    std::unique_ptr<host::HostEditor> editor;
    if (withEditor)
    {
        editor = std::make_unique<host::HostEditor>(session.bundle().EditorFactory(),
                                                    instance.HostUnknown());
        if (!editor->Create()) throw Failure("cannot create the editor: " + editor->Error());
        if (!editor->OpenWindow())
            throw Failure("cannot open the editor: no X display (is DISPLAY set?); use "
                          "--no-editor to play without it");
    }
    instance.SetParameterUpdatedListener(
        [&](const std::string& id)
        {
            publishOne(instance, controls, id);
            if (editor) editor->ParameterUpdated(id.c_str());
        });

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    client.activate();
    std::printf("tavelo live: JACK client \"%s\", %s, %u Hz, %u frames a block, latency %u "
                "samples\n",
                client.clientName().c_str(), clientOptions.stereo ? "stereo" : "mono",
                client.sampleRate(), client.blockSize(), client.latency());
    for (const std::string& connection : client.connections())
        std::printf("  %s\n", connection.c_str());
    std::printf("%s\n",
                withEditor ? "close the window or press Ctrl-C to stop" : "press Ctrl-C to stop");
    std::fflush(stdout);

    std::string failure;
    {
        StatusLine status;
        // One tick of the host's non-real-time side: confirm the editor's requests (which
        // publishes them to the engine), show the status, stop when asked or when JACK fails.
        auto tick = [&]
        {
            instance.Update();
            status.tick(client);
            failure = client.failure();
            return !gStop && failure.empty();
        };
        if (editor)
            editor->RunUntilClosed(tick, 20);
        else
            while (tick())
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    instance.SetParameterUpdatedListener(nullptr);
    if (editor) editor->Destroy();
    if (!failure.empty()) throw Failure(failure);
    return 0;
}

} // namespace tavelo::cli
