// The render callback end to end: bypass, stereo, MIDI expression, bad input, block lengths,
// re-set-up and rates outside the design.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "EngineTestSupport.h"
#include "Engine/RovuRiza_VectorUnits.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
using namespace engine_test;

// An instance with a voicing chosen, so the whole chain sounds.
std::unique_ptr<Instance> Sounding(float fs, int channels = 1)
{
    auto inst = std::make_unique<Instance>(fs, channels);
    RovuRiza_BuildVoicingPayload(0.0f, fs, inst->voicing);
    return inst;
}

bool AllFinite(const std::vector<float>& v)
{
    for (float x : v)
        if (!std::isfinite(x)) return false;
    return true;
}

TEST(RenderBypass, PassesInputThroughWhileTheModelRuns)
{
    auto bypassed = Sounding(48000.0f);
    auto running = Sounding(48000.0f);
    const std::vector<float> x = Sine(220.0, 48000.0, 4800, 0.3);
    bypassed->bypass = 1;
    bypassed->Render(x.data(), nullptr, 4800);
    running->Render(x.data(), nullptr, 4800);
    EXPECT_EQ(bypassed->out[0], x);
    EXPECT_NE(running->out[0], x);

    // Turning bypass off resumes exactly where an instance that was never bypassed is.
    bypassed->bypass = 0;
    const std::vector<float> more = Sine(330.0, 48000.0, 480, 0.3);
    bypassed->Render(more.data(), nullptr, 480);
    running->Render(more.data(), nullptr, 480);
    EXPECT_EQ(bypassed->out[0], running->out[0]);
    EXPECT_TRUE(AllFinite(running->out[0]));
}

TEST(RenderBypass, InPlaceBuffersStillPassThrough)
{
    auto inst = Sounding(44100.0f);
    inst->bypass = 1;
    std::vector<float> buffer = Sine(1000.0, 44100.0, 256, 0.5);
    const std::vector<float> original = buffer;
    float* channel = buffer.data();
    inst->ctx.audioIn = &channel;
    inst->ctx.audioOut = &channel;
    inst->length = 256;
    SRovuRiza_Alg_Context* list[1] = {&inst->ctx};
    RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 1);
    EXPECT_EQ(buffer, original);
}

TEST(RenderStereo, BothOutputsCarryTheModelOfTheLeftInput)
{
    auto stereo = Sounding(48000.0f, 2);
    auto mono = Sounding(48000.0f, 1);
    const std::vector<float> left = Sine(110.0, 48000.0, 2048, 0.4);
    const std::vector<float> right = Sine(3000.0, 48000.0, 2048, 0.9);
    stereo->Render(left.data(), right.data(), 2048);
    mono->Render(left.data(), nullptr, 2048);
    EXPECT_EQ(stereo->out[0], stereo->out[1]);
    EXPECT_EQ(stereo->out[0], mono->out[0]);

    stereo->bypass = 1;
    stereo->Render(left.data(), right.data(), 2048);
    EXPECT_EQ(stereo->out[0], left);
    EXPECT_EQ(stereo->out[1], right);
}

TEST(RenderMidi, ExpressionTakesEffectAtItsTimestamp)
{
    auto withPedal = Sounding(48000.0f);
    auto without = Sounding(48000.0f);
    const std::vector<float> x = Sine(220.0, 48000.0, 64, 0.3);
    withPedal->midi.Set({ControlChange(5, 0, 11, 127)});
    withPedal->Render(x.data(), nullptr, 64);
    without->Render(x.data(), nullptr, 64);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(withPedal->out[0][i], without->out[0][i]) << i;
    EXPECT_NE(withPedal->out[0][5], without->out[0][5]);
    EXPECT_EQ(withPedal->State().expression, 1.0f);
    EXPECT_EQ(without->State().expression, 0.0f);

    // The value persists across calls; 0 brings the factor back to 2.
    withPedal->midi.Set({});
    withPedal->Render(x.data(), nullptr, 64);
    EXPECT_EQ(withPedal->State().expression, 1.0f);
    withPedal->midi.Set({ControlChange(0, 0, 11, 0)});
    withPedal->Render(x.data(), nullptr, 64);
    EXPECT_EQ(withPedal->State().expression, 0.0f);
}

TEST(RenderMidi, ChannelsControllersAndTimestamps)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> x(32, 0.0f);
    inst->midi.Set({ControlChange(3, 15, 11, 64)}); // any channel
    inst->Render(x.data(), nullptr, 32);
    EXPECT_EQ(inst->State().expression, static_cast<float>(64 * (1.0 / 127.0)));

    inst->midi.Set({ControlChange(0, 0, 7, 127), ControlChange(1, 0, 1, 127)}); // other controllers
    inst->Render(x.data(), nullptr, 32);
    EXPECT_EQ(inst->State().expression, static_cast<float>(64 * (1.0 / 127.0)));

    AAX_CMidiPacket noteOn = ControlChange(0, 0, 11, 127);
    noteOn.mData[0] = 0x90;                                // note on with the same data bytes
    inst->midi.Set({noteOn, ControlChange(32, 0, 11, 0)}); // the second lies beyond the buffer
    inst->Render(x.data(), nullptr, 32);
    EXPECT_EQ(inst->State().expression, static_cast<float>(64 * (1.0 / 127.0)));

    inst->midi.Set({ControlChange(31, 0, 11, 0)}); // last sample of the buffer
    inst->Render(x.data(), nullptr, 32);
    EXPECT_EQ(inst->State().expression, 0.0f);

    // A count with no packet array, and no MIDI node at all.
    inst->midi.stream.mBuffer = nullptr;
    inst->midi.stream.mBufferSize = 4;
    inst->Render(x.data(), nullptr, 32);
    inst->ctx.midiIn = nullptr;
    inst->Render(x.data(), nullptr, 32);
    EXPECT_TRUE(AllFinite(inst->out[0]));
}

TEST(RenderInput, NonFiniteSamplesNeverReachTheModel)
{
    auto inst = Sounding(44100.0f);
    inst->gainTremolo[0] = 1.0f;
    std::vector<float> x = Sine(196.0, 44100.0, 44100, 0.5);
    const float inf = std::numeric_limits<float>::infinity();
    for (int i = 1000; i < 1200; ++i)
        x[i] = (i % 3 == 0) ? std::numeric_limits<float>::quiet_NaN() : (i % 3 == 1 ? inf : -inf);
    inst->Render(x.data(), nullptr, 44100);
    EXPECT_TRUE(AllFinite(inst->out[0]));
    const RovuRiza_ModelState& s = inst->State();
    for (float v : s.upHistory)
        EXPECT_TRUE(std::isfinite(v));
    for (float v : s.downHistory)
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_TRUE(std::isfinite(s.pickupState[0]) && std::isfinite(s.pickupState[1]));

    // Non-finite control values are read as 0 rather than poisoning the state.
    inst->gainTremolo[0] = std::numeric_limits<float>::quiet_NaN();
    inst->volume = inf;
    inst->tone = std::numeric_limits<float>::quiet_NaN();
    inst->pickup = std::numeric_limits<float>::quiet_NaN();
    inst->Render(x.data(), nullptr, 4410);
    EXPECT_TRUE(AllFinite(inst->out[0]));
}

TEST(RenderInput, PickupIndexSelectsTheFilteredPath)
{
    const std::vector<float> x = Sine(5100.0, 48000.0, 2048, 0.2);
    std::vector<float> out[3];
    const float values[3] = {0.0f, 0.0051f, 1.0f};
    for (int k = 0; k < 3; ++k)
    {
        auto inst = Sounding(48000.0f);
        inst->pickup = values[k];
        inst->Render(x.data(), nullptr, 2048);
        out[k] = inst->out[0];
    }
    EXPECT_NE(out[0], out[1]);
    EXPECT_EQ(out[1], out[2]);
}

TEST(RenderBlocks, EmptyBlocksLeaveEveryCarriedValueAlone)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> x = Sine(220.0, 48000.0, 512, 0.3);
    inst->Render(x.data(), nullptr, 512);
    const std::vector<unsigned char> before = CarriedBytes(inst->State());
    inst->midi.Set({ControlChange(0, 0, 11, 127)});
    for (int32_t n : {0, -5})
    {
        inst->length = n;
        SRovuRiza_Alg_Context* list[1] = {&inst->ctx};
        RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 1);
        EXPECT_EQ(CarriedBytes(inst->State()), before);
    }
}

TEST(RenderBlocks, SplittingABlockChangesNothing)
{
    auto whole = Sounding(44100.0f);
    auto pieces = Sounding(44100.0f);
    const std::vector<float> x = Sine(440.0, 44100.0, 1000, 0.3);
    whole->Render(x.data(), nullptr, 1000);
    std::vector<float> joined;
    for (int start : {0, 1, 129, 640})
    {
        const int end = start == 640 ? 1000 : (start == 0 ? 1 : (start == 1 ? 129 : 640));
        pieces->Render(x.data() + start, nullptr, end - start);
        joined.insert(joined.end(), pieces->out[0].begin(), pieces->out[0].end());
    }
    EXPECT_EQ(joined, whole->out[0]);
}

TEST(RenderBlocks, EveryBuildSplitsAlikeAndTheBuildsAgreeWithinRounding)
{
    // The callback runs the best build this processor can take; the others ship for other
    // processors and must render the same amp: exactly the same wherever blocks are split, and
    // as close to the chosen build as rounding allows. The driven amp magnifies any rounding
    // (an input moved by one ulp moves the output by some 2e-3 of its peak), so that is the
    // yardstick: the builds round their multiply-adds differently, but may differ by no more
    // than a few such nudges.
    using Process = void (*)(SRovuRiza_Alg_Context&) noexcept;
    std::vector<Process> builds = {RovuRiza_ProcessMonoBaseline};
    if (RovuRiza_HasVectorUnits()) builds.push_back(RovuRiza_ProcessMonoVector);
    if (RovuRiza_HasVector512Units()) builds.push_back(RovuRiza_ProcessMonoVector512);
    const std::vector<float> x = Sine(110.0, 44100.0, 22050, 0.5);
    auto largestDifference = [](const std::vector<float>& a, const std::vector<float>& b)
    {
        double worst = 0.0;
        for (size_t n = 0; n < a.size(); ++n)
            worst = std::max(worst, std::fabs(double(a[n]) - double(b[n])));
        return worst;
    };
    auto chosen = Sounding(44100.0f);
    chosen->Render(x.data(), nullptr, int(x.size()));
    std::vector<float> nudgedInput = x;
    for (float& v : nudgedInput)
        v = std::nextafter(v, 2.0f);
    auto nudged = Sounding(44100.0f);
    nudged->Render(nudgedInput.data(), nullptr, int(x.size()));
    const double nudge = largestDifference(nudged->out[0], chosen->out[0]);
    ASSERT_GT(nudge, 0.0);

    for (Process process : builds)
    {
        auto whole = Sounding(44100.0f);
        whole->process = process;
        whole->Render(x.data(), nullptr, int(x.size()));
        auto pieces = Sounding(44100.0f);
        pieces->process = process;
        std::vector<float> joined;
        for (size_t start = 0, n = 1; start < x.size(); start += n, n = n * 3 + 7)
        {
            n = std::min(n, x.size() - start);
            pieces->Render(x.data() + start, nullptr, int(n));
            joined.insert(joined.end(), pieces->out[0].begin(), pieces->out[0].end());
        }
        EXPECT_EQ(joined, whole->out[0]);
        EXPECT_LT(largestDifference(whole->out[0], chosen->out[0]), 3.0 * nudge);
    }
}

TEST(RenderBlocks, SetUpAgainRestoresEveryCarriedValue)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> x = Sine(220.0, 48000.0, 4800, 0.3);
    inst->midi.Set({ControlChange(0, 0, 11, 100)});
    inst->Render(x.data(), nullptr, 4800);
    Coefficients c;
    RovuRiza_SetUpModelState(inst->state.get(), RovuRiza_Field::kModelStateSize, 48000.0f,
                             c.recursive, c.forward);
    Block fresh = SetUpState(48000.0f);
    EXPECT_EQ(CarriedBytes(inst->State()), CarriedBytes(AsState(fresh)));
}

TEST(RenderBlocks, SilenceGivesANormalNonDenormalOutput)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> silence(48000, 0.0f);
    inst->Render(silence.data(), nullptr, 48000);
    for (float v : inst->out[0])
        ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL);
    for (float v : inst->State().upHistory)
        EXPECT_NE(std::fpclassify(v), FP_SUBNORMAL);
    EXPECT_TRUE(AllFinite(inst->out[0]));
}

TEST(RenderBlocks, AFreshInstanceOnSilenceIsQuietFromItsFirstSample)
{
    // No power-up transient: a new record starts where the circuit rests.
    for (float fs : {44100.0f, 48000.0f, 96000.0f})
    {
        auto inst = Sounding(fs);
        inst->gainTremolo[0] = 0.2f; // the parameters' defaults
        inst->rate = 0.2f;
        inst->volume = 0.8f;
        inst->pickup = 0.0f;
        const std::vector<float> silence(size_t(fs), 0.0f);
        inst->Render(silence.data(), nullptr, int(fs));
        const auto [low, high] = std::minmax_element(inst->out[0].begin(), inst->out[0].end());
        EXPECT_LT(std::max(-*low, *high), 1e-3f) << fs; // -60 dBFS
    }
}

TEST(RenderRobustness, RatesOutsideTheDesignStayBoundedAndFinite)
{
    for (float fs :
         {8000.0f, 11025.0f, 384000.0f, 1e9f, 0.0f, std::numeric_limits<float>::quiet_NaN(),
          std::numeric_limits<float>::infinity()})
    {
        SCOPED_TRACE(fs);
        auto inst = Sounding(fs);
        const std::vector<float> x = Sine(100.0, 48000.0, 4096, 0.3);
        inst->pickup = 0.0f;
        inst->Render(x.data(), nullptr, 4096);
        EXPECT_TRUE(AllFinite(inst->out[0]));
        const RovuRiza_ModelState& s = inst->State();
        EXPECT_GE(s.stepAccumulator, 0.0f);
        EXPECT_LE(s.stepAccumulator, s.internalStep);
    }
}

TEST(RenderRobustness, MissingBlocksOrBuffersGiveSilenceNotACrash)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> x = Sine(220.0, 48000.0, 64, 0.3);
    inst->ctx.modelState = nullptr;
    inst->Render(x.data(), nullptr, 64);
    for (float v : inst->out[0])
        EXPECT_EQ(v, 0.0f);

    auto other = Sounding(48000.0f);
    other->ctx.ctrlSound = nullptr; // no voicing delivered yet: silent model, no crash
    other->ctx.ctrlGainTremolo = nullptr;
    other->Render(x.data(), nullptr, 64);
    EXPECT_TRUE(AllFinite(other->out[0]));

    SRovuRiza_Alg_Context* list[2] = {nullptr, &other->ctx};
    RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 2);
    RovuRiza_AlgorithmProcessFunction<2, 2>(nullptr, nullptr);
    RovuRiza_AlgorithmProcessFunction<1, 1>(list, list); // empty range
}

TEST(RenderInstances, SeveralContextsInOneCallStayIndependent)
{
    auto a = Sounding(48000.0f);
    auto b = Sounding(48000.0f);
    auto solo = Sounding(48000.0f);
    const std::vector<float> xa = Sine(220.0, 48000.0, 256, 0.3);
    const std::vector<float> xb = Sine(880.0, 48000.0, 256, 0.6);
    // Fill a's and b's buffers through Render once, then run both in a single call.
    a->Render(xa.data(), nullptr, 256);
    b->Render(xb.data(), nullptr, 256);
    solo->Render(xa.data(), nullptr, 256);
    a->in[0] = xa;
    b->in[0] = xb;
    SRovuRiza_Alg_Context* list[2] = {&a->ctx, &b->ctx};
    RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 2);
    solo->Render(xa.data(), nullptr, 256);
    EXPECT_EQ(a->out[0], solo->out[0]);
}
} // namespace
