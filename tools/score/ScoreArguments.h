#pragma once

#include <juce_core/juce_core.h>

#include <optional>

namespace hoopvane::tools
{
/** The folders hoopvane-score works on. */
struct ScoreOptions
{
    juce::File session, rendered, pngFolder;
};

/** Parses `--session DIR --rendered RDIR [--png DIR2]` (the PNG folder defaults to RDIR).
    On failure returns nothing and sets a one-line error naming the argument. */
std::optional<ScoreOptions> parseScoreArguments (const juce::StringArray& arguments, juce::String& error);

juce::String scoreUsage();
} // namespace hoopvane::tools
