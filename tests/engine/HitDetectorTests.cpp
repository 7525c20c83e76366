#include "engine/BandAnalyser.h"
#include "engine/HitDetector.h"
#include "engine/HitWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace hoopvane;

namespace
{
constexpr double pi = 3.14159265358979323846;
constexpr double fs = 44100.0;

using Signal = std::vector<double>;

size_t samplesFor (double seconds, double sampleRate = fs) { return (size_t) std::lround (seconds * sampleRate); }

Signal silence (double seconds) { return Signal (samplesFor (seconds), 0.0); }

/** A half-millisecond pulse: about the shortest sound that drives the envelope over the onset level. */
Signal click (double amplitude) { return Signal (samplesFor (0.0005), amplitude); }

/** A sine under an amplitude envelope given per sample. */
Signal sine (double frequencyHz, Signal envelope, double sampleRate = fs)
{
    for (size_t n = 0; n < envelope.size(); ++n)
        envelope[n] *= std::sin (2.0 * pi * frequencyHz * (double) n / sampleRate);
    return envelope;
}

Signal steadyTone (double frequencyHz, double amplitude, double seconds, double sampleRate = fs)
{
    return sine (frequencyHz, Signal (samplesFor (seconds, sampleRate), amplitude), sampleRate);
}

Signal decayingBurst (double frequencyHz, double amplitude, double tauSeconds, double seconds)
{
    Signal envelope (samplesFor (seconds));
    for (size_t n = 0; n < envelope.size(); ++n)
        envelope[n] = amplitude * std::exp (-(double) n / fs / tauSeconds);
    return sine (frequencyHz, envelope);
}

Signal operator+ (Signal a, const Signal& b)
{
    a.insert (a.end(), b.begin(), b.end());
    return a;
}

/** What happened while a signal ran through the detector. */
struct Tally
{
    int onsets = 0, windows = 0, riseSlopes = 0, decayRates = 0, hitLengths = 0, crossings = 0;
    HitWindowFeatures firstWindow;
    double onsetLevel = 0.0;
    double lowestEnvAfterOnset = 1.0;
};

/** A prepared detector fed mono signals with a running sample clock. */
struct DetectorRig
{
    explicit DetectorRig (DrumMode mode)
    {
        detector.prepare (fs, mode);
        control.onsetsEnabled = true;
    }

    const DetectorReadings& step (double v) { return detector.analyse (v, v, control, clock++); }

    Tally run (const Signal& signal)
    {
        Tally t;
        for (const double v : signal)
            add (t, step (v));
        return t;
    }

    static void add (Tally& t, const DetectorReadings& r)
    {
        if (r.windowClosed && t.windows++ == 0)
            t.firstWindow = r.features;
        if (r.onset)
            t.onsetLevel = r.env;
        if (t.onsets > 0 || r.onset)
            t.lowestEnvAfterOnset = std::min (t.lowestEnvAfterOnset, r.env);

        t.onsets += r.onset ? 1 : 0;
        t.riseSlopes += r.riseSlopeMeasured ? 1 : 0;
        t.decayRates += r.decayRateMeasured ? 1 : 0;
        t.hitLengths += r.hitLengthMeasured ? 1 : 0;
        t.crossings += (r.env >= HitDetector::onsetThreshold && r.envPrev < HitDetector::onsetThreshold) ? 1 : 0;
    }

    HitDetector detector;
    DetectorControl control;
    std::int64_t clock = 0;
};
} // namespace

//==============================================================================
TEST (HitDetectorRest, SilenceGivesNoEnvelopeNoOnsetAndZeroCrest)
{
    DetectorRig rig (DrumMode::tom);
    const auto tally = rig.run (Signal (256, 0.0));

    const auto& r = rig.detector.getReadings();
    EXPECT_EQ (tally.onsets, 0);
    EXPECT_EQ (r.env, 0.0);
    EXPECT_EQ (r.crest, 0.0);
    EXPECT_EQ (r.hfRatio, 0.0);
    EXPECT_EQ (r.lowCentroid, 200.0);
}

//==============================================================================
class SingleClick : public ::testing::TestWithParam<DrumMode>
{
};

TEST_P (SingleClick, GivesExactlyOneOnsetWithASteepRise)
{
    DetectorRig rig (GetParam());
    const auto tally = rig.run (silence (0.01) + click (1.0) + silence (0.3));

    const auto& r = rig.detector.getReadings();
    EXPECT_EQ (tally.onsets, 1);
    EXPECT_EQ (tally.windows, 1);
    EXPECT_EQ (tally.riseSlopes, 1);
    EXPECT_GT (r.riseSlope, 5.0);
    // Taken against the level before the crossing: zero if envPrev had already moved on.
    EXPECT_GE (r.attackSlope, 5.0);
}

INSTANTIATE_TEST_SUITE_P (Modes, SingleClick, ::testing::Values (DrumMode::kick, DrumMode::snare, DrumMode::tom));

//==============================================================================
struct SecondClickCase
{
    DrumMode mode;
    double firstAmplitude; ///< 1: env stays above the re-arm level for ~70 ms; 0.25: it falls below by ~37 ms
    double gapMs;
    int expectedOnsets;
};

class SecondClick : public ::testing::TestWithParam<SecondClickCase>
{
};

// Falling from the onset level to the re-arm level takes the envelope at least 23 ms, so 20 ms
// after a hit no mode has re-armed. At 60 ms the snare's 30 ms spacing leaves the decision to
// re-arming, while the kick's 100 ms and the tom's 80 ms spacing still block.
TEST_P (SecondClick, CountsOnlyWhenSpacedAndRearmed)
{
    const auto& c = GetParam();
    DetectorRig rig (c.mode);
    const auto gap = silence (c.gapMs / 1000.0 - 0.0005);
    EXPECT_EQ (rig.run (silence (0.01) + click (c.firstAmplitude) + gap + click (1.0) + silence (0.2)).onsets, c.expectedOnsets);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P (Table, SecondClick, ::testing::Values (
    SecondClickCase { DrumMode::kick,  1.0,  20.0, 1 },
    SecondClickCase { DrumMode::tom,   1.0,  20.0, 1 },
    SecondClickCase { DrumMode::snare, 1.0,  20.0, 1 },
    SecondClickCase { DrumMode::snare, 0.25, 20.0, 1 },
    SecondClickCase { DrumMode::kick,  0.25, 60.0, 1 },
    SecondClickCase { DrumMode::tom,   0.25, 60.0, 1 },
    SecondClickCase { DrumMode::snare, 0.25, 60.0, 2 },
    SecondClickCase { DrumMode::snare, 1.0,  60.0, 1 }));
// clang-format on

//==============================================================================
TEST (HitDetectorOnsets, WobblingToneTriggersOnceUntilEnvelopeFallsBelowRearmLevel)
{
    // Swells to the onset level over 200 ms, then wobbles around it at 8 Hz.
    Signal swell (samplesFor (0.7));
    for (size_t n = 0; n < swell.size(); ++n)
    {
        const double t = (double) n / fs;
        swell[n] = t < 0.2 ? 0.13 * t / 0.2 : 0.13 + 0.04 * std::sin (2.0 * pi * 8.0 * (t - 0.2));
    }
    const auto sound = sine (1000.0, swell);

    DetectorRig rig (DrumMode::snare);
    const auto tally = rig.run (sound);
    ASSERT_GE (tally.crossings, 4) << "the fixture must cross the onset level repeatedly";
    ASSERT_GT (tally.lowestEnvAfterOnset, HitDetector::rearmThreshold);
    EXPECT_EQ (tally.onsets, 1);

    EXPECT_EQ (rig.run (silence (0.15) + sound).onsets, 1);
}

TEST (HitDetectorOnsets, NoneWhileDisabledAndEnvPrevStillFollowsEnv)
{
    DetectorRig rig (DrumMode::snare);
    rig.control.onsetsEnabled = false;

    Tally tally;
    double previousEnv = 0.0;
    int envPrevMismatches = 0;
    for (const double v : click (1.0) + silence (0.2) + click (1.0) + silence (0.2))
    {
        const auto& r = rig.step (v);
        DetectorRig::add (tally, r);
        envPrevMismatches += r.envPrev != previousEnv ? 1 : 0;
        previousEnv = r.env;
    }

    EXPECT_GE (tally.crossings, 2);
    EXPECT_EQ (tally.onsets, 0);
    EXPECT_EQ (tally.windows, 0);
    EXPECT_EQ (envPrevMismatches, 0);
}

//==============================================================================
struct CaptureCase
{
    bool capturing;
    bool remoteHitRecent;
    bool expectOnset;
};

class RemoteHitClause : public ::testing::TestWithParam<CaptureCase>
{
};

TEST_P (RemoteHitClause, BlocksOnlyWhileCapturingAndHitLengthFollowsCaptures)
{
    const auto& c = GetParam();
    DetectorRig rig (DrumMode::tom);
    rig.control.capturingForLearning = c.capturing;
    rig.control.remoteHitRecent = c.remoteHitRecent;

    const auto tally = rig.run (silence (0.01) + decayingBurst (200.0, 0.5, 0.03, 0.8));

    const bool captured = c.capturing && c.expectOnset;
    EXPECT_EQ (tally.onsets, c.expectOnset ? 1 : 0);
    EXPECT_EQ (tally.hitLengths, captured ? 1 : 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P (Table, RemoteHitClause, ::testing::Values (
    CaptureCase { false, false, true },
    CaptureCase { false, true,  true },
    CaptureCase { true,  false, true },
    CaptureCase { true,  true,  false }));
// clang-format on

//==============================================================================
namespace
{
/** Steady-state slow energy of one band for a sine of amplitude 1, averaged over its ripple. */
double bandEnergy (double sampleRate, int band, double frequencyHz)
{
    BandAnalyser analyser;
    analyser.prepare (sampleRate);
    const auto sound = steadyTone (frequencyHz, 1.0, 0.5, sampleRate);

    double sum = 0.0;
    const size_t settled = sound.size() / 2;
    for (size_t n = 0; n < sound.size(); ++n)
    {
        analyser.process (sound[n]);
        if (n >= settled)
            sum += analyser.getSlowEnergy()[(size_t) band];
    }
    return sum / (double) (sound.size() - settled);
}
} // namespace

TEST (BandAnalyserDesign, TopBandAt22050HzPeaksAtTheDesignLimit)
{
    constexpr double rate = 22050.0;

    // Constant peak gain: a sine at the design centre reads half its squared amplitude.
    EXPECT_NEAR (bandEnergy (rate, band::hz10k, 0.45 * rate), 0.5, 0.01);
    // Centred just below 10 kHz, 9 kHz reads louder than 10.5 kHz; a 10 kHz centre reverses this.
    EXPECT_GT (bandEnergy (rate, band::hz10k, 9000.0), 1.15 * bandEnergy (rate, band::hz10k, 10500.0));
}

//==============================================================================
TEST (HitDetectorHfRatio, WhiteNoiseReadsItsEnergyRatioAndNeverExplodes)
{
    DetectorRig rig (DrumMode::tom);
    Biquad highPass;
    highPass.setCoefficients (rbj::highPass (fs, 2000.0, 0.707));

    std::mt19937 random (7);
    std::uniform_real_distribution<double> uniform (-0.5, 0.5);
    const size_t settle = samplesFor (0.1), length = samplesFor (2.0);

    double highEnergy = 0.0, fullEnergy = 0.0, ratioSum = 0.0, largest = 0.0;
    for (size_t n = 0; n < length; ++n)
    {
        const auto& r = rig.step (uniform (random));
        const double hp = highPass.process (r.detectorSignal);
        if (n < settle)
            continue;

        highEnergy += hp * hp;
        fullEnergy += r.detectorSignal * r.detectorSignal;
        ratioSum += r.hfRatio;
        largest = std::max (largest, r.hfRatio);
    }

    const double energyRatio = highEnergy / fullEnergy;
    EXPECT_NEAR (ratioSum / (double) (length - settle), energyRatio, 0.1 * energyRatio);
    EXPECT_LT (largest, 1.5);
}

//==============================================================================
TEST (HitWindowFeatures, SineHitHasRootTwoCrest)
{
    // Far above the kick's 25 Hz high-pass, whose switch-on transient would lift the peaks.
    DetectorRig rig (DrumMode::kick);
    const auto tally = rig.run (silence (0.01) + steadyTone (2000.0, 0.5, 0.05));

    ASSERT_EQ (tally.windows, 1);
    EXPECT_NEAR (tally.firstWindow.windowCrest, std::sqrt (2.0), 0.03);
    EXPECT_EQ (tally.firstWindow.onsetLevel, tally.onsetLevel);
}

TEST (HitWindowFeatures, BandRatioOrdersLowAboveHighTone)
{
    auto firstWindowOf = [] (double frequencyHz)
    {
        DetectorRig rig (DrumMode::snare);
        return rig.run (silence (0.01) + steadyTone (frequencyHz, 0.5, 0.05)).firstWindow;
    };

    const auto low = firstWindowOf (200.0);
    const auto high = firstWindowOf (3000.0);
    EXPECT_TRUE (low.hasHighBandEnergy && high.hasHighBandEnergy);
    EXPECT_GT (low.bandRatio, 1.0);
    EXPECT_LT (high.bandRatio, 1.0);
}

TEST (HitWindowFeatures, WindowWithoutHighBandEnergyFallsBackToDarkRatio)
{
    HitWindow window;
    window.prepare (fs);
    window.open (0.2);

    bool closed = false;
    for (int n = 0; n < window.getLength() && ! closed; ++n)
        closed = window.process (0.0, 0.0);

    ASSERT_TRUE (closed);
    const auto features = window.formFeatures();
    EXPECT_FALSE (features.hasHighBandEnergy);
    EXPECT_EQ (features.bandRatio, HitWindow::darkBandRatio);
}

//==============================================================================
// The bursts decay more slowly than the envelope's 25 ms release, so the envelope follows their
// peaks and the burst's own amplitude tells when it falls to a tenth of the onset level.
struct DecayCase
{
    double amplitude;
    double tauSeconds; ///< 0: a sustained tone, which times out after 300 ms
};

class DecayRate : public ::testing::TestWithParam<DecayCase>
{
};

TEST_P (DecayRate, IsTwentyOverTheMillisecondsToFallToOneTenth)
{
    const auto& c = GetParam();
    DetectorRig rig (DrumMode::tom);
    const bool sustained = c.tauSeconds <= 0.0;
    const auto tally = rig.run (sustained ? steadyTone (1000.0, c.amplitude, 0.5) : decayingBurst (1000.0, c.amplitude, c.tauSeconds, 0.5));

    ASSERT_EQ (tally.onsets, 1);
    ASSERT_EQ (tally.decayRates, 1);

    const double expected = sustained ? 1.0 / 15.0 : 20.0 / (1000.0 * c.tauSeconds * std::log (c.amplitude / (0.1 * tally.onsetLevel)));
    EXPECT_NEAR (rig.detector.getReadings().decayRate, expected, 0.05 * expected);
}

INSTANTIATE_TEST_SUITE_P (Table, DecayRate, ::testing::Values (DecayCase { 0.3, 0.06 }, DecayCase { 0.2, 0.1 }, DecayCase { 0.3, 0.0 }));
