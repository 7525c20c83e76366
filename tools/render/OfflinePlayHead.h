#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace hoopvane::render
{
/** The transport of an offline render: always playing, at the start of the current block. */
class OfflinePlayHead : public juce::AudioPlayHead
{
public:
    void setTimeInSamples (juce::int64 samples) noexcept { timeInSamples = samples; }

    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setTimeInSamples (timeInSamples);
        info.setIsPlaying (true);
        return info;
    }

private:
    juce::int64 timeInSamples = 0;
};
} // namespace hoopvane::render
