#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class HoopvaneAudioProcessor;

/** The plug-in window: a fixed 440 x 745 panel that paints every control itself. */
class HoopvaneEditor : public juce::AudioProcessorEditor
{
public:
    static constexpr int windowWidth = 440;
    static constexpr int windowHeight = 745;

    explicit HoopvaneEditor (HoopvaneAudioProcessor& processor);

    void paint (juce::Graphics& g) override;

private:
    HoopvaneAudioProcessor& processor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HoopvaneEditor)
};
