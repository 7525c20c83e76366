#include "engine/Learning.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

using namespace hoopvane;

namespace
{
constexpr double sampleRate = 48000.0;
constexpr double hitEnv = 0.2;

using BandAmplitudes = std::vector<std::pair<int, double>>;

/** Slow band energies of a sound with the given band amplitudes (energy = amplitude²). */
BandValues energiesOf (const BandAmplitudes& amplitudes, double scale = 1.0)
{
    BandValues e {};
    for (const auto& [k, a] : amplitudes)
        e[(std::size_t) k] = (scale * a) * (scale * a);
    return e;
}

/** The amplitudes normalised to a sum of 1: the shape a captured hit should record. */
BandValues shapeOf (const BandAmplitudes& amplitudes)
{
    BandValues s {};
    double sum = 0.0;
    for (const auto& [k, a] : amplitudes)
        sum += a;
    for (const auto& [k, a] : amplitudes)
        s[(std::size_t) k] = a / sum;
    return s;
}

Fingerprint fingerprintWithShape (const BandAmplitudes& amplitudes)
{
    Fingerprint fp;
    fp.setBands (shapeOf (amplitudes));
    fp.valid = true;
    refreshLowBandFields (fp);
    return fp;
}

DetectorReadings soundReadings (const BandValues& energies, double env)
{
    DetectorReadings r;
    r.env = env;
    r.slowEnergy = energies;
    r.lowCentroid = lowBandCentroidHz (energies);
    r.hfRatio = 0.3;
    r.crest = 3.0;
    return r;
}

/** Drives a Learning with hand-made detector readings, one sample clock tick per reading. */
struct LearningRig
{
    explicit LearningRig (DrumMode m = DrumMode::snare) : mode (m) { learning.prepare (sampleRate); }

    LearningBlockEvents block (bool calibrateOn, bool linkOn = false) { return learning.beginBlock (calibrateOn, linkOn, mode); }

    void sample (const DetectorReadings& r, bool remoteHitRecent = false)
    {
        learning.processSample (r, mode, clock++, remoteHitRecent);
    }

    /** An onset, 30 ms of the ringing hit (long enough for a tom's hold), then nothing until
        the next hit `gapSeconds` after the onset. `onsetTweak` alters the onset sample only. */
    void hit (const BandValues& energies, double env = hitEnv, double gapSeconds = 0.2, void (*onsetTweak) (DetectorReadings&) = nullptr)
    {
        const auto start = clock;
        auto onset = soundReadings (energies, env);
        onset.onset = true;
        if (onsetTweak != nullptr)
            onsetTweak (onset);
        sample (onset);

        const auto ringing = soundReadings (energies, hitEnv);
        for (int i = 0; i < (int) (0.03 * sampleRate); ++i)
            sample (ringing);

        clock = start + (std::int64_t) (gapSeconds * sampleRate);
    }

    void learnHits (int count, const BandValues& energies)
    {
        block (true);
        for (int i = 0; i < count; ++i)
            hit (energies);
    }

    DrumMode mode;
    Learning learning;
    std::int64_t clock = 0;
};

/** Test names from the `name` field of a table case. */
struct CaseName
{
    template <typename Case>
    std::string operator() (const ::testing::TestParamInfo<Case>& p) const
    {
        return p.param.name;
    }
};
constexpr CaseName caseName;

const BandValues snareLike = energiesOf ({ { band::hz250, 0.4 }, { band::hz1k, 0.3 }, { band::hz3k5, 0.2 } });
} // namespace

//==============================================================================
TEST (LearningSession, CalibrateOffAfterOneHitLearnsNothing)
{
    LearningRig rig;
    rig.learnHits (1, snareLike);
    EXPECT_TRUE (rig.learning.isLearning());
    EXPECT_EQ (rig.learning.getLearnHitCount(), 1);

    const auto events = rig.block (false);
    EXPECT_FALSE (rig.learning.isLearning());
    EXPECT_FALSE (rig.learning.isLearned());
    EXPECT_FALSE (rig.learning.isFingerprintComplete());
    EXPECT_FALSE (rig.learning.getFingerprint().valid);
    EXPECT_TRUE (events.learningEnded);
    EXPECT_FALSE (events.learnCompleted || events.linkRequest);
}

TEST (LearningSession, ThreeHitsGiveTheMeanOfTheirSpectra)
{
    const BandAmplitudes hits[] = { { { band::hz125, 1.0 }, { band::hz1k, 1.0 } },
                                    { { band::hz250, 2.0 }, { band::hz2k, 1.0 } },
                                    { { band::hz125, 1.0 }, { band::hz5k, 3.0 } } };
    const double levels[] = { 0.2, 0.3, 0.4 };

    LearningRig rig;
    rig.block (true);
    for (int i = 0; i < 3; ++i)
        rig.hit (energiesOf (hits[i]), levels[i]);
    rig.block (false);

    ASSERT_TRUE (rig.learning.isLearned());
    const auto& fp = rig.learning.getFingerprint();
    EXPECT_TRUE (fp.valid);

    BandValues expected {};
    double expectedCentroid = 0.0;
    for (const auto& h : hits)
    {
        const auto s = shapeOf (h);
        for (std::size_t k = 0; k < (std::size_t) numBands; ++k)
        {
            expected[k] += s[k] / 3.0;
            expectedCentroid += bandCentresHz[k] * s[k] / 3.0;
        }
    }
    for (std::size_t k = 0; k < (std::size_t) numBands; ++k)
        EXPECT_NEAR (fp.bands()[k], expected[k], 1e-9) << "band " << k;
    EXPECT_NEAR (fp.centroidHz, expectedCentroid, 1e-6);
    EXPECT_NEAR (fp.hitLevel, 0.3, 1e-12);

    // Three levels are too few for the level-spread estimate.
    EXPECT_EQ (rig.learning.getStatistics().histogramEntries, 3);
    EXPECT_EQ (rig.learning.getStatistics().quietRatio, LearnedStatistics {}.quietRatio);
}

TEST (LearningSession, BackgroundIsTakenOutOfTheCapturedSpectrum)
{
    const auto rumble = energiesOf ({ { band::hz63, 0.05 } });
    const auto hitOverRumble = energiesOf ({ { band::hz63, 0.05 }, { band::hz2k, 0.05 } });

    LearningRig rig;
    rig.block (true);
    for (int i = 0; i < (int) sampleRate; ++i)
        rig.sample (soundReadings (rumble, 0.01));
    rig.hit (hitOverRumble);
    rig.hit (hitOverRumble);
    rig.block (false);

    const auto& fp = rig.learning.getFingerprint();
    EXPECT_LT (fp.band63, 0.01);
    EXPECT_GT (fp.band2k, 0.99);
}

class LearningCompletion : public ::testing::TestWithParam<bool>
{
};

TEST_P (LearningCompletion, EighthHitSummarisesAndEventsFireOnce)
{
    const bool linkOn = GetParam();
    LearningRig rig;
    rig.learnHits (7, snareLike);
    EXPECT_FALSE (rig.learning.isLearned());
    EXPECT_TRUE (rig.learning.isCapturing());

    rig.hit (snareLike);
    EXPECT_TRUE (rig.learning.isLearned());
    EXPECT_FALSE (rig.learning.isLearning());
    EXPECT_FALSE (rig.learning.isCapturing());
    EXPECT_EQ (rig.learning.getStatistics().capturedHits, 8);

    const auto first = rig.block (true, linkOn);
    EXPECT_TRUE (first.learnCompleted);
    EXPECT_TRUE (first.learningEnded);
    EXPECT_EQ (first.linkRequest, ! linkOn);

    for (int i = 0; i < 3; ++i)
    {
        const auto later = rig.block (true, linkOn);
        EXPECT_FALSE (later.learnCompleted || later.linkRequest || later.learningEnded);
    }
    EXPECT_TRUE (rig.learning.isLearned()) << "CALIBRATE still on must not start a new learning";
}

INSTANTIATE_TEST_SUITE_P (Link, LearningCompletion, ::testing::Bool(), [] (const auto& p)
                          { return p.param ? "linkOn" : "linkOff"; });

TEST (LearningSession, RestoredFingerprintNeverRequestsLink)
{
    auto fp = fingerprintWithShape ({ { band::hz125, 1.0 }, { band::hz500, 3.0 } });
    fp.lowCentroidHz = 0.0;
    fp.dominantLowBand = -1;

    LearningRig rig;
    rig.learning.restoreFingerprint (fp, true, DrumMode::snare);
    EXPECT_TRUE (rig.learning.isLearned());
    EXPECT_TRUE (rig.learning.isSnareBottom());
    EXPECT_NEAR (rig.learning.getFingerprint().lowCentroidHz, (125.0 + 3.0 * 500.0) / 4.0, 1e-9);
    EXPECT_EQ (rig.learning.getFingerprint().dominantLowBand, 3);

    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE (rig.block (false, false).linkRequest);

    fp.valid = false;
    rig.learning.restoreFingerprint (fp, false, DrumMode::snare);
    EXPECT_FALSE (rig.learning.isLearned());
    EXPECT_FALSE (rig.learning.isFingerprintComplete());
}

//==============================================================================
struct SnareBottomCase
{
    const char* name;
    DrumMode mode;
    BandValues energies;
    bool expectedBottom;
};

class SnareBottom : public ::testing::TestWithParam<SnareBottomCase>
{
};

TEST_P (SnareBottom, FollowsTheLearnedCentroid)
{
    const auto& c = GetParam();
    LearningRig rig (c.mode);
    rig.learnHits (8, c.energies);
    ASSERT_TRUE (rig.learning.isLearned());
    EXPECT_EQ (rig.learning.isSnareBottom(), c.expectedBottom);
}

INSTANTIATE_TEST_SUITE_P (
    Centroids,
    SnareBottom,
    ::testing::Values (SnareBottomCase { "snareAt1500Hz", DrumMode::snare, energiesOf ({ { band::hz1k, 1.0 }, { band::hz2k, 1.0 } }), true },
                       SnareBottomCase { "snareAt2500Hz", DrumMode::snare, energiesOf ({ { band::hz2k, 2.0 }, { band::hz3k5, 1.0 } }), false },
                       SnareBottomCase { "kickAt1500Hz", DrumMode::kick, energiesOf ({ { band::hz1k, 1.0 }, { band::hz2k, 1.0 } }), false }),
    caseName);

TEST (LearningSession, DominantLowBandKeepsItsValueWhenTheLowBandsAreEmpty)
{
    LearningRig rig;
    rig.learnHits (2, energiesOf ({ { band::hz125, 1.0 }, { band::hz2k, 1.0 } }));
    rig.block (false);
    ASSERT_EQ (rig.learning.getFingerprint().dominantLowBand, 1);

    rig.learning.resetLearning();
    rig.learnHits (2, energiesOf ({ { band::hz63, 0.001 }, { band::hz500, 0.002 }, { band::hz2k, 1.0 }, { band::hz5k, 1.0 } }));
    rig.block (false);
    ASSERT_TRUE (rig.learning.isLearned());
    EXPECT_LT (rig.learning.getFingerprint().band500, 0.01);
    EXPECT_EQ (rig.learning.getFingerprint().dominantLowBand, 1);
}

//==============================================================================
struct StatisticCase
{
    const char* name;
    void (*tweak) (DetectorReadings&);
    double LearnedStatistics::*statistic;
    double expected;
};

class LearnedStatisticValues : public ::testing::TestWithParam<StatisticCase>
{
};

TEST_P (LearnedStatisticValues, AreMeansWithinTheirLimits)
{
    const auto& c = GetParam();
    LearningRig rig;
    rig.block (true);
    for (int i = 0; i < 3; ++i)
        rig.hit (snareLike, hitEnv, 0.2, c.tweak);
    rig.block (false);

    ASSERT_TRUE (rig.learning.isLearned());
    EXPECT_NEAR (rig.learning.getStatistics().*c.statistic, c.expected, 1e-12);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P (
    Table, LearnedStatisticValues,
    ::testing::Values (
        StatisticCase { "crestInRange", [] (DetectorReadings& r) { r.crest = 3.5; }, &LearnedStatistics::crest, 3.5 },
        StatisticCase { "hugeCrest", [] (DetectorReadings& r) { r.crest = 1.0e6; }, &LearnedStatistics::crest, 5.0 },
        StatisticCase { "tinyCrest", [] (DetectorReadings& r) { r.crest = 0.5; }, &LearnedStatistics::crest, 1.5 },
        StatisticCase { "highHfRatio", [] (DetectorReadings& r) { r.hfRatio = 0.9; }, &LearnedStatistics::hfRatio, 0.6 },
        StatisticCase { "lowHfRatio", [] (DetectorReadings& r) { r.hfRatio = 0.01; }, &LearnedStatistics::hfRatio, 0.1 },
        StatisticCase { "hotOnset", [] (DetectorReadings& r) { r.env = 3.0; }, &LearnedStatistics::onsetLevel, 1.0 },
        StatisticCase { "steepRise", [] (DetectorReadings& r) { r.riseSlopeMeasured = true; r.riseSlope = 900.0; }, &LearnedStatistics::riseSlope, 200.0 },
        StatisticCase { "slowRise", [] (DetectorReadings& r) { r.riseSlopeMeasured = true; r.riseSlope = 7.0; }, &LearnedStatistics::riseSlope, 10.0 },
        StatisticCase { "riseTooSlowToCount", [] (DetectorReadings& r) { r.riseSlopeMeasured = true; r.riseSlope = 4.0; }, &LearnedStatistics::riseSlope, 50.0 },
        StatisticCase { "wideBandRatio", [] (DetectorReadings& r) { r.windowClosed = true; r.features.hasHighBandEnergy = true; r.features.bandRatio = 40.0; }, &LearnedStatistics::bandRatio, 5.0 },
        StatisticCase { "bandRatioWithoutHighBand", [] (DetectorReadings& r) { r.windowClosed = true; r.features.bandRatio = 10.0; }, &LearnedStatistics::bandRatio, 0.5 },
        StatisticCase { "fastDecay", [] (DetectorReadings& r) { r.decayRateMeasured = true; r.decayRate = 8.0; }, &LearnedStatistics::decayRate, 5.0 },
        StatisticCase { "decayOutsideMeasurableRange", [] (DetectorReadings& r) { r.decayRateMeasured = true; r.decayRate = 20.0; }, &LearnedStatistics::decayRate, 0.5 }),
    caseName);
// clang-format on

TEST (LearnedStatisticsFromHits, QuietRatioComesFromTheLevelHistogram)
{
    LearningRig rig;
    rig.learnHits (4, snareLike);
    rig.block (false);

    // Four hits at 0.2 (-14 dB) land in the -13 dB bucket: 10^((-13 - 6)/20) / 0.2.
    EXPECT_NEAR (rig.learning.getStatistics().quietRatio, 0.56104, 1e-4);
}

TEST (LearnedStatisticsFromHits, RollCounterCountsQuietFastRepeats)
{
    struct Step
    {
        double env, secondsToNext;
        int expectedCounter;
    };
    // Quiet means below half the default onset level (0.05).
    const Step steps[] = { { 0.03, 0.05, 0 }, { 0.03, 0.05, 1 }, { 0.03, 0.05, 2 }, { 0.03, 0.05, 3 }, { 0.03, 0.2, 3 }, { 0.03, 0.05, 3 }, { 0.2, 0.05, 0 } };

    LearningRig rig;
    rig.block (true);
    for (const auto& step : steps)
    {
        rig.hit (snareLike, step.env, step.secondsToNext);
        EXPECT_EQ (rig.learning.getStatistics().rollCounter, step.expectedCounter) << "after a hit at " << step.env;
    }

    // A quiet hit after a slow gap does not count as a roll.
    LearningRig slow;
    slow.block (true);
    slow.hit (snareLike, 0.03, 0.2);
    slow.hit (snareLike, 0.03, 0.2);
    EXPECT_EQ (slow.learning.getStatistics().rollCounter, 0);
}

TEST (LearningSession, RequestedResetWaitsForTheNextBlock)
{
    LearningRig rig;
    rig.learnHits (3, snareLike);
    rig.block (false);
    ASSERT_TRUE (rig.learning.isLearned());
    const double learnedBand = rig.learning.getFingerprint().band250;

    rig.learning.requestReset();
    rig.sample (soundReadings (snareLike, hitEnv));
    EXPECT_TRUE (rig.learning.isLearned());

    rig.block (false);
    EXPECT_FALSE (rig.learning.isLearned());
    EXPECT_FALSE (rig.learning.isFingerprintComplete());
    EXPECT_EQ (rig.learning.getLearnHitCount(), 0);
    EXPECT_EQ (rig.learning.getStatistics().histogramEntries, 0);
    EXPECT_EQ (rig.learning.getStatistics().onsetLevel, LearnedStatistics {}.onsetLevel);
    EXPECT_EQ (rig.learning.getFingerprint().band250, learnedBand);

    rig.block (false);
    EXPECT_FALSE (rig.learning.isLearned()) << "a reset is applied once";
}

//==============================================================================
struct SimilarityCase
{
    const char* name;
    BandValues energies;
    double level;
    bool fingerprintValid;
    double expected;
};

class FingerprintSimilarity : public ::testing::TestWithParam<SimilarityCase>
{
};

const BandAmplitudes tomShape { { band::hz125, 0.5 }, { band::hz1k, 0.3 }, { band::hz3k5, 0.1 } };

TEST_P (FingerprintSimilarity, ComparesBandShapes)
{
    const auto& c = GetParam();
    auto fp = fingerprintWithShape (tomShape);
    fp.valid = c.fingerprintValid;
    EXPECT_NEAR (fingerprintSimilarity (fp, c.energies, lowBandCentroidHz (c.energies), c.level), c.expected, 1e-9);
}

INSTANTIATE_TEST_SUITE_P (
    Table,
    FingerprintSimilarity,
    ::testing::Values (SimilarityCase { "ownShape", energiesOf (tomShape), 0.3, true, 1.0 },
                       SimilarityCase { "ownShapeLouder", energiesOf (tomShape, 4.0), 0.3, true, 1.0 },
                       SimilarityCase { "tooQuietLevel", energiesOf (tomShape), 0.019, true, 0.0 },
                       SimilarityCase { "invalidFingerprint", energiesOf (tomShape), 0.3, false, 0.0 },
                       SimilarityCase { "nearlyNoEnergy", energiesOf (tomShape, 0.05), 0.3, true, 0.0 },
                       SimilarityCase { "disjointBands", energiesOf ({ { band::hz2k, 0.5 }, { band::hz10k, 0.5 } }), 0.3, true, 0.0 }),
    caseName);

TEST (FingerprintSimilarity, PitchCheckLowersFarOffLowCentroids)
{
    const auto fp = fingerprintWithShape (tomShape); // low centroid 125 Hz
    const auto energies = energiesOf (tomShape);
    const auto scoreAt = [&] (double lowCentroid)
    { return fingerprintSimilarity (fp, energies, lowCentroid, 0.3); };

    EXPECT_NEAR (scoreAt (125.0), 1.0, 1e-12);
    EXPECT_NEAR (scoreAt (150.0), 1.0, 1e-12);
    EXPECT_LT (scoreAt (250.0), 0.95);
    EXPECT_LT (scoreAt (500.0), scoreAt (250.0));
    EXPECT_GT (scoreAt (500.0), 0.6);
    EXPECT_NEAR (scoreAt (62.5), scoreAt (250.0), 1e-12) << "an octave down is as far off as an octave up";
}

//==============================================================================
struct TomHoldCase
{
    const char* name;
    bool remoteHitAfter10ms;
    bool kickSoundsTheSame;
    bool snareSoundsTheSame;
    bool recorded;
};

class TomPendingHold : public ::testing::TestWithParam<TomHoldCase>
{
};

TEST_P (TomPendingHold, RecordsOnlyHitsThatStayTheToms)
{
    const auto& c = GetParam();
    const auto tom = energiesOf (tomShape);
    const auto sameAsTom = fingerprintWithShape (tomShape);
    const auto elsewhere = fingerprintWithShape ({ { band::hz2k, 1.0 }, { band::hz7k, 1.0 } });

    LearningRig rig (DrumMode::tom);
    rig.learning.setLinkedPeerFingerprints (c.kickSoundsTheSame ? &sameAsTom : &elsewhere,
                                            c.snareSoundsTheSame ? &sameAsTom : nullptr);
    rig.block (true);

    auto onset = soundReadings (tom, hitEnv);
    onset.onset = true;
    rig.sample (onset);

    const int hold = (int) (0.025 * sampleRate);
    const auto ringing = soundReadings (tom, hitEnv);
    for (int i = 1; i < hold; ++i)
        rig.sample (ringing, c.remoteHitAfter10ms && i >= (int) (0.01 * sampleRate));
    EXPECT_EQ (rig.learning.getLearnHitCount(), 0) << "still held";

    rig.sample (ringing, c.remoteHitAfter10ms);
    EXPECT_EQ (rig.learning.getLearnHitCount(), c.recorded ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P (Table,
                          TomPendingHold,
                          ::testing::Values (TomHoldCase { "clearHit", false, false, false, true },
                                             TomHoldCase { "remoteHitWithin25ms", true, false, false, false },
                                             TomHoldCase { "soundsLikeLinkedKick", false, true, false, false },
                                             TomHoldCase { "soundsLikeLinkedSnare", false, false, true, false }),
                          caseName);
