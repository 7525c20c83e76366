#pragma once

#include "SessionDrums.h"

#include <array>
#include <optional>
#include <vector>

namespace hoopvane::tools::demo
{
/** One velocity layer of a kit instrument: its sample and the velocity range (0 … 1, as in
    Hydrogen) it plays. `gain` is the kit author's level trim for the layer. */
struct KitLayer
{
    juce::File file;
    float minVelocity = 0.0f;
    float maxVelocity = 1.0f;
    float gain = 1.0f;
};

struct KitInstrument
{
    juce::String name;
    std::vector<KitLayer> layers;
};

/** The instruments of a Hydrogen kit the session plays, one per drum, plus the open hi-hat
    when the kit has one. */
struct DrumKit
{
    juce::String name;
    std::array<KitInstrument, drumCount> drums;
    std::optional<KitInstrument> openHiHat;

    const KitInstrument& instrumentFor (Drum drum) const { return drums[(size_t) indexOf (drum)]; }
};

/** Reads a kit folder's drumkit.xml (both the layered format and the older one with a single
    file per instrument) and picks the first instrument for every drum. Fails with a one-line
    error when the file is missing or damaged, a drum has no instrument, or a sample is missing
    or in a format the session cannot read. */
std::optional<DrumKit> readDrumKit (const juce::File& kitFolder, juce::String& error);
} // namespace hoopvane::tools::demo
