#include "engine/BleedDiscriminator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

using namespace hoopvane;

namespace
{
constexpr double loudEnv = 0.5;

Fingerprint fingerprintOfShape (const BandValues& amplitudes)
{
    Fingerprint fp;
    fp.setBands (amplitudes);
    fp.valid = true;
    return fp;
}

BandValues energiesOf (const BandValues& amplitudes)
{
    BandValues e {};
    for (std::size_t b = 0; b < numBands; ++b)
        e[b] = amplitudes[b] * amplitudes[b];
    return e;
}

/** A fingerprint in the 63 Hz band alone, and a sound whose cosine similarity with it is `sim`
    while keeping all its energy below 250 Hz (so no spectral penalty applies). */
const Fingerprint lowOnlyFingerprint = fingerprintOfShape ({ 1.0 });

BandValues soundWithSimilarity (double sim)
{
    return { sim * sim, 1.0 - sim * sim };
}

/** Energies with a given high (3.5-10 kHz) to low (63-250 Hz) ratio and equal low and mid sums. */
BandValues spectrumWithHighToLow (double ratio)
{
    BandValues e {};
    for (int b = band::hz63; b <= band::hz2k; ++b)
        e[(std::size_t) b] = 1.0;
    for (int b = band::hz3k5; b <= band::hz10k; ++b)
        e[(std::size_t) b] = ratio * 3.0 / 4.0;
    return e;
}

double settledMatch (BleedDiscriminator& d, const BandValues& e, double env, const Fingerprint& fp, bool complete, DrumMode mode)
{
    d.reset();
    return d.updateRawMatch (e, env, fp, complete, mode);
}

/** A discriminator whose raw match is `match`. */
BleedDiscriminator withRawMatch (double match)
{
    BleedDiscriminator d;
    d.updateRawMatch (soundWithSimilarity (match), loudEnv, lowOnlyFingerprint, true, DrumMode::snare);
    return d;
}

// A cymbal-like sound: weak low bands, most energy above 3.5 kHz.
const BandValues cymbalAmplitudes { 0.02, 0.02, 0.03, 0.1, 0.2, 0.3, 0.6, 0.7, 0.6, 0.5 };
const BandValues kickAmplitudes { 0.6, 0.5, 0.3, 0.15, 0.1, 0.08, 0.06, 0.05, 0.04, 0.03 };
} // namespace

//==============================================================================
TEST (BleedMatch, IsOneBeforeLearning)
{
    BleedDiscriminator d;
    auto invalid = fingerprintOfShape (kickAmplitudes);
    invalid.valid = false;

    for (auto mode : { DrumMode::kick, DrumMode::snare, DrumMode::tom })
        for (int i = 0; i < 8; ++i)
        {
            EXPECT_EQ (d.updateRawMatch (energiesOf (cymbalAmplitudes), loudEnv, fingerprintOfShape (kickAmplitudes), false, mode), 1.0);
            EXPECT_EQ (d.updateRawMatch (energiesOf (cymbalAmplitudes), loudEnv, invalid, true, mode), 1.0);
        }
}

TEST (BleedMatch, LearnedKickHearingCymbalsIsHalved)
{
    BleedDiscriminator d;
    const auto kick = fingerprintOfShape (kickAmplitudes);
    const auto cymbal = energiesOf (cymbalAmplitudes);

    const double asSnare = settledMatch (d, cymbal, loudEnv, kick, true, DrumMode::snare);
    const double asKick = settledMatch (d, cymbal, loudEnv, kick, true, DrumMode::kick);

    ASSERT_GT (asSnare, 0.1);
    EXPECT_NEAR (asKick / asSnare, 0.5, 1e-12);

    // However bright the crash, the kick's penalty stops at one half.
    for (double ratio : { 2.5, 10.0, 1000.0 })
        EXPECT_DOUBLE_EQ (spectralPenalty (spectrumWithHighToLow (ratio), DrumMode::kick), 0.5) << ratio;
}

TEST (BleedMatch, LearnedSnareIsNeverPenalisedForItsSpectrum)
{
    BleedDiscriminator d;

    for (const auto& shape : { cymbalAmplitudes, kickAmplitudes, BandValues { 0.01, 0.01, 0.01, 1.0, 1.0, 1.0 } })
    {
        EXPECT_EQ (spectralPenalty (energiesOf (shape), DrumMode::snare), 0.0);
        EXPECT_NEAR (settledMatch (d, energiesOf (shape), loudEnv, fingerprintOfShape (shape), true, DrumMode::snare), 1.0, 1e-12);
    }
}

struct QuietCase
{
    double env, expectedMatch;
};

class BleedMatchQuiet : public ::testing::TestWithParam<QuietCase>
{
};

TEST_P (BleedMatchQuiet, QuietSoundsFadeTowardsOne)
{
    BleedDiscriminator d;
    const auto [env, expected] = GetParam();
    EXPECT_NEAR (settledMatch (d, soundWithSimilarity (0.2), env, lowOnlyFingerprint, true, DrumMode::kick), expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P (Table, BleedMatchQuiet, ::testing::Values (QuietCase { 0.0, 1.0 }, QuietCase { 0.015, 0.6 }, QuietCase { 0.03, 0.2 }, QuietCase { 0.3, 0.2 }));

TEST (BleedMatch, IsRecomputedOnlyEveryFourthSample)
{
    BleedDiscriminator d;
    std::vector<double> fresh, held;

    for (int i = 0; i < 12; ++i)
    {
        const double sim = 0.1 + 0.05 * i;
        fresh.push_back (sim);
        held.push_back (d.updateRawMatch (soundWithSimilarity (sim), loudEnv, lowOnlyFingerprint, true, DrumMode::snare));
    }

    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR (held[(std::size_t) i], fresh[(std::size_t) (i - i % 4)], 1e-12) << "sample " << i;

    // A reset restarts the cadence: the next sample is judged at once.
    d.reset();
    EXPECT_EQ (d.getRawMatch(), 1.0);
    EXPECT_NEAR (d.updateRawMatch (soundWithSimilarity (0.3), loudEnv, lowOnlyFingerprint, true, DrumMode::snare), 0.3, 1e-12);
}

//==============================================================================
class BleedPenaltyLadder : public ::testing::TestWithParam<DrumMode>
{
};

TEST_P (BleedPenaltyLadder, NeverFallsAsTheHighBandsGrow)
{
    double previous = 0.0;

    for (int i = 0; i <= 6000; ++i)
    {
        const double ratio = 0.001 * i;
        const double p = spectralPenalty (spectrumWithHighToLow (ratio), GetParam());
        ASSERT_GE (p, previous - 1e-12) << "r_hl " << ratio;
        previous = p;
    }

    EXPECT_DOUBLE_EQ (previous, GetParam() == DrumMode::kick ? 0.5 : 0.8);
}

INSTANTIATE_TEST_SUITE_P (KickAndTom, BleedPenaltyLadder, ::testing::Values (DrumMode::kick, DrumMode::tom), [] (const auto& testCase)
                          { return testCase.param == DrumMode::kick ? "kick" : "tom"; });

TEST (BleedPenaltyLadder, TomHearingSnareMidsIsPenalised)
{
    // Low bands a tenth of the mids, nothing above 2 kHz.
    const BandValues snareLike { 0.1, 0.1, 0.1, 1.0, 1.0, 1.0 };
    EXPECT_DOUBLE_EQ (spectralPenalty (snareLike, DrumMode::tom), 0.5);
    EXPECT_EQ (spectralPenalty (snareLike, DrumMode::kick), 0.0);
}

//==============================================================================
TEST (BleedWeights, FavourTheBandsThatSetThisDrumApart)
{
    const auto own = fingerprintOfShape (kickAmplitudes);
    auto peerShape = kickAmplitudes;
    peerShape[band::hz63] = 0.1;
    const auto peer = fingerprintOfShape (peerShape);
    auto invalidPeer = fingerprintOfShape (cymbalAmplitudes);
    invalidPeer.valid = false;

    BleedDiscriminator d;
    const Fingerprint* onlyInvalid[] { &invalidPeer };
    d.computeWeights (own, onlyInvalid, 1);
    EXPECT_FALSE (d.hasWeights());

    const Fingerprint* peers[] { &invalidPeer, &peer };
    d.computeWeights (own, peers, 2);
    ASSERT_TRUE (d.hasWeights());

    double sum = 0.0;
    for (std::size_t b = 0; b < numBands; ++b)
    {
        sum += d.getWeights()[b];
        if (b != band::hz63)
        {
            EXPECT_LT (d.getWeights()[b], d.getWeights()[band::hz63]);
        }
    }
    EXPECT_NEAR (sum, 1.0, 1e-12);

    d.reset();
    EXPECT_TRUE (d.hasWeights());
    d.invalidateWeights();
    EXPECT_FALSE (d.hasWeights());
}

//==============================================================================
namespace
{
LearnedStatistics learnedDrum()
{
    LearnedStatistics s;
    s.histogramEntries = 8;
    s.capturedHits = 8;
    return s;
}

/** Quiet, dull, soft-edged and ringing against the learned drum: bleed on every count. */
HitWindowFeatures bleedLikeHit()
{
    HitWindowFeatures f;
    f.windowHfRatio = 0.1; // a third of the learned 0.3
    f.windowCrest = 1.2;
    f.onsetLevel = 0.01; // a tenth of the learned level
    f.riseSlope = 10.0;
    f.bandRatio = 2.0;
    f.decayRate = 1.5;
    return f;
}

/** Neither bleed-like nor vetoed: the evidence sums to zero. */
HitWindowFeatures neutralHit()
{
    HitWindowFeatures f;
    f.windowHfRatio = 0.3;
    f.windowCrest = 2.5;
    f.onsetLevel = 0.07;
    f.riseSlope = 50.0;
    f.bandRatio = 0.5;
    f.decayRate = 0.5;
    return f;
}
} // namespace

struct VetoCase
{
    const char* name;
    void (*change) (HitWindowFeatures&);
};

void PrintTo (const VetoCase& c, std::ostream* os) { *os << c.name; }

class BleedHitVeto : public ::testing::TestWithParam<VetoCase>
{
};

TEST_P (BleedHitVeto, ClearlyOwnOrImplausibleHitsScoreZero)
{
    BleedDiscriminator d;
    auto f = bleedLikeHit();
    d.scoreHit (f, learnedDrum(), 25.0);
    ASSERT_GT (d.getHitBleedScore(), 0.7);

    GetParam().change (f);
    d.scoreHit (f, learnedDrum(), 25.0);
    EXPECT_EQ (d.getHitBleedScore(), 0.0) << GetParam().name;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P (Table, BleedHitVeto, ::testing::Values (
    VetoCase { "crest above 5", [] (HitWindowFeatures& f) { f.windowCrest = 5.2; } },
    VetoCase { "crest below 1.1", [] (HitWindowFeatures& f) { f.windowCrest = 1.05; } },
    VetoCase { "hf ratio above 0.55", [] (HitWindowFeatures& f) { f.windowHfRatio = 0.6; } },
    VetoCase { "as loud and bright as learned", [] (HitWindowFeatures& f) { f.onsetLevel = 0.09; f.windowHfRatio = 0.28; } }),
    [] (const auto& testCase) { return "case" + std::to_string (testCase.index); });
// clang-format on

TEST (BleedHitScore, KickCoincidencePeaksAt25Ms)
{
    BleedDiscriminator d;
    auto scoreAt = [&] (double ms)
    {
        d.scoreHit (neutralHit(), learnedDrum(), ms);
        return d.getHitBleedScore();
    };

    EXPECT_EQ (scoreAt (-1.0), 0.0);
    EXPECT_NEAR (scoreAt (25.0), 0.3, 1e-12);
    EXPECT_LT (scoreAt (10.0), scoreAt (25.0));
    EXPECT_LT (scoreAt (40.0), scoreAt (25.0));
    EXPECT_GT (scoreAt (50.0), 0.0);
    EXPECT_EQ (scoreAt (50.5), 0.0);

    // Coincidence on top of strong evidence stays within the score's range.
    d.scoreHit (bleedLikeHit(), learnedDrum(), 25.0);
    EXPECT_DOUBLE_EQ (d.getHitBleedScore(), 0.95);
}

TEST (BleedHitScore, ConfidenceIsContinuousInTheRiseSlope)
{
    BleedDiscriminator d;
    const auto learned = learnedDrum();
    auto confidenceAt = [&] (double slopeRatio, const LearnedStatistics& s)
    {
        auto f = neutralHit();
        f.riseSlope = slopeRatio * s.riseSlope;
        d.scoreHit (f, s, -1.0);
        return d.getHitConfidence();
    };

    double previous = confidenceAt (0.0, learned);
    EXPECT_DOUBLE_EQ (previous, 0.1);

    for (int i = 1; i <= 1000; ++i)
    {
        const double c = confidenceAt (0.001 * i, learned);
        ASSERT_GE (c, previous) << 0.001 * i;
        ASSERT_LT (c - previous, 0.002) << "jump at slope ratio " << 0.001 * i;
        previous = c;
    }

    EXPECT_NEAR (confidenceAt (0.3, learned), 0.5, 1e-12);
    EXPECT_DOUBLE_EQ (confidenceAt (0.6, learned), 1.0);

    auto fewHits = learned;
    fewHits.capturedHits = 2;
    EXPECT_EQ (confidenceAt (0.1, fewHits), 1.0);
}

//==============================================================================
TEST (BleedEffectiveMatch, HeldSuspicionCutsEvenAGoodMatch)
{
    auto d = withRawMatch (1.0);

    // Remote bleed evidence alone does not shake a sound that matches this drum well …
    EXPECT_EQ (d.effectiveMatch (0.7, 0.0, true, DrumMode::kick), 1.0);
    EXPECT_EQ (d.getEffectiveMatch(), 1.0);

    // … but held suspicion does, the more the stronger it is.
    const double mild = d.effectiveMatch (0.0, 0.35, true, DrumMode::kick);
    const double strong = d.effectiveMatch (0.0, 0.7, true, DrumMode::kick);
    EXPECT_LT (mild, 1.0);
    EXPECT_LT (strong, mild);
    EXPECT_LT (strong, 0.45);

    EXPECT_EQ (d.effectiveMatch (0.0, 0.0, true, DrumMode::kick), 1.0);
}

struct TomRemoteCase
{
    DrumMode mode;
    bool learned;
    double remoteBleed;
    bool zeroed;
};

class BleedEffectiveMatchTom : public ::testing::TestWithParam<TomRemoteCase>
{
};

TEST_P (BleedEffectiveMatchTom, LearnedTomDropsAWeakMatchUnderRemoteEvidence)
{
    const auto& c = GetParam();
    auto d = withRawMatch (0.5);
    const double m = d.effectiveMatch (c.remoteBleed, 0.0, c.learned, c.mode);

    if (c.zeroed)
    {
        EXPECT_EQ (m, 0.0);
    }
    else
    {
        EXPECT_GT (m, 0.25);
    }
}

INSTANTIATE_TEST_SUITE_P (Table,
                          BleedEffectiveMatchTom,
                          ::testing::Values (TomRemoteCase { DrumMode::tom, true, 0.4, true },
                                             TomRemoteCase { DrumMode::tom, false, 0.4, false },
                                             TomRemoteCase { DrumMode::tom, true, 0.3, false },
                                             TomRemoteCase { DrumMode::kick, true, 0.4, false },
                                             TomRemoteCase { DrumMode::snare, true, 0.4, false }));

//==============================================================================
struct DrumRuleCase
{
    const char* name;
    DrumRuleInputs in;
    double expectedGate;
    bool expectedClear;
};

void PrintTo (const DrumRuleCase& c, std::ostream* os) { *os << c.name; }

class BleedDrumRules : public ::testing::TestWithParam<DrumRuleCase>
{
};

TEST_P (BleedDrumRules, GateValue)
{
    const auto& c = GetParam();
    const auto result = applyDrumRules (0.8, c.in);
    EXPECT_EQ (result.gateValue, c.expectedGate) << c.name;
    EXPECT_EQ (result.clearHitInProgress, c.expectedClear) << c.name;
}

namespace
{
DrumRuleInputs learnedAs (DrumMode mode, double match, double env = 0.2)
{
    DrumRuleInputs in;
    in.mode = mode;
    in.learned = true;
    in.match = match;
    in.env = env;
    in.learnedOnsetLevel = 0.2;
    return in;
}

template <typename Change>
DrumRuleInputs with (DrumRuleInputs in, Change change)
{
    change (in);
    return in;
}

const auto hitRunning = [] (DrumRuleInputs& in)
{ in.hitInProgress = true; };
const auto snareOpen = [] (DrumRuleInputs& in)
{ in.snareGateOpenElsewhere = true; };
const auto tomOpen = [] (DrumRuleInputs& in)
{ in.tomGateOpenElsewhere = true; };
} // namespace

// clang-format off
INSTANTIATE_TEST_SUITE_P (Table, BleedDrumRules, ::testing::Values (
    DrumRuleCase { "tom, weak match", learnedAs (DrumMode::tom, 0.7), 0.0, false },
    DrumRuleCase { "tom, weak match during a hit", with (learnedAs (DrumMode::tom, 0.7), hitRunning), 0.8, false },
    DrumRuleCase { "tom, good match", learnedAs (DrumMode::tom, 0.72), 0.8, false },
    DrumRuleCase { "tom, weak match, not learned", with (learnedAs (DrumMode::tom, 0.7), [] (DrumRuleInputs& in) { in.learned = false; }), 0.8, false },
    DrumRuleCase { "tom, below half the learned level", learnedAs (DrumMode::tom, 0.9, 0.09), 0.0, false },
    DrumRuleCase { "tom, snare open, fair match", with (learnedAs (DrumMode::tom, 0.75), snareOpen), 0.0, false },
    DrumRuleCase { "tom, snare open, strong match", with (learnedAs (DrumMode::tom, 0.8), snareOpen), 0.8, false },
    DrumRuleCase { "tom, snare open during a hit", with (learnedAs (DrumMode::tom, 0.75), [] (DrumRuleInputs& in) { in.snareGateOpenElsewhere = in.hitInProgress = true; }), 0.8, false },
    DrumRuleCase { "snare, tom open, weak match", with (learnedAs (DrumMode::snare, 0.84), tomOpen), 0.0, true },
    DrumRuleCase { "snare, tom open, good match", with (learnedAs (DrumMode::snare, 0.85), tomOpen), 0.8, false },
    DrumRuleCase { "snare, tom open during a hit", with (learnedAs (DrumMode::snare, 0.5), [] (DrumRuleInputs& in) { in.tomGateOpenElsewhere = in.hitInProgress = true; }), 0.8, false },
    DrumRuleCase { "snare, below half the learned level", learnedAs (DrumMode::snare, 0.9, 0.09), 0.0, false },
    DrumRuleCase { "snare bottom is exempt", with (learnedAs (DrumMode::snare, 0.5, 0.01), [] (DrumRuleInputs& in) { in.isSnareBottom = in.tomGateOpenElsewhere = true; }), 0.8, false },
    DrumRuleCase { "snare ghost note is exempt", with (learnedAs (DrumMode::snare, 0.5, 0.01), [] (DrumRuleInputs& in) { in.ghostNoteRunning = in.tomGateOpenElsewhere = true; }), 0.8, false },
    DrumRuleCase { "kick has no rules", with (learnedAs (DrumMode::kick, 0.1, 0.01), tomOpen), 0.8, false }),
    [] (const auto& testCase) { return "case" + std::to_string (testCase.index); });
// clang-format on
