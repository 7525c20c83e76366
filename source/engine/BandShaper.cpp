#include "BandShaper.h"
#include "Units.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double shelfDamping = 2.0 / 1.1;
    constexpr double bellDamping = 4.0;
    /** Offsets smaller than this are inaudible; treating them as 0 keeps the shelves at rest. */
    constexpr double negligibleOffsetDb = 0.01;
} // namespace

void BandShaper::prepare (double sampleRate, const DetectionBand& band) noexcept
{
    lowShelf.coefficients = SvfCoefficients::design (sampleRate, band.lowHz, shelfDamping);
    bell.coefficients = SvfCoefficients::design (sampleRate, band.centreHz(), bellDamping);
    highShelf.coefficients = SvfCoefficients::design (sampleRate, band.highHz, shelfDamping);
}

void BandShaper::reset() noexcept
{
    for (auto& channel : channels)
    {
        channel.low.reset();
        channel.mid.reset();
        channel.high.reset();
    }

    topDb = 0.0;
    topGain = 1.0;
    for (auto* section : { &lowShelf, &bell, &highShelf })
        section->setOffset (0.0);
}

void BandShaper::Section::setOffset (double newOffsetDb) noexcept
{
    if (std::abs (newOffsetDb) < negligibleOffsetDb)
        newOffsetDb = 0.0;

    if (newOffsetDb == offsetDb)
        return;

    offsetDb = newOffsetDb;
    a = std::pow (10.0, offsetDb / 40.0);
    aSquared = a * a;
}

void BandShaper::setGains (const std::array<double, 3>& gainsDb) noexcept
{
    const double newTopDb = std::max ({ gainsDb[0], gainsDb[1], gainsDb[2] });
    if (newTopDb != topDb)
    {
        topDb = newTopDb;
        topGain = dbToGain (topDb);
    }

    lowShelf.setOffset (gainsDb[0] - topDb);
    bell.setOffset (gainsDb[1] - topDb);
    highShelf.setOffset (gainsDb[2] - topDb);
}

double BandShaper::process (int channel, double x) noexcept
{
    auto& state = channels[(size_t) channel];
    x *= topGain;

    const auto low = state.low.process (lowShelf.coefficients, x);
    x += (lowShelf.aSquared - 1.0) * low.lowPass + (lowShelf.a - 1.0) * lowShelf.coefficients.k * low.bandPass;

    const auto mid = state.mid.process (bell.coefficients, x);
    x += (bell.aSquared - 1.0) * bell.coefficients.k * mid.bandPass;

    const auto high = state.high.process (highShelf.coefficients, x);
    const double a = highShelf.a, a2 = highShelf.aSquared;
    return a2 * x + (1.0 - a2) * high.lowPass + (1.0 - a) * a * highShelf.coefficients.k * high.bandPass;
}
} // namespace hoopvane
