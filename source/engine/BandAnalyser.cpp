#include "BandAnalyser.h"

#include <cstddef>

namespace hoopvane
{
namespace
{
    constexpr double bandQ = 1.0;
    constexpr double slowWeight = 0.01;
    constexpr double fastWeight = 0.15;
    constexpr int numLowBands = 4;
    constexpr double silentLowEnergy = 1.0e-12;
    constexpr double silentLowCentroidHz = 200.0;

    double track (double energy, double weight, double square) noexcept
    {
        return flushTiny (energy + weight * (square - energy));
    }
} // namespace

void BandAnalyser::prepare (double sampleRate) noexcept
{
    for (int k = 0; k < numBands; ++k)
        filters[(std::size_t) k].setCoefficients (rbj::bandPass (sampleRate, bandCentresHz[(std::size_t) k], bandQ));

    reset();
}

void BandAnalyser::reset() noexcept
{
    for (auto& filter : filters)
        filter.reset();

    slowEnergy.fill (0.0);
    fastEnergy.fill (0.0);
    lowCentroid = silentLowCentroidHz;
}

void BandAnalyser::process (double x) noexcept
{
    for (std::size_t k = 0; k < (std::size_t) numBands; ++k)
    {
        const double y = filters[k].process (x);
        slowEnergy[k] = track (slowEnergy[k], slowWeight, y * y);
        fastEnergy[k] = track (fastEnergy[k], fastWeight, y * y);
    }

    updateLowCentroid();
}

void BandAnalyser::updateLowCentroid() noexcept
{
    double weighted = 0.0, total = 0.0;

    for (std::size_t k = 0; k < (std::size_t) numLowBands; ++k)
    {
        weighted += bandCentresHz[k] * slowEnergy[k];
        total += slowEnergy[k];
    }

    lowCentroid = total > silentLowEnergy ? weighted / total : silentLowCentroidHz;
}
} // namespace hoopvane
