// UI thread of an LV2 host: the editor's side of the plug-in. A data model of the amp's
// parameters (the same class the AAX host creates, with no renderer behind it) and the existing
// editor on top of it, embedded in the host's parent window. The model's automation requests
// become port writes: touch → ui:touch on, set value → a write to the port, release → touch
// off. Port events from the host move the model and the knobs. Nothing here reaches the
// plug-in other than through ports.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tavelo::lv2
{

class Lv2UiModel
{
public:
    struct HostCalls
    {
        std::function<void(uint32_t port, float value)> writePort;
        std::function<void(uint32_t port, bool grabbed)> touch; // may be empty
        std::function<void(int width, int height)> resize;      // may be empty
    };

    explicit Lv2UiModel(HostCalls calls);
    ~Lv2UiModel();
    Lv2UiModel(const Lv2UiModel&) = delete;
    Lv2UiModel& operator=(const Lv2UiModel&) = delete;

    // Creates the model and opens the editor in `parentWindow` (an X11 window id). False with
    // the reason in *error.
    bool open(unsigned long parentWindow, std::string* error);
    // The editor's own X11 window (the widget handed to the host), 0 before open.
    unsigned long window() const;
    int width() const;
    int height() const;

    // A port's value from the host (automation, presets, the plug-in's start values).
    void portEvent(uint32_t port, float value);
    // The host's periodic call: confirms pending edits, handles the window's events, repaints.
    void idle();

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};

} // namespace tavelo::lv2
