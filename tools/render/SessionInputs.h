#pragma once

#include "CommandLine.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

namespace hoopvane::render
{
struct InputTrack
{
    TrackRequest request;
    juce::String name; // the file name without extension
    juce::File outputFile;
    juce::AudioBuffer<float> audio;
};

struct SessionInputs
{
    std::vector<InputTrack> tracks;
    double sampleRate = 0.0;
};

/** The output file of a track: its file name in the output folder, as a WAV. */
juce::File getOutputFile (const TrackRequest& request, const juce::File& outputFolder);

/** Throws ToolError (usage) when two tracks would write the same output file or an output
    would replace an input. */
void checkOutputNames (const std::vector<TrackRequest>& requests, const juce::File& outputFolder);

/** Reads every track and checks that all are mono or stereo and share one sample rate.
    Throws ToolError (failure) naming the file at fault. */
SessionInputs readSessionInputs (const std::vector<TrackRequest>& requests, const juce::File& outputFolder);
} // namespace hoopvane::render
