#include "OutputFolder.h"
#include "TestAudioFiles.h"
#include "ToolError.h"

#include <gtest/gtest.h>

namespace hoopvane::render::test
{
namespace
{
    constexpr double sampleRate = 48000.0;

    struct BadInput
    {
        const char* name;
        const char* arguments; // {dir} is the fixture folder; split at spaces
        int exitCode;
        const char* culprit;
    };

    std::ostream& operator<< (std::ostream& stream, const BadInput& input) { return stream << input.name; }

    /** Two valid tracks, a 44.1 kHz track, a text file named .wav and a plain file. */
    class BadInputFixture : public ::testing::TestWithParam<BadInput>
    {
    protected:
        BadInputFixture()
        {
            const auto track = makeDrumTrack (1, sampleRate, 0.3, 0.1, 100.0);
            writeTestAudio (fixture.getChildFile ("kick.wav"), track, sampleRate);
            writeTestAudio (fixture.getChildFile ("snare.wav"), track, sampleRate);
            writeTestAudio (fixture.getChildFile ("rate44.wav"), track, 44100.0);
            fixture.getChildFile ("notaudio.wav").replaceWithText ("this is not audio\n");
            fixture.getChildFile ("plainfile").replaceWithText ("x");
        }

        juce::StringArray expandArguments (const char* pattern) const
        {
            const auto text = juce::String (pattern).replace ("{dir}", fixture.getFolder().getFullPathName());
            return juce::StringArray::fromTokens (text, " ", "");
        }

        int countFilesIn (const juce::File& folder) const
        {
            return folder.isDirectory() ? folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, "*") : 0;
        }

        TemporaryFolder fixture;
        TemporaryFolder scratch;
    };
} // namespace

// Every bad input stops the tool before anything is written, with one line naming the culprit.
TEST_P (BadInputFixture, FailsWithExitCodeAndMessageAndWritesNothing)
{
    const auto& input = GetParam();
    const auto outputFolder = fixture.getChildFile ("out");
    const auto filesBefore = countFilesIn (fixture.getFolder());

    const auto run = runRenderExecutable (expandArguments (input.arguments), scratch);

    EXPECT_EQ (run.exitCode, input.exitCode) << run.errors;
    EXPECT_TRUE (run.errors.contains (input.culprit)) << run.errors;
    EXPECT_EQ (run.errors.trimEnd().indexOfChar ('\n'), -1) << "one line: " << run.errors;
    EXPECT_FALSE (outputFolder.exists());
    EXPECT_EQ (countFilesIn (fixture.getFolder()), filesBefore) << "no files left next to the inputs";
    EXPECT_TRUE (run.output.isEmpty()) << run.output;
}

INSTANTIATE_TEST_SUITE_P (
    RenderTool,
    BadInputFixture,
    ::testing::Values (
        BadInput { "MissingFileAfterValidOnes", "--out {dir}/out {dir}/kick.wav:kick {dir}/snare.wav:snare {dir}/missing.wav:tom", 1, "missing.wav" },
        BadInput { "NotAudio", "--out {dir}/out {dir}/kick.wav:kick {dir}/notaudio.wav:tom", 1, "notaudio.wav" },
        BadInput { "FolderAsTrack", "--out {dir}/out {dir}:kick", 1, "folder" },
        BadInput { "SampleRatesDiffer", "--out {dir}/out {dir}/kick.wav:kick {dir}/rate44.wav:tom", 1, "rate44.wav" },
        BadInput { "UnknownMode", "--out {dir}/out {dir}/kick.wav:hat", 2, "hat" },
        BadInput { "NoMode", "--out {dir}/out {dir}/kick.wav", 2, "kick.wav" },
        BadInput { "UnknownPosition", "--out {dir}/out {dir}/snare.wav:snare:middle", 2, "middle" },
        BadInput { "UnknownParameterId", "--out {dir}/out --param LOUDNESS=1 {dir}/kick.wav:kick", 2, "LOUDNESS" },
        BadInput { "ValueAboveRange", "--out {dir}/out --param SENS=1.5 {dir}/kick.wav:kick", 2, "SENS=1.5" },
        BadInput { "ValueNotANumber", "--out {dir}/out --param RANGE=loud {dir}/kick.wav:kick", 2, "RANGE=loud" },
        BadInput { "UnknownChoice", "--out {dir}/out --param RES_MODE=QUAD {dir}/kick.wav:kick", 2, "RES_MODE=QUAD" },
        BadInput { "ParamWithoutValue", "--out {dir}/out {dir}/kick.wav:kick --param", 2, "--param" },
        BadInput { "NoTracks", "--out {dir}/out", 2, "no tracks" },
        BadInput { "MissingOut", "{dir}/kick.wav:kick", 2, "--out" },
        BadInput { "BlockZero", "--out {dir}/out --block 0 {dir}/kick.wav:kick", 2, "--block" },
        BadInput { "BlockNotANumber", "--out {dir}/out --block 12x {dir}/kick.wav:kick", 2, "--block" },
        BadInput { "UnknownOption", "--out {dir}/out --fast {dir}/kick.wav:kick", 2, "--fast" },
        BadInput { "TwoTracksOneOutputName", "--out {dir}/out {dir}/kick.wav:kick {dir}/kick.wav:tom", 2, "kick.wav" },
        BadInput { "OutputWouldReplaceInput", "--out {dir} {dir}/kick.wav:kick", 2, "kick.wav" },
        BadInput { "OutputFolderNotCreatable", "--out {dir}/plainfile/out {dir}/kick.wav:kick", 1, "plainfile/out" }),
    [] (const auto& testInfo)
    { return std::string (testInfo.param.name); });

// A write that fails after others succeeded takes the earlier files and the new folder with it.
TEST (RenderOutputFolder, FailedRunRemovesItsFilesAndTheFolderItCreated)
{
    TemporaryFolder scratch;
    const auto folder = scratch.getChildFile ("new/out");
    juce::AudioBuffer<float> audio (1, 100);
    audio.clear();

    {
        OutputFolder output (folder);
        output.write (folder.getChildFile ("a.wav"), audio, sampleRate);
        ASSERT_TRUE (folder.getChildFile ("a.wav").existsAsFile());
        EXPECT_THROW (output.write (folder.getChildFile ("missing/b.wav"), audio, sampleRate), ToolError);
    }

    EXPECT_FALSE (scratch.getChildFile ("new").exists());
}

TEST (RenderOutputFolder, KeptRunLeavesFilesAndExistingFolderKeepsOthers)
{
    TemporaryFolder scratch;
    const auto other = scratch.getChildFile ("other.txt");
    other.replaceWithText ("kept");
    juce::AudioBuffer<float> audio (1, 100);
    audio.clear();

    {
        OutputFolder output (scratch.getFolder());
        output.write (scratch.getChildFile ("failed.wav"), audio, sampleRate);
    }
    {
        OutputFolder output (scratch.getFolder());
        output.write (scratch.getChildFile ("kept.wav"), audio, sampleRate);
        output.keep();
    }

    EXPECT_FALSE (scratch.getChildFile ("failed.wav").exists());
    EXPECT_TRUE (scratch.getChildFile ("kept.wav").existsAsFile());
    EXPECT_TRUE (other.existsAsFile());
}
} // namespace hoopvane::render::test
