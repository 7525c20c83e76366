#pragma once

#include <algorithm>
#include <cmath>

namespace hoopvane
{
/** The expander's downward law: unity at and above the threshold; below it the gain falls by
    (ratio - 1) dB per dB, eased in over a 6 dB soft knee, and never below a floor. */
class GainLaw
{
public:
    static constexpr double kneeWidthDb = 6.0;
    /** Levels are floored here before taking their logarithm. */
    static constexpr double minimumLevel = 1.0e-8;

    /** The reduction in dB of a level that lies dbBelow dB under the threshold. */
    static double reductionDb (double dbBelow, double ratio) noexcept
    {
        const double slope = ratio - 1.0;
        return dbBelow >= kneeWidthDb ? dbBelow * slope : slope * dbBelow * dbBelow / kneeWidthDb;
    }

    /** Per block. Also finds the level under which the gain sits on its floor, so that the
        quiet stretches between hits need no logarithm. */
    void configure (double newThresholdDb, double newRatio, double newFloorGain) noexcept
    {
        thresholdDb = newThresholdDb;
        thresholdLin = std::pow (10.0, thresholdDb / 20.0);
        ratio = newRatio;
        floorGain = newFloorGain;
        floorLevel = -1.0;

        const double slope = ratio - 1.0;
        if (floorGain <= 0.0 || floorGain >= 1.0 || slope <= 0.0)
            return;

        const double floorReductionDb = -20.0 * std::log10 (floorGain);
        const double dbBelow = floorReductionDb >= kneeWidthDb * slope
                                   ? floorReductionDb / slope
                                   : std::sqrt (kneeWidthDb * floorReductionDb / slope);
        const double level = thresholdLin * std::pow (10.0, -dbBelow / 20.0);
        floorLevel = level >= minimumLevel ? level : -1.0;
    }

    /** [audio thread] */
    double gainFor (double x) const noexcept
    {
        if (x >= thresholdLin)
            return 1.0;
        if (x <= floorLevel)
            return floorGain;

        const double dbBelow = thresholdDb - 20.0 * std::log10 (std::max (x, minimumLevel));
        return std::max (floorGain, std::pow (10.0, -reductionDb (dbBelow, ratio) / 20.0));
    }

    double getThresholdLin() const noexcept { return thresholdLin; }
    double getFloorGain() const noexcept { return floorGain; }

private:
    double thresholdDb = 0.0, thresholdLin = 1.0, ratio = 1.0, floorGain = 0.0;
    double floorLevel = -1.0;
};
} // namespace hoopvane
