#include "common/AudioFiles.h"
#include "common/SessionFiles.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <map>

// Runs the built hoopvane-demo-session on the real Hydrogen kit and checks the session it writes.
namespace hoopvane::tools
{
namespace
{
    const juce::File forzeeKit ("/usr/share/hydrogen/data/drumkits/ForzeeStereo");
    constexpr int sessionSeconds = 20;
    constexpr double kitRate = 48000.0;
    constexpr int otherRate = 44100;

    const std::vector<TrackRecord> expectedTracks {
        { "kick_in", "kick", "", "kick" },
        { "kick_out", "kick", "", "kick" },
        { "snare_top", "snare", "top", "snare" },
        { "snare_bottom", "snare", "bottom", "snare" },
        { "tom1", "tom", "", "tom1" },
        { "tom2", "tom", "", "tom2" },
        { "tom3", "tom", "", "tom3" },
    };

    struct ToolRun
    {
        int exitCode = -1;
        juce::String output;
    };

    ToolRun runTool (const juce::StringArray& arguments)
    {
        juce::StringArray command { TOOL_PATH };
        command.addArray (arguments);
        juce::ChildProcess process;
        if (! process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
            return {};
        ToolRun run;
        run.output = process.readAllProcessOutput();
        // The exit code is only known once the process has ended, which can be a moment after
        // its output closes.
        constexpr int generousWaitMs = 120000;
        if (process.waitForProcessToFinish (generousWaitMs))
            run.exitCode = (int) process.getExitCode();
        return run;
    }

    std::vector<float> readMono (const juce::File& file)
    {
        juce::String error;
        auto data = readAudioFile (file, error);
        if (! data.has_value())
        {
            ADD_FAILURE() << error;
            return {};
        }
        const auto* samples = data->buffer.getReadPointer (0);
        return { samples, samples + data->buffer.getNumSamples() };
    }

    std::vector<HitRecord> readHitsOf (const juce::File& session)
    {
        std::vector<HitRecord> hits;
        juce::String error;
        EXPECT_TRUE (readHits (session.getChildFile ("hits.csv"), hits, error)) << error;
        return hits;
    }

    std::vector<HitRecord> hitsOf (const std::vector<HitRecord>& hits, const juce::String& drum)
    {
        std::vector<HitRecord> selected;
        std::copy_if (hits.begin(), hits.end(), std::back_inserter (selected), [&drum] (const auto& h)
                      { return h.drum == drum; });
        return selected;
    }

    double energy (const std::vector<float>& audio, juce::int64 start, juce::int64 length)
    {
        double sum = 0.0;
        for (auto t = std::max<juce::int64> (0, start); t < std::min<juce::int64> ((juce::int64) audio.size(), start + length); ++t)
            sum += (double) audio[(size_t) t] * audio[(size_t) t];
        return sum;
    }

    juce::int64 samplesOf (double seconds) { return (juce::int64) (seconds * kitRate); }

    /** Sessions are made on first use and shared by the suite's tests; CTest runs every test in
        a process of its own, so each makes only the sessions it reads. "first" and "again" use
        seed 1, "other" seed 2, and "resampled" is seed 1 at a rate the kit was not recorded at. */
    class DemoSessionTest : public ::testing::Test
    {
    public:
        static void TearDownTestSuite()
        {
            if (root != juce::File())
                root.deleteRecursively();
            runs.clear();
        }

    protected:
        void SetUp() override
        {
            if (! forzeeKit.isDirectory())
                GTEST_SKIP() << "the hydrogen-drumkits package (ForzeeStereo) is not installed";
        }

        static juce::File session (const juce::String& name)
        {
            if (root == juce::File())
                root = makeUniqueTemporaryFolder ("hoopvane-demo-session-tests");

            const auto folder = root.getChildFile (name);
            if (runs.count (name) == 0)
            {
                juce::StringArray arguments { "--out", folder.getFullPathName(), "--seconds", juce::String (sessionSeconds), "--seed", name == "other" ? "2" : "1" };
                if (name == "resampled")
                    arguments.addArray ({ "--rate", juce::String (otherRate) });
                runs[name] = runTool (arguments);
                EXPECT_EQ (runs[name].exitCode, 0) << name << ": " << runs[name].output;
            }
            return folder;
        }

        static std::vector<float> stem (const juce::String& track, const char* part, const char* name = "first")
        {
            return readMono (session (name).getChildFile ("stems/" + track + "." + part + ".wav"));
        }

        static inline juce::File root;
        static inline std::map<juce::String, ToolRun> runs;
    };

    TEST_F (DemoSessionTest, WritesTheSessionLayoutWithTheTrackTable)
    {
        std::vector<TrackRecord> tracks;
        juce::String error;
        ASSERT_TRUE (readTracks (session ("first").getChildFile ("tracks.csv"), tracks, error)) << error;
        ASSERT_EQ (tracks.size(), expectedTracks.size());
        for (size_t i = 0; i < tracks.size(); ++i)
        {
            EXPECT_EQ (tracks[i].track, expectedTracks[i].track);
            EXPECT_EQ (tracks[i].mode, expectedTracks[i].mode);
            EXPECT_EQ (tracks[i].position, expectedTracks[i].position);
            EXPECT_EQ (tracks[i].drum, expectedTracks[i].drum);
        }
        EXPECT_TRUE (runs["first"].output.contains ("7 tracks")) << runs["first"].output;
    }

    TEST_F (DemoSessionTest, SameSeedGivesIdenticalFilesAndAnotherSeedAnotherSession)
    {
        const auto files = session ("first").findChildFiles (juce::File::findFiles, true);
        ASSERT_EQ (files.size(), 2 + 3 * (int) expectedTracks.size());
        for (const auto& file : files)
        {
            const auto path = file.getRelativePathFrom (session ("first"));
            EXPECT_TRUE (file.hasIdenticalContentTo (session ("again").getChildFile (path))) << path;
        }

        for (auto* path : { "hits.csv", "snare_top.wav", "stems/tom1.bleed.wav" })
            EXPECT_FALSE (session ("first").getChildFile (path).hasIdenticalContentTo (session ("other").getChildFile (path))) << path;
    }

    TEST_F (DemoSessionTest, EveryTrackIsItsOwnPlusBleedStemBelowFullScaleAndNeverSilent)
    {
        for (const auto& track : expectedTracks)
        {
            SCOPED_TRACE (track.track);
            const auto mix = readMono (session ("first").getChildFile (track.track + ".wav"));
            const auto own = stem (track.track, "own");
            const auto bleed = stem (track.track, "bleed");
            ASSERT_EQ (mix.size(), (size_t) samplesOf (sessionSeconds));
            ASSERT_EQ (own.size(), mix.size());
            ASSERT_EQ (bleed.size(), mix.size());

            float worstError = 0.0f, peak = 0.0f;
            int exactZeros = 0;
            for (size_t t = 0; t < mix.size(); ++t)
            {
                worstError = std::max (worstError, std::abs (own[t] + bleed[t] - mix[t]));
                peak = std::max (peak, std::abs (mix[t]));
                exactZeros += mix[t] == 0.0f ? 1 : 0;
            }
            EXPECT_LE (worstError, 1.0e-7f);
            EXPECT_LT (peak, 1.0f);
            EXPECT_GT (peak, 0.1f);
            EXPECT_LT (exactZeros, 100) << "the noise floor should keep the track from digital silence";
        }
    }

    TEST_F (DemoSessionTest, PerformanceHasGhostNotesTomFillDoubleKickAndCymbals)
    {
        const auto hits = readHitsOf (session ("first"));
        for (const auto& hit : hits)
        {
            EXPECT_GE (hit.velocity, 1);
            EXPECT_LE (hit.velocity, 127);
        }

        const auto snare = hitsOf (hits, "snare");
        EXPECT_GE (std::count_if (snare.begin(), snare.end(), [] (const auto& h)
                                  { return h.velocity < 45; }),
                   4)
            << "ghost notes";
        EXPECT_GE (std::count_if (snare.begin(), snare.end(), [] (const auto& h)
                                  { return h.velocity > 100; }),
                   8)
            << "backbeat";

        std::vector<juce::int64> toms;
        for (const auto& hit : hits)
            if (hit.drum.startsWith ("tom"))
                toms.push_back (hit.sample);
        bool fill = false;
        for (size_t i = 0; i + 7 < toms.size(); ++i)
            fill = fill || toms[i + 7] - toms[i] <= samplesOf (1.5);
        EXPECT_TRUE (fill) << "eight tom strokes within 1.5 s";
        for (auto* tom : { "tom1", "tom2", "tom3" })
            EXPECT_FALSE (hitsOf (hits, tom).empty()) << tom;

        const auto kicks = hitsOf (hits, "kick");
        int fastKicks = 0;
        for (size_t i = 1; i < kicks.size(); ++i)
            fastKicks += kicks[i].sample - kicks[i - 1].sample < samplesOf (0.15) ? 1 : 0;
        EXPECT_GE (fastKicks, 8) << "a double-kick passage";

        EXPECT_GE (hitsOf (hits, "hihat").size(), 16u);
        EXPECT_GE (hitsOf (hits, "crash").size(), 2u);
        EXPECT_GE (hitsOf (hits, "ride").size(), 4u);
    }

    /** The energy in [hit + offset, hit + offset + length) summed over the hits of at least
        `minimumVelocity` that follow the drum's previous hit by `minimumGap` or more. */
    double energyAtHits (const std::vector<float>& audio, const std::vector<HitRecord>& hits, juce::int64 offset, juce::int64 length, int minimumVelocity, juce::int64 minimumGap = 0)
    {
        double sum = 0.0;
        for (size_t i = 0; i < hits.size(); ++i)
            if (hits[i].velocity >= minimumVelocity && (i == 0 || hits[i].sample - hits[i - 1].sample >= minimumGap))
                sum += energy (audio, hits[i].sample + offset, length);
        return sum;
    }

    /** The own stem holds the drum where hits.csv says it was played: silent before the first
        hit, and rising sharply within 2 ms of every hit (the kick-out mic hears the kick about
        a millisecond late). Toms ring through a fill, so only hits after a pause count. */
    void expectOwnStemStartsAtHits (const std::vector<float>& own, const std::vector<HitRecord>& hits, double rate)
    {
        ASSERT_FALSE (hits.empty());
        EXPECT_EQ (energy (own, 0, hits.front().sample), 0.0) << "nothing of the drum before its first hit";

        const auto millisecond = (juce::int64) (0.001 * rate);
        const auto pause = (juce::int64) (0.25 * rate);
        const auto after = energyAtHits (own, hits, 0, 2 * millisecond, 64, pause);
        const auto before = energyAtHits (own, hits, -millisecond, millisecond, 64, pause);
        EXPECT_GT (after, 10.0 * before) << "each hit starts where hits.csv puts it";
    }

    /** How far the bleed sits below the own drum in the 50 ms after its full hits. */
    double bleedBelowOwnDb (const std::vector<float>& own, const std::vector<float>& bleed, const std::vector<HitRecord>& hits)
    {
        const auto ownAtHits = energyAtHits (own, hits, 0, samplesOf (0.05), 90);
        const auto bleedAtHits = energyAtHits (bleed, hits, 0, samplesOf (0.05), 90);
        return 10.0 * std::log10 (ownAtHits / bleedAtHits);
    }

    TEST_F (DemoSessionTest, OwnStemsStartAtTheirHitsWithBleed12To30DbBelow)
    {
        const auto hits = readHitsOf (session ("first"));
        const auto resampledHits = readHitsOf (session ("resampled"));
        for (const auto& track : expectedTracks)
        {
            SCOPED_TRACE (track.track);
            const auto own = stem (track.track, "own");
            expectOwnStemStartsAtHits (own, hitsOf (hits, track.drum), kitRate);
            expectOwnStemStartsAtHits (stem (track.track, "own", "resampled"), hitsOf (resampledHits, track.drum), otherRate);

            const auto bleedBelow = bleedBelowOwnDb (own, stem (track.track, "bleed"), hitsOf (hits, track.drum));
            EXPECT_GE (bleedBelow, 12.0);
            EXPECT_LE (bleedBelow, 30.0);
        }
    }

    TEST_F (DemoSessionTest, SnareBottomIsPolarityInvertedAgainstSnareTop)
    {
        const auto top = stem ("snare_top", "own");
        const auto bottom = stem ("snare_bottom", "own");
        const auto maximumLag = (int) samplesOf (0.002);

        double bestCorrelation = 0.0;
        for (int lag = -maximumLag; lag <= maximumLag; ++lag)
        {
            double product = 0.0, topEnergy = 0.0, bottomEnergy = 0.0;
            for (int t = maximumLag; t < (int) top.size() - maximumLag; ++t)
            {
                product += (double) top[(size_t) t] * bottom[(size_t) (t + lag)];
                topEnergy += (double) top[(size_t) t] * top[(size_t) t];
                bottomEnergy += (double) bottom[(size_t) (t + lag)] * bottom[(size_t) (t + lag)];
            }
            const auto correlation = product / std::sqrt (topEnergy * bottomEnergy);
            if (std::abs (correlation) > std::abs (bestCorrelation))
                bestCorrelation = correlation;
        }
        EXPECT_LT (bestCorrelation, -0.5);
    }

    TEST (DemoSessionCommandLine, UnknownKitFailsAndListsTheKits)
    {
        if (! forzeeKit.isDirectory())
            GTEST_SKIP() << "the hydrogen-drumkits package (ForzeeStereo) is not installed";

        const auto folder = makeUniqueTemporaryFolder ("hoopvane-demo-session-kit");
        const auto run = runTool ({ "--out", folder.getFullPathName(), "--kit", "NoSuchKit" });
        EXPECT_NE (run.exitCode, 0);
        EXPECT_TRUE (run.output.contains ("NoSuchKit")) << run.output;
        EXPECT_TRUE (run.output.contains ("ForzeeStereo")) << run.output;
        EXPECT_EQ (run.output.trim().indexOfChar ('\n'), -1) << "one line: " << run.output;
        EXPECT_FALSE (folder.getChildFile ("hits.csv").exists());
        folder.deleteRecursively();
    }
} // namespace
} // namespace hoopvane::tools
