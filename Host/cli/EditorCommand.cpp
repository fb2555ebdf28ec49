// `tavelo editor`: the plug-in's editor in a window of the stand-in host (or offscreen, to a
// PNG), with the host's timer ticks, automation confirmations and parameter feedback.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include "ArgumentReader.h"
#include "Commands.h"
#include "HostEditor.h"
#include "Session.h"

namespace tavelo::cli
{
namespace
{

constexpr const char* kEditorHelp =
    R"(usage: tavelo editor [--set ID=VALUE ...] [--preset FILE] [--screenshot OUT.png]
                    [--seconds N] [--bundle PATH]

Opens the editor of a fresh instance in an X11 window ($DISPLAY) and runs it until the window
is closed with Ctrl-C (or for N seconds). With --screenshot it draws the editor offscreen and
writes it to OUT.png instead, without a display.
)";

std::atomic<bool> gStop{false};
void requestStop(int)
{
    gStop = true;
}

} // namespace

int runEditor(const Arguments& args)
{
    ArgumentReader reader(args);
    if (reader.wantsHelp()) return std::fputs(kEditorHelp, stdout), 0;
    SessionOptions options;
    std::string screenshot;
    long long seconds = -1;
    while (!reader.done())
    {
        const std::string a = reader.next();
        if (readSessionOption(reader, a, options)) continue;
        if (a == "--screenshot")
            screenshot = reader.value(a);
        else if (a == "--seconds")
            seconds = reader.integer(a, 0, 86400);
        else
            throw UsageError("editor: unexpected argument " + a);
    }

    Session session(options);
    host::HostInstance& instance = session.instance();
    host::HostEditor editor(session.bundle().EditorFactory(), instance.HostUnknown());
    if (!editor.Create()) throw Failure("cannot create the editor: " + editor.Error());
    instance.SetParameterUpdatedListener([&](const std::string& id)
                                         { editor.ParameterUpdated(id.c_str()); });

    int status = 0;
    if (!screenshot.empty())
    {
        if (!editor.OpenOffscreen())
            throw Failure("cannot open the editor offscreen: " + editor.Error());
        editor.Timer();
        const bool written = editor.WritePNG(screenshot);
        const AAX_Point size = editor.ViewSize(); // a closed editor has no view to measure
        editor.Close();
        if (!written) throw Failure("cannot write " + screenshot);
        std::printf("wrote %s (%.0f x %.0f)\n", screenshot.c_str(), size.horz, size.vert);
    }
    else
    {
        if (!editor.OpenWindow())
            throw Failure("cannot open the editor window: " + editor.Error() +
                          " (is DISPLAY set? use --screenshot for headless use)");
        std::signal(SIGINT, requestStop);
        std::signal(SIGTERM, requestStop);
        const auto start = std::chrono::steady_clock::now();
        // Until the window manager's close button, Ctrl-C or the time given.
        editor.RunUntilClosed(
            [&]
            {
                instance
                    .Update(); // confirms the editor's set-value requests, then ParameterUpdated
                editor.Flush();
                return !gStop && editor.IsOpen() &&
                       !(seconds >= 0 &&
                         std::chrono::steady_clock::now() - start > std::chrono::seconds(seconds));
            },
            20);
        editor.Close();
    }
    instance.SetParameterUpdatedListener(nullptr);
    editor.Destroy();
    return status;
}

} // namespace tavelo::cli
