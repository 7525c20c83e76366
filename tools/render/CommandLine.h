#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace hoopvane::render
{
/** One FILE:MODE[:POSITION] argument. */
struct TrackRequest
{
    juce::String argument;
    juce::File file;
    juce::String mode; // kick, snare or tom
    juce::String position; // top, bottom or empty
};

struct RenderOptions
{
    static constexpr int defaultBlockSize = 256;
    static constexpr int maximumBlockSize = 32768;

    juce::File outputFolder;
    int blockSize = defaultBlockSize;
    bool learnFirst = true;
    juce::StringArray parameterAssignments; // ID=VALUE, checked against the processor later
    std::vector<TrackRequest> tracks;
    bool helpRequested = false;
};

/** Parses the arguments after the program name. Throws ToolError (usage) naming the argument
    at fault. File contents and parameter values are not checked here. */
RenderOptions parseCommandLine (const juce::StringArray& arguments);

/** Splits FILE:MODE[:POSITION], reading from the right so that a path may contain colons. */
TrackRequest parseTrackArgument (const juce::String& argument);

juce::String getUsageText();
} // namespace hoopvane::render
