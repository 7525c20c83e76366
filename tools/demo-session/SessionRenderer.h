#pragma once

#include "MicSetup.h"
#include "Performance.h"
#include "SampleBank.h"

namespace hoopvane::tools::demo
{
/** One microphone's recording in two parts: its own drum, and everything else it hears (the
    other drums, the cymbals and its noise floor). The track is their sum. */
struct TrackStems
{
    std::vector<float> own, bleed;
};

/** Records the performance on every mic: each drum is played once from the bank, then reaches
    each mic through that mic's path. The whole session is turned down together if a track
    would clip, so own + bleed stays the track. */
std::vector<TrackStems> recordSession (const Performance& performance,
                                       const SampleBank& bank,
                                       const std::vector<MicSetup>& mics,
                                       juce::int64 lengthSamples,
                                       SeededRandom& noiseRandom);

/** The highest peak any track reaches. */
constexpr float sessionPeakLimit = 0.89f; // -1 dBFS
constexpr float noiseFloorDb = -70.0f;
} // namespace hoopvane::tools::demo
