#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace hoopvane::tools::test
{
/** A microphone track with known answers: decaying low tones for the own drum, and noise bursts
    from another drum as bleed, well apart from the own hits. */
struct SyntheticTrack
{
    double sampleRate = 48000.0;
    std::vector<float> own, bleed, input;
    std::vector<juce::int64> ownHits, otherHits;

    int numSamples() const { return (int) input.size(); }
};

SyntheticTrack makeSyntheticTrack (int numOwnHits);

/** The 50 ms after an own hit, the window the retention score measures. */
int retentionWindowLength (const SyntheticTrack& track);

/** A gate driven by the true hit list: `openDb` during the 50 ms after each own hit, `closedDb`
    everywhere else. */
std::vector<float> gateByHits (const SyntheticTrack& track, double openDb, double closedDb);
} // namespace hoopvane::tools::test
