// Shared helpers of the engine tests: blocks set up like the host does, a render context with
// its ports, and simple spectral measurement.
#pragma once

#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "AAX_IMIDINode.h"
#include "Converter/RovuRiza_ConverterCoefficients.h"
#include "Engine/RovuRiza_AlgorithmProcess.h"
#include "ModelState/RovuRiza_ModelState.h"

namespace engine_test
{
struct FreeDeleter
{
    void operator()(void* p) const { std::free(p); }
};
using Block = std::unique_ptr<unsigned char, FreeDeleter>;

inline Block AllocateBlock(size_t size, unsigned char fill = 0xA5)
{
    auto* p = static_cast<unsigned char*>(std::aligned_alloc(64, (size + 63) / 64 * 64));
    std::memset(p, fill, size);
    return Block(p);
}

struct Coefficients
{
    float recursive[9];
    float forward[9];
    Coefficients()
    {
        for (int i = 0; i < 9; ++i)
        {
            recursive[i] =
                static_cast<float>(RovuRiza_ConverterDesign::globalkFourthBandEll8Revmeno[i]);
            forward[i] = static_cast<float>(RovuRiza_ConverterDesign::globalkFourthBandEll8Fw[i]);
        }
    }
};

inline Block SetUpState(float fs)
{
    Block b = AllocateBlock(RovuRiza_Field::kModelStateSize);
    Coefficients c;
    RovuRiza_SetUpModelState(b.get(), RovuRiza_Field::kModelStateSize, fs, c.recursive, c.forward);
    return b;
}

inline RovuRiza_ModelState& AsState(const Block& b)
{
    return *reinterpret_cast<RovuRiza_ModelState*>(b.get());
}

// Bytes of a record outside the tube tables: every carried value and coefficient.
inline std::vector<unsigned char> CarriedBytes(const RovuRiza_ModelState& s)
{
    const auto* b = reinterpret_cast<const unsigned char*>(&s);
    const size_t begin = offsetof(RovuRiza_ModelState, tubeTables);
    const size_t end = begin + sizeof(s.tubeTables);
    std::vector<unsigned char> v(begin + (sizeof s - end));
    std::memcpy(v.data(), b, begin);
    std::memcpy(v.data() + begin, b + end, sizeof s - end);
    return v;
}

class TestMidiNode : public AAX_IMIDINode
{
public:
    AAX_CMidiStream* GetNodeBuffer() override { return &stream; }
    void Set(std::vector<AAX_CMidiPacket> p)
    {
        packets = std::move(p);
        stream.mBuffer = packets.empty() ? nullptr : packets.data();
        stream.mBufferSize = static_cast<uint32_t>(packets.size());
    }
    std::vector<AAX_CMidiPacket> packets;
    AAX_CMidiStream stream;
};

inline AAX_CMidiPacket ControlChange(uint32_t timestamp, int channel, int controller, int value)
{
    AAX_CMidiPacket p;
    p.mTimestamp = timestamp;
    p.mLength = 3;
    p.mData[0] = static_cast<unsigned char>(0xB0 | channel);
    p.mData[1] = static_cast<unsigned char>(controller);
    p.mData[2] = static_cast<unsigned char>(value);
    return p;
}

// One instance as the host would hold it: ports, blocks, channel buffers.
struct Instance
{
    explicit Instance(float fs, int channels = 1) : fs(fs), channels(channels)
    {
        state = SetUpState(fs);
        poles = AllocateBlock(RovuRiza_Field::kSectionPolesSize);
        RovuRiza_SetUpSectionPoles(poles.get(), RovuRiza_Field::kSectionPolesSize, fs);
        std::memset(&voicing, 0, sizeof voicing);
        ctx.ctrlBypass = &bypass;
        ctx.ctrlGainTremolo = gainTremolo;
        ctx.ctrlTone = &tone;
        ctx.ctrlRate = &rate;
        ctx.ctrlVolume = &volume;
        ctx.ctrlSoundValue = &soundValue;
        ctx.ctrlPickup = &pickup;
        ctx.ctrlSound = &voicing;
        ctx.sectionPoles = reinterpret_cast<RovuRiza_SectionPoles*>(poles.get());
        ctx.audioIn = inPtr;
        ctx.audioOut = outPtr;
        ctx.bufferLength = &length;
        ctx.sampleRate = &this->fs;
        ctx.midiIn = &midi;
        ctx.modelState = &AsState(state);
    }

    // Renders the given input (left; right = left unless given) and returns the outputs.
    void Render(const float* left, const float* right, int n)
    {
        in[0].assign(left, left + n);
        in[1].assign(right ? right : left, (right ? right : left) + n);
        out[0].assign(n, -999.0f);
        out[1].assign(n, -999.0f);
        for (int c = 0; c < 2; ++c)
        {
            inPtr[c] = in[c].data();
            outPtr[c] = out[c].data();
        }
        length = n;
        SRovuRiza_Alg_Context* list[1] = {&ctx};
        if (process != nullptr)
            process(ctx);
        else if (channels == 1)
            RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 1);
        else
            RovuRiza_AlgorithmProcessFunction<2, 2>(list, list + 1);
    }

    RovuRiza_ModelState& State() { return AsState(state); }

    // One build of the mono render in place of the callback's own choice.
    void (*process)(SRovuRiza_Alg_Context&) noexcept = nullptr;

    float fs;
    int channels;
    int32_t bypass = 0;
    float gainTremolo[2] = {0.5f, 0.0f};
    float tone = 0.5f, rate = 0.5f, volume = 0.5f, soundValue = 0.0f, pickup = 0.01f;
    RovuRiza_VoicingPayload voicing;
    int32_t length = 0;
    Block state, poles;
    TestMidiNode midi;
    std::vector<float> in[2], out[2];
    float* inPtr[2] = {};
    float* outPtr[2] = {};
    SRovuRiza_Alg_Context ctx{};
};

inline std::vector<float> Sine(double freq, double fs, int n, double amplitude = 0.5)
{
    std::vector<float> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * freq * i / fs));
    return v;
}

// Magnitude spectrum (Blackman-Harris 4-term window) of a real signal, naive DFT over the bins
// asked for. Small sizes only.
inline std::vector<double> Spectrum(const std::vector<double>& x)
{
    const size_t n = x.size();
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n; ++i)
    {
        const double t = 2.0 * M_PI * double(i) / double(n);
        const double w =
            0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        a[i] = x[i] * w;
    }
    // Iterative radix-2 FFT (n must be a power of two).
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1)
    {
        const std::complex<double> wl = std::polar(1.0, -2.0 * M_PI / double(len));
        for (size_t i = 0; i < n; i += len)
        {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < len / 2; ++k)
            {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= wl;
            }
        }
    }
    std::vector<double> mag(n / 2);
    for (size_t k = 0; k < n / 2; ++k)
        mag[k] = std::abs(a[k]);
    return mag;
}
} // namespace engine_test
