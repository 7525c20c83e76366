#include "SessionInputs.h"

#include "ToolError.h"
#include "common/AudioFiles.h"

namespace hoopvane::render
{
namespace
{
    constexpr int maximumChannels = 2;

    InputTrack readTrack (const TrackRequest& request, const juce::File& outputFolder, double& sampleRate)
    {
        if (request.file.isDirectory())
            throw ToolError::failure ("cannot read " + request.file.getFullPathName() + ": it is a folder, not an audio file");

        juce::String error;
        auto data = tools::readAudioFile (request.file, error);
        if (! data)
            throw ToolError::failure (error);

        const auto path = request.file.getFullPathName();
        if (data->buffer.getNumChannels() > maximumChannels)
            throw ToolError::failure ("cannot render " + path + ": " + juce::String (data->buffer.getNumChannels())
                                      + " channels (mono or stereo only)");
        if (data->buffer.getNumSamples() == 0)
            throw ToolError::failure ("cannot render " + path + ": the file holds no audio");
        if (sampleRate > 0.0 && data->sampleRate != sampleRate)
            throw ToolError::failure ("cannot render " + path + ": its sample rate " + juce::String (data->sampleRate)
                                      + " Hz differs from the first track's " + juce::String (sampleRate) + " Hz");

        sampleRate = data->sampleRate;
        return { request, request.file.getFileNameWithoutExtension(), getOutputFile (request, outputFolder), std::move (data->buffer) };
    }
} // namespace

juce::File getOutputFile (const TrackRequest& request, const juce::File& outputFolder)
{
    return outputFolder.getChildFile (request.file.getFileNameWithoutExtension() + ".wav");
}

void checkOutputNames (const std::vector<TrackRequest>& requests, const juce::File& outputFolder)
{
    for (size_t i = 0; i < requests.size(); ++i)
    {
        const auto output = getOutputFile (requests[i], outputFolder);
        for (const auto& other : requests)
            if (output == other.file)
                throw ToolError::usage ("track " + requests[i].argument.quoted() + " would overwrite the input "
                                        + other.file.getFullPathName() + ": choose another --out folder");

        for (size_t j = 0; j < i; ++j)
            if (output == getOutputFile (requests[j], outputFolder))
                throw ToolError::usage ("tracks " + requests[j].argument.quoted() + " and " + requests[i].argument.quoted()
                                        + " would both write " + output.getFullPathName());
    }
}

SessionInputs readSessionInputs (const std::vector<TrackRequest>& requests, const juce::File& outputFolder)
{
    SessionInputs inputs;
    for (const auto& request : requests)
        inputs.tracks.push_back (readTrack (request, outputFolder, inputs.sampleRate));
    return inputs;
}
} // namespace hoopvane::render
