#pragma once

#include "ParameterSnapshot.h"

#include <cstdint>

namespace hoopvane
{
/** Values derived once per block from the parameter snapshot, in double precision. */
struct BlockValues
{
    double thresholdDb = 0.0;
    double thresholdLin = 1.0;
    double rangeDb = 0.0;
    double rangeLin = 1.0;
    double sens = 0.0;
    double sustainMs = 0.0;
    double attack = 0.0;
    double boostFreq = 0.0;
    double cutFreq = 0.0;
    double resGainDb = 0.0;
    /** Signed body/ring gain: as set in TILT, never negative in DUAL. */
    double resGain = 0.0;
    bool resDual = false;
    int listen = 0;
    int scSource = 0;
    double lfTightDb = 0.0;
    double hpfFreq = 0.0;
    double lpfFreq = 0.0;
    /** Host position of the block's first sample, or -1 when the host gives none. */
    std::int64_t playheadSamples = -1;

    static BlockValues derive (const ParameterSnapshot& snapshot, std::int64_t playheadSamples) noexcept;
};
} // namespace hoopvane
