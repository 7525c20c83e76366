#pragma once

#include "CommandLine.h"

namespace hoopvane::tools::demo
{
/** Builds and writes the whole session the options describe, from the kits in `kitsFolder`.
    Returns a short summary for the user, or nothing with a one-line error. */
std::optional<juce::String> buildDemoSession (const SessionOptions& options, const juce::File& kitsFolder, juce::String& error);
} // namespace hoopvane::tools::demo
