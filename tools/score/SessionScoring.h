#pragma once

#include "ScoreArguments.h"
#include "ScoreTable.h"

namespace hoopvane::tools
{
/** Scores every track listed in the session's tracks.csv against its rendered file and writes
    <track>.png per track into the PNG folder. Stops at the first file that is missing,
    unreadable or of a mismatched length or rate, with a one-line error naming it. */
bool scoreSession (const ScoreOptions& options, std::vector<ScoredTrack>& scored, juce::String& error);
} // namespace hoopvane::tools
