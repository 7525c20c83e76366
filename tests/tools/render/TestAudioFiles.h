#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <string>

namespace hoopvane::render::test
{
/** A unique folder under the system's temporary folder, removed with everything in it. */
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();

    const juce::File& getFolder() const noexcept { return folder; }
    juce::File getChildFile (const juce::String& name) const { return folder.getChildFile (name); }

private:
    juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TemporaryFolder)
};

/** Decaying tone bursts, a crude drum: one hit every hitIntervalSeconds from 0.1 s on. */
juce::AudioBuffer<float> makeDrumTrack (int numChannels, double sampleRate, double seconds, double hitIntervalSeconds, double toneHz);

/** Writes 24-bit WAV, or AIFF when the file name ends in .aif or .aiff. */
void writeTestAudio (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate);

struct AudioInfo
{
    juce::AudioBuffer<float> audio;
    double sampleRate = 0.0;
    unsigned int bitsPerSample = 0;
    bool usesFloatingPoint = false;
};

AudioInfo readTestAudio (const juce::File& file);

struct ToolRun
{
    int exitCode = -1;
    juce::String output;
    juce::String errors;
};

/** Runs the built hoopvane-render with the arguments, capturing stdout and stderr. */
ToolRun runRenderExecutable (const juce::StringArray& arguments, const TemporaryFolder& scratch);
} // namespace hoopvane::render::test
