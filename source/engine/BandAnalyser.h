#pragma once

#include "Bands.h"
#include "Biquad.h"

#include <array>

namespace hoopvane
{
/** Splits the detector signal into the ten analysis bands and tracks the mean-square energy of
    each with a slow tracker (the spectrum of a sound) and a fast one (its attack).

    The bands are constant-peak-gain band-passes with Q 1, so a sine at a band centre reads an
    energy of half its squared amplitude whatever the band. They depend on the sample rate only. */
class BandAnalyser
{
public:
    /** Designs the ten band-passes; centres above 0.45 fs are pulled down to it. [message thread] */
    void prepare (double sampleRate) noexcept;
    void reset() noexcept;

    /** Filters one detector sample and updates the trackers and the low centroid. [audio thread] */
    void process (double x) noexcept;

    const BandValues& getSlowEnergy() const noexcept { return slowEnergy; }
    const BandValues& getFastEnergy() const noexcept { return fastEnergy; }

    /** Energy-weighted mean of the four lowest band centres (Hz): where the drum's fundamental
        sits. 200 Hz while those bands are silent. */
    double getLowCentroid() const noexcept { return lowCentroid; }

private:
    void updateLowCentroid() noexcept;

    std::array<Biquad, numBands> filters;
    BandValues slowEnergy {};
    BandValues fastEnergy {};
    double lowCentroid = 0.0;
};
} // namespace hoopvane
