#include "AudioFiles.h"

namespace hoopvane::tools
{
std::optional<AudioData> readAudioFile (const juce::File& file, juce::String& error)
{
    if (! file.existsAsFile())
    {
        error = "cannot read " + file.getFullPathName() + ": no such file";
        return std::nullopt;
    }

    juce::AudioFormatManager formats;
    formats.registerFormat (new juce::WavAudioFormat(), true);
    formats.registerFormat (new juce::AiffAudioFormat(), false);

    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    if (reader == nullptr)
    {
        error = "cannot read " + file.getFullPathName() + ": not a WAV or AIFF audio file";
        return std::nullopt;
    }

    if (reader->lengthInSamples > std::numeric_limits<int>::max() || reader->numChannels == 0)
    {
        error = "cannot read " + file.getFullPathName() + ": unsupported length or channel count";
        return std::nullopt;
    }

    AudioData data;
    data.sampleRate = reader->sampleRate;
    data.buffer.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    if (! reader->read (&data.buffer, 0, (int) reader->lengthInSamples, 0, true, true))
    {
        error = "cannot read " + file.getFullPathName() + ": the audio data is damaged";
        return std::nullopt;
    }

    return data;
}

bool writeFloatWav (const juce::File& file, const juce::AudioBuffer<float>& buffer, double sampleRate, juce::String& error)
{
    const auto temporary = file.getSiblingFile ("." + file.getFileName() + ".partial");
    temporary.deleteFile();

    {
        std::unique_ptr<juce::OutputStream> stream = std::make_unique<juce::FileOutputStream> (temporary);
        if (! static_cast<juce::FileOutputStream*> (stream.get())->openedOk())
        {
            error = "cannot write " + file.getFullPathName() + ": the folder is not writable";
            return false;
        }

        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (stream.get(), sampleRate, (unsigned int) buffer.getNumChannels(), 32, {}, 0));
        if (writer == nullptr)
        {
            temporary.deleteFile();
            error = "cannot write " + file.getFullPathName() + ": unsupported format";
            return false;
        }
        stream.release(); // the writer owns the stream now

        const bool written = writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples());
        writer.reset();
        if (! written)
        {
            temporary.deleteFile();
            error = "cannot write " + file.getFullPathName() + ": the disk refused the data";
            return false;
        }
    }

    if (! temporary.moveFileTo (file))
    {
        temporary.deleteFile();
        error = "cannot write " + file.getFullPathName() + ": renaming the finished file failed";
        return false;
    }
    return true;
}
} // namespace hoopvane::tools
