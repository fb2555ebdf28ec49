#include <cmath>
#include <cstring>
#include <mutex>

#include "Circuit/RovuRiza_Circuit.h"
#include "Converter/RovuRiza_Converter.h"
#include "ModelState/RovuRiza_Dither.h"
#include "ModelState/RovuRiza_ModelState.h"
#include "ModelState/RovuRiza_Pickup.h"
#include "Tubes/RovuRiza_TubeTables.h"

namespace
{
// A rate the model can be derived from. Hosts refuse anything else; should one still hand a
// zero, negative, tiny or non-finite rate to the set-up, the record is derived for the default
// rate instead of being filled with infinities and NaNs that no render could recover from.
constexpr float kFallbackRate = 48000.0f;

float ServiceableRate(float fs)
{
    return (std::isfinite(fs) && fs >= 1.0f) ? fs : kFallbackRate;
}

template <class Record> bool IsAligned(const void* p)
{
    return reinterpret_cast<uintptr_t>(p) % alignof(Record) == 0;
}

void SetUpPoles(RovuRiza_SectionPoles& poles, float fs)
{
    const float nyquist = fs / 2.0f;
    for (int s = 0; s < kRovuRizaSectionCount; ++s)
    {
        // 50 Hz to 24 kHz in log steps; 0.01010101 is 1/99 in float32.
        const float exponent = 1.69897f + 2.6812415f * static_cast<float>(s) * 0.01010101f;
        float frequency = std::pow(10.0f, exponent);
        if (frequency > nyquist) frequency = nyquist;
        const float omega = 6.2831855f * frequency / fs;
        const float radius = std::pow(0.82f, omega / 3.1415927f);
        const float c = std::cos(omega);
        const float sn = std::sin(omega);
        poles.poleA1[s] = -2.0f * radius * c;
        poles.poleA2[s] = (radius * sn) * (radius * sn) + (radius * c) * (radius * c);
    }
}

// The circuit's operating point on silence: its states, currents and DC-blocker memories once
// the supplies have charged everything. A record started at the zero state would switch the
// supplies on at its first sample and put out a loud power-up transient for no input, on every
// new instance and after every set-up. The point depends only on constants (the circuit runs at
// its own internal rate whatever the host's), so, like the tube tables, it is found once per
// process and copied into every record.
// At rest the circuit's output is not still but a small alternation at half the internal rate,
// which the converter's output filter removes; that filter's history is part of the point, or
// its sudden start would ring audibly.
struct OperatingPoint
{
    RovuRiza_CircuitState circuit;
    float dcBlockerState[4];
    float tone;
    RovuRiza_ConverterFilter outputFilter;
};

// Internal steps run from the zero state (1.1 s). The circuit goes through its last change near
// 0.75 s after power-up; started from 1.05 s on, a fresh instance on silence stays below
// -60 dBFS from its first sample at every host rate, and from 1 s on it does not.
constexpr int kSettlingSteps = 211200;

// Runs the circuit from the zero state in `scratch` (set up but for the operating point) on
// silence, with the default Tone and the tremolo at rest, and the converter's output filter
// behind it (the same in every record).
OperatingPoint Settle(RovuRiza_ModelState& scratch) noexcept
{
    RovuRiza_CircuitVars vars;
    RovuRiza_LoadCircuit(scratch, vars);
    RovuRiza_ConverterVars converter;
    RovuRiza_LoadConverter(scratch, converter);
    RovuRiza_StepControls controls{};
    const float tone = 0.5f;
    controls.toneCoef = 0.995f * (1.0f - tone * tone * tone * tone);
    controls.toneCoefComplement = 1.0f - controls.toneCoef;
    controls.expressionGain = 2.0f;
    constexpr int kRun = 960;
    static_assert(kSettlingSteps % kRun == 0);
    const float silence[kRun] = {};
    float output[kRun];
    for (int done = 0; done < kSettlingSteps; done += kRun)
    {
        RovuRiza_RunCircuit(vars, scratch, controls, silence, output, kRun);
        RovuRiza_ConverterFilterRun(converter.down, output, kRun);
    }
    vars.tremoloPhase = 0.0f; // the tremolo starts where it always has
    RovuRiza_StoreCircuit(vars, scratch);
    OperatingPoint point;
    point.outputFilter = converter.down;
    point.circuit = scratch.circuitState;
    std::memcpy(point.dcBlockerState, scratch.dcBlockerState, sizeof point.dcBlockerState);
    point.tone = scratch.toneTremoloState[1];
    return point;
}

void StartAtOperatingPoint(RovuRiza_ModelState& m) noexcept
{
    static OperatingPoint point;
    static std::once_flag once;
    std::call_once(once, [&m] { point = Settle(m); });
    m.circuitState = point.circuit;
    std::memcpy(m.dcBlockerState, point.dcBlockerState, sizeof m.dcBlockerState);
    m.toneTremoloState[0] = 0.0f;
    m.toneTremoloState[1] = point.tone;
    RovuRiza_ConverterVars converter;
    RovuRiza_LoadConverter(m, converter);
    converter.down = point.outputFilter;
    RovuRiza_StoreConverter(converter, m);
}

void SetUpRecord(RovuRiza_ModelState& m, float fs, const float recursive[9], const float forward[9])
{
    // Everything but the tube tables' room starts from zero bytes (padding included, so two
    // records set up alike are byte-identical). The room stays untouched: the render reads the
    // process-wide copy, so an instance costs no table memory of its own.
    auto* bytes = reinterpret_cast<unsigned char*>(&m);
    const size_t tablesBegin = offsetof(RovuRiza_ModelState, tubeTables);
    const size_t tablesEnd = tablesBegin + sizeof(m.tubeTables);
    std::memset(bytes, 0, tablesBegin);
    std::memset(bytes + tablesEnd, 0, sizeof(RovuRiza_ModelState) - tablesEnd);

    m.hostRate = fs;
    m.stepAccumulator = 0.0f;
    m.hostPeriod = 1.0f / fs;
    m.internalStep = 5.2083333e-06f;
    for (int i = 0; i < 9; ++i)
    {
        m.converterRecursive[i] = recursive[i];
        m.converterForward[i] = forward[i];
    }
    m.dcBlockerPole = 0.9989985f;
    m.sharedTubeTables = RovuRiza_SharedTubeTables();
    StartAtOperatingPoint(m);
    const float q = (48000.0f / fs) * -0.0005001484f;
    m.envelopeCoef = std::exp(q);
    RovuRiza_BuildPickupModel(m.pickupModel, static_cast<double>(fs));
    m.expression = 0.0f;
    m.ditherState = kRovuRizaDitherSeed;
}
} // namespace

void RovuRiza_SetUpSectionPoles(void* block, uint32_t size, float fs) noexcept
{
    if (block == nullptr || !IsAligned<RovuRiza_SectionPoles>(block)) return;
    const uint32_t recordSize = RovuRiza_Field::kSectionPolesSize;
    auto* base = static_cast<unsigned char*>(block);
    for (uint32_t n = 0; n < size / recordSize; ++n)
        SetUpPoles(*reinterpret_cast<RovuRiza_SectionPoles*>(base + size_t(n) * recordSize),
                   ServiceableRate(fs));
}

void RovuRiza_SetUpModelState(void* block, uint32_t size, float fs, const float recursive[9],
                              const float forward[9]) noexcept
{
    if (block == nullptr || recursive == nullptr || forward == nullptr) return;
    if (!IsAligned<RovuRiza_ModelState>(block)) return;
    const uint32_t recordSize = RovuRiza_Field::kModelStateSize;
    auto* base = static_cast<unsigned char*>(block);
    for (uint32_t n = 0; n < size / recordSize; ++n)
        SetUpRecord(*reinterpret_cast<RovuRiza_ModelState*>(base + size_t(n) * recordSize),
                    ServiceableRate(fs), recursive, forward);
}
