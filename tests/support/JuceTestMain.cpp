#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// The plug-in's classes expect the framework to be initialised, as it is inside a host.
int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI framework;
    ::testing::InitGoogleTest (&argc, argv);
    return RUN_ALL_TESTS();
}
