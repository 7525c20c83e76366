#include "MicSetup.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace hoopvane::tools::demo
{
namespace
{
    using DrumRow = std::array<float, drumCount>; // kick, snare, tom1, tom2, tom3, hihat, crash, ride

    struct MicPlacement
    {
        const char* track;
        const char* mode;
        const char* position;
        Drum ownDrum;
        DrumRow bleedDb;
        DrumRow bleedMs;
    };

    /** Bleed levels and arrival times for a right-handed kit: the hi-hat just left of the
        snare, high tom over the kick next to the crash, mid tom towards the ride, floor tom
        under it. The kick-in mic sits inside the shell and hears little else; the snare-bottom
        mic is shaded by the snare. */
    const std::array<MicPlacement, 7> placements { {
        { "kick_in", "kick", "", Drum::kick, { 0, -22, -24, -25, -24, -26, -25, -26 }, { 0, 2.0f, 1.8f, 2.0f, 2.6f, 2.8f, 3.2f, 3.4f } },
        { "kick_out", "kick", "", Drum::kick, { 0, -18, -19, -20, -19, -22, -20, -21 }, { 0, 2.6f, 2.6f, 2.8f, 3.2f, 3.4f, 3.7f, 3.8f } },
        { "snare_top", "snare", "top", Drum::snare, { -20, 0, -17, -19, -22, -13, -16, -20 }, { 1.6f, 0, 1.0f, 1.5f, 2.2f, 0.8f, 2.2f, 2.8f } },
        { "snare_bottom", "snare", "bottom", Drum::snare, { -17, 0, -23, -24, -25, -21, -24, -26 }, { 1.0f, 0, 1.4f, 1.8f, 2.4f, 1.4f, 2.6f, 3.0f } },
        { "tom1", "tom", "", Drum::tom1, { -17, -15, 0, -15, -22, -17, -14, -20 }, { 1.5f, 1.0f, 0, 0.9f, 2.4f, 1.8f, 1.2f, 2.6f } },
        { "tom2", "tom", "", Drum::tom2, { -18, -16, -15, 0, -19, -18, -16, -15 }, { 1.6f, 1.5f, 0.9f, 0, 1.6f, 2.4f, 1.8f, 1.5f } },
        { "tom3", "tom", "", Drum::tom3, { -19, -18, -22, -17, 0, -22, -20, -14 }, { 2.0f, 2.2f, 2.4f, 1.6f, 0, 3.2f, 2.8f, 1.2f } },
    } };

    constexpr double bleedDelayVariation = 0.15; // ± of the table's delay
    constexpr double bleedLevelVariationDb = 1.5;

    /** The direct sound on each mic. Inside the kick the beater click is bright; the outside
        mic, about 35 cm further away, hears the shell's low end later. The snare-bottom mic
        faces the snare from below: inverted, quieter, with the wires' rattle on top. */
    MicPath ownPath (const juce::String& track, SeededRandom& random)
    {
        if (track == "kick_in")
            return { 0.0, 1.0f, { 2000.0, 1.0f, 1.8f } };
        if (track == "kick_out")
            return { 0.001 * random.between (0.8, 1.3), 1.0f, { 250.0, 1.5f, 0.45f } };
        if (track == "snare_bottom")
            return { 0.001 * random.between (0.3, 0.5), -0.8f, { 800.0, 0.4f, 1.4f } };
        return {};
    }

    /** Further drums arrive later, quieter and duller. */
    MicPath bleedPath (float tableDb, float tableMs, SeededRandom& random)
    {
        const auto ms = std::clamp (tableMs * random.between (1.0 - bleedDelayVariation, 1.0 + bleedDelayVariation), shortestBleedMs, longestBleedMs);
        const auto db = std::clamp ((float) (tableDb + random.between (-bleedLevelVariationDb, bleedLevelVariationDb)), quietestBleedDb, loudestBleedDb);
        const auto highGain = (float) (0.65 - 0.08 * ms + random.between (-0.05, 0.05));
        return { 0.001 * ms, juce::Decibels::decibelsToGain (db), { random.between (2500.0, 5000.0), 1.0f, highGain } };
    }
} // namespace

std::vector<MicSetup> placeMics (SeededRandom& random)
{
    std::vector<MicSetup> mics;
    for (const auto& placement : placements)
    {
        MicSetup mic { placement.track, placement.mode, placement.position, placement.ownDrum, ownPath (placement.track, random), {} };
        for (auto drum : allDrums)
            if (drum != placement.ownDrum)
                mic.bleed[(size_t) indexOf (drum)] = bleedPath (placement.bleedDb[(size_t) indexOf (drum)], placement.bleedMs[(size_t) indexOf (drum)], random);
        mics.push_back (mic);
    }
    return mics;
}
} // namespace hoopvane::tools::demo
