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

void BM_ConverterWithCircuit(benchmark::State& st)
{
    const float fs = static_cast<float>(st.range(0));
    auto inst = MakeInstance(fs);
    RovuRiza_ModelState& state = inst->State();
    RovuRiza_ConverterVars v;
    RovuRiza_LoadConverter(state, v);
    RovuRiza_CircuitVars c;
    RovuRiza_LoadCircuit(state, c);
    RovuRiza_StepControls controls{0.9f, 0.1f, 2.0f, 0.0001f, 0.0f};
    const std::vector<float> x = Sine(220.0, fs, kBlock, 0.3);
    for (auto _ : st)
        for (float s : x)
            benchmark::DoNotOptimize(RovuRiza_ConvertSample(
                v, s, [&](float u) { return RovuRiza_CircuitStep(c, state, u, controls); }));
    st.SetItemsProcessed(st.iterations() * kBlock);
}
BENCHMARK(BM_ConverterWithCircuit)->Arg(44100)->Arg(48000);

void BM_VoicingBank(benchmark::State& st)
{
    auto inst = MakeInstance(48000.0f);
    RovuRiza_ModelState& state = inst->State();
    const auto& poles = *inst->ctx.sectionPoles;
    float envelope = 0.0f;
    const std::vector<float> x = Sine(220.0, 48000.0, kBlock, 0.3);
    for (auto _ : st)
        for (float s : x)
            benchmark::DoNotOptimize(RovuRiza_VoicingProcess(inst->voicing, poles,
                                                             state.bankHistory1, state.bankHistory2,
                                                             envelope, state.envelopeCoef, s));
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
