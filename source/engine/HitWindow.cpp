#include "HitWindow.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double bandQ = 1.0;
} // namespace

void HitWindow::prepare (double sampleRate) noexcept
{
    bodyBand.setCoefficients (rbj::bandPass (sampleRate, bodyBandHz, bandQ));
    brightBand.setCoefficients (rbj::bandPass (sampleRate, brightBandHz, bandQ));
    length = std::max (1, (int) (lengthSeconds * sampleRate));
    reset();
}

void HitWindow::reset() noexcept
{
    bodyBand.reset();
    brightBand.reset();
    active = false;
    count = 0;
    onsetLevel = hfRatioSum = energySum = peak = bodyEnergy = brightEnergy = 0.0;
}

void HitWindow::open (double onsetEnv) noexcept
{
    active = true;
    count = 0;
    onsetLevel = onsetEnv;
    hfRatioSum = energySum = peak = bodyEnergy = brightEnergy = 0.0;
}

bool HitWindow::process (double x, double hfRatio) noexcept
{
    const double body = bodyBand.process (x);
    const double bright = brightBand.process (x);

    if (! active)
        return false;

    hfRatioSum += hfRatio;
    energySum += x * x;
    peak = std::max (peak, std::abs (x));
    bodyEnergy += body * body;
    brightEnergy += bright * bright;

    if (++count < length)
        return false;

    active = false;
    return true;
}

HitWindowFeatures HitWindow::formFeatures() const noexcept
{
    HitWindowFeatures features;

    if (count == 0)
        return features;

    const double n = (double) count;
    features.windowHfRatio = hfRatioSum / n;
    features.windowCrest = energySum > 0.0 ? peak / std::sqrt (energySum / n) : 0.0;
    features.onsetLevel = onsetLevel;
    features.hasHighBandEnergy = brightEnergy > denormalFloor;
    features.bandRatio = features.hasHighBandEnergy ? bodyEnergy / brightEnergy : darkBandRatio;
    return features;
}
} // namespace hoopvane
