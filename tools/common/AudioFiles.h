#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <optional>

namespace hoopvane::tools
{
/** An audio file in memory. */
struct AudioData
{
    juce::AudioBuffer<float> buffer;
    double sampleRate = 0.0;
};

/** Reads a WAV or AIFF file. On failure returns nothing and sets a one-line error that names
    the file. */
std::optional<AudioData> readAudioFile (const juce::File& file, juce::String& error);

/** Writes a 32-bit float WAV. The data goes to a temporary file beside the target that is
    renamed over it only when complete, so a failure never leaves a partial file behind. */
bool writeFloatWav (const juce::File& file, const juce::AudioBuffer<float>& buffer, double sampleRate, juce::String& error);
} // namespace hoopvane::tools
