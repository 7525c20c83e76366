#pragma once

#include "DrumKit.h"

namespace hoopvane::tools::demo
{
/** The installed Hydrogen drum kits: one folder per kit, each with a drumkit.xml. */
class KitLibrary
{
public:
    /** Where Debian's hydrogen-drumkits package installs the kits. */
    static juce::File defaultFolder() { return juce::File ("/usr/share/hydrogen/data/drumkits"); }

    explicit KitLibrary (juce::File folderToUse) : folder (std::move (folderToUse)) {}

    /** The kits that provide every drum of the session in readable samples, sorted by name. */
    juce::StringArray usableKitNames() const;

    /** Loads a kit by its folder name (the case may differ). Fails with a one-line error: the
        package is missing, the kit is unknown (the message lists the usable kits) or it lacks
        a drum. */
    std::optional<DrumKit> load (const juce::String& kitName, juce::String& error) const;

private:
    juce::Array<juce::File> kitFolders() const;

    juce::File folder;
};
} // namespace hoopvane::tools::demo
