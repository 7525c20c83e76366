#include "TrackSetup.h"

#include "ToolError.h"
#include "processor/ParameterIds.h"

namespace hoopvane::render
{
namespace
{
    void applyTrackSettings (HoopvaneAudioProcessor& processor, const TrackRequest& request)
    {
        auto& state = processor.getParameterState();
        applyParameterSetting (state, parseParameterValue (state, paramId::mode, request.mode));
        if (request.position.isNotEmpty())
            applyParameterSetting (state, parseParameterValue (state, paramId::snarePos, request.position));
    }

    void setMainBusLayout (HoopvaneAudioProcessor& processor, const TrackRequest& request, int numChannels)
    {
        const auto set = juce::AudioChannelSet::canonicalChannelSet (numChannels);
        auto layout = processor.getBusesLayout();
        layout.getChannelSet (true, 0) = set;
        layout.getChannelSet (false, 0) = set;

        if (! processor.setBusesLayout (layout))
            throw ToolError::failure ("cannot render " + request.file.getFullPathName() + ": " + juce::String (numChannels)
                                      + " channels are not supported (mono or stereo only)");
    }
} // namespace

std::unique_ptr<HoopvaneAudioProcessor> createTrackProcessor (const TrackRequest& request,
                                                              const std::vector<ParameterSetting>& sharedSettings,
                                                              int numChannels)
{
    auto processor = std::make_unique<HoopvaneAudioProcessor>();
    for (const auto& setting : sharedSettings)
        applyParameterSetting (processor->getParameterState(), setting);

    // The track's own mode wins over a MODE given for all tracks.
    applyTrackSettings (*processor, request);
    setMainBusLayout (*processor, request, numChannels);
    return processor;
}
} // namespace hoopvane::render
