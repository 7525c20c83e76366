#include "BodyRingEqualiser.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hoopvane
{
namespace
{
    constexpr double lowestBoostHz = 30.0, highestBoostHz = 300.0;
    constexpr double lowestCutHz = 40.0, highestCutHz = 500.0;
    constexpr double frequencyToleranceHz = 0.5, gainToleranceDb = 0.1;

    // The bands narrow as the setting grows, the ring far more than the body, up to 12 dB.
    constexpr double widestSettingDb = 12.0;
    constexpr double bodyBaseQ = 3.5, bodyQSpan = 0.3;
    constexpr double ringBaseQ = 3.0, ringQSpan = 9.0;
    constexpr double smallestDivisor = 0.2; // of sin w, for a Q below 0.1

    // A quarter of the ring cut stays while the gate is open; the rest comes in as it closes.
    constexpr double ringCutOpen = 0.25, ringCutClosing = 0.55;

    // 10^(dB / 40) as an exponential, which is all a per-sample gain change needs.
    constexpr double amplitudePerDb = std::numbers::ln10 / 40.0;
} // namespace

//==============================================================================
void BodyRingEqualiser::GatedPeak::design (double sampleRate, double frequencyHz, double q) noexcept
{
    const double w = 2.0 * std::numbers::pi * frequencyHz / sampleRate;
    cosW = std::cos (w);
    alpha = std::sin (w) / std::max (2.0 * q, smallestDivisor);
    cacheValid = false;
}

const BiquadCoefficients& BodyRingEqualiser::GatedPeak::coefficientsFor (double gainDb) noexcept
{
    if (cacheValid && gainDb == cachedGainDb)
        return coefficients;

    const double a = std::exp (gainDb * amplitudePerDb);
    const double norm = 1.0 / (1.0 + alpha / a);
    coefficients.b0 = (1.0 + alpha * a) * norm;
    coefficients.b1 = coefficients.a1 = -2.0 * cosW * norm;
    coefficients.b2 = (1.0 - alpha * a) * norm;
    coefficients.a2 = (1.0 - alpha / a) * norm;

    cachedGainDb = gainDb;
    cacheValid = true;
    return coefficients;
}

BiquadCoefficients BodyRingEqualiser::GatedPeak::bandPass() const noexcept
{
    const double norm = 1.0 / (1.0 + alpha);
    return { alpha * norm, 0.0, -alpha * norm, -2.0 * cosW * norm, (1.0 - alpha) * norm };
}

void BodyRingEqualiser::Solo::reset() noexcept
{
    for (auto& s : states)
        s.reset();
}

//==============================================================================
void BodyRingEqualiser::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    designed = false;
    reset();
}

void BodyRingEqualiser::reset() noexcept
{
    for (auto* peak : { &body, &ring })
        for (auto& s : peak->states)
            s.reset();

    bodySolo.reset();
    ringSolo.reset();
}

void BodyRingEqualiser::beginBlock (double boostFreq, double cutFreq, double resGain, bool dual, int newListen) noexcept
{
    const double boostHz = limitDesignFrequency (std::clamp (boostFreq, lowestBoostHz, highestBoostHz), sampleRate);
    const double cutHz = limitDesignFrequency (std::clamp (cutFreq, lowestCutHz, highestCutHz), sampleRate);
    const double gainDb = dual ? std::max (resGain, 0.0) : resGain;
    const double magnitudeDb = std::abs (gainDb);

    if (needsRedesign (boostHz, cutHz, magnitudeDb))
        redesign (boostHz, cutHz, magnitudeDb);

    // TILT gives a positive setting to the body and a negative one to the ring; DUAL both.
    bodyScaleDb = (dual || gainDb >= 0.0) ? gainDb : 0.0;
    ringDepthDb = (dual || gainDb < 0.0) ? magnitudeDb : 0.0;

    setListen (newListen);
}

bool BodyRingEqualiser::needsRedesign (double boostHz, double cutHz, double magnitudeDb) const noexcept
{
    return ! designed
           || std::abs (boostHz - designedBoostHz) > frequencyToleranceHz
           || std::abs (cutHz - designedCutHz) > frequencyToleranceHz
           || std::abs (magnitudeDb - designedMagnitudeDb) > gainToleranceDb;
}

void BodyRingEqualiser::redesign (double boostHz, double cutHz, double magnitudeDb) noexcept
{
    const double r = std::min (1.0, magnitudeDb / widestSettingDb);
    body.design (sampleRate, boostHz, bodyBaseQ + bodyQSpan * r);
    ring.design (sampleRate, cutHz, ringBaseQ + ringQSpan * r);
    bodySolo.coefficients = body.bandPass();
    ringSolo.coefficients = ring.bandPass();

    designed = true;
    designedBoostHz = boostHz;
    designedCutHz = cutHz;
    designedMagnitudeDb = magnitudeDb;
}

void BodyRingEqualiser::setListen (int newListen) noexcept
{
    if (newListen != listenBody && newListen != listenRing)
        newListen = listenOff;

    if (newListen == listen)
        return;

    // The path switched to starts from rest rather than from whatever it held when left.
    if (newListen == listenBody)
        bodySolo.reset();
    else if (newListen == listenRing)
        ringSolo.reset();
    else
        for (auto* peak : { &body, &ring })
            for (auto& s : peak->states)
                s.reset();

    listen = newListen;
}

//==============================================================================
void BodyRingEqualiser::process (double& left, double& right, double gateValue) noexcept
{
    if (listen == listenBody)
        solo (bodySolo, left, right);
    else if (listen == listenRing)
        solo (ringSolo, left, right);
    else
        equalise (left, right, gateValue);
}

void BodyRingEqualiser::equalise (double& left, double& right, double gateValue) noexcept
{
    const double g = std::clamp (gateValue, 0.0, 1.0);
    const auto& bodyCoefficients = body.coefficientsFor (g * bodyScaleDb);
    const auto& ringCoefficients = ring.coefficientsFor (-ringDepthDb * (ringCutOpen + ringCutClosing * (1.0 - g)));

    left = ring.states[0].process (ringCoefficients, body.states[0].process (bodyCoefficients, left));
    right = ring.states[1].process (ringCoefficients, body.states[1].process (bodyCoefficients, right));
}

void BodyRingEqualiser::solo (Solo& band, double& left, double& right) noexcept
{
    left = band.states[0].process (band.coefficients, left);
    right = band.states[1].process (band.coefficients, right);
}
} // namespace hoopvane
