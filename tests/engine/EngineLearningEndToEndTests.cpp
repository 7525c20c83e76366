#include "EngineHarness.h"
#include "engine/Biquad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr double pi = 3.14159265358979323846;
constexpr int hitSpacing = 24000; // 500 ms

/** A floor tom: a 110 Hz body with its first overtone and a short stick click, decaying fast. */
void addTomHit (std::vector<float>& track, int start, double amplitude)
{
    std::mt19937 random ((unsigned) start);
    std::normal_distribution<double> click (0.0, 1.0);
    for (int n = 0; n < 20000 && start + n < (int) track.size(); ++n)
    {
        const double t = n / sampleRate;
        const double body = std::sin (2 * pi * 110.0 * t) + 0.4 * std::sin (2 * pi * 220.0 * t);
        const double stick = n < 96 ? 0.3 * click (random) * (1.0 - n / 96.0) : 0.0;
        track[(size_t) (start + n)] += (float) (amplitude * (body * std::exp (-t / 0.12) + stick));
    }
}

/** Cymbal wash reaching the tom microphone: mid-band noise that swells in over 25 ms. Its peaks
    come within a few dB of the tom's threshold, so a gate working on level alone opens on it. */
void addCymbalWash (std::vector<float>& track, int start, double amplitude)
{
    std::mt19937 random ((unsigned) start + 7u);
    std::normal_distribution<double> noise (0.0, 1.0);
    hoopvane::Biquad band;
    band.setCoefficients (hoopvane::rbj::bandPass (sampleRate, 2500.0, 0.7));
    for (int n = 0; n < 24000 && start + n < (int) track.size(); ++n)
    {
        const double t = n / sampleRate;
        const double swell = std::min (1.0, t / 0.025) * std::exp (-t / 0.3);
        track[(size_t) (start + n)] += (float) (amplitude * band.process (noise (random)) * swell);
    }
}

double energy (const std::vector<float>& x, int start, int length)
{
    double sum = 0.0;
    for (int n = start; n < start + length; ++n)
        sum += (double) x[(size_t) n] * x[(size_t) n];
    return sum;
}
} // namespace

// The plug-in's main job on one instance: learn a drum from eight hits, then let its hits through
// and hold a clearly different bleed sound down by "RANGE", where level alone would let it in.
TEST (EngineLearning, LearnsADrumFromEightHitsThenGatesBleedByRange)
{
    EngineHarness harness (sampleRate, 256);
    harness.parameters.rangeDb = -18.0f;
    harness.parameters.learn = true;

    std::vector<float> calibration ((size_t) (9 * hitSpacing), 0.0f);
    for (int hit = 0; hit < 8; ++hit)
        addTomHit (calibration, hitSpacing / 2 + hit * hitSpacing, 0.5);
    harness.runMono (calibration);

    const auto& learning = harness.engine.getLearning();
    ASSERT_TRUE (learning.isLearned());
    EXPECT_EQ (learning.getLearnHitCount(), 8);
    EXPECT_TRUE (hoopvane::EngineExports::consume (harness.engine.getExports().learnCompletedEvent));
    EXPECT_TRUE (hoopvane::EngineExports::consume (harness.engine.getExports().linkRequestEvent));

    harness.parameters.learn = false;
    // Each wash comes a second after a tom hit, once the gate has had time to close.
    constexpr int pairs = 4;
    std::vector<float> performance ((size_t) ((2 * pairs + 1) * 2 * hitSpacing), 0.0f);
    for (int pair = 0; pair < pairs; ++pair)
    {
        addTomHit (performance, (2 * pair + 1) * 2 * hitSpacing, 0.45);
        addCymbalWash (performance, (2 * pair + 2) * 2 * hitSpacing, 0.045);
    }
    const auto output = harness.runMono (performance);

    // The same performance through an instance that has learned nothing: level alone.
    EngineHarness unlearned (sampleRate, 256);
    unlearned.parameters.rangeDb = -18.0f;
    const auto levelOnly = unlearned.runMono (performance);

    const int latency = harness.engine.getLatency();
    auto gainDb = [&] (const std::vector<float>& out, int start, double seconds)
    {
        const int window = (int) (seconds * sampleRate);
        return 10.0 * std::log10 (energy (out, start + latency, window) / energy (performance, start, window));
    };

    for (int pair = 0; pair < pairs; ++pair)
    {
        const int drum = (2 * pair + 1) * 2 * hitSpacing;
        const int bleed = (2 * pair + 2) * 2 * hitSpacing;

        EXPECT_GT (gainDb (output, drum, 0.05), -1.0) << "drum hit " << pair;
        EXPECT_LT (gainDb (output, bleed, 0.2), -15.0) << "cymbal wash " << pair;
        EXPECT_GT (gainDb (output, bleed, 0.2), -18.0 - 1.0) << "cymbal wash " << pair << " never goes below RANGE";
        EXPECT_GT (gainDb (levelOnly, bleed, 0.2), -9.0) << "without learning, level alone lets it in";
    }
}
