#pragma once

#include <juce_core/juce_core.h>

#include <optional>

namespace hoopvane::tools::demo
{
struct SessionOptions
{
    juce::File outputFolder;
    juce::String kitName = "ForzeeStereo";
    std::uint32_t seed = 1;
    double seconds = 30.0;
    std::optional<double> sampleRate; // empty: the kit's own rate
    bool helpRequested = false;
};

/** Parses the arguments after the program name. On a wrong argument returns nothing and sets
    a one-line error that names it. */
std::optional<SessionOptions> parseCommandLine (const juce::StringArray& arguments, juce::String& error);

juce::String getUsageText();

/** Exit codes: a wrong command line, and a failure while building the session. */
constexpr int usageExitCode = 2;
constexpr int failureExitCode = 1;
} // namespace hoopvane::tools::demo
