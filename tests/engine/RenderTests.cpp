// The render callback end to end: bypass, stereo, MIDI expression, bad input, block lengths,
// re-set-up and rates outside the design.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "Engine/RovuRiza_VectorUnits.h"
#include "RenderHarness.h"
#include "SignalAnalysis.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
using namespace render_test;
using tavelo::signal::sine;

// An instance with a voicing chosen, so the whole chain sounds.
std::unique_ptr<RenderInstance> Sounding(float fs, int channels = 1)
{
    return std::make_unique<RenderInstance>(fs, channels);
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
    const std::vector<float> x = sine(220.0, 48000.0, 4800, 0.3);
    bypassed->setControl(RovuRiza_Control::kBypass, 1);
    bypassed->render(x.data(), nullptr, 4800);
    running->render(x.data(), nullptr, 4800);
    EXPECT_EQ(bypassed->out[0], x);
    EXPECT_NE(running->out[0], x);

    // Turning bypass off resumes exactly where an instance that was never bypassed is.
    bypassed->setControl(RovuRiza_Control::kBypass, 0);
    const std::vector<float> more = sine(330.0, 48000.0, 480, 0.3);
    bypassed->render(more.data(), nullptr, 480);
    running->render(more.data(), nullptr, 480);
    EXPECT_EQ(bypassed->out[0], running->out[0]);
    EXPECT_TRUE(AllFinite(running->out[0]));
}

TEST(RenderBypass, InPlaceBuffersStillPassThrough)
{
    auto inst = Sounding(44100.0f);
    inst->setControl(RovuRiza_Control::kBypass, 1);
    std::vector<float> buffer = sine(1000.0, 44100.0, 256, 0.5);
    const std::vector<float> original = buffer;
    float* channel = buffer.data();
    const int32_t length = 256;
    SRovuRiza_Alg_Context ctx = inst->context();
    ctx.audioIn = &channel;
    ctx.audioOut = &channel;
    ctx.bufferLength = &length;
    SRovuRiza_Alg_Context* list[1] = {&ctx};
    RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 1);
    EXPECT_EQ(buffer, original);
}

TEST(RenderStereo, BothOutputsCarryTheModelOfTheLeftInput)
{
    auto stereo = Sounding(48000.0f, 2);
    auto mono = Sounding(48000.0f, 1);
    const std::vector<float> left = sine(110.0, 48000.0, 2048, 0.4);
    const std::vector<float> right = sine(3000.0, 48000.0, 2048, 0.9);
    stereo->render(left.data(), right.data(), 2048);
    mono->render(left.data(), nullptr, 2048);
    EXPECT_EQ(stereo->out[0], stereo->out[1]);
    EXPECT_EQ(stereo->out[0], mono->out[0]);

    stereo->setControl(RovuRiza_Control::kBypass, 1);
    stereo->render(left.data(), right.data(), 2048);
    EXPECT_EQ(stereo->out[0], left);
    EXPECT_EQ(stereo->out[1], right);
}

TEST(RenderMidi, ExpressionTakesEffectAtItsTimestamp)
{
    auto withPedal = Sounding(48000.0f);
    auto without = Sounding(48000.0f);
    const std::vector<float> x = sine(220.0, 48000.0, 64, 0.3);
    withPedal->rawMidi().Set({ControlChange(5, 0, 11, 127)});
    withPedal->render(x.data(), nullptr, 64);
    without->render(x.data(), nullptr, 64);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(withPedal->out[0][i], without->out[0][i]) << i;
    EXPECT_NE(withPedal->out[0][5], without->out[0][5]);
    EXPECT_EQ(withPedal->state().expression, 1.0f);
    EXPECT_EQ(without->state().expression, 0.0f);

    // The value persists across calls; 0 brings the factor back to 2.
    withPedal->rawMidi().Set({});
    withPedal->render(x.data(), nullptr, 64);
    EXPECT_EQ(withPedal->state().expression, 1.0f);
    withPedal->rawMidi().Set({ControlChange(0, 0, 11, 0)});
    withPedal->render(x.data(), nullptr, 64);
    EXPECT_EQ(withPedal->state().expression, 0.0f);
}

TEST(RenderMidi, ChannelsControllersAndTimestamps)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> x(32, 0.0f);
    inst->rawMidi().Set({ControlChange(3, 15, 11, 64)}); // any channel
    inst->render(x.data(), nullptr, 32);
    EXPECT_EQ(inst->state().expression, static_cast<float>(64 * (1.0 / 127.0)));

    inst->rawMidi().Set(
        {ControlChange(0, 0, 7, 127), ControlChange(1, 0, 1, 127)}); // other controllers
    inst->render(x.data(), nullptr, 32);
    EXPECT_EQ(inst->state().expression, static_cast<float>(64 * (1.0 / 127.0)));

    AAX_CMidiPacket noteOn = ControlChange(0, 0, 11, 127);
    noteOn.mData[0] = 0x90;                                     // note on with the same data bytes
    inst->rawMidi().Set({noteOn, ControlChange(32, 0, 11, 0)}); // the second lies beyond the buffer
    inst->render(x.data(), nullptr, 32);
    EXPECT_EQ(inst->state().expression, static_cast<float>(64 * (1.0 / 127.0)));

    inst->rawMidi().Set({ControlChange(31, 0, 11, 0)}); // last sample of the buffer
    inst->render(x.data(), nullptr, 32);
    EXPECT_EQ(inst->state().expression, 0.0f);

    // A count with no packet array, and no MIDI node at all.
    inst->rawMidi().stream.mBuffer = nullptr;
    inst->rawMidi().stream.mBufferSize = 4;
    inst->render(x.data(), nullptr, 32);
    inst->context().midiIn = nullptr;
    inst->render(x.data(), nullptr, 32);
    EXPECT_TRUE(AllFinite(inst->out[0]));
}

TEST(RenderInput, NonFiniteSamplesNeverReachTheModel)
{
    auto inst = Sounding(44100.0f);
    inst->setControl(RovuRiza_Control::kGain, 1.0f);
    std::vector<float> x = sine(196.0, 44100.0, 44100, 0.5);
    const float inf = std::numeric_limits<float>::infinity();
    for (int i = 1000; i < 1200; ++i)
        x[i] = (i % 3 == 0) ? std::numeric_limits<float>::quiet_NaN() : (i % 3 == 1 ? inf : -inf);
    inst->render(x.data(), nullptr, 44100);
    EXPECT_TRUE(AllFinite(inst->out[0]));
    const RovuRiza_ModelState& s = inst->state();
    for (float v : s.upHistory)
        EXPECT_TRUE(std::isfinite(v));
    for (float v : s.downHistory)
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_TRUE(std::isfinite(s.pickupState[0]) && std::isfinite(s.pickupState[1]));

    // Non-finite control values are read as 0 rather than poisoning the state.
    inst->writePort(RovuRiza_Control::kGain, std::numeric_limits<float>::quiet_NaN());
    inst->writePort(RovuRiza_Control::kVolume, inf);
    inst->writePort(RovuRiza_Control::kTone, std::numeric_limits<float>::quiet_NaN());
    inst->writePort(RovuRiza_Control::kPickup, std::numeric_limits<float>::quiet_NaN());
    inst->render(x.data(), nullptr, 4410);
    EXPECT_TRUE(AllFinite(inst->out[0]));
}

TEST(RenderInput, PickupIndexSelectsTheFilteredPath)
{
    const std::vector<float> x = sine(5100.0, 48000.0, 2048, 0.2);
    std::vector<float> out[3];
    const float values[3] = {0.0f, 0.0051f, 1.0f};
    for (int k = 0; k < 3; ++k)
    {
        auto inst = Sounding(48000.0f);
        inst->setControl(RovuRiza_Control::kPickup, values[k]);
        inst->render(x.data(), nullptr, 2048);
        out[k] = inst->out[0];
    }
    EXPECT_NE(out[0], out[1]);
    EXPECT_EQ(out[1], out[2]);
}

TEST(RenderBlocks, EmptyBlocksLeaveEveryCarriedValueAlone)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> x = sine(220.0, 48000.0, 512, 0.3);
    inst->render(x.data(), nullptr, 512);
    const std::vector<unsigned char> before = CarriedBytes(inst->state());
    inst->rawMidi().Set({ControlChange(0, 0, 11, 127)});
    for (const int32_t n : {0, -5})
    {
        SRovuRiza_Alg_Context ctx = inst->context();
        ctx.bufferLength = &n;
        SRovuRiza_Alg_Context* list[1] = {&ctx};
        RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 1);
        EXPECT_EQ(CarriedBytes(inst->state()), before);
    }
}

TEST(RenderBlocks, SplittingABlockChangesNothing)
{
    auto whole = Sounding(44100.0f);
    auto pieces = Sounding(44100.0f);
    const std::vector<float> x = sine(440.0, 44100.0, 1000, 0.3);
    whole->render(x.data(), nullptr, 1000);
    std::vector<float> joined;
    for (int start : {0, 1, 129, 640})
    {
        const int end = start == 640 ? 1000 : (start == 0 ? 1 : (start == 1 ? 129 : 640));
        pieces->render(x.data() + start, nullptr, end - start);
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
    const std::vector<float> x = sine(110.0, 44100.0, 22050, 0.5);
    auto largestDifference = [](const std::vector<float>& a, const std::vector<float>& b)
    {
        double worst = 0.0;
        for (size_t n = 0; n < a.size(); ++n)
            worst = std::max(worst, std::fabs(double(a[n]) - double(b[n])));
        return worst;
    };
    auto chosen = Sounding(44100.0f);
    chosen->render(x.data(), nullptr, int(x.size()));
    std::vector<float> nudgedInput = x;
    for (float& v : nudgedInput)
        v = std::nextafter(v, 2.0f);
    auto nudged = Sounding(44100.0f);
    nudged->render(nudgedInput.data(), nullptr, int(x.size()));
    const double nudge = largestDifference(nudged->out[0], chosen->out[0]);
    ASSERT_GT(nudge, 0.0);

    for (Process process : builds)
    {
        auto whole = Sounding(44100.0f);
        whole->useMonoRender(process);
        whole->render(x.data(), nullptr, int(x.size()));
        auto pieces = Sounding(44100.0f);
        pieces->useMonoRender(process);
        std::vector<float> joined;
        for (size_t start = 0, n = 1; start < x.size(); start += n, n = n * 3 + 7)
        {
            n = std::min(n, x.size() - start);
            pieces->render(x.data() + start, nullptr, int(n));
            joined.insert(joined.end(), pieces->out[0].begin(), pieces->out[0].end());
        }
        EXPECT_EQ(joined, whole->out[0]);
        EXPECT_LT(largestDifference(whole->out[0], chosen->out[0]), 3.0 * nudge);
    }
}

TEST(RenderBlocks, SetUpAgainRestoresEveryCarriedValue)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> x = sine(220.0, 48000.0, 4800, 0.3);
    inst->rawMidi().Set({ControlChange(0, 0, 11, 100)});
    inst->render(x.data(), nullptr, 4800);
    Coefficients c;
    RovuRiza_SetUpModelState(&inst->state(), RovuRiza_Field::kModelStateSize, 48000.0f, c.recursive,
                             c.forward);
    Block fresh = SetUpState(48000.0f);
    EXPECT_EQ(CarriedBytes(inst->state()), CarriedBytes(AsState(fresh)));
}

TEST(RenderBlocks, SilenceGivesANormalNonDenormalOutput)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> silence(48000, 0.0f);
    inst->render(silence.data(), nullptr, 48000);
    for (float v : inst->out[0])
        ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL);
    for (float v : inst->state().upHistory)
        EXPECT_NE(std::fpclassify(v), FP_SUBNORMAL);
    EXPECT_TRUE(AllFinite(inst->out[0]));
}

TEST(RenderBlocks, AFreshInstanceOnSilenceIsQuietFromItsFirstSample)
{
    // No power-up transient: a new record starts where the circuit rests.
    for (float fs : {44100.0f, 48000.0f, 96000.0f})
    {
        auto inst = Sounding(fs);
        inst->set({.gain = 0.2f, .rate = 0.2f, .volume = 0.8f, .pickup = 0.0f}); // the defaults
        const std::vector<float> silence(size_t(fs), 0.0f);
        inst->render(silence.data(), nullptr, int(fs));
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
        const std::vector<float> x = sine(100.0, 48000.0, 4096, 0.3);
        inst->setControl(RovuRiza_Control::kPickup, 0.0f);
        inst->render(x.data(), nullptr, 4096);
        EXPECT_TRUE(AllFinite(inst->out[0]));
        const RovuRiza_ModelState& s = inst->state();
        EXPECT_GE(s.stepAccumulator, 0.0f);
        EXPECT_LE(s.stepAccumulator, s.internalStep);
    }
}

TEST(RenderRobustness, MissingBlocksOrBuffersGiveSilenceNotACrash)
{
    auto inst = Sounding(48000.0f);
    const std::vector<float> x = sine(220.0, 48000.0, 64, 0.3);
    inst->context().modelState = nullptr;
    inst->render(x.data(), nullptr, 64);
    for (float v : inst->out[0])
        EXPECT_EQ(v, 0.0f);

    auto other = Sounding(48000.0f);
    other->context().ctrlSound = nullptr; // no voicing delivered yet: silent model, no crash
    other->context().ctrlGainTremolo = nullptr;
    other->render(x.data(), nullptr, 64);
    EXPECT_TRUE(AllFinite(other->out[0]));

    SRovuRiza_Alg_Context* list[2] = {nullptr, &other->context()};
    RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 2);
    RovuRiza_AlgorithmProcessFunction<2, 2>(nullptr, nullptr);
    RovuRiza_AlgorithmProcessFunction<1, 1>(list, list); // empty range
}

TEST(RenderInstances, SeveralContextsInOneCallStayIndependent)
{
    auto a = Sounding(48000.0f);
    auto b = Sounding(48000.0f);
    auto solo = Sounding(48000.0f);
    const std::vector<float> xa = sine(220.0, 48000.0, 256, 0.3);
    const std::vector<float> xb = sine(880.0, 48000.0, 256, 0.6);
    // Fill a's and b's buffers through render once, then run both in a single call.
    a->render(xa.data(), nullptr, 256);
    b->render(xb.data(), nullptr, 256);
    solo->render(xa.data(), nullptr, 256);
    a->in[0] = xa;
    b->in[0] = xb;
    SRovuRiza_Alg_Context* list[2] = {&a->context(), &b->context()};
    RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 2);
    solo->render(xa.data(), nullptr, 256);
    EXPECT_EQ(a->out[0], solo->out[0]);
}
} // namespace
