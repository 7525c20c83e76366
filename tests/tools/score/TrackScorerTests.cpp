#include "SyntheticTrack.h"

#include <TrackScorer.h>

#include <gtest/gtest.h>

namespace hoopvane::tools::test
{
namespace
{
    constexpr double toleranceDb = 0.1;

    TrackScore score (const SyntheticTrack& track, const std::vector<float>& output)
    {
        return scoreTrack (track.input.data(), output.data(), track.own.data(), track.bleed.data(), track.numSamples(), track.sampleRate, track.ownHits);
    }

    /** A processor that applies one gain to the 50 ms after each own hit and another elsewhere;
        its scores follow from the two gains alone. */
    struct HitGateCase
    {
        const char* name;
        double openDb, closedDb;
    };

    void PrintTo (const HitGateCase& c, std::ostream* os) { *os << c.name; }

    class TrackScorerKnownProcessors : public ::testing::TestWithParam<HitGateCase>
    {
    };

    TEST_P (TrackScorerKnownProcessors, ScoresMatchTheGainsApplied)
    {
        const auto& c = GetParam();
        const auto track = makeSyntheticTrack (20);
        const auto result = score (track, gateByHits (track, c.openDb, c.closedDb));

        EXPECT_EQ (result.scoredHits, 20);
        ASSERT_TRUE (result.retentionMeanDb && result.retentionWorstDb && result.attackMeanDb);
        EXPECT_NEAR (*result.retentionMeanDb, c.openDb, toleranceDb);
        EXPECT_NEAR (*result.retentionWorstDb, c.openDb, toleranceDb);
        EXPECT_NEAR (*result.attackMeanDb, c.openDb, toleranceDb);

        // Every bleed burst lies outside the hit windows, so bleed-only stretches get the closed gain.
        ASSERT_TRUE (result.suppressionDb.has_value());
        EXPECT_GT (result.bleedOnlySeconds, 0.5);
        EXPECT_NEAR (*result.suppressionDb, c.closedDb, toleranceDb);
    }

    INSTANTIATE_TEST_SUITE_P (Processors,
                              TrackScorerKnownProcessors,
                              ::testing::Values (HitGateCase { "Identity", 0.0, 0.0 },
                                                 HitGateCase { "GateFromTrueHits", 0.0, -40.0 },
                                                 HitGateCase { "DuckerOnHits", -12.0, 0.0 }),
                              [] (const auto& testParam)
                              { return std::string (testParam.param.name); });

    TEST (TrackScorer, WorstFivePercentShowsOneBadlyCutHitWhileTheMeanStaysHigh)
    {
        const auto track = makeSyntheticTrack (20);
        auto output = gateByHits (track, 0.0, -40.0);
        constexpr float cutGain = 0.03f; // about -30 dB
        const auto badHit = (size_t) track.ownHits[7];
        for (size_t i = 0; i < (size_t) retentionWindowLength (track); ++i)
            output[badHit + i] *= cutGain;

        const auto result = score (track, output);
        ASSERT_TRUE (result.retentionMeanDb && result.retentionWorstDb);
        EXPECT_NEAR (*result.retentionWorstDb, -30.5, 0.5);
        EXPECT_GT (*result.retentionMeanDb, -2.0);
    }

    TEST (TrackScorer, SilentOutputScoresTheFloorAndATrackWithoutHitsScoresNoHits)
    {
        const auto track = makeSyntheticTrack (4);
        const std::vector<float> silence (track.input.size(), 0.0f);
        const auto muted = score (track, silence);
        ASSERT_TRUE (muted.retentionMeanDb && muted.suppressionDb);
        EXPECT_DOUBLE_EQ (*muted.retentionMeanDb, -120.0);
        EXPECT_DOUBLE_EQ (*muted.suppressionDb, -120.0);

        const auto noHits = scoreTrack (track.input.data(), track.input.data(), track.own.data(), track.bleed.data(), track.numSamples(), track.sampleRate, {});
        EXPECT_EQ (noHits.scoredHits, 0);
        EXPECT_FALSE (noHits.retentionMeanDb || noHits.retentionWorstDb || noHits.attackMeanDb);
    }
} // namespace
} // namespace hoopvane::tools::test
