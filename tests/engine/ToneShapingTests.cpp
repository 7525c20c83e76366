#include "engine/AttackEnhancer.h"
#include "engine/BodyRingEqualiser.h"
#include "engine/LfTightener.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

using namespace hoopvane;

namespace
{
constexpr double pi = std::numbers::pi;

int samplesFor (double ms, double sampleRate) { return (int) std::lround (ms * 0.001 * sampleRate); }

/** A stereo stage fed the same signal on both channels; returns the left output. */
using MonoStage = std::function<double (double)>;

/** Steady-state gain of a stage for a sine: half a second to settle, then the RMS ratio over a
    whole number of cycles. */
double gainDbAt (double frequencyHz, double sampleRate, const MonoStage& stage)
{
    const double step = 2.0 * pi * frequencyHz / sampleRate;
    const int settle = samplesFor (500.0, sampleRate);
    const double cycles = std::max (1.0, std::floor (0.5 * frequencyHz));
    const int measured = (int) std::lround (cycles * sampleRate / frequencyHz);

    double in = 0.0, out = 0.0;
    for (int n = 0; n < settle + measured; ++n)
    {
        const double x = 0.25 * std::sin (step * n);
        const double y = stage (x);
        if (n >= settle)
        {
            in += x * x;
            out += y * y;
        }
    }
    return 10.0 * std::log10 (out / in);
}

//==============================================================================
constexpr double eqRate = 48000.0;
constexpr double boostHz = 60.0, cutHz = 400.0; // far enough apart not to touch each other

MonoStage throughEqualiser (BodyRingEqualiser& eq, double gate)
{
    return [&eq, gate] (double x)
    {
        double left = x, right = x;
        eq.process (left, right, gate);
        return left;
    };
}

struct EqualiserCase
{
    const char* name;
    bool dual;
    double resGainDb, gate;
    double bodyDb, ringDb; // expected at BOOST_FREQ and CUT_FREQ
};

class ToneShapingResGain : public ::testing::TestWithParam<EqualiserCase>
{
};

TEST_P (ToneShapingResGain, FollowTheGate)
{
    const auto& c = GetParam();
    BodyRingEqualiser eq;
    eq.prepare (eqRate);
    eq.beginBlock (boostHz, cutHz, c.resGainDb, c.dual, BodyRingEqualiser::listenOff);

    EXPECT_NEAR (gainDbAt (boostHz, eqRate, throughEqualiser (eq, c.gate)), c.bodyDb, 0.1) << "body";
    EXPECT_NEAR (gainDbAt (cutHz, eqRate, throughEqualiser (eq, c.gate)), c.ringDb, 0.1) << "ring";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P (Table, ToneShapingResGain, ::testing::Values (
    EqualiserCase { "DualPlus6Open",    true,  6.0, 1.0, 6.0, -1.5 },
    EqualiserCase { "DualPlus6Half",    true,  6.0, 0.5, 3.0, -3.15 },
    EqualiserCase { "DualPlus6Closed",  true,  6.0, 0.0, 0.0, -4.8 },
    EqualiserCase { "TiltMinus6Open",   false, -6.0, 1.0, 0.0, -1.5 },
    EqualiserCase { "TiltMinus6Closed", false, -6.0, 0.0, 0.0, -4.8 },
    EqualiserCase { "TiltPlus6Open",    false, 6.0, 1.0, 6.0, 0.0 },
    EqualiserCase { "TiltPlus6Closed",  false, 6.0, 0.0, 0.0, 0.0 },
    EqualiserCase { "DualMinus6Open",   true,  -6.0, 1.0, 0.0, 0.0 },
    EqualiserCase { "DualMinus6Closed", true,  -6.0, 0.0, 0.0, 0.0 }),
    [] (const auto& testCase) { return std::string (testCase.param.name); });
// clang-format on

//==============================================================================
struct ListenCase
{
    const char* name;
    int listen;
    double resGainDb;
    double expectedQ;
};

class ToneShapingListen : public ::testing::TestWithParam<ListenCase>
{
};

/** A band-pass of quality Q is 10 log10 (1 + Q^2 / 2) dB down half an octave either side of its
    centre, which pins the bandwidth the setting asks for. */
TEST_P (ToneShapingListen, PassesOnlyItsBandWithTheSettingsQ)
{
    const auto& c = GetParam();
    BodyRingEqualiser eq;
    eq.prepare (eqRate);
    eq.beginBlock (boostHz, cutHz, c.resGainDb, true, c.listen);

    const bool body = c.listen == BodyRingEqualiser::listenBody;
    const double centre = body ? boostHz : cutHz, other = body ? cutHz : boostHz;
    const auto stage = throughEqualiser (eq, 1.0);
    const double halfOctaveDb = -10.0 * std::log10 (1.0 + 0.5 * c.expectedQ * c.expectedQ);

    EXPECT_NEAR (gainDbAt (centre, eqRate, stage), 0.0, 0.1);
    EXPECT_NEAR (gainDbAt (centre * std::numbers::sqrt2, eqRate, stage), halfOctaveDb, 0.3);
    EXPECT_NEAR (gainDbAt (centre / std::numbers::sqrt2, eqRate, stage), halfOctaveDb, 0.3);
    EXPECT_LT (gainDbAt (other, eqRate, stage), -20.0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P (Table, ToneShapingListen, ::testing::Values (
    ListenCase { "BodyAt12dB", BodyRingEqualiser::listenBody, 12.0, 3.8 },
    ListenCase { "RingAt12dB", BodyRingEqualiser::listenRing, 12.0, 12.0 },
    ListenCase { "BodyAt0dB",  BodyRingEqualiser::listenBody, 0.0, 3.5 },
    ListenCase { "RingAt6dB",  BodyRingEqualiser::listenRing, 6.0, 7.5 }),
    [] (const auto& testCase) { return std::string (testCase.param.name); });
// clang-format on

TEST (ToneShapingBodyRing, RedesignsForANewSampleRate)
{
    BodyRingEqualiser eq;
    eq.prepare (44100.0);
    eq.beginBlock (100.0, cutHz, 6.0, true, BodyRingEqualiser::listenOff);
    gainDbAt (100.0, 44100.0, throughEqualiser (eq, 1.0));

    eq.prepare (96000.0);
    eq.beginBlock (100.0, cutHz, 6.0, true, BodyRingEqualiser::listenOff);
    EXPECT_NEAR (gainDbAt (100.0, 96000.0, throughEqualiser (eq, 1.0)), 6.0, 0.1);
    EXPECT_NEAR (gainDbAt (cutHz, 96000.0, throughEqualiser (eq, 1.0)), -1.5, 0.1);
}

//==============================================================================
constexpr double lfRate = 48000.0;
constexpr double probeHz = 25.0; // deep enough below the 90 Hz shelf to see its full gain

/** Drives an LF tightener as the engine does: settings every 256 samples, a probe sine on both
    channels, and a detector envelope that jumps to 0.5 at each hit and dies away in ~25 ms. */
class LfRig
{
public:
    explicit LfRig (double depthDb = -12.0, double hitLengthMs = 500.0)
        : lfTightDb (depthDb), averageHitLengthMs (hitLengthMs)
    {
        tightener.prepare (lfRate);
        run (10.0); // quiet first, so the first hit finds the tightener armed
    }

    /** A new "LF_TIGHT" setting, taken at once as at a block start. */
    void setLfTight (double db)
    {
        lfTightDb = db;
        tightener.beginBlock (lfTightDb, DrumMode::snare, averageHitLengthMs);
    }

    /** `count` hits, `spacingMs` apart; the run ends `spacingMs` after the last. */
    void hits (int count, double spacingMs)
    {
        for (int i = 0; i < count; ++i)
        {
            hitAge = 0;
            run (spacingMs);
        }
    }

    /** Runs for a time; returns the probe's gain over it in dB. */
    double run (double ms)
    {
        double in = 0.0, out = 0.0;
        for (int i = samplesFor (ms, lfRate); --i >= 0;)
        {
            if (sample % 256 == 0)
                tightener.beginBlock (lfTightDb, DrumMode::snare, averageHitLengthMs);

            const double env = hitAge >= 0 ? 0.5 * std::exp (-hitAge / (0.01 * lfRate)) : 0.0;
            const double x = 0.25 * std::sin (2.0 * pi * probeHz * (double) sample / lfRate);
            double left = x, right = x;
            tightener.process (left, right, env, 0.9);

            in += x * x;
            out += left * left;
            maxDeviation = std::max (maxDeviation, std::abs (left - x));
            ++sample;
            if (hitAge >= 0)
                ++hitAge;
        }
        return 10.0 * std::log10 (out / in);
    }

    LfTightener tightener;
    double maxDeviation = 0.0; ///< largest |output - input| so far

private:
    double lfTightDb, averageHitLengthMs;
    std::int64_t sample = 0;
    int hitAge = -1;
};

constexpr double hitSpacingMs = 40.0; // above the snare's 30 ms onset spacing
constexpr double windowMs = 600.0; // a 500 ms average hit length + 100 ms

TEST (ToneShapingLfTight, OneHitLeavesTheSignalAlone)
{
    LfRig rig;
    rig.hits (1, windowMs - 10.0);

    EXPECT_EQ (rig.tightener.getGainDb(), 0.0);
    EXPECT_EQ (rig.maxDeviation, 0.0);
}

TEST (ToneShapingLfTight, TwoHitsInTheWindowCutAbout9dBUntilTheFirstLeavesIt)
{
    LfRig rig;
    rig.hits (2, hitSpacingMs);
    rig.run (windowMs - 2.0 * hitSpacingMs - 120.0);
    const double probeDb = rig.run (80.0); // two probe cycles, ending 40 ms before the expiry

    EXPECT_NEAR (rig.tightener.getGainDb(), -9.0, 0.5);
    EXPECT_NEAR (probeDb, rig.tightener.getGainDb(), 0.5);
    EXPECT_LT (rig.tightener.getMeter(), -7.5);

    rig.run (500.0);
    EXPECT_EQ (rig.tightener.getGainDb(), 0.0);
    EXPECT_NEAR (rig.run (80.0), 0.0, 0.05);
}

TEST (ToneShapingLfTight, TenHitsCutNearlyTheFullDepthAndLetGoAfterTheWindow)
{
    LfRig rig;
    rig.hits (10, hitSpacingMs);
    rig.hits (10, hitSpacingMs); // the count stays at its ceiling of ten
    const double probeDb = rig.run (80.0);

    EXPECT_NEAR (rig.tightener.getGainDb(), -11.6, 0.2);
    EXPECT_NEAR (probeDb, -11.6, 0.4);

    rig.run (windowMs + 300.0);
    EXPECT_EQ (rig.tightener.getGainDb(), 0.0);
    EXPECT_NEAR (rig.run (80.0), 0.0, 0.05);
}

TEST (ToneShapingLfTight, StartsAtUnityAfterResetAndWhenSwitchedOff)
{
    LfRig rig;
    rig.run (100.0);
    EXPECT_EQ (rig.tightener.getGainDb(), 0.0);
    EXPECT_EQ (rig.maxDeviation, 0.0);

    rig.hits (10, hitSpacingMs);
    ASSERT_LT (rig.tightener.getGainDb(), -9.0);
    rig.tightener.reset();
    EXPECT_EQ (rig.tightener.getGainDb(), 0.0);
    EXPECT_EQ (rig.tightener.getMeter(), 0.0);
    rig.maxDeviation = 0.0;
    rig.run (100.0);
    EXPECT_EQ (rig.maxDeviation, 0.0);

    rig.hits (10, hitSpacingMs);
    rig.setLfTight (-0.3); // off
    rig.maxDeviation = 0.0;
    rig.hits (5, hitSpacingMs);
    EXPECT_EQ (rig.tightener.getGainDb(), 0.0);
    EXPECT_EQ (rig.maxDeviation, 0.0);
}

//==============================================================================
constexpr double attackRate = 48000.0;

/** Feeds an attack enhancer the way the engine does: the level and the top-of-band high-pass
    are taken from the same (delayed) pair the enhancer shapes. */
class AttackRig
{
public:
    explicit AttackRig (double attack, double sampleRate = attackRate)
        : rate (sampleRate), highPass (rbj::highPass (sampleRate, 2000.0, 0.707))
    {
        enhancer.prepare (rate);
        enhancer.beginBlock (attack);
    }

    double step (double x, double gate = 1.0)
    {
        const double h = hState.process (highPass, x);
        double left = x, right = x;
        enhancer.process (left, right, std::abs (x), gate, h, h);
        return left;
    }

    MonoStage withoutTransients()
    {
        return [this] (double x)
        {
            double left = x, right = x;
            enhancer.process (left, right, 0.0, 1.0, 0.0, 0.0);
            return left;
        };
    }

    double rate;
    AttackEnhancer enhancer;

private:
    BiquadCoefficients highPass;
    BiquadState hState;
};

/** A snare-like hit: white noise dying away with a 15 ms time constant, cut off after 150 ms. */
std::vector<double> noiseHit (double sampleRate)
{
    std::mt19937 random (7);
    std::uniform_real_distribution<double> noise (-1.0, 1.0);
    std::vector<double> hit ((size_t) samplesFor (150.0, sampleRate));
    for (size_t n = 0; n < hit.size(); ++n)
        hit[n] = 0.8 * std::exp (-(double) n / (0.015 * sampleRate)) * noise (random);
    return hit;
}

TEST (ToneShapingAttack, OffPassesTheSignalUnchanged)
{
    for (const double attack : { 0.0, 0.01 })
    {
        AttackRig rig (attack);
        bool identical = true;
        for (const double x : noiseHit (attackRate))
            identical = identical && rig.step (x) == x;

        EXPECT_TRUE (identical) << "ATTACK " << attack;
        EXPECT_EQ (rig.enhancer.takeMeanTransient(), 0.0);
    }
}

TEST (ToneShapingAttack, FullLeavesNoOffsetAfterAHit)
{
    AttackRig rig (1.0);
    for (const double x : noiseHit (attackRate))
        rig.step (x);
    EXPECT_GT (rig.enhancer.takeMeanTransient(), 0.1) << "the hit must have been enhanced";

    for (int n = samplesFor (50.0, attackRate); --n >= 0;)
        rig.step (0.0);

    double sum = 0.0;
    const int tail = samplesFor (1000.0, attackRate);
    for (int n = 0; n < tail; ++n)
        sum += rig.step (0.0);
    EXPECT_LT (std::abs (sum / tail), 1.0e-9);
}

TEST (ToneShapingAttack, RedesignsForANewSampleRate)
{
    AttackRig fresh (1.0, 96000.0);
    const double expectedDb = gainDbAt (3500.0, 96000.0, fresh.withoutTransients());
    ASSERT_GT (expectedDb, 2.0);

    AttackRig moved (1.0, 44100.0);
    gainDbAt (3500.0, 44100.0, moved.withoutTransients());
    moved.enhancer.prepare (96000.0);
    moved.enhancer.beginBlock (1.0);
    EXPECT_NEAR (gainDbAt (3500.0, 96000.0, moved.withoutTransients()), expectedDb, 0.01);
}
} // namespace
