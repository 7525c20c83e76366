#include "BlockMeters.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double inputLevelSeconds = 0.03;
    constexpr double peakHoldSeconds = 1.2;
    constexpr double peakHoldDecayPerBlock = 0.95;
    constexpr double reductionFallSeconds = 0.025;
    constexpr double reductionSnap = 0.005;
} // namespace

void BlockMeters::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
}

void BlockMeters::reset() noexcept
{
    peak = magnitudeSum = reductionSum = 0.0;
    count = 0;
    inputLevel = peakHold = reductionMeter = 0.0;
    peakHoldSamplesLeft = 0;
}

void BlockMeters::publish (EngineExports& exports) noexcept
{
    if (count == 0)
        return;

    const double n = (double) count;
    const double levelCoefficient = std::exp (-n / (inputLevelSeconds * sampleRate));
    inputLevel = levelCoefficient * inputLevel + (1.0 - levelCoefficient) * peak;

    if (peak > peakHold)
    {
        peakHold = peak;
        peakHoldSamplesLeft = (int) (peakHoldSeconds * sampleRate);
    }
    else if (peakHoldSamplesLeft > 0)
        peakHoldSamplesLeft -= count;
    else
        peakHold *= peakHoldDecayPerBlock;

    const double meanReduction = std::clamp (reductionSum / n, 0.0, 1.0);
    if (meanReduction >= reductionMeter)
        reductionMeter = meanReduction;
    else
    {
        const double fall = std::exp (-n / (reductionFallSeconds * sampleRate));
        reductionMeter = meanReduction + fall * (reductionMeter - meanReduction);
        if (reductionMeter - meanReduction < reductionSnap)
            reductionMeter = meanReduction;
    }

    exports.inputLevel.store ((float) inputLevel, std::memory_order_relaxed);
    exports.inputPeakHold.store ((float) peakHold, std::memory_order_relaxed);
    exports.meanInputLevel.store ((float) (magnitudeSum / n), std::memory_order_relaxed);
    exports.gainReductionMeter.store ((float) reductionMeter, std::memory_order_relaxed);
    exports.meanGainReduction.store ((float) meanReduction, std::memory_order_relaxed);

    peak = magnitudeSum = reductionSum = 0.0;
    count = 0;
}
} // namespace hoopvane
