#include "RenderTool.h"

#include "CommandLine.h"
#include "OutputFolder.h"
#include "ProgressBar.h"
#include "SessionInputs.h"
#include "SessionRender.h"
#include "ToolError.h"
#include "TrackSetup.h"

namespace hoopvane::render
{
namespace
{
    using Processors = std::vector<std::unique_ptr<HoopvaneAudioProcessor>>;

    std::vector<ParameterSetting> parseSharedSettings (const juce::StringArray& assignments)
    {
        // The texts are read against a spare instance before any track is set up.
        HoopvaneAudioProcessor reference;
        std::vector<ParameterSetting> settings;
        for (const auto& assignment : assignments)
            settings.push_back (parseParameterAssignment (reference.getParameterState(), assignment));
        return settings;
    }

    Processors createProcessors (const SessionInputs& inputs, const std::vector<ParameterSetting>& sharedSettings)
    {
        Processors processors;
        for (const auto& track : inputs.tracks)
            processors.push_back (createTrackProcessor (track.request, sharedSettings, track.audio.getNumChannels()));
        return processors;
    }

    std::vector<juce::AudioBuffer<float>> renderWithProgress (const Processors& processors,
                                                              const SessionInputs& inputs,
                                                              const RenderOptions& options,
                                                              ProgressBar& progressBar)
    {
        std::vector<HoopvaneAudioProcessor*> instances;
        std::vector<const juce::AudioBuffer<float>*> audio;
        for (size_t i = 0; i < processors.size(); ++i)
        {
            instances.push_back (processors[i].get());
            audio.push_back (&inputs.tracks[i].audio);
        }

        const SessionSettings settings { inputs.sampleRate, options.blockSize, options.learnFirst };
        auto outputs = renderSession (instances, audio, settings, [&] (RenderPhase phase, double fraction)
                                      { progressBar.update (fraction, phase == RenderPhase::learning ? "learning" : "rendering"); });
        progressBar.finish();
        return outputs;
    }

    juce::String describeMode (const TrackRequest& request)
    {
        return request.position.isEmpty() ? request.mode : request.mode + " " + request.position;
    }

    void printSummary (std::ostream& out, const SessionInputs& inputs, const Processors& processors, double wallSeconds)
    {
        int nameWidth = 0;
        for (const auto& track : inputs.tracks)
            nameWidth = std::max (nameWidth, track.name.length());

        double audioSeconds = 0.0;
        for (size_t i = 0; i < processors.size(); ++i)
        {
            const auto& track = inputs.tracks[i];
            const auto seconds = track.audio.getNumSamples() / inputs.sampleRate;
            const bool learned = processors[i]->getEngine().getLearning().isLearned();
            audioSeconds += seconds;

            out << track.name.paddedRight (' ', nameWidth + 2) << describeMode (track.request).paddedRight (' ', 14)
                << "learned " << (learned ? "yes" : "no ") << juce::String (seconds, 2).paddedLeft (' ', 10) << " s\n";
        }

        const auto speed = audioSeconds / std::max (wallSeconds, 1.0e-6);
        out << "render speed: " << juce::String (speed, 1) << " s of audio per second (" << juce::String (audioSeconds, 2)
            << " s of audio in " << juce::String (wallSeconds, 2) << " s)\n";
    }

    int renderFiles (const RenderOptions& options, std::ostream& out, std::ostream& err, bool showProgress)
    {
        // Everything that can be checked is checked before the first file is written.
        const auto sharedSettings = parseSharedSettings (options.parameterAssignments);
        checkOutputNames (options.tracks, options.outputFolder);
        const auto inputs = readSessionInputs (options.tracks, options.outputFolder);
        const auto processors = createProcessors (inputs, sharedSettings);
        OutputFolder folder (options.outputFolder);

        const auto started = juce::Time::getMillisecondCounterHiRes();
        ProgressBar progressBar (err, showProgress);
        const auto outputs = renderWithProgress (processors, inputs, options, progressBar);
        const auto wallSeconds = (juce::Time::getMillisecondCounterHiRes() - started) / 1000.0;

        for (size_t i = 0; i < outputs.size(); ++i)
            folder.write (inputs.tracks[i].outputFile, outputs[i], inputs.sampleRate);
        folder.keep();

        printSummary (out, inputs, processors, wallSeconds);
        return 0;
    }

    int reportError (std::ostream& err, const char* message, int exitCode)
    {
        err << "hoopvane-render: " << message << std::endl;
        return exitCode;
    }
} // namespace

int runRenderTool (const juce::StringArray& arguments, std::ostream& out, std::ostream& err, bool showProgress)
{
    try
    {
        const auto options = parseCommandLine (arguments);
        if (options.helpRequested)
        {
            out << getUsageText();
            return 0;
        }
        return renderFiles (options, out, err, showProgress);
    }
    catch (const ToolError& error)
    {
        return reportError (err, error.what(), error.getExitCode());
    }
    catch (const std::exception& error)
    {
        return reportError (err, error.what(), ToolError::failureExitCode);
    }
}
} // namespace hoopvane::render
