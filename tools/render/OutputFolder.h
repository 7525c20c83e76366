#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace hoopvane::render
{
/** The output folder of one run. Unless keep() is called, the destructor removes every file
    this run wrote, and the folders this run created, so a failed run leaves
    nothing behind. */
class OutputFolder
{
public:
    /** Creates the folder when missing and checks that files can be written in it. Throws
        ToolError (failure) naming the folder. */
    explicit OutputFolder (const juce::File& folder);
    ~OutputFolder();

    /** Writes a 32-bit float WAV. Throws ToolError (failure) naming the file. */
    void write (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate);

    void keep() noexcept { kept = true; }

private:
    void create();
    void checkWritable();
    void removeCreatedFolders();

    juce::File folder;
    juce::Array<juce::File> createdFolders; // deepest first
    bool kept = false;
    juce::Array<juce::File> written;

    JUCE_DECLARE_NON_COPYABLE (OutputFolder)
};
} // namespace hoopvane::render
