#pragma once

#include <juce_core/juce_core.h>

/** A new, empty folder under the system's temporary directory whose name no other test process
    can pick at the same time (CTest runs test processes in parallel). */
inline juce::File makeUniqueTemporaryFolder (const juce::String& prefix)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (prefix + "-" + juce::Uuid().toString());
    folder.createDirectory();
    return folder;
}
