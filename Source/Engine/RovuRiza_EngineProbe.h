// A look inside an engine for the tests and benchmarks of the render callback itself: the render
// context the engine hands the callback (to write ports raw or take fields away), the model
// state record, one build of the mono render in place of the callback's own choice, and blocks
// set up at a rate prepare() refuses. Products never use it.
//
// Set-up thread, never while the engine processes.
#pragma once

#include "Engine/RovuRiza_Alg_Context.h"
#include "Engine/RovuRiza_Engine.h"

struct RovuRiza_ModelState;

struct RovuRiza_EngineProbe
{
    using MonoRender = void (*)(SRovuRiza_Alg_Context&) noexcept;

    // The context process() fills and passes to the callback; the engine's ports behind it.
    static SRovuRiza_Alg_Context& Context(RovuRiza_Engine& engine);
    static RovuRiza_ModelState& ModelState(RovuRiza_Engine& engine);
    // The value a port holds, written without the setters' clamping (a NaN stays a NaN).
    static void WritePort(RovuRiza_Engine& engine, RovuRiza_Control control, float value);
    // nullptr goes back to the callback.
    static void UseMonoRender(RovuRiza_Engine& engine, MonoRender render);
    // Sets the two blocks up again at any rate, and hands the callback that rate.
    static void SetUpBlocksAt(RovuRiza_Engine& engine, float sampleRate);
};
