// `tavelo live` on a JACK dummy server of the test's own: jack_metro plays into it, jack_rec
// records it, this program's client is the expression pedal and watches the ports. The editor
// case runs it under an Xvfb of its own and drags Gain with xdotool.
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <numeric>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kDir = (fs::temp_directory_path() / ("tavelo-live-" + std::to_string(getpid())));

void requireTools(std::initializer_list<const char*> paths)
{
    for (const char* path : paths)
        ASSERT_EQ(access(path, X_OK), 0) << path << " is missing: scripts/deps installs it";
}

// Starts a program with stdout and stderr in `log` and extra "NAME=VALUE" environment.
pid_t spawn(const std::vector<std::string>& argv, const std::string& log,
            const std::vector<std::string>& env = {})
{
    const pid_t pid = fork();
    if (pid != 0) return pid;
    for (const std::string& e : env)
        putenv(const_cast<char*>(e.c_str()));
    std::freopen(log.c_str(), "w", stdout);
    dup2(fileno(stdout), STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// The exit status once it ends (after `signal`, if any); -1 when it died of a signal.
int finish(pid_t pid, int signal = 0)
{
    if (signal) kill(pid, signal);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `argv` until it succeeds, for up to 20 s.
bool eventually(const std::vector<std::string>& argv, const std::vector<std::string>& env)
{
    for (auto end = Clock::now() + std::chrono::seconds(20); Clock::now() < end;)
    {
        if (finish(spawn(argv, kDir + "/eventually.log", env)) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::string slurp(const std::string& path)
{
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

double rms(const std::vector<float>& x)
{
    const double sum = std::inner_product(x.begin(), x.end(), x.begin(), 0.0);
    return std::sqrt(sum / double(std::max<size_t>(x.size(), 1)));
}

// A JACK dummy server under a name of its own, jack_metro, and this program as a client with a
// MIDI output that sends control change 11 every block once `expression` is 0..127.
class LiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        requireTools({"/usr/bin/jackd", "/usr/bin/jack_metro", "/usr/bin/jack_rec",
                      "/usr/bin/jack_bufsize"});
        fs::create_directories(kDir);
        // One name per test, not per run: JACK reclaims a registry entry whose server is gone
        // only under the same name, and its registry holds eight.
        const std::string name =
            std::string("tavelo-test-live-")
                .append(::testing::UnitTest::GetInstance()->current_test_info()->name());
        jack_set_error_function([](const char*) {});
        setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
        jackd = spawn(
            {"jackd", "-r", "-n", name, "-t", "8000", "-d", "dummy", "-r", "48000", "-p", "512"},
            kDir + "/jackd.log");
        for (auto end = Clock::now() + std::chrono::seconds(20); !client && Clock::now() < end;)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            client = jack_client_open("probe", JackNoStartServer, nullptr);
        }
        ASSERT_TRUE(client) << "jackd -d dummy did not start: " << slurp(kDir + "/jackd.log");
        pedal = jack_port_register(client, "pedal", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        jack_set_process_callback(client, SendExpression, this);
        jack_activate(client);
        metro =
            spawn({"jack_metro", "-n", "metro", "-b", "240", "-f", "220", "-A", "0.3", "-D", "120"},
                  kDir + "/metro.log");
        ASSERT_TRUE(waitForPort("metro:240_bpm", false));
    }
    void TearDown() override
    {
        if (client) jack_client_close(client);
        if (metro > 0) finish(metro, SIGTERM);
        if (jackd > 0) finish(jackd, SIGTERM);
        if (!HasFailure()) fs::remove_all(kDir);
    }
    static int SendExpression(jack_nframes_t frames, void* self)
    {
        auto* test = static_cast<LiveTest*>(self);
        void* buffer = jack_port_get_buffer(test->pedal, frames);
        jack_midi_clear_buffer(buffer);
        const unsigned char message[3] = {0xB0, 11, static_cast<unsigned char>(test->expression)};
        if (test->expression >= 0) jack_midi_event_write(buffer, 0, message, 3);
        return 0;
    }

    // `tavelo live` as the client `name`, fed by the metronome.
    pid_t live(const std::string& name, std::vector<std::string> args,
               const std::vector<std::string>& env = {})
    {
        args.insert(args.begin(), {TAVELO_EXE, "live", "--name", name, "--input", "metro:240_bpm"});
        return spawn(args, kDir + "/" + name + ".log", env);
    }
    // True once `port` exists (and, for a port of `tavelo live`, is connected: the client is
    // active and has made its connections).
    bool waitForPort(const std::string& port, bool connected = true)
    {
        for (auto end = Clock::now() + std::chrono::seconds(60); Clock::now() < end;)
        {
            jack_port_t* found = jack_port_by_name(client, port.c_str());
            if (found && (!connected || jack_port_connected(found) > 0)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    // Two seconds of `port` through jack_rec.
    std::vector<float> record(const std::string& port)
    {
        const std::string file = kDir + "/take.wav";
        fs::remove(file);
        EXPECT_EQ(
            finish(spawn({"jack_rec", "-f", file, "-d", "2", "-b", "32", port}, kDir + "/rec")), 0);
        SF_INFO info{};
        SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
        std::vector<float> samples(f ? size_t(info.frames) : 0);
        if (f) sf_readf_float(f, samples.data(), info.frames), sf_close(f);
        return samples;
    }

    pid_t jackd = -1, metro = -1;
    jack_client_t* client = nullptr;
    jack_port_t* pedal = nullptr;
    std::atomic<int> expression{-1};
};

TEST_F(LiveTest, PlaysTheMetronomeFollowingSettingsPresetsAndThePedal)
{
    const pid_t amp = live("amp", {"--no-editor", "--set", "Volume=0.06"});
    ASSERT_TRUE(waitForPort("amp:output")) << slurp(kDir + "/amp.log");
    jack_latency_range_t latency{};
    jack_port_get_latency_range(jack_port_by_name(client, "amp:output"), JackCaptureLatency,
                                &latency);
    EXPECT_GT(latency.max, 0u) << "the converter's delay is not reported";
    const std::vector<float> plain = record("amp:output");
    EXPECT_EQ(finish(spawn({"jack_bufsize", "1024"}, kDir + "/bufsize.log")), 0);
    expression = 127;
    jack_connect(client, jack_port_name(pedal), "amp:expression");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::vector<float> pushed = record("amp:output");
    EXPECT_EQ(finish(amp, SIGINT), 0);
    EXPECT_NE(slurp(kDir + "/amp.log").find("(48000 Hz, 1024 frames)"), std::string::npos)
        << "no status line, or the block size change was missed";

    ASSERT_EQ(
        finish(spawn({TAVELO_EXE, "preset", "save", kDir + "/quiet.elck", "--set", "Volume=0.02"},
                     kDir + "/preset.log")),
        0);
    const pid_t quiet = live("quiet", {"--no-editor", "--preset", kDir + "/quiet.elck"});
    ASSERT_TRUE(waitForPort("quiet:output")) << slurp(kDir + "/quiet.log");
    const std::vector<float> softer = record("quiet:output");
    EXPECT_EQ(finish(quiet, SIGTERM), 0);

    // A NaN anywhere fails every comparison of its RMS.
    ASSERT_GE(plain.size(), 90000u);
    EXPECT_GT(rms(plain), 0.01) << "the recording is not audible";
    EXPECT_LT(rms(softer), 0.7 * rms(plain)) << "the preset's Volume is not heard";
    EXPECT_GT(rms(pushed), 1.3 * rms(plain)) << "the pedal does not drive the power stage";

    // Silence in, silence out from the first block: no start-up thump of the circuit.
    const pid_t silent = spawn(
        {TAVELO_EXE, "live", "--no-editor", "--no-connect", "--name", "hush"}, kDir + "/hush.log");
    ASSERT_TRUE(waitForPort("hush:output", false));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(finish(silent, SIGINT), 0);
    const std::string hush = slurp(kDir + "/hush.log");
    int lines = 0;
    for (size_t at = hush.find(" out "); at != std::string::npos; at = hush.find(" out ", at + 1))
    {
        EXPECT_LT(std::strtod(hush.c_str() + at + 5, nullptr), -40.0) << hush;
        ++lines;
    }
    EXPECT_GE(lines, 2) << hush;

    // A port that does not exist, a server that does not: one line each, status 1.
    EXPECT_EQ(finish(spawn({TAVELO_EXE, "live", "--no-editor", "--input", "nowhere:out"},
                           kDir + "/noport.log")),
              1);
    EXPECT_EQ(slurp(kDir + "/noport.log"),
              "tavelo: no such JACK port: nowhere:out (jack_lsp lists them)\n");
    EXPECT_EQ(finish(live("noserver", {"--no-editor"}, {"JACK_DEFAULT_SERVER=nobody"})), 1);
    EXPECT_EQ(slurp(kDir + "/noserver.log"),
              "tavelo: no JACK server is running: start one, or run under pw-jack\n");
}

TEST_F(LiveTest, EditorDragOnGainChangesTheSound)
{
    requireTools({"/usr/bin/Xvfb", "/usr/bin/xdotool"});
    EXPECT_EQ(finish(live("nodisplay", {}, {"DISPLAY=:4711"})), 1);
    EXPECT_NE(slurp(kDir + "/nodisplay.log").find("use --no-editor"), std::string::npos);

    // Xvfb picks a free display and names it on its standard output once it is ready.
    const pid_t xvfb =
        spawn({"Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"},
              kDir + "/xvfb.log");
    ASSERT_TRUE(eventually({"grep", "-qx", "[0-9][0-9]*", kDir + "/xvfb.log"}, {})) << "no Xvfb";
    std::istringstream xvfbLog(slurp(kDir + "/xvfb.log"));
    std::string display;
    for (std::string line; std::getline(xvfbLog, line);)
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
            display = line;
    const std::vector<std::string> env{"DISPLAY=:" + display};
    const pid_t amp = live("amped", {"--set", "Volume=0.06"}, env);
    ASSERT_TRUE(waitForPort("amped:output")) << slurp(kDir + "/amped.log");
    ASSERT_TRUE(eventually({"xdotool", "search", "--name", "^Tavelo1$"}, env))
        << "no editor window: " << slurp(kDir + "/amped.log");
    const std::vector<float> before = record("amped:output");
    // The Gain knob of the unmanaged window at the screen's corner: drag 120 pixels up.
    std::vector<std::string> drag{"xdotool", "mousemove", "93", "485", "mousedown", "1"};
    for (int y = 470; y >= 365; y -= 15)
        drag.insert(drag.end(), {"sleep", "0.05", "mousemove", "93", std::to_string(y)});
    drag.insert(drag.end(), {"mouseup", "1"});
    EXPECT_EQ(finish(spawn(drag, kDir + "/drag.log", env)), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::vector<float> after = record("amped:output");
    EXPECT_EQ(finish(amp, SIGINT), 0) << slurp(kDir + "/amped.log");
    finish(xvfb, SIGTERM);
    EXPECT_GT(rms(after), 1.3 * rms(before)) << "the drag on Gain is not heard";
}

} // namespace
