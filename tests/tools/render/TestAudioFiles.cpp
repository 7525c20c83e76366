#include "TestAudioFiles.h"
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <sys/wait.h>

namespace hoopvane::render::test
{
TemporaryFolder::TemporaryFolder()
    : folder (makeUniqueTemporaryFolder ("hoopvane-render-test"))
{
    folder.createDirectory();
}

TemporaryFolder::~TemporaryFolder()
{
    folder.deleteRecursively();
}

juce::AudioBuffer<float> makeDrumTrack (int numChannels, double sampleRate, double seconds, double hitIntervalSeconds, double toneHz)
{
    constexpr double firstHitSeconds = 0.1;
    constexpr double decaySeconds = 0.08;
    constexpr double peak = 0.7;

    juce::AudioBuffer<float> audio (numChannels, (int) (seconds * sampleRate));
    audio.clear();
    for (double hit = firstHitSeconds; hit < seconds; hit += hitIntervalSeconds)
    {
        const int start = (int) (hit * sampleRate);
        const int length = std::min (audio.getNumSamples() - start, (int) (5.0 * decaySeconds * sampleRate));
        for (int i = 0; i < length; ++i)
        {
            const double t = i / sampleRate;
            const auto value = (float) (peak * std::exp (-t / decaySeconds) * std::sin (juce::MathConstants<double>::twoPi * toneHz * t));
            for (int channel = 0; channel < numChannels; ++channel)
                audio.setSample (channel, start + i, value);
        }
    }
    return audio;
}

void writeTestAudio (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
{
    std::unique_ptr<juce::AudioFormat> format;
    if (file.hasFileExtension ("aif;aiff"))
        format = std::make_unique<juce::AiffAudioFormat>();
    else
        format = std::make_unique<juce::WavAudioFormat>();

    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    std::unique_ptr<juce::AudioFormatWriter> writer (format->createWriterFor (stream.get(), sampleRate, (unsigned int) audio.getNumChannels(), 24, {}, 0));
    jassert (writer != nullptr);
    stream.release();
    writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}

AudioInfo readTestAudio (const juce::File& file)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    AudioInfo info;
    if (reader == nullptr)
        return info;

    info.sampleRate = reader->sampleRate;
    info.bitsPerSample = reader->bitsPerSample;
    info.usesFloatingPoint = reader->usesFloatingPointData;
    info.audio.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    reader->read (&info.audio, 0, (int) reader->lengthInSamples, 0, true, true);
    return info;
}

namespace
{
    juce::String shellQuoted (const juce::String& text)
    {
        return "'" + text.replace ("'", "'\\''") + "'";
    }
} // namespace

ToolRun runRenderExecutable (const juce::StringArray& arguments, const TemporaryFolder& scratch)
{
    const auto outputFile = scratch.getChildFile ("tool.stdout");
    const auto errorFile = scratch.getChildFile ("tool.stderr");

    auto command = shellQuoted (TOOL_PATH);
    for (const auto& argument : arguments)
        command << " " << shellQuoted (argument);
    command << " >" << shellQuoted (outputFile.getFullPathName()) << " 2>" << shellQuoted (errorFile.getFullPathName());

    const int status = std::system (command.toRawUTF8());

    ToolRun run;
    run.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
    run.output = outputFile.loadFileAsString();
    run.errors = errorFile.loadFileAsString();
    outputFile.deleteFile();
    errorFile.deleteFile();
    return run;
}
} // namespace hoopvane::render::test
