#pragma once

#include "TrackScorer.h"

#include <common/SessionFiles.h>

namespace hoopvane::tools
{
/** A track of the session with its score. */
struct ScoredTrack
{
    TrackRecord track;
    TrackScore score;
};

/** A dB value with one decimal and its sign ("+0.0", "-38.5"), or "n/a" when nothing was
    measured. */
juce::String formatDecibels (std::optional<double> decibels);

/** One line naming the track and its three scores, for the plot title. */
juce::String describeScore (const ScoredTrack& scored);

/** The score table: a header line and one row per track with aligned columns. */
juce::String formatScoreTable (const std::vector<ScoredTrack>& tracks);
} // namespace hoopvane::tools
