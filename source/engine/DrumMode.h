#pragma once

namespace hoopvane
{
/** The drum an instance sits on; the value is the index of the "MODE" parameter. */
enum class DrumMode : int
{
    kick = 0,
    snare = 1,
    tom = 2
};

constexpr int numDrumModes = 3;

/** Clamps any integer (for example a truncated parameter value) to a valid mode. */
constexpr DrumMode drumModeFromIndex (int index) noexcept
{
    return index <= 0 ? DrumMode::kick : (index == 1 ? DrumMode::snare : DrumMode::tom);
}

constexpr int toIndex (DrumMode mode) noexcept { return static_cast<int> (mode); }

/** Detection constants that differ between kick, snare and tom. */
struct ModeTable
{
    double detectorLowPassHz;
    double detectorHighPassHz;
    double minimumOnsetSpacingSeconds;
    double sustainMapLowMs;
    double sustainMapHighMs;
    double defaultSustainMs;
    double hitEventSpacingSeconds;
    double contextOffsetDb;
    double contextRangeDb;
    double contextThresholdDistanceDb;
    double lfTightOnsetSpacingMs;

    static const ModeTable& forMode (DrumMode mode) noexcept;
};
} // namespace hoopvane
