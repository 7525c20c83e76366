#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using hoopvane::DetectionEngine;

namespace
{
std::vector<float> impulseAt (int length, int position, float value = 1.0f)
{
    std::vector<float> x ((size_t) length, 0.0f);
    x[(size_t) position] = value;
    return x;
}

int firstNonZero (const std::vector<float>& x)
{
    for (size_t i = 0; i < x.size(); ++i)
        if (x[i] != 0.0f)
            return (int) i;
    return -1;
}
} // namespace

//==============================================================================
struct LatencyCase
{
    double sampleRate;
    int latency;
};

class LookAheadLatency : public ::testing::TestWithParam<LatencyCase>
{
};

TEST_P (LookAheadLatency, OutputIsTheInputDelayedByExactlyOneMillisecond)
{
    const auto [sampleRate, latency] = GetParam();
    EngineHarness harness (sampleRate, 64);
    EXPECT_EQ (harness.engine.getLatency(), latency);

    const auto out = harness.runMono (impulseAt (1024, 100));
    EXPECT_EQ (firstNonZero (out), 100 + latency);
    // Only the 10 Hz high-pass sits between input and output.
    EXPECT_NEAR (out[(size_t) (100 + latency)], 1.0f, sampleRate >= 8000.0 ? 0.01f : 0.1f);
}

INSTANTIATE_TEST_SUITE_P (SampleRates,
                          LookAheadLatency,
                          ::testing::Values (LatencyCase { 8000.0, 8 },
                                             LatencyCase { 22050.0, 23 },
                                             LatencyCase { 44100.0, 45 },
                                             LatencyCase { 48000.0, 48 },
                                             LatencyCase { 96000.0, 96 },
                                             LatencyCase { 500.0, 1 }),
                          [] (const auto& testCase)
                          { return std::to_string ((int) testCase.param.sampleRate) + "Hz"; });

//==============================================================================
TEST (EngineDriver, NonFiniteInputBecomesSilenceWithoutPoisoningLaterSamples)
{
    auto clean = impulseAt (2048, 600, 0.5f);
    auto dirty = clean;
    dirty[100] = std::numeric_limits<float>::quiet_NaN();
    dirty[200] = std::numeric_limits<float>::infinity();
    dirty[300] = -std::numeric_limits<float>::infinity();

    EngineHarness a, b;
    const auto expected = a.runMono (clean);
    const auto actual = b.runMono (dirty);

    const int latency = a.engine.getLatency();
    EXPECT_EQ (actual[(size_t) (100 + latency)], 0.0f);
    EXPECT_EQ (actual, expected); // bit-identical: the bad samples left no trace
}

TEST (EngineDriver, WritesOnlyTheFirstTwoMainChannels)
{
    const std::vector<float> noise = []
    {
        std::vector<float> x (512);
        for (size_t i = 0; i < x.size(); ++i)
            x[i] = std::sin (0.37f * (float) i) * 0.3f;
        return x;
    }();

    EngineHarness quad;
    std::vector<std::vector<float>> four { noise, noise, noise, noise };
    quad.run (four);
    EXPECT_NE (four[0], noise);
    EXPECT_NE (four[1], noise);
    EXPECT_EQ (four[2], noise);
    EXPECT_EQ (four[3], noise);

    EngineHarness mono;
    std::vector<float> left = noise, right = noise;
    float* channels[] = { left.data(), right.data() };
    mono.engine.process (channels, 1, nullptr, 0, 512, -1);
    EXPECT_NE (left, noise);
    EXPECT_EQ (right, noise);
}

TEST (EngineDriver, EmptyBlockChangesNothing)
{
    EngineHarness harness (48000.0, 64, 13);
    EXPECT_EQ (harness.engine.getBlockPhase(), 13 & 7);

    float sample = 0.25f;
    float* channels[] = { &sample };
    harness.engine.process (channels, 1, nullptr, 0, 0, -1);
    harness.engine.process (nullptr, 1, nullptr, 0, 1, -1);
    EXPECT_EQ (harness.engine.getBlockPhase(), 13 & 7);
    EXPECT_EQ (harness.engine.getSampleClock(), 0);
    EXPECT_EQ (sample, 0.25f);

    harness.engine.process (channels, 1, nullptr, 0, 1, -1);
    EXPECT_EQ (harness.engine.getBlockPhase(), (13 & 7) + 1);
    EXPECT_EQ (harness.engine.getSampleClock(), 1);
}

//==============================================================================
// With a DC input the processed signal settles at 0 (the 10 Hz high-pass removes DC) while the
// dry signal stays at the DC level, so the crossfade between them is directly visible.
TEST (EngineDriver, BypassCrossfadesToTheDelayedDrySignalAndBack)
{
    constexpr float dc = 0.5f;
    constexpr int fade = hoopvane::BypassFade::fadeSamples;
    EngineHarness harness (48000.0, 32);

    harness.runMono (std::vector<float> (48000 * 2, dc)); // let the high-pass settle
    harness.parameters.bypass = true;
    const auto fadeOut = harness.runMono (std::vector<float> (fade + 64, dc));

    for (int i = 0; i < fade; ++i)
        ASSERT_NEAR (fadeOut[(size_t) i], dc * (float) (i + 1) / (float) fade, 1.0e-4f) << "sample " << i;
    EXPECT_TRUE (harness.engine.isFullyBypassed());

    // Fully bypassed: the processor stops calling process() and runs the dry delay only.
    std::vector<float> ramp (256);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = (float) i / 256.0f - 0.3f;
    auto bypassed = ramp;
    float* channel[] = { bypassed.data() };
    harness.engine.processDryDelay (channel, 1, (int) bypassed.size());
    const int latency = harness.engine.getLatency();
    for (size_t i = (size_t) latency; i < ramp.size(); ++i)
        ASSERT_EQ (bypassed[i], ramp[i - (size_t) latency]);
    for (int i = 0; i < latency; ++i)
        ASSERT_EQ (bypassed[(size_t) i], dc);

    harness.parameters.bypass = false;
    harness.runMono (std::vector<float> ((size_t) latency, dc));
    const auto fadeIn = harness.runMono (std::vector<float> (fade, dc));
    EXPECT_FALSE (harness.engine.isFullyBypassed());
    // The processed signal restarts from the high-pass's old (settled) state, so only the dry
    // part fades: from full level down to nothing.
    EXPECT_NEAR (fadeIn.front(), dc * (1.0f - (float) (latency + 1) / (float) fade), 0.02f);
    EXPECT_NEAR (fadeIn.back(), 0.0f, 0.02f);
}

TEST (EngineDriver, ModeChangeBlockUsesTheNewModesDefaultSustain)
{
    EngineHarness harness (48000.0, 64);
    harness.parameters.sustainMs = 400.0f;
    harness.runMono (std::vector<float> (64));
    EXPECT_EQ (harness.engine.getBlockSustainMs(), 400.0);

    harness.parameters.mode = hoopvane::toIndex (hoopvane::DrumMode::kick);
    harness.runMono (std::vector<float> (64));
    EXPECT_EQ (harness.engine.getPreparedMode(), hoopvane::DrumMode::kick);
    EXPECT_EQ (harness.engine.getBlockSustainMs(), 180.0);
    EXPECT_EQ (harness.engine.getModeTable().detectorLowPassHz, 5000.0);

    harness.runMono (std::vector<float> (64));
    EXPECT_EQ (harness.engine.getBlockSustainMs(), 400.0);
}

TEST (EngineDriver, OutputNeverExceedsTheCeiling)
{
    EngineHarness harness;
    std::vector<float> loud (4096);
    for (size_t i = 0; i < loud.size(); ++i)
        loud[i] = 40.0f * std::sin (0.05f * (float) i);
    for (float y : harness.runMono (loud))
        ASSERT_LE (std::abs (y), 4.0f);
}

TEST (SoftLimit, IsTheIdentityUpToFourThenContinuousMonotonicAndBounded)
{
    double previous = hoopvane::softLimit (-20.0);
    for (double x = -20.0; x <= 20.0; x += 0.001)
    {
        const double y = hoopvane::softLimit (x);
        if (std::abs (x) <= 4.0)
        {
            ASSERT_EQ (y, x);
        }
        ASSERT_LE (std::abs (y), 4.0);
        ASSERT_GE (y, previous); // monotonic
        ASSERT_LE (y - previous, 0.001 + 1e-9); // continuous: no step larger than the input's
        previous = y;
    }
}

TEST (EngineMeters, InputLevelFollowsTheDetectorInput)
{
    EngineHarness harness (48000.0, 480);
    harness.runMono (std::vector<float> (48000, 0.25f));
    const auto& exports = harness.engine.getExports();
    EXPECT_NEAR (exports.meanInputLevel.load(), 0.25f, 1e-6f);
    EXPECT_NEAR (exports.inputLevel.load(), 0.25f, 1e-3f);
    EXPECT_NEAR (exports.inputPeakHold.load(), 0.25f, 1e-6f);
    EXPECT_EQ (exports.meanGainReduction.load(), 0.0f);
}
