#include "Engine/RovuRiza_AlgorithmProcess.h"

#include <cstdint>
#include <cstring>

#include "AAX_IMIDINode.h"
#include "Circuit/RovuRiza_Circuit.h"
#include "Converter/RovuRiza_Converter.h"
#include "Engine/RovuRiza_VectorUnits.h"
#include "ModelState/RovuRiza_Dither.h"
#include "ModelState/RovuRiza_ModelState.h"
#include "ModelState/RovuRiza_Pickup.h"
#include "OutputStage/RovuRiza_OutputStage.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
constexpr RovuRiza_VoicingPayload kEmptyPayload{};

// A NaN or infinity must never enter a carried state: it would stay there for good.
inline bool IsFinite(float v) noexcept
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits & 0x7F800000u) != 0x7F800000u;
}

inline float FiniteOrZero(float v) noexcept
{
    return IsFinite(v) ? v : 0.0f;
}

template <class T> inline T PortOr(const T* port, T fallback) noexcept
{
    return port != nullptr ? *port : fallback;
}

template <class T> inline bool IsAlignedFor(const void* p) noexcept
{
    return reinterpret_cast<uintptr_t>(p) % alignof(T) == 0;
}

// Control values of one call, read from the data ports once.
struct CallControls
{
    bool bypass;
    float inputGain; // Gain squared
    float volume;
    bool pickupFiltered;
    RovuRiza_StepControls step;
    const RovuRiza_VoicingPayload* voicing;
};

CallControls ReadControls(const SRovuRiza_Alg_Context& ctx) noexcept
{
    CallControls c{};
    c.bypass = PortOr<int32_t>(ctx.ctrlBypass, 0) != 0;
    const float gain = ctx.ctrlGainTremolo ? FiniteOrZero(ctx.ctrlGainTremolo[0]) : 0.0f;
    const float tremolo = ctx.ctrlGainTremolo ? FiniteOrZero(ctx.ctrlGainTremolo[1]) : 0.0f;
    const float tone = FiniteOrZero(PortOr(ctx.ctrlTone, 0.0f));
    const float rate = FiniteOrZero(PortOr(ctx.ctrlRate, 0.0f));
    c.volume = FiniteOrZero(PortOr(ctx.ctrlVolume, 0.0f));
    const float pickup = FiniteOrZero(PortOr(ctx.ctrlPickup, 0.0f));

    c.inputGain = gain * gain;
    const float tone2 = tone * tone;
    c.step.toneCoef = 0.995f * (1.0f - tone2 * tone2);
    c.step.toneCoefComplement = 1.0f - c.step.toneCoef;
    c.step.tremoloIncrement = (0.1f + 7.9f * rate) * 6.2831855f / 192000.0f;
    c.step.tremoloDepth = 5.0f * tremolo;
    c.step.expressionGain = 2.0f;
    // Pickup index trunc(P*100 + 0.49) <= 0 selects the filtered path. Formed in double, so
    // 0.0051 already gives index 1, and compared without the integer conversion, which a huge
    // value would overflow.
    c.pickupFiltered = static_cast<double>(pickup) * 100.0 + 0.49 < 1.0;

    // No voicing delivered yet reads as an empty payload: the bank stays silent.
    const RovuRiza_VoicingPayload* voicing = ctx.ctrlSound ? ctx.ctrlSound : &kEmptyPayload;
    c.voicing = voicing;
    return c;
}

template <int kChannels>
[[gnu::always_inline]] inline void ProcessInstance(SRovuRiza_Alg_Context& ctx) noexcept
{
    const int32_t length = PortOr<int32_t>(ctx.bufferLength, 0);
    float* in[kChannels] = {};
    float* out[kChannels] = {};
    for (int c = 0; c < kChannels; ++c)
    {
        in[c] = ctx.audioIn ? ctx.audioIn[c] : nullptr;
        out[c] = ctx.audioOut ? ctx.audioOut[c] : nullptr;
    }
    RovuRiza_ModelState* const statePtr = ctx.modelState;
    RovuRiza_SectionPoles* const poles = ctx.sectionPoles;
    bool usable = statePtr != nullptr && poles != nullptr &&
                  IsAlignedFor<RovuRiza_ModelState>(statePtr) &&
                  IsAlignedFor<RovuRiza_SectionPoles>(poles);
    for (int c = 0; c < kChannels; ++c)
        usable = usable && in[c] != nullptr && out[c] != nullptr;
    if (!usable)
    {
        // Nothing to render with: silence wherever there is somewhere to write it.
        for (int c = 0; c < kChannels; ++c)
            if (out[c] != nullptr)
                for (int32_t i = 0; i < length; ++i)
                    out[c][i] = 0.0f;
        return;
    }
    RovuRiza_ModelState& state = *statePtr;
    CallControls controls = ReadControls(ctx);

    const AAX_CMidiPacket* packets = nullptr;
    uint32_t packetCount = 0;
    if (ctx.midiIn != nullptr)
    {
        if (const AAX_CMidiStream* stream = ctx.midiIn->GetNodeBuffer())
        {
            packets = stream->mBuffer;
            packetCount = packets != nullptr ? stream->mBufferSize : 0;
        }
    }

    // Carried values, in locals for the call.
    RovuRiza_ConverterVars converter;
    RovuRiza_LoadConverter(state, converter);
    RovuRiza_PickupVars pickup;
    RovuRiza_LoadPickup(state, pickup);
    RovuRiza_CircuitVars circuit;
    RovuRiza_LoadCircuit(state, circuit);
    RovuRiza_OutputStageVars outputStage;
    RovuRiza_LoadOutputStage(state, outputStage);
    float expression = state.expression;
    float envelope = state.envelope;
    const float envelopeCoef = state.envelopeCoef;
    const float hostRate = state.hostRate;
    uint64_t dither = state.ditherState;
    RovuRiza_VoicingBankCoefficients bank;
    RovuRiza_PrepareVoicingBank(*controls.voicing, bank);

    // The render runs in chunks of host samples, each through stages that are tight loops of
    // their own: conditioning and the input instants; the input filter over all the chunk's
    // internal steps; the circuit over them in one run; the output filter; then per host sample
    // the output instant, the voicing bank and the output stage. The results equal those of one
    // sample at a time.
    constexpr int kChunk = 32;
    constexpr int kNewest = 4; // output values the host-rate interpolation reads
    float steps[kChunk * kRovuRizaConverterMaxSteps];
    float filtered[kNewest + kChunk * kRovuRizaConverterMaxSteps];
    int stepsOf[kChunk];
    float accOf[kChunk];
    float wet[kChunk];

    uint32_t nextPacket = 0;
    auto applyPackets = [&](int32_t at) noexcept
    {
        while (nextPacket < packetCount && packets[nextPacket].mTimestamp <= uint32_t(at))
        {
            const AAX_CMidiPacket& p = packets[nextPacket++];
            if ((p.mData[0] & 0xF0) == 0xB0 && p.mData[1] == 11)
                expression = static_cast<float>(p.mData[2] * (1.0 / 127.0));
        }
    };

    for (int32_t start = 0; start < length;)
    {
        // A chunk ends early where the expression changes: the circuit run holds it fixed.
        applyPackets(start);
        const float chunkExpression = expression;
        controls.step.expressionGain = (2.0f * expression + 1.0f) * 2.0f;
        int count = 0;
        int total = 0;
        for (; count < kChunk && start + count < length; ++count)
        {
            if (count > 0)
            {
                applyPackets(start + count);
                if (expression != chunkExpression) break;
            }
            float x =
                FiniteOrZero(in[0][start + count] * controls.inputGain + RovuRiza_Dither(dither));
            const float voiced = RovuRiza_PickupStep(pickup, x);
            if (controls.pickupFiltered) x = FiniteOrZero(voiced);
            stepsOf[count] = RovuRiza_ConverterInstants(converter, x, steps + total);
            accOf[count] = converter.acc;
            total += stepsOf[count];
        }

        RovuRiza_ConverterFilterRun(converter.up, steps, total);
        // The output filter's newest values before the chunk lead the buffer, oldest first.
        for (int k = 0; k < kNewest; ++k)
            filtered[k] = converter.down.y[kNewest - 1 - k];
        RovuRiza_RunCircuit(circuit, state, controls.step, steps, filtered + kNewest, total);
        RovuRiza_ConverterFilterRun(converter.down, filtered + kNewest, total);

        for (int k = 0, end = kNewest; k < count; ++k)
        {
            end += stepsOf[k];
            const float z[kNewest] = {filtered[end - 1], filtered[end - 2], filtered[end - 3],
                                      filtered[end - 4]};
            wet[k] = RovuRiza_ConverterOutput(converter, z, accOf[k]) * controls.volume;
        }
        RovuRiza_VoicingProcessBlock(bank, *poles, state.bankHistory1, state.bankHistory2, envelope,
                                     envelopeCoef, wet, count);
        for (int k = 0; k < count; ++k)
        {
            const float o = RovuRiza_OutputStageProcess(outputStage, hostRate, wet[k]);
            float dry[kChannels];
            for (int c = 0; c < kChannels; ++c)
                dry[c] = in[c][start + k];
            for (int c = 0; c < kChannels; ++c)
                out[c][start + k] = controls.bypass ? dry[c] : o;
        }
        start += count;
    }

    RovuRiza_StoreConverter(converter, state);
    RovuRiza_StorePickup(pickup, state);
    RovuRiza_StoreCircuit(circuit, state);
    RovuRiza_StoreOutputStage(outputStage, state);
    state.expression = expression;
    state.envelope = envelope;
    state.ditherState = dither;
}

// Built three times, like the circuit: for the baseline, with 8-lane vector units and fused
// multiply-add, and with the 512-bit set's 32 vector registers besides.
template <int kChannels>
__attribute__((target(ROVURIZA_VECTOR_TARGET))) void
ProcessVector(SRovuRiza_Alg_Context& ctx) noexcept
{
    ProcessInstance<kChannels>(ctx);
}

template <int kChannels>
__attribute__((target(ROVURIZA_VECTOR512_TARGET))) void
ProcessVector512(SRovuRiza_Alg_Context& ctx) noexcept
{
    ProcessInstance<kChannels>(ctx);
}

template <int kChannels> void ProcessBaseline(SRovuRiza_Alg_Context& ctx) noexcept
{
    ProcessInstance<kChannels>(ctx);
}

using ProcessFunction = void (*)(SRovuRiza_Alg_Context&) noexcept;
} // namespace

// Chosen once, when the library is loaded. They run during relocation, before any sanitizer
// runtime has set itself up, so they are left uninstrumented.
extern "C" __attribute__((no_sanitize("address", "undefined", "thread"))) ProcessFunction
RovuRiza_ResolveProcessMono() noexcept
{
    return RovuRiza_PickBuild<ProcessFunction>(ProcessBaseline<1>, ProcessVector<1>,
                                               ProcessVector512<1>);
}

extern "C" __attribute__((no_sanitize("address", "undefined", "thread"))) ProcessFunction
RovuRiza_ResolveProcessStereo() noexcept
{
    return RovuRiza_PickBuild<ProcessFunction>(ProcessBaseline<2>, ProcessVector<2>,
                                               ProcessVector512<2>);
}

void RovuRiza_ProcessMono(SRovuRiza_Alg_Context& ctx) noexcept
    __attribute__((ifunc("RovuRiza_ResolveProcessMono")));
void RovuRiza_ProcessStereo(SRovuRiza_Alg_Context& ctx) noexcept
    __attribute__((ifunc("RovuRiza_ResolveProcessStereo")));

void RovuRiza_ProcessMonoBaseline(SRovuRiza_Alg_Context& ctx) noexcept
{
    ProcessBaseline<1>(ctx);
}

void RovuRiza_ProcessMonoVector(SRovuRiza_Alg_Context& ctx) noexcept
{
    ProcessVector<1>(ctx);
}

void RovuRiza_ProcessMonoVector512(SRovuRiza_Alg_Context& ctx) noexcept
{
    ProcessVector512<1>(ctx);
}

template <int kInputs, int kOutputs>
void RovuRiza_AlgorithmProcessFunction(SRovuRiza_Alg_Context* const inInstancesBegin[],
                                       const void* inInstancesEnd) noexcept
{
    static_assert(kInputs == kOutputs && (kInputs == 1 || kInputs == 2),
                  "mono and stereo configurations only");
    if (inInstancesBegin == nullptr) return;
    for (SRovuRiza_Alg_Context* const* it = inInstancesBegin;
         static_cast<const void*>(it) < inInstancesEnd; ++it)
    {
        if (*it == nullptr) continue;
        if constexpr (kInputs == 1)
            RovuRiza_ProcessMono(**it);
        else
            RovuRiza_ProcessStereo(**it);
    }
}

template void RovuRiza_AlgorithmProcessFunction<1, 1>(SRovuRiza_Alg_Context* const[],
                                                      const void*) noexcept;
template void RovuRiza_AlgorithmProcessFunction<2, 2>(SRovuRiza_Alg_Context* const[],
                                                      const void*) noexcept;
