#include "CommandLine.h"
#include "TestAudioFiles.h"

#include <gtest/gtest.h>

namespace hoopvane::render::test
{
namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr double trackSeconds = 2.5;
    constexpr double hitInterval = 0.25;

    /** A mono WAV kick and a stereo AIFF snare, ten hits each. */
    class RenderedSession : public ::testing::Test
    {
    protected:
        RenderedSession()
        {
            writeTestAudio (session.getChildFile ("kick_in.wav"), kick, sampleRate);
            writeTestAudio (session.getChildFile ("snare_top.aiff"), snare, sampleRate);
        }

        juce::StringArray arguments (const juce::String& options) const
        {
            auto list = juce::StringArray::fromTokens (options, " ", "");
            list.addArray ({ "--out", outputFolder().getFullPathName(), session.getChildFile ("kick_in.wav").getFullPathName() + ":kick", session.getChildFile ("snare_top.aiff").getFullPathName() + ":snare:top" });
            list.removeEmptyStrings();
            return list;
        }

        juce::File outputFolder() const { return session.getChildFile ("rendered/mix"); }

        const juce::AudioBuffer<float> kick = makeDrumTrack (1, sampleRate, trackSeconds, hitInterval, 60.0);
        const juce::AudioBuffer<float> snare = makeDrumTrack (2, sampleRate, trackSeconds, hitInterval, 220.0);
        TemporaryFolder session;
        TemporaryFolder scratch;
    };
} // namespace

// Each track comes back as a float WAV of its own length and channel count, named after it, and
// the summary tells that both instances learned in the first pass.
TEST_F (RenderedSession, WritesAlignedFloatWavPerTrackAndLearnsFirst)
{
    const auto run = runRenderExecutable (arguments ("--block 128"), scratch);
    ASSERT_EQ (run.exitCode, 0) << run.errors;

    const std::vector<std::pair<const char*, const juce::AudioBuffer<float>*>> expected { { "kick_in.wav", &kick }, { "snare_top.wav", &snare } };
    for (const auto& [name, input] : expected)
    {
        const auto info = readTestAudio (outputFolder().getChildFile (name));
        EXPECT_EQ (info.audio.getNumChannels(), input->getNumChannels()) << name;
        EXPECT_EQ (info.audio.getNumSamples(), input->getNumSamples()) << name;
        EXPECT_EQ (info.sampleRate, sampleRate) << name;
        EXPECT_EQ (info.bitsPerSample, 32u) << name;
        EXPECT_TRUE (info.usesFloatingPoint) << name;
    }

    const auto lines = juce::StringArray::fromLines (run.output.trim());
    ASSERT_EQ (lines.size(), 3) << run.output;
    EXPECT_TRUE (lines[0].startsWith ("kick_in") && lines[0].contains ("kick") && lines[0].contains ("learned yes")) << lines[0];
    EXPECT_TRUE (lines[1].startsWith ("snare_top") && lines[1].contains ("snare top") && lines[1].contains ("learned yes")) << lines[1];
    EXPECT_TRUE (lines[2].contains ("s of audio per second")) << lines[2];
    EXPECT_TRUE (run.errors.isEmpty()) << "no progress bar when stderr is not a terminal: " << run.errors;
}

TEST_F (RenderedSession, NoLearnSkipsTheLearningPass)
{
    const auto run = runRenderExecutable (arguments ("--no-learn"), scratch);
    ASSERT_EQ (run.exitCode, 0) << run.errors;
    EXPECT_FALSE (run.output.contains ("learned yes")) << run.output;
    EXPECT_EQ (juce::StringArray::fromLines (run.output.trim()).size(), 3) << run.output;
}

// Paths may hold colons: the mode and position are read from the right.
TEST (RenderCommandLine, SplitsTrackArgumentsFromTheRight)
{
    const auto plain = parseTrackArgument ("a:b.wav:tom");
    EXPECT_EQ (plain.file.getFileName(), "a:b.wav");
    EXPECT_EQ (plain.mode, "tom");
    EXPECT_TRUE (plain.position.isEmpty());

    const auto snare = parseTrackArgument ("c:d.wav:snare:bottom");
    EXPECT_EQ (snare.file.getFileName(), "c:d.wav");
    EXPECT_EQ (snare.mode, "snare");
    EXPECT_EQ (snare.position, "bottom");
}
} // namespace hoopvane::render::test
