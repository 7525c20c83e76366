#include "SyntheticTrack.h"
#include "support/TemporaryFolder.h"

#include <common/AudioFiles.h>
#include <common/SessionFiles.h>

#include <gtest/gtest.h>

#include <functional>

namespace hoopvane::tools::test
{
namespace
{
    const juce::StringArray trackNames { "kick_in", "kick_out" };

    void writeWav (const juce::File& file, const std::vector<float>& samples, double sampleRate)
    {
        juce::AudioBuffer<float> buffer (1, (int) samples.size());
        buffer.copyFrom (0, 0, samples.data(), (int) samples.size());
        juce::String error;
        ASSERT_TRUE (writeFloatWav (file, buffer, sampleRate, error)) << error;
    }

    /** A two-track session whose rendered files come from a gate driven by the true hits. */
    class ScoreTool : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE (stems.createDirectory().wasOk() && rendered.createDirectory().wasOk());
            const auto track = makeSyntheticTrack (8);
            const auto gated = gateByHits (track, 0.0, -40.0);
            std::vector<TrackRecord> records;
            std::vector<HitRecord> hits;
            for (const auto& name : trackNames)
            {
                writeWav (session.getChildFile (name + ".wav"), track.input, track.sampleRate);
                writeWav (stems.getChildFile (name + ".own.wav"), track.own, track.sampleRate);
                writeWav (stems.getChildFile (name + ".bleed.wav"), track.bleed, track.sampleRate);
                writeWav (rendered.getChildFile (name + ".wav"), gated, track.sampleRate);
                records.push_back ({ name, "kick", "", "kick" });
            }
            for (const auto h : track.ownHits)
                hits.push_back ({ h, "kick", 100 });
            for (const auto h : track.otherHits)
                hits.push_back ({ h, "snare", 90 });

            juce::String error;
            ASSERT_TRUE (writeTracks (session.getChildFile ("tracks.csv"), records, error)) << error;
            ASSERT_TRUE (writeHits (session.getChildFile ("hits.csv"), hits, error)) << error;
        }

        void TearDown() override { root.deleteRecursively(); }

        struct Result
        {
            int exitCode = -1;
            juce::String output;
        };

        Result runTool() const
        {
            juce::ChildProcess process;
            const juce::StringArray command { TOOL_PATH, "--session", session.getFullPathName(), "--rendered", rendered.getFullPathName(), "--png", plots.getFullPathName() };
            if (! process.start (command))
                return {};
            Result result;
            result.output = process.readAllProcessOutput();
            process.waitForProcessToFinish (-1);
            result.exitCode = (int) process.getExitCode();
            return result;
        }

        const juce::File root = makeUniqueTemporaryFolder ("hoopvane-score-test");
        const juce::File session = root.getChildFile ("session");
        const juce::File stems = session.getChildFile ("stems");
        const juce::File rendered = root.getChildFile ("rendered");
        const juce::File plots = root.getChildFile ("plots");
    };

    TEST_F (ScoreTool, PrintsARowPerTrackAndWritesTheirPlots)
    {
        const auto result = runTool();
        ASSERT_EQ (result.exitCode, 0) << result.output;

        juce::StringArray lines;
        lines.addLines (result.output.trim());
        ASSERT_EQ (lines.size(), 1 + trackNames.size() + 1) << result.output;
        EXPECT_TRUE (lines[0].startsWith ("track"));
        for (int t = 0; t < trackNames.size(); ++t)
        {
            EXPECT_TRUE (lines[1 + t].startsWith (trackNames[t])) << lines[1 + t];
            EXPECT_TRUE (lines[1 + t].contains ("-40.0")) << "the gate's bleed suppression: " << lines[1 + t];
            EXPECT_TRUE (plots.getChildFile (trackNames[t] + ".png").existsAsFile());
        }
        EXPECT_TRUE (lines.strings.getLast().contains (plots.getFullPathName()));
    }

    struct BrokenSessionCase
    {
        const char* name;
        const char* culprit; // relative to the test folder
        std::function<void (const juce::File& culprit)> breakIt;
    };

    void PrintTo (const BrokenSessionCase& c, std::ostream* os) { *os << c.name; }

    class ScoreToolBrokenSession : public ScoreTool, public ::testing::WithParamInterface<BrokenSessionCase>
    {
    };

    TEST_P (ScoreToolBrokenSession, FailsWithOneLineNamingTheFile)
    {
        const auto culprit = root.getChildFile (GetParam().culprit);
        GetParam().breakIt (culprit);

        const auto result = runTool();
        EXPECT_NE (result.exitCode, 0);
        EXPECT_TRUE (result.output.contains (culprit.getFullPathName())) << result.output;
        EXPECT_FALSE (result.output.trim().containsChar ('\n')) << result.output;
    }

    const auto deleteFile = [] (const juce::File& f)
    { f.deleteFile(); };

    const auto replaceWithShortTrack = [] (const juce::File& f)
    { writeWav (f, std::vector<float> (1000, 0.0f), 48000.0); };

    INSTANTIATE_TEST_SUITE_P (Files,
                              ScoreToolBrokenSession,
                              ::testing::Values (BrokenSessionCase { "MissingRenderedTrack", "rendered/kick_out.wav", deleteFile },
                                                 BrokenSessionCase { "RenderedTrackOfOtherLength", "rendered/kick_in.wav", replaceWithShortTrack },
                                                 BrokenSessionCase { "MissingBleedStem", "session/stems/kick_out.bleed.wav", deleteFile },
                                                 BrokenSessionCase { "MissingHitList", "session/hits.csv", deleteFile }),
                              [] (const auto& testParam)
                              { return std::string (testParam.param.name); });
} // namespace
} // namespace hoopvane::tools::test
