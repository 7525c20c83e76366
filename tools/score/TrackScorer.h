#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

namespace hoopvane::tools
{
/** How a rendered microphone track compares with its input, in dB (output relative to input).
    A value is empty when the session offers nothing to measure it on, such as a track without
    own hits or without any bleed-only stretch. */
struct TrackScore
{
    int scoredHits = 0;
    std::optional<double> retentionMeanDb;
    std::optional<double> retentionWorstDb;
    std::optional<double> suppressionDb;
    std::optional<double> attackMeanDb;
    double bleedOnlySeconds = 0.0;
};

/** Scores one track. `input` is the microphone track, `own` and `bleed` its two stems (own +
    bleed = input), `output` the rendered track aligned with the input, all `numSamples` long.
    `ownHits` are the sample indices where the track's own drum starts on this microphone. */
TrackScore scoreTrack (const float* input,
                       const float* output,
                       const float* own,
                       const float* bleed,
                       int numSamples,
                       double sampleRate,
                       const std::vector<juce::int64>& ownHits);
} // namespace hoopvane::tools
