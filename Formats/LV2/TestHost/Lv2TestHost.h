// A small LV2 host on lilv for tests and benchmarks: loads a plug-in of the bundles on
// LV2_PATH, gives it a control buffer for every control port and a MIDI sequence, and runs it
// over the caller's audio buffers in blocks of any length.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavelo::lv2
{

class Lv2TestHost
{
public:
    // Null when the plug-in is not found or refuses the rate; *error then says why (including
    // what the plug-in logged).
    static std::unique_ptr<Lv2TestHost> Create(const std::string& uri, double sampleRate,
                                               std::string* error);
    ~Lv2TestHost();

    uint32_t channels() const;
    uint32_t portIndex(const std::string& symbol) const; // throws std::out_of_range
    // Control input ports are read by the next run; output ports hold the last run's values.
    float& control(uint32_t port);
    float& control(const std::string& symbol) { return control(portIndex(symbol)); }
    // A MIDI message delivered at `frame` of the next run (frames in order).
    void queueMidi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    // Sets the control ports from a preset: a preset URI on LV2_PATH, or a preset file. False
    // when no such preset is found.
    bool applyPreset(const std::string& uriOrFile);
    void activate();
    void deactivate();
    // One run call over `frames` frames of each channel.
    void run(const float* const* inputs, float* const* outputs, uint32_t frames);

    // Messages the plug-in logged.
    const std::string& log() const;

private:
    Lv2TestHost();
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};

} // namespace tavelo::lv2
