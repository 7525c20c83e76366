#pragma once

#include <juce_core/juce_core.h>

#include <array>

namespace hoopvane::tools::demo
{
/** The drums and cymbals the demo drummer plays. */
enum class Drum
{
    kick,
    snare,
    tom1,
    tom2,
    tom3,
    hihat,
    crash,
    ride
};

constexpr int drumCount = 8;

constexpr std::array<Drum, drumCount> allDrums { Drum::kick, Drum::snare, Drum::tom1, Drum::tom2, Drum::tom3, Drum::hihat, Drum::crash, Drum::ride };

constexpr int indexOf (Drum drum) { return (int) drum; }

/** The drum's name in hits.csv and tracks.csv. */
inline juce::String drumName (Drum drum)
{
    static constexpr std::array<const char*, drumCount> names { "kick", "snare", "tom1", "tom2", "tom3", "hihat", "crash", "ride" };
    return names[(size_t) indexOf (drum)];
}

/** A word for messages that says which kit instrument the drum needs. */
inline juce::String drumDescription (Drum drum)
{
    static constexpr std::array<const char*, drumCount> words { "kick", "snare", "high tom", "mid tom", "low tom", "closed hi-hat", "crash", "ride" };
    return words[(size_t) indexOf (drum)];
}

inline bool isTom (Drum drum) { return drum == Drum::tom1 || drum == Drum::tom2 || drum == Drum::tom3; }
} // namespace hoopvane::tools::demo
