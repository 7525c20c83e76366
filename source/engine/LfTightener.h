#pragma once

#include "AttackReleaseFollower.h"
#include "Biquad.h"
#include "DrumMode.h"

#include <array>
#include <cstdint>

namespace hoopvane
{
/** Tightens the low end of a drum played fast: once two or more of its hits fall inside a window
    about one hit long, a low shelf at 90 Hz cuts by up to "LF_TIGHT", deeper the more hits there
    are, and lets go again when the window empties.

    prepare() and reset() run on the preparation thread; the rest on the audio thread.
*/
class LfTightener
{
public:
    /** Window length before any hit length has been measured, in seconds. */
    static constexpr double defaultWindowSeconds = 0.3;

    /** Designs the shelf for the rate, returns the window to its default and resets. */
    void prepare (double sampleRate) noexcept;

    /** No onsets, counter 0, smoothed gain 1 (0 dB), meter 0, flat shelf with cleared states.
        The window and the block settings survive. */
    void reset() noexcept;

    /** Depth, onset spacing and window for the block; averageHitLengthMs is 0 while no hit
        length has been measured, which keeps the current window. Switching the stage off clears
        it. [audio thread] */
    void beginBlock (double lfTightDb, DrumMode mode, double averageHitLengthMs) noexcept;

    /** Counts the drum's onsets from the detector envelope env and the effective match, and
        filters the processed pair in place. Does nothing while the stage is off. [audio thread] */
    void process (double& left, double& right, double env, double match) noexcept;

    /** The smoothed shelf gain in dB (`lfTightGainDb`). */
    double getGainDb() const noexcept { return gainDb; }
    /** The smoothed meter value, 0 … −18 (`lfTightMeter`). */
    double getMeter() const noexcept;

    bool isEnabled() const noexcept { return enabled; }

private:
    /** The times of the last ten onsets; counts those younger than the window and knows which
        one leaves it next. */
    class RecentOnsets
    {
    public:
        static constexpr int capacity = 10;

        void clear() noexcept;
        void setWindow (double windowSamples) noexcept;
        void add (std::int64_t time) noexcept;
        /** Drops the onsets that have left the window by `now`; true when the count changed. */
        bool expire (std::int64_t now) noexcept;
        int count() const noexcept { return numOnsets; }

    private:
        static constexpr std::int64_t empty = -1;
        void findNextExpiry() noexcept;

        std::array<std::int64_t, capacity> times {};
        int writeIndex = 0, numOnsets = 0, nextIndex = -1;
        double window = 0.0, nextExpiry = 0.0;
    };

    bool isOnset (double env, double match) const noexcept;
    void updateTarget() noexcept;
    void smoothGain() noexcept;
    void updateShelf() noexcept;
    void designShelf (double newGainDb) noexcept;

    double sampleRate = 44100.0;
    double riseCoefficient = 0.0, fallCoefficient = 0.0;

    // Block settings
    bool enabled = false;
    double depthDb = 0.0;
    double onsetSpacingSamples = 0.0;
    double windowSamples = 0.0;

    // Onset tracking
    RecentOnsets onsets;
    std::int64_t counter = 0, lastOnset = 0;
    bool hasOnset = false, armed = false;
    double previousEnv = 0.0;

    // Gain and meter
    double targetGain = 1.0, gain = 1.0, gainDb = 0.0, gainOfGainDb = 1.0;
    AttackReleaseFollower meterFollower;

    // Low shelf
    BiquadCoefficients shelf;
    double designedGainDb = 0.0;
    BiquadState shelfLeft, shelfRight;
};
} // namespace hoopvane
