#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

// JUCE's LV2 host is built on lilv, like Ardour's and Carla's: the bundle's Turtle files must
// describe the binary exactly for it to load.
TEST (Lv2Host, LoadsTheBundleByItsUriAndProcessesAudio)
{
    const juce::File bundle { HOOPVANE_LV2_BUNDLE };
    ASSERT_TRUE (bundle.isDirectory()) << bundle.getFullPathName();

    juce::LV2PluginFormat format;
    const auto uris = format.searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), true, false);
    ASSERT_TRUE (uris.contains (HOOPVANE_LV2_URI)) << uris.joinIntoString (", ");

    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, HOOPVANE_LV2_URI);
    ASSERT_EQ (types.size(), 1);
    EXPECT_EQ (types[0]->name, "Hoopvane");

    juce::String error;
    auto plugin = format.createInstanceFromDescription (*types[0], 48000.0, 256, error);
    ASSERT_NE (plugin, nullptr) << error;
    EXPECT_GE (plugin->getParameters().size(), 29);

    // "RANGE" 0 dB: the gate cannot reduce, so the impulse shows the plain look-ahead delay.
    for (auto* parameter : plugin->getParameters())
        if (parameter->getName (32) == "Range")
            parameter->setValueNotifyingHost (1.0f);
    // An LV2 host connects every port the Turtle files declare, the side chain included.
    plugin->enableAllBuses();
    plugin->prepareToPlay (48000.0, 256);
    juce::AudioBuffer<float> buffer (std::max (plugin->getTotalNumInputChannels(), plugin->getTotalNumOutputChannels()), 256);
    buffer.clear();
    buffer.setSample (0, 10, 0.5f);
    juce::MidiBuffer midi;
    plugin->processBlock (buffer, midi);

    const auto peak = buffer.getMagnitude (0, 0, 256);
    EXPECT_NEAR (peak, 0.5f, 0.01f);
    EXPECT_NEAR (std::abs (buffer.getSample (0, 10 + 48)), 0.5f, 0.01f);
    plugin->releaseResources();
}
