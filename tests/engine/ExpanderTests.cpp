#include "engine/BandShaper.h"
#include "engine/DecayMeasurement.h"
#include "engine/Expander.h"
#include "engine/GainLaw.h"
#include "engine/HitRateMonitor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

using namespace hoopvane;

namespace
{
constexpr double sampleRate = 44100.0;
constexpr double pi = 3.14159265358979323846;
constexpr int lookAheadSamples = 45;
constexpr double thresholdDb = -20.9; // "SENS" 0.85
constexpr double defaultRangeDb = -18.0;
constexpr int low = 0, mid = 1, high = 2;

double toGain (double db) { return std::pow (10.0, db / 20.0); }
double toDb (double gain) { return 20.0 * std::log10 (gain); }
int samplesFor (double ms) { return (int) (ms * 0.001 * sampleRate); }

double sine (int n, double hz, double amplitude) { return amplitude * std::sin (2.0 * pi * hz * n / sampleRate); }

/** Feeds an expander as the engine does: the key hears each sample 45 samples before the gain
    acts on it. The slow band energies are whatever the test sets. */
class ExpanderRig
{
public:
    explicit ExpanderRig (DrumMode mode = DrumMode::tom, double rangeDb = defaultRangeDb)
    {
        expander.prepare (sampleRate);
        expander.configure (mode, false, nullptr);
        expander.beginBlock (150.0, thresholdDb, rangeDb);
        expander.reset();
        setBalance (1.0e-3, 0.5);
    }

    /** Sets e63 + e125 and the HF/LF ratio; the other bands are empty. */
    void setBalance (double lowEnergy, double hfLfRatio)
    {
        readings.slowEnergy = {};
        readings.slowEnergy[band::hz63] = readings.slowEnergy[band::hz125] = 0.5 * lowEnergy;
        readings.slowEnergy[band::hz5k] = hfLfRatio * lowEnergy;
    }

    /** One sample of a mono signal through the look-ahead; returns the left output. */
    double step (double x)
    {
        delayed = delayLine[(size_t) position];
        delayLine[(size_t) position] = x;
        position = (position + 1) % lookAheadSamples;
        return stepPair (x, delayed);
    }

    double stepPair (double undelayed, double delayedSample)
    {
        ExpanderInputs in;
        in.inputLeft = in.inputRight = undelayed;
        in.delayedLeft = in.delayedRight = delayedSample;
        in.match = match;
        in.readings = &readings;
        ++clock;
        return expander.process (in).left;
    }

    /** Runs `count` samples of signal(n), n counting from the rig's start; counts acceptances. */
    template <typename Signal>
    void run (int count, Signal&& signal)
    {
        for (int i = 0; i < count; ++i)
        {
            step (signal (clock));
            accepted += expander.wasHitAcceptedThisSample() ? 1 : 0;
        }
    }

    void silence (int count)
    {
        run (count, [] (int)
             { return 0.0; });
    }

    Expander expander;
    DetectorReadings readings;
    double match = 1.0;
    double delayed = 0.0;
    int clock = 0;
    int accepted = 0;

private:
    std::array<double, lookAheadSamples> delayLine {};
    int position = 0;
};

auto toneAt (double hz, double dbfs)
{
    return [hz, dbfs] (int n)
    { return sine (n, hz, toGain (dbfs)); };
}

/** Runs until the expander accepts a hit (at most one second); returns false if it never does. */
template <typename Signal>
bool runUntilAccepted (ExpanderRig& rig, Signal&& signal)
{
    for (int i = 0; i < (int) sampleRate; ++i)
    {
        rig.step (signal (rig.clock));
        if (rig.expander.wasHitAcceptedThisSample())
            return true;
    }
    return false;
}
} // namespace

//==============================================================================
struct KneeCase
{
    const char* name;
    double dbBelowThreshold, ratio, floorDb, expectedGainDb;
};

class ExpanderGainLaw : public ::testing::TestWithParam<KneeCase>
{
};

TEST_P (ExpanderGainLaw, ReducesBySoftKneeDownToTheFloor)
{
    const auto& c = GetParam();
    GainLaw law;
    law.configure (thresholdDb, c.ratio, toGain (c.floorDb));
    EXPECT_NEAR (toDb (law.gainFor (toGain (thresholdDb - c.dbBelowThreshold))), c.expectedGainDb, 1.0e-9) << c.name;
}

INSTANTIATE_TEST_SUITE_P (Table,
                          ExpanderGainLaw,
                          ::testing::Values (KneeCase { "3 dB into the knee, ratio 5", 3.0, 5.0, -120.0, -6.0 },
                                             KneeCase { "12 dB below, ratio 5", 12.0, 5.0, -120.0, -48.0 },
                                             KneeCase { "12 dB below, held by RANGE", 12.0, 5.0, -18.0, -18.0 },
                                             KneeCase { "knee and slope meet at 6 dB", 6.0, 3.0, -120.0, -12.0 },
                                             KneeCase { "above the threshold", -2.0, 5.0, -18.0, 0.0 }));

//==============================================================================
struct FloorCase
{
    const char* name;
    double toneHz;
    int band;
    double smootherFloorDb;
};

class ExpanderRangeFloors : public ::testing::TestWithParam<FloorCase>
{
};

TEST_P (ExpanderRangeFloors, SteadySignalFarBelowThresholdSettlesOnTheBandFloor)
{
    const auto& c = GetParam();
    ExpanderRig rig;
    const double amplitude = toGain (-70.0);
    rig.silence (samplesFor (2000.0)); // let the gate close from its open start

    double inputSquares = 0.0, outputSquares = 0.0;
    for (int n = 0; n < (int) sampleRate; ++n)
    {
        const double out = rig.step (sine (n, c.toneHz, amplitude));
        if (n >= (int) sampleRate / 2)
        {
            inputSquares += rig.delayed * rig.delayed;
            outputSquares += out * out;
        }
    }

    EXPECT_NEAR (toDb (rig.expander.getSmoothedGains()[(size_t) c.band]), c.smootherFloorDb, 0.02) << c.name;
    // The audible band gains never go below "RANGE".
    const double outputDb = 10.0 * std::log10 (outputSquares / inputSquares);
    EXPECT_GE (outputDb, c.smootherFloorDb - 0.05) << c.name;
    EXPECT_NEAR (outputDb, defaultRangeDb, 0.1) << c.name;
}

INSTANTIATE_TEST_SUITE_P (Bands,
                          ExpanderRangeFloors,
                          ::testing::Values (FloorCase { "low", 80.0, low, -18.0 },
                                             FloorCase { "mid", 600.0, mid, -18.9 },
                                             FloorCase { "high", 6000.0, high, -20.5 }));

//==============================================================================
// After a reset the gate is open and closes by its release law, so a transport start never cuts
// the first beat before the detectors have heard anything.
TEST (Expander, AfterResetStartsOpenAndClosesByTheReleaseLaw)
{
    ExpanderRig rig;
    constexpr double level = 0.001; // far below the threshold: nothing triggers

    EXPECT_EQ (rig.expander.getGateValue(), 1.0);
    const double first = rig.stepPair (level, level);
    EXPECT_GT (first / level, toGain (-0.1));

    double previousOutput = first;
    int samplesToHalfGain = -1;
    for (int n = 1; n < 2 * (int) sampleRate; ++n)
    {
        const double out = rig.stepPair (level, level);
        ASSERT_LE (out, previousOutput * 1.002) << n; // no audible rise on the way down
        if (samplesToHalfGain < 0 && out < 0.5 * level)
            samplesToHalfGain = n;
        previousOutput = out;
    }

    // No cut: the slowest band (low, about 150 ms) takes tens of milliseconds to lose 6 dB.
    EXPECT_GT (samplesToHalfGain, samplesFor (40.0));
    EXPECT_NEAR (toDb (previousOutput / level), defaultRangeDb, 0.05);
    EXPECT_NEAR (rig.expander.getGateValue(), rig.expander.getFinalGain(), 0.002);
}

TEST (Expander, SteadyMatchingToneOpensAndStaysOpen)
{
    ExpanderRig rig;
    const auto tone = toneAt (200.0, -10.0);
    rig.run ((int) sampleRate / 2, tone);

    double worstDifference = 0.0;
    for (int n = 0; n < (int) sampleRate / 2; ++n)
    {
        const double out = rig.step (tone (rig.clock));
        worstDifference = std::max (worstDifference, std::abs (out - rig.delayed));
        ASSERT_EQ (rig.expander.getHitState(), HitState::Open);
        ASSERT_EQ (rig.expander.getTargets(), (Expander::BandTriple { 1.0, 1.0, 1.0 }));
    }

    EXPECT_EQ (rig.accepted, 1);
    EXPECT_LT (worstDifference, 1.0e-9);
}

TEST (Expander, GentleRangeReturnsToClosedAndAcceptsTheNextHit)
{
    ExpanderRig rig (DrumMode::tom, -6.0);
    const auto burst = toneAt (200.0, -10.0);

    rig.run (samplesFor (50.0), burst);
    rig.silence (2 * (int) sampleRate);
    EXPECT_EQ (rig.expander.getHitState(), HitState::Closed);
    EXPECT_FALSE (rig.expander.isHitInProgress());

    rig.run (samplesFor (50.0), burst);
    EXPECT_EQ (rig.accepted, 2);
    EXPECT_EQ (rig.expander.getHitState(), HitState::Open);
}

TEST (Expander, RejectedHitStaysNearTheFloorForTheRejectTime)
{
    // A tom opened by a weak match is rejected as soon as it is confirmed; the sound goes on.
    ExpanderRig rig;
    rig.match = 0.65;
    rig.setBalance (1.0e-3, 1.0);
    rig.silence (samplesFor (2000.0));
    const auto burst = toneAt (1000.0, -10.0);
    ASSERT_TRUE (runUntilAccepted (rig, burst));

    const double rangeLin = toGain (defaultRangeDb);
    auto previous = rig.expander.getSmoothedGains();
    for (int n = 0; n < samplesFor (30.0); ++n)
    {
        rig.step (burst (rig.clock));
        ASSERT_EQ (rig.expander.getHitState(), HitState::Rejecting) << n;
        const auto s = rig.expander.getSmoothedGains();
        ASSERT_LE (s[mid], previous[mid]) << n;
        ASSERT_LE (s[high], previous[high]) << n;
        ASSERT_LT (std::max (s[mid], s[high]), 2.0 * rangeLin) << n;
        previous = s;
    }

    EXPECT_NEAR (rig.expander.getTargets()[mid], 1.1 * rangeLin, 1.0e-6);
    EXPECT_NEAR (rig.expander.getTargets()[high], 1.1 * rangeLin, 1.0e-6);
    rig.step (burst (rig.clock));
    EXPECT_NE (rig.expander.getHitState(), HitState::Rejecting);
}

//==============================================================================
struct CheckCase
{
    const char* name;
    double match;
    bool lowBandRises;
    HitState expected;
};

class ExpanderTomCheck : public ::testing::TestWithParam<CheckCase>
{
};

TEST_P (ExpanderTomCheck, WeakMatchAtAcceptanceIsRejectedByTheEndOfTheCheck)
{
    const auto& c = GetParam();
    ExpanderRig rig;
    rig.match = c.match;
    rig.setBalance (1.0e-3, 3.0); // between the brightness thresholds: no quick verdict
    rig.silence (samplesFor (200.0));
    const auto burst = toneAt (1000.0, -10.0);
    ASSERT_TRUE (runUntilAccepted (rig, burst)) << c.name;

    bool sawOpen = false;
    for (int n = 0; n < samplesFor (15.0) + 5; ++n)
    {
        if (c.lowBandRises && n == samplesFor (5.0))
            rig.setBalance (0.05, 3.0);
        rig.step (burst (rig.clock));
        sawOpen = sawOpen || rig.expander.getHitState() == HitState::Open;
    }

    EXPECT_EQ (rig.expander.getHitState(), c.expected) << c.name;
    EXPECT_EQ (sawOpen, c.expected == HitState::Open) << c.name;
}

INSTANTIATE_TEST_SUITE_P (Table,
                          ExpanderTomCheck,
                          ::testing::Values (CheckCase { "match 0.65, steady low band", 0.65, false, HitState::Rejecting },
                                             CheckCase { "match 0.65, low band rises", 0.65, true, HitState::Rejecting },
                                             CheckCase { "match 0.75", 0.75, true, HitState::Open }));

//==============================================================================
TEST (Expander, NoiseForTenSecondsKeepsEveryFollowerFiniteAndTheOutputBounded)
{
    ExpanderRig rig;
    std::mt19937 random (7);
    std::normal_distribution<double> noise (0.0, 0.1); // -20 dBFS rms
    std::uniform_real_distribution<double> uniform (0.0, 1.0);

    double loudestLevel = 0.0, loudestInput = 0.0;
    for (int n = 0; n < 10 * (int) sampleRate; ++n)
    {
        if (n % samplesFor (10.0) == 0) // wander through matches and balances, so every state is visited
        {
            rig.match = uniform (random);
            rig.setBalance (1.0e-4 + 1.0e-2 * uniform (random), 8.0 * uniform (random));
        }

        const double x = noise (random);
        const double out = rig.step (x);
        loudestLevel = std::max (loudestLevel, std::abs (x));
        loudestInput = std::max (loudestInput, std::abs (rig.delayed));

        ASSERT_TRUE (std::isfinite (out)) << n;
        ASSERT_LE (std::abs (out), 2.0 * loudestInput + 1.0e-12) << n;
        // Key at most 1.3 × level; the transient push adds at most 40 %.
        for (const double f : rig.expander.getKeyFollowers())
            ASSERT_LE (f, 1.4 * 1.3 * loudestLevel + 1.0e-12) << n;
        for (const double s : rig.expander.getSmoothedGains())
            ASSERT_TRUE (s >= 0.0 && s <= 1.0) << n;
        ASSERT_TRUE (rig.expander.getGateValue() >= 0.0 && rig.expander.getGateValue() <= 1.0) << n;
    }
}

TEST (Expander, GateRisesWithTheUndelayedInputBeforeTheDelayedOneArrives)
{
    ExpanderRig rig;
    rig.silence (samplesFor (2000.0));
    EXPECT_LT (rig.expander.getGateValue(), 0.2);

    const auto tone = toneAt (1000.0, -10.0);
    const int onset = rig.clock;
    for (int n = 0; n < lookAheadSamples; ++n)
    {
        rig.step (tone (rig.clock - onset));
        ASSERT_EQ (rig.delayed, 0.0);
    }
    EXPECT_GT (rig.expander.getGateValue(), 0.9);
}

//==============================================================================
struct ShelfCase
{
    const char* name;
    Expander::BandTriple gainsDb;
    double toneHz;
    double expectedDb, toleranceDb;
};

class ExpanderBandShaper : public ::testing::TestWithParam<ShelfCase>
{
};

TEST_P (ExpanderBandShaper, ShapesEachBandAroundTheDetectionBand)
{
    const auto& c = GetParam();
    BandShaper shaper;
    shaper.prepare (sampleRate, DetectionBand { 180.0, 2000.0 });
    shaper.reset();
    shaper.setGains (c.gainsDb);

    double inputSquares = 0.0, outputSquares = 0.0;
    for (int n = 0; n < (int) sampleRate; ++n)
    {
        const double x = sine (n, c.toneHz, 0.5);
        const double y = shaper.process (0, x);
        if (n >= (int) sampleRate / 2)
        {
            inputSquares += x * x;
            outputSquares += y * y;
        }
    }
    EXPECT_NEAR (10.0 * std::log10 (outputSquares / inputSquares), c.expectedDb, c.toleranceDb) << c.name;
}

INSTANTIATE_TEST_SUITE_P (Table,
                          ExpanderBandShaper,
                          ::testing::Values (ShelfCase { "low cut, far below", { -12.0, 0.0, 0.0 }, 30.0, -12.0, 0.5 },
                                             ShelfCase { "low cut, far above", { -12.0, 0.0, 0.0 }, 12000.0, 0.0, 0.5 },
                                             ShelfCase { "mid cut at the centre", { 0.0, -12.0, 0.0 }, 600.0, -12.0, 0.05 },
                                             ShelfCase { "high cut, far above", { 0.0, 0.0, -12.0 }, 15000.0, -12.0, 0.5 },
                                             ShelfCase { "high cut, far below", { 0.0, 0.0, -12.0 }, 40.0, 0.0, 0.5 },
                                             ShelfCase { "all bands equal", { -18.0, -18.0, -18.0 }, 1000.0, -18.0, 1.0e-6 }));

//==============================================================================
struct DecayCase
{
    const char* name;
    double toneHz, dbPerMs;
    bool centre;
    double expectedReleaseMs;
};

class ExpanderDecayMeasurement : public ::testing::TestWithParam<DecayCase>
{
};

TEST_P (ExpanderDecayMeasurement, SixDecayingHitsSetTheAdaptiveRelease)
{
    const auto& c = GetParam();
    DecayMeasurement decay;
    decay.prepare (sampleRate);
    decay.setBand (DetectionBand { 180.0, 2000.0 });

    for (int hit = 0; hit < DecayMeasurement::measurementsBeforeAdaptive; ++hit)
    {
        EXPECT_FALSE (decay.isAdaptive()) << hit;
        decay.startHit (1.0);
        for (int n = 0; n < samplesFor (300.0); ++n)
        {
            // A quadrature pair, so the rectified level has no zero crossings to land on.
            const double envelope = 0.5 * toGain (-c.dbPerMs * n * 1000.0 / sampleRate);
            const double w = 2.0 * pi * c.toneHz * n / sampleRate;
            decay.process (envelope * std::sin (w), envelope * std::cos (w));
        }
    }

    ASSERT_TRUE (decay.isAdaptive());
    const double releaseMs = c.centre ? decay.getRelCentreMs() : decay.getRelHighMs();
    EXPECT_NEAR (releaseMs, c.expectedReleaseMs, 0.03 * c.expectedReleaseMs) << c.name;
}

INSTANTIATE_TEST_SUITE_P (Table,
                          ExpanderDecayMeasurement,
                          ::testing::Values (DecayCase { "centre, 0.1 dB/ms", 400.0, 0.1, true, 260.6 },
                                             DecayCase { "high, 0.2 dB/ms", 8000.0, 0.2, false, 130.3 }));

//==============================================================================
struct RateCase
{
    double hitsPerSecond, expectedFactor;
};

class ExpanderHitRate : public ::testing::TestWithParam<RateCase>
{
};

TEST_P (ExpanderHitRate, FactorFollowsTheRateOverTheLastSecond)
{
    const auto& c = GetParam();
    HitRateMonitor monitor;
    monitor.prepare (sampleRate);
    const int spacing = (int) (sampleRate / c.hitsPerSecond);

    for (int n = 0; n < 3 * (int) sampleRate; ++n)
    {
        if (n % spacing == 0)
            monitor.countHit();
        if (monitor.advance() && n > (int) sampleRate)
        {
            ASSERT_EQ (monitor.getFactor(), c.expectedFactor) << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P (Table,
                          ExpanderHitRate,
                          ::testing::Values (RateCase { 2.0, 1.5 }, RateCase { 6.0, 1.0 }, RateCase { 12.0, 0.6 }),
                          [] (const ::testing::TestParamInfo<RateCase>& rate)
                          { return std::to_string ((int) rate.param.hitsPerSecond) + "PerSecond"; });
