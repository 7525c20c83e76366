#include "DecayMeasurement.h"
#include "Units.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double peakWindowMs = 4.0;
    constexpr double firstSnapshotMs = 40.0;
    constexpr double secondSnapshotMs = 100.0;
    constexpr double snapshotSpanMs = secondSnapshotMs - firstSnapshotMs;
    constexpr double restartGuardMs = 15.0;

    constexpr double highPassQ = 0.707;
    constexpr double centreBandPassQ = 0.8; // alpha = sin w / 1.6

    constexpr double audiblePeak = 0.01;
    constexpr double minimumMatch = 0.6;
    constexpr double minimumDropDb = 0.5;
    constexpr double minimumRate = 0.01;

    constexpr double rateWeight = 0.25, outlierRateWeight = 0.05;
    constexpr int settlingMeasurements = 4;

    /** Three time constants of a decay of `rate` dB per ms (8.686 dB per neper). */
    double releaseForRate (double rate, double lowestMs, double highestMs) noexcept
    {
        return std::clamp (3.0 * 8.686 / rate, lowestMs, highestMs);
    }

} // namespace

void DecayMeasurement::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    peakSamples = samplesForMs (peakWindowMs, sampleRate);
    firstSnapshotSamples = samplesForMs (firstSnapshotMs, sampleRate);
    secondSnapshotSamples = samplesForMs (secondSnapshotMs, sampleRate);
    restartGuardSamples = samplesForMs (restartGuardMs, sampleRate);
    reset();
}

void DecayMeasurement::setBand (const DetectionBand& band) noexcept
{
    high.coefficients = rbj::highPass (sampleRate, band.highHz, highPassQ);
    centre.coefficients = rbj::bandPass (sampleRate, band.centreHz(), centreBandPassQ);
}

void DecayMeasurement::reset() noexcept
{
    for (auto* band : { &high, &centre })
    {
        for (auto& s : band->states)
            s.reset();
        band->outputs = {};
        band->level = band->peak = band->snapshot = 0.0;
    }

    measuring = false;
    elapsed = 0;
    sinceLastStart = restartGuardSamples + 1;
}

void DecayMeasurement::startHit (double acceptMatch) noexcept
{
    if (sinceLastStart <= restartGuardSamples)
        return;

    measuring = true;
    elapsed = 0;
    sinceLastStart = 0;
    matchAtStart = acceptMatch;
    high.peak = centre.peak = 0.0;
    high.snapshot = centre.snapshot = 0.0;
}

void DecayMeasurement::BandDecay::filter (double left, double right) noexcept
{
    outputs = { states[0].process (coefficients, left), states[1].process (coefficients, right) };
    level = 0.5 * (std::abs (outputs[0]) + std::abs (outputs[1]));
}

void DecayMeasurement::process (double left, double right) noexcept
{
    // The filters run between measurements too, so a measurement starts on settled states.
    high.filter (left, right);
    centre.filter (left, right);

    if (sinceLastStart <= restartGuardSamples)
        ++sinceLastStart;

    if (! measuring)
        return;

    ++elapsed;
    if (elapsed <= peakSamples)
    {
        high.peak = std::max (high.peak, high.level);
        centre.peak = std::max (centre.peak, centre.level);
        if (elapsed == peakSamples && tooWeakToMeasure())
            measuring = false;
        return;
    }

    if (elapsed == firstSnapshotSamples)
    {
        high.snapshot = high.level;
        centre.snapshot = centre.level;
    }
    else if (elapsed >= secondSnapshotSamples)
    {
        finish();
    }
}

bool DecayMeasurement::tooWeakToMeasure() const noexcept
{
    return (high.peak < audiblePeak && centre.peak < audiblePeak) || matchAtStart < minimumMatch;
}

void DecayMeasurement::BandDecay::updateRate (int measurementsSoFar) noexcept
{
    const double first = snapshot, second = level;
    if (! (second > 1.0e-8 && first > second && first > 1.0e-6))
        return;

    const double dropDb = gainToDb (first / second);
    if (dropDb <= minimumDropDb)
        return;

    const double rate = dropDb / snapshotSpanMs;
    if (measurementsSoFar == 0 || smoothedRate <= 0.0)
    {
        smoothedRate = rate;
        return;
    }

    // Once settled, a hit that decays very differently (a choke, a ringing bleed) moves the
    // estimate only a little.
    const double change = rate / smoothedRate;
    const bool outlier = measurementsSoFar >= settlingMeasurements && (change < 0.5 || change > 2.0);
    smoothedRate += (outlier ? outlierRateWeight : rateWeight) * (rate - smoothedRate);
}

void DecayMeasurement::finish() noexcept
{
    measuring = false;
    high.updateRate (measurements);
    centre.updateRate (measurements);
    ++measurements;

    if (measurements < measurementsBeforeAdaptive)
        return;

    adaptive = true;
    if (high.smoothedRate > minimumRate)
        relHigh = releaseForRate (high.smoothedRate, 30.0, 300.0);
    if (centre.smoothedRate > minimumRate)
        relCentre = releaseForRate (centre.smoothedRate, 50.0, 300.0);
}
} // namespace hoopvane
