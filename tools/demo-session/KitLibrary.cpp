#include "KitLibrary.h"

namespace hoopvane::tools::demo
{
juce::Array<juce::File> KitLibrary::kitFolders() const
{
    juce::Array<juce::File> kits;
    for (const auto& child : folder.findChildFiles (juce::File::findDirectories, false))
        if (child.getChildFile ("drumkit.xml").existsAsFile())
            kits.add (child);

    kits.sort();
    return kits;
}

juce::StringArray KitLibrary::usableKitNames() const
{
    juce::StringArray names;
    for (const auto& kitFolder : kitFolders())
    {
        juce::String ignored;
        if (readDrumKit (kitFolder, ignored).has_value())
            names.add (kitFolder.getFileName());
    }
    return names;
}

std::optional<DrumKit> KitLibrary::load (const juce::String& kitName, juce::String& error) const
{
    const auto folders = kitFolders();
    if (folders.isEmpty())
    {
        error = "no Hydrogen drum kits in " + folder.getFullPathName() + ": install them with \"sudo apt-get install hydrogen-drumkits\"";
        return std::nullopt;
    }

    for (const auto& kitFolder : folders)
    {
        if (kitFolder.getFileName().equalsIgnoreCase (kitName))
        {
            auto kit = readDrumKit (kitFolder, error);
            if (! kit.has_value())
                error += "; kits with every drum: " + usableKitNames().joinIntoString (", ");
            return kit;
        }
    }

    error = "unknown kit \"" + kitName + "\"; available kits: " + usableKitNames().joinIntoString (", ");
    return std::nullopt;
}
} // namespace hoopvane::tools::demo
