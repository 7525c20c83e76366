#pragma once

#include "Biquad.h"
#include "DetectorReadings.h"

namespace hoopvane
{
/** The 15 ms analysis window that follows every onset. While it is open it collects the mean
    HF ratio, the peak and energy of the detector signal, and the energies around 280 Hz (body)
    and 3000 Hz (stick and snares); when it closes those become the hit's raw features.

    The two band-passes run on every sample, not only inside the window, so that each window
    sees filters settled on the signal instead of their start-up transient. */
class HitWindow
{
public:
    static constexpr double lengthSeconds = 0.015;
    static constexpr double bodyBandHz = 280.0;
    static constexpr double brightBandHz = 3000.0;
    /** The band ratio of a window without any 3000 Hz energy: as dark as a hit gets. */
    static constexpr double darkBandRatio = 10.0;

    /** Designs the band-passes and sizes the window to int(0.015 fs) samples. [message thread] */
    void prepare (double sampleRate) noexcept;
    void reset() noexcept;

    /** Starts a window (count 0, sums cleared) for a hit that crossed the onset level at
        `onsetEnv`. [audio thread] */
    void open (double onsetEnv) noexcept;

    bool isOpen() const noexcept { return active; }
    int getLength() const noexcept { return length; }

    /** Filters one detector sample and, while the window is open, adds it and the current
        hfRatio to the sums. Returns true in the sample the window closes. [audio thread] */
    bool process (double x, double hfRatio) noexcept;

    /** The raw features of the window that was filled last. Rise slope and decay rate are
        measured by the detector, outside the window, and are left at 0 here. */
    HitWindowFeatures formFeatures() const noexcept;

private:
    Biquad bodyBand, brightBand;
    int length = 1;

    bool active = false;
    int count = 0;
    double onsetLevel = 0.0;
    double hfRatioSum = 0.0;
    double energySum = 0.0;
    double peak = 0.0;
    double bodyEnergy = 0.0;
    double brightEnergy = 0.0;
};
} // namespace hoopvane
