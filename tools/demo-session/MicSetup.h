#pragma once

#include "SeededRandom.h"
#include "SessionDrums.h"
#include "ToneTilt.h"

#include <vector>

namespace hoopvane::tools::demo
{
/** How one drum reaches one microphone: later by the path's delay, at a level (negative for
    a mic that faces the drum from the other side) and with a tone. */
struct MicPath
{
    double delaySeconds = 0.0;
    float gain = 1.0f;
    ToneTilt tone;
};

/** One close microphone of the session: the drum it is on and how every drum reaches it. */
struct MicSetup
{
    juce::String track, mode, position;
    Drum ownDrum = Drum::kick;
    MicPath own;
    std::array<MicPath, drumCount> bleed; // the own drum's entry is unused

    const MicPath& bleedFrom (Drum drum) const { return bleed[(size_t) indexOf (drum)]; }
};

/** The seven close mics (kick in and out, snare top and bottom, three toms) on a right-handed
    kit. Bleed levels and delays follow where the drums stand, varied a little by `random`;
    every bleed path is duller than the direct sound. */
std::vector<MicSetup> placeMics (SeededRandom& random);

/** Bleed is never closer than this to the direct sound, nor further down. */
constexpr float loudestBleedDb = -12.0f;
constexpr float quietestBleedDb = -30.0f;
constexpr double shortestBleedMs = 0.3;
constexpr double longestBleedMs = 4.0;
} // namespace hoopvane::tools::demo
