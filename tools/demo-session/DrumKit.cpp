#include "DrumKit.h"

#include "InstrumentRoles.h"

namespace hoopvane::tools::demo
{
namespace
{
    const juce::String kitFileName = "drumkit.xml";

    /** The sample formats the shared reader opens (the framework is built without FLAC). */
    bool isReadableSample (const juce::File& file)
    {
        return file.existsAsFile() && file.hasFileExtension ("wav;aif;aiff");
    }

    KitLayer readLayer (const juce::XmlElement& layer, const juce::File& kitFolder)
    {
        KitLayer result;
        result.file = kitFolder.getChildFile (layer.getChildElementAllSubText ("filename", {}).trim());
        result.minVelocity = layer.getChildElementAllSubText ("min", "0").getFloatValue();
        result.maxVelocity = layer.getChildElementAllSubText ("max", "1").getFloatValue();
        if (auto* gain = layer.getChildByName ("gain"))
            result.gain = gain->getAllSubText().getFloatValue();
        return result;
    }

    /** Layers sit directly in the instrument or inside its components; the older format has
        one file on the instrument itself. */
    std::vector<KitLayer> readLayers (const juce::XmlElement& instrument, const juce::File& kitFolder)
    {
        std::vector<KitLayer> layers;
        for (auto* child : instrument.getChildIterator())
        {
            if (child->hasTagName ("layer"))
                layers.push_back (readLayer (*child, kitFolder));
            else if (child->hasTagName ("instrumentComponent"))
                for (auto* layer : child->getChildWithTagNameIterator ("layer"))
                    layers.push_back (readLayer (*layer, kitFolder));
        }

        const auto singleFile = instrument.getChildElementAllSubText ("filename", {}).trim();
        if (layers.empty() && singleFile.isNotEmpty())
            layers.push_back ({ kitFolder.getChildFile (singleFile) });
        return layers;
    }

    bool allLayersReadable (const KitInstrument& instrument, juce::String& error)
    {
        for (const auto& layer : instrument.layers)
        {
            if (! isReadableSample (layer.file))
            {
                error = "the sample " + layer.file.getFullPathName() + " of \"" + instrument.name + "\" is missing or not a WAV or AIFF file";
                return false;
            }
        }
        return true;
    }

    /** Gives every drum the first instrument that plays it; false names a drum with none. */
    bool assignInstruments (const juce::XmlElement& list, const juce::File& kitFolder, DrumKit& kit, juce::String& error)
    {
        std::array<bool, drumCount> found {};
        for (auto* element : list.getChildWithTagNameIterator ("instrument"))
        {
            const KitInstrument instrument { element->getChildElementAllSubText ("name", {}).trim(), readLayers (*element, kitFolder) };
            const auto role = roleOfInstrument (instrument.name);
            if (! role.has_value() || instrument.layers.empty())
                continue;

            if (role->openHiHat)
            {
                if (! kit.openHiHat.has_value())
                    kit.openHiHat = instrument;
                continue;
            }

            const auto index = (size_t) indexOf (role->drum);
            if (! found[index])
                kit.drums[index] = instrument;
            found[index] = true;
        }

        for (auto drum : allDrums)
        {
            if (! found[(size_t) indexOf (drum)])
            {
                error = "the kit \"" + kit.name + "\" has no " + drumDescription (drum);
                return false;
            }
        }
        return true;
    }
} // namespace

std::optional<DrumKit> readDrumKit (const juce::File& kitFolder, juce::String& error)
{
    const auto kitFile = kitFolder.getChildFile (kitFileName);
    const auto xml = juce::XmlDocument::parse (kitFile);
    const auto* list = xml != nullptr ? xml->getChildByName ("instrumentList") : nullptr;
    if (list == nullptr)
    {
        error = "cannot read " + kitFile.getFullPathName() + ": not a Hydrogen drum kit";
        return std::nullopt;
    }

    DrumKit kit;
    kit.name = kitFolder.getFileName();
    if (! assignInstruments (*list, kitFolder, kit, error))
        return std::nullopt;

    for (auto drum : allDrums)
        if (! allLayersReadable (kit.instrumentFor (drum), error))
            return std::nullopt;

    // The open hi-hat is a nicety: without readable samples the session plays closed only.
    juce::String openHatError;
    if (kit.openHiHat.has_value() && ! allLayersReadable (*kit.openHiHat, openHatError))
        kit.openHiHat.reset();
    return kit;
}
} // namespace hoopvane::tools::demo
