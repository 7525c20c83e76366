#pragma once

#include "SeededRandom.h"
#include "SessionDrums.h"

#include <vector>

namespace hoopvane::tools::demo
{
/** One stroke: where the drum starts on its own close mic, how hard (1 … 127), and for the
    hi-hat whether it was played open. */
struct PerformedHit
{
    juce::int64 sample = 0;
    Drum drum = Drum::kick;
    int velocity = 0;
    bool openHiHat = false;
};

struct Performance
{
    double beatsPerMinute = 0.0;
    int bars = 0;
    std::vector<PerformedHit> hits; // in time order
};

/** A drummer playing a rock groove for `lengthSeconds`: four-bar sections that alternate
    between hi-hat (eighths or sixteenths) and ride, kick and backbeat snare with ghost notes,
    a crash at every section start, a tom fill (sixteenths or thirty-seconds over the three
    toms) closing every section, a double-kick bar in every ride section and a final crash.
    Timing and velocities are humanised; everything follows from `random`. */
Performance performSession (double lengthSeconds, double sampleRate, SeededRandom& random);

/** The shortest session that has room for every part of the performance. */
constexpr double minimumSessionSeconds = 15.0;
} // namespace hoopvane::tools::demo
