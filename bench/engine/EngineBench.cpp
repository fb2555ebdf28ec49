// Render loop cost and its split: converter alone (identity circuit), converter with the
// circuit, voicing bank, output stage, and the whole callback. Items are host samples, so
// items_per_second against the host rate gives the real-time margin of one instance.
#include <benchmark/benchmark.h>

#include <memory>

#include "Circuit/RovuRiza_Circuit.h"
#include "Converter/RovuRiza_Converter.h"
#include "Engine/RovuRiza_AlgorithmProcess.h"
#include "Engine/RovuRiza_EngineProbe.h"
#include "ModelState/RovuRiza_ModelState.h"
#include "OutputStage/RovuRiza_OutputStage.h"
#include "SignalAnalysis.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
using tavelo::signal::sine;
constexpr int kBlock = 512;

// A mono engine at the rate, Sound entry 0, Gain, Tone, Rate and Volume at half, after one
// block of a 220 Hz sine; out receives what it renders.
std::unique_ptr<RovuRiza_Engine> MakeEngine(float fs, std::vector<float>& out)
{
    auto engine = std::make_unique<RovuRiza_Engine>();
    engine->prepare(fs, 1);
    for (RovuRiza_Control c : {RovuRiza_Control::kGain, RovuRiza_Control::kTone,
                               RovuRiza_Control::kRate, RovuRiza_Control::kVolume})
        engine->setControl(c, 0.5f);
    engine->setControl(RovuRiza_Control::kSound, 0.0f);
    engine->setControl(RovuRiza_Control::kPickup, 0.01f);
    const std::vector<float> warm = sine(220.0, fs, kBlock, 0.3);
    out.resize(kBlock);
    const float* in[1] = {warm.data()};
    float* outs[1] = {out.data()};
    engine->process(in, outs, kBlock);
    return engine;
}

void BM_RenderCallback(benchmark::State& st)
{
    const float fs = static_cast<float>(st.range(0));
    std::vector<float> out;
    auto engine = MakeEngine(fs, out);
    const std::vector<float> x = sine(220.0, fs, kBlock, 0.3);
    const float* in[1] = {x.data()};
    float* outs[1] = {out.data()};
    for (auto _ : st)
    {
        engine->process(in, outs, kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    st.SetItemsProcessed(st.iterations() * kBlock);
}
BENCHMARK(BM_RenderCallback)->Arg(44100)->Arg(48000)->Arg(96000);

void BM_ConverterIdentity(benchmark::State& st)
{
    const float fs = static_cast<float>(st.range(0));
    std::vector<float> out;
    auto engine = MakeEngine(fs, out);
    RovuRiza_ConverterVars v;
    RovuRiza_LoadConverter(RovuRiza_EngineProbe::ModelState(*engine), v);
    const std::vector<float> x = sine(220.0, fs, kBlock, 0.3);
    for (auto _ : st)
        for (float s : x)
            benchmark::DoNotOptimize(RovuRiza_ConvertSample(v, s, [](float u) { return u; }));
    st.SetItemsProcessed(st.iterations() * kBlock);
}
BENCHMARK(BM_ConverterIdentity)->Arg(44100)->Arg(48000);

// The converter's two recursions as the render runs them over one 512-frame block at 48 kHz:
// 2048 internal steps through the input filter, then through the output filter.
void BM_ConverterFilters(benchmark::State& st)
{
    std::vector<float> out;
    auto engine = MakeEngine(48000.0f, out);
    RovuRiza_ConverterVars v;
    RovuRiza_LoadConverter(RovuRiza_EngineProbe::ModelState(*engine), v);
    const std::vector<float> x = sine(220.0, 192000.0f, 4 * kBlock, 0.3);
    std::vector<float> values(x.size());
    for (auto _ : st)
    {
        values = x;
        RovuRiza_ConverterFilterRun(v.up, values.data(), int(values.size()));
        RovuRiza_ConverterFilterRun(v.down, values.data(), int(values.size()));
        benchmark::DoNotOptimize(values.data());
    }
    st.SetItemsProcessed(st.iterations() * kBlock);
}
BENCHMARK(BM_ConverterFilters);

// The circuit as the render runs it: all internal steps of a block in one run, on a 220 Hz sine
// of the given level.
void RunCircuitOnSine(benchmark::State& st, double level)
{
    std::vector<float> out;
    auto engine = MakeEngine(48000.0f, out);
    RovuRiza_ModelState& state = RovuRiza_EngineProbe::ModelState(*engine);
    RovuRiza_CircuitVars c;
    RovuRiza_LoadCircuit(state, c);
    RovuRiza_StepControls controls{0.9f, 0.1f, 2.0f, 0.0001f, 0.0f};
    const std::vector<float> u = sine(220.0, 192000.0, 4 * kBlock, level);
    std::vector<float> o(u.size());
    for (auto _ : st)
    {
        RovuRiza_RunCircuit(c, state, controls, u.data(), o.data(), int(u.size()));
        benchmark::DoNotOptimize(o.data());
    }
    st.SetItemsProcessed(st.iterations() * kBlock); // host samples at 48 kHz
}

void BM_CircuitRun(benchmark::State& st)
{
    RunCircuitOnSine(st, 0.3);
}
BENCHMARK(BM_CircuitRun);

// Input levels from silence up (argument: level in thousandths): the louder the input, the
// further the tube coordinates travel per step through the tables.
void BM_CircuitRunLevel(benchmark::State& st)
{
    RunCircuitOnSine(st, 0.001 * double(st.range(0)));
}
BENCHMARK(BM_CircuitRunLevel)->Arg(0)->Arg(3)->Arg(30)->Arg(300)->Arg(1000);

void BM_VoicingBank(benchmark::State& st)
{
    std::vector<float> out;
    auto engine = MakeEngine(48000.0f, out);
    const SRovuRiza_Alg_Context& context = RovuRiza_EngineProbe::Context(*engine);
    RovuRiza_ModelState& state = *context.modelState;
    const auto& poles = *context.sectionPoles;
    float envelope = 0.0f;
    const std::vector<float> x = sine(220.0, 48000.0, kBlock, 0.3);
    std::vector<float> y(x.size());
    // As the render runs it: prepared once per block, samples in chunks of 32.
    for (auto _ : st)
    {
        RovuRiza_VoicingBankCoefficients bank;
        RovuRiza_PrepareVoicingBank(*context.ctrlSound, bank);
        y = x;
        for (int k = 0; k < kBlock; k += 32)
            RovuRiza_VoicingProcessBlock(bank, poles, state.bankHistory1, state.bankHistory2,
                                         envelope, state.envelopeCoef, y.data() + k, 32);
        benchmark::DoNotOptimize(y.data());
    }
    st.SetItemsProcessed(st.iterations() * kBlock);
}
BENCHMARK(BM_VoicingBank);

void BM_OutputStage(benchmark::State& st)
{
    RovuRiza_OutputStageVars v{};
    const std::vector<float> x = sine(220.0, 48000.0, kBlock, 0.3);
    for (auto _ : st)
        for (float s : x)
            benchmark::DoNotOptimize(RovuRiza_OutputStageProcess(v, 48000.0f, s));
    st.SetItemsProcessed(st.iterations() * kBlock);
}
BENCHMARK(BM_OutputStage);
} // namespace
