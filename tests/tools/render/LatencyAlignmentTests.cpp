#include "ParameterText.h"
#include "SessionRender.h"
#include "TrackSetup.h"

#include <gtest/gtest.h>

namespace hoopvane::render::test
{
namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int trackLength = 4800;
    constexpr int impulseAt = 1000;
    constexpr float impulseLevel = 0.5f;

    class LatencyAlignment : public ::testing::TestWithParam<int>
    {
    };
} // namespace

// Through the real processor with RANGE at 0 dB (the gate cannot reduce), an impulse comes out
// at its input sample although the plug-in delays by its look-ahead. Block 32 is shorter than
// the latency, block 500 does not divide the track.
TEST_P (LatencyAlignment, ImpulseComesOutAtItsInputSample)
{
    const int blockSize = GetParam();
    juce::AudioBuffer<float> input (1, trackLength);
    input.clear();
    input.setSample (0, impulseAt, impulseLevel);

    HoopvaneAudioProcessor reference;
    const auto fullRange = parseParameterValue (reference.getParameterState(), "RANGE", "0");
    const auto processor = createTrackProcessor ({ "impulse.wav:tom", juce::File(), "tom", {} }, { fullRange }, 1);

    const auto outputs = renderSession ({ processor.get() }, { &input }, { sampleRate, blockSize, false }, {});

    ASSERT_GT (processor->getLatencySamples(), 0) << "nothing to compensate: the test would prove nothing";
    const auto& output = outputs.front();
    ASSERT_EQ (output.getNumSamples(), trackLength);

    int loudest = 0;
    for (int i = 1; i < trackLength; ++i)
        if (std::abs (output.getSample (0, i)) > std::abs (output.getSample (0, loudest)))
            loudest = i;

    EXPECT_EQ (loudest, impulseAt);
    EXPECT_NEAR (output.getSample (0, impulseAt), impulseLevel, 0.05f);
}

INSTANTIATE_TEST_SUITE_P (RenderTool, LatencyAlignment, ::testing::Values (32, 500));
} // namespace hoopvane::render::test
