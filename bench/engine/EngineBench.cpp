// Render loop cost and its split: converter alone (identity circuit), converter with the
// circuit, voicing bank, output stage, and the whole callback. Items are host samples, so
// items_per_second against the host rate gives the real-time margin of one instance.
#include <benchmark/benchmark.h>

#include "Circuit/RovuRiza_Circuit.h"
#include "Converter/RovuRiza_Converter.h"
#include "EngineTestSupport.h"
#include "OutputStage/RovuRiza_OutputStage.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
using namespace engine_test;
constexpr int kBlock = 512;

std::unique_ptr<Instance> MakeInstance(float fs)
{
    auto inst = std::make_unique<Instance>(fs, 1);
    RovuRiza_BuildVoicingPayload(0.0f, fs, inst->voicing);
    const std::vector<float> warm = Sine(220.0, fs, kBlock, 0.3);
    inst->Render(warm.data(), nullptr, kBlock);
    return inst;
}

void BM_RenderCallback(benchmark::State& st)
{
    const float fs = static_cast<float>(st.range(0));
    auto inst = MakeInstance(fs);
    inst->in[0] = Sine(220.0, fs, kBlock, 0.3);
    SRovuRiza_Alg_Context* list[1] = {&inst->ctx};
    for (auto _ : st)
    {
        RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 1);
        benchmark::DoNotOptimize(inst->out[0].data());
    }
    st.SetItemsProcessed(st.iterations() * kBlock);
}
BENCHMARK(BM_RenderCallback)->Arg(44100)->Arg(48000)->Arg(96000);

void BM_ConverterIdentity(benchmark::State& st)
{
    const float fs = static_cast<float>(st.range(0));
    auto inst = MakeInstance(fs);
    RovuRiza_ConverterVars v;
    RovuRiza_LoadConverter(inst->State(), v);
    const std::vector<float> x = Sine(220.0, fs, kBlock, 0.3);
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
    auto inst = MakeInstance(48000.0f);
    RovuRiza_ConverterVars v;
    RovuRiza_LoadConverter(inst->State(), v);
    const std::vector<float> x = Sine(220.0, 192000.0f, 4 * kBlock, 0.3);
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
    auto inst = MakeInstance(48000.0f);
    RovuRiza_ModelState& state = inst->State();
    RovuRiza_CircuitVars c;
    RovuRiza_LoadCircuit(state, c);
    RovuRiza_StepControls controls{0.9f, 0.1f, 2.0f, 0.0001f, 0.0f};
    const std::vector<float> u = Sine(220.0, 192000.0, 4 * kBlock, level);
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
    auto inst = MakeInstance(48000.0f);
    RovuRiza_ModelState& state = inst->State();
    const auto& poles = *inst->ctx.sectionPoles;
    float envelope = 0.0f;
    const std::vector<float> x = Sine(220.0, 48000.0, kBlock, 0.3);
    std::vector<float> y(x.size());
    // As the render runs it: prepared once per block, samples in chunks of 32.
    for (auto _ : st)
    {
        RovuRiza_VoicingBankCoefficients bank;
        RovuRiza_PrepareVoicingBank(inst->voicing, bank);
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
    const std::vector<float> x = Sine(220.0, 48000.0, kBlock, 0.3);
    for (auto _ : st)
        for (float s : x)
            benchmark::DoNotOptimize(RovuRiza_OutputStageProcess(v, 48000.0f, s));
    st.SetItemsProcessed(st.iterations() * kBlock);
}
BENCHMARK(BM_OutputStage);
} // namespace
