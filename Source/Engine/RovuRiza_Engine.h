// One amp instance for hosts that own it directly (the LV2 plug-in, the live JACK client, tests
// and benchmarks): it holds the instance's two private blocks and its port values, and its
// process call runs the same render callback the AAX host calls, so both paths give the same
// output bit for bit.
//
// Lifecycle: prepare() on a set-up thread, then process() on one real-time thread; setters run
// on that thread between process calls (or on any thread while nothing processes). Nothing here
// is safe to call concurrently with process(): a host hands values over to its audio thread
// itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Engine/RovuRiza_Controls.h"

// A MIDI message inside the block being processed: frame offset and its first three bytes.
struct RovuRiza_MidiEvent
{
    uint32_t frame;
    uint8_t data[3];
};

class RovuRiza_Engine
{
public:
    static constexpr double kMinSampleRate = 16000.0;
    static constexpr double kMaxSampleRate = 192000.0;

    // Set-up thread. An unprepared engine processes silence.
    RovuRiza_Engine();
    ~RovuRiza_Engine();
    RovuRiza_Engine(const RovuRiza_Engine&) = delete;
    RovuRiza_Engine& operator=(const RovuRiza_Engine&) = delete;

    // Set-up thread, never while process() runs. Allocates the private blocks (about 17 MiB),
    // sets them up for the rate, prepares the payloads of every voicing and puts every control
    // at its default. channels is 1 (mono) or 2 (stereo: the model on the first input feeding
    // both outputs). On a rate outside 16000..192000 Hz or another channel count it returns
    // false, leaves the engine as it was and says why in *error.
    bool prepare(double sampleRate, int channels, std::string* error = nullptr);

    // Set-up thread, between process calls: back to the freshly prepared state (carried values,
    // expression and controls), without allocating. Sets the record up again, so not for the
    // real-time thread.
    void reset() noexcept;

    // Audio thread (or any thread while nothing processes). Normalized values, clamped to 0..1;
    // a NaN is ignored. A "Sound" change selects a payload prepared for this rate.
    void setControl(RovuRiza_Control control, float value) noexcept;
    float control(RovuRiza_Control control) const noexcept;
    // The expression pedal, 0..1, as MIDI control change 11 sets it (value / 127).
    void setExpression(float value) noexcept;

    // Audio thread. Renders frames samples (any count from 1; 0 does nothing) from channels()
    // inputs into channels() outputs. MIDI events in frame order; control change 11 on any
    // channel is the expression pedal from its frame on. Allocates nothing, locks nothing.
    void process(const float* const* inputs, float* const* outputs, uint32_t frames,
                 const RovuRiza_MidiEvent* events = nullptr, uint32_t eventCount = 0) noexcept;

    // Any thread after prepare(): the delay the internal-rate converter adds, in host samples
    // (rounded), the value hosts should compensate.
    uint32_t latency() const noexcept;
    double sampleRate() const noexcept;
    int channels() const noexcept;
    bool prepared() const noexcept;

    // The converter's delay at a host rate, in host samples before rounding (set-up thread).
    static double ConverterDelay(double sampleRate);

private:
    friend struct RovuRiza_EngineProbe;
    struct Instance;
    std::unique_ptr<Instance> mInstance;
};
