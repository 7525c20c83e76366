#include "SyntheticTrack.h"

#include <cmath>

namespace hoopvane::tools::test
{
namespace
{
    constexpr double firstHitSeconds = 0.1;
    constexpr double hitSpacingSeconds = 0.25;
    constexpr double tailSeconds = 0.2;

    constexpr double toneHz = 120.0;
    constexpr double toneDecaySeconds = 0.02;
    constexpr float toneLevel = 0.8f;

    // The bleed burst sits where the own tone has long died away and ends before the next hit.
    constexpr double burstAfterHitSeconds = 0.15;
    constexpr double burstSeconds = 0.06;
    constexpr double burstDecaySeconds = 0.015;
    constexpr float burstLevel = 0.1f;
    constexpr double bleedPathSeconds = 0.002;

    int samplesOf (double seconds, double sampleRate)
    {
        return (int) std::lround (seconds * sampleRate);
    }

    void addTone (std::vector<float>& x, int start, double sampleRate)
    {
        for (int i = 0; i < samplesOf (hitSpacingSeconds, sampleRate) && start + i < (int) x.size(); ++i)
        {
            const double t = i / sampleRate;
            x[(size_t) (start + i)] += toneLevel * (float) (std::exp (-t / toneDecaySeconds) * std::sin (juce::MathConstants<double>::twoPi * toneHz * t));
        }
    }

    void addBurst (std::vector<float>& x, int start, double sampleRate, juce::Random& random)
    {
        for (int i = 0; i < samplesOf (burstSeconds, sampleRate) && start + i < (int) x.size(); ++i)
            x[(size_t) (start + i)] += burstLevel * (float) std::exp (-(i / sampleRate) / burstDecaySeconds) * (2.0f * random.nextFloat() - 1.0f);
    }
} // namespace

SyntheticTrack makeSyntheticTrack (int numOwnHits)
{
    SyntheticTrack track;
    const double rate = track.sampleRate;
    const auto length = (size_t) samplesOf (firstHitSeconds + numOwnHits * hitSpacingSeconds + tailSeconds, rate);
    track.own.assign (length, 0.0f);
    track.bleed.assign (length, 0.0f);

    juce::Random random (1234);
    for (int h = 0; h < numOwnHits; ++h)
    {
        const int hit = samplesOf (firstHitSeconds + h * hitSpacingSeconds, rate);
        const int burst = hit + samplesOf (burstAfterHitSeconds, rate);
        addTone (track.own, hit, rate);
        addBurst (track.bleed, burst, rate, random);
        track.ownHits.push_back (hit);
        // The other drum started on its own microphone before its bleed reached this one.
        track.otherHits.push_back (burst - samplesOf (bleedPathSeconds, rate));
    }

    track.input.resize (length);
    for (size_t i = 0; i < length; ++i)
        track.input[i] = track.own[i] + track.bleed[i];
    return track;
}

int retentionWindowLength (const SyntheticTrack& track)
{
    return samplesOf (0.05, track.sampleRate);
}

std::vector<float> gateByHits (const SyntheticTrack& track, double openDb, double closedDb)
{
    const auto gainOf = [] (double db)
    { return (float) std::pow (10.0, db / 20.0); };

    std::vector<float> gains (track.input.size(), gainOf (closedDb));
    for (const auto hit : track.ownHits)
        for (int i = 0; i < retentionWindowLength (track) && hit + i < track.numSamples(); ++i)
            gains[(size_t) (hit + i)] = gainOf (openDb);

    std::vector<float> output (track.input.size());
    for (size_t i = 0; i < output.size(); ++i)
        output[i] = track.input[i] * gains[i];
    return output;
}
} // namespace hoopvane::tools::test
