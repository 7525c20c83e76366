#include "Fingerprint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace hoopvane
{
namespace
{
    constexpr int numLowBands = 4;
    constexpr double emptyLowBandsCentroidHz = 200.0;
    constexpr double dominantBandFloor = 0.01;

    constexpr double minimumLevel = 0.02;
    constexpr double minimumEnergy = 0.005;

    // Pitch check: a low centroid within 15 % of the learned one raises the score by up to
    // 10 %; one further off than 35 % lowers it, by 20 % at a ratio of 0.3.
    constexpr double pitchMatchRatio = 0.85;
    constexpr double pitchMatchBonus = 0.1;
    constexpr double pitchMatchSpan = 0.15;
    constexpr double pitchMismatchRatio = 0.65;
    constexpr double pitchMismatchPenalty = 0.2;
    constexpr double pitchMismatchSpan = 0.35;

    std::int32_t dominantLowBand (const Fingerprint& fp) noexcept
    {
        const double b0 = fp.band63, b1 = fp.band125, b2 = fp.band250, b3 = fp.band500;
        if (std::max ({ std::max (b0, 0.0), b1, b2, b3 }) < dominantBandFloor)
            return fp.dominantLowBand;

        // Strict comparisons: ties go to the lower band.
        if (b3 > b0 && b3 > b1 && b3 > b2)
            return 3;
        if (b2 > b0 && b2 > b1)
            return 2;
        return b1 > b0 ? 1 : 0;
    }

    double pitchFactor (double fingerprintCentroid, double currentCentroid) noexcept
    {
        if (fingerprintCentroid <= 1.0 || currentCentroid <= 1.0)
            return 1.0;

        double q = currentCentroid / fingerprintCentroid;
        if (q > 1.0)
            q = 1.0 / q;

        if (q > pitchMatchRatio)
            return 1.0 + pitchMatchBonus * (q - pitchMatchRatio) / pitchMatchSpan;
        if (q < pitchMismatchRatio)
            return 1.0 - pitchMismatchPenalty * (pitchMismatchRatio - q) / pitchMismatchSpan;
        return 1.0;
    }
} // namespace

double lowBandCentroidHz (const BandValues& spectrum) noexcept
{
    double weighted = 0.0, sum = 0.0;
    for (int k = 0; k < numLowBands; ++k)
    {
        weighted += bandCentresHz[(std::size_t) k] * spectrum[(std::size_t) k];
        sum += spectrum[(std::size_t) k];
    }
    return sum > 1.0e-12 ? weighted / sum : emptyLowBandsCentroidHz;
}

void refreshLowBandFields (Fingerprint& fp) noexcept
{
    fp.lowCentroidHz = lowBandCentroidHz (fp.bands());
    fp.dominantLowBand = dominantLowBand (fp);
}

double fingerprintSimilarity (const Fingerprint& fp, const BandValues& slowEnergy, double lowCentroid, double level) noexcept
{
    if (level < minimumLevel || ! fp.valid)
        return 0.0;

    double energySum = 1.0e-20;
    for (const double e : slowEnergy)
        energySum += std::max (e, 0.0);
    if (energySum < minimumEnergy)
        return 0.0;

    // Cosine similarity of the amplitude shapes: how loud the sound is does not matter.
    const auto learned = fp.bands();
    double dot = 0.0, currentNorm = 0.0, learnedNorm = 0.0;
    for (std::size_t k = 0; k < (std::size_t) numBands; ++k)
    {
        const double v = std::sqrt (std::max (slowEnergy[k], 0.0) / energySum);
        dot += v * learned[k];
        currentNorm += v * v;
        learnedNorm += learned[k] * learned[k];
    }

    const double score = std::clamp (dot / std::sqrt (std::max (1.0e-20, currentNorm * learnedNorm)), 0.0, 1.0);
    return std::min (1.0, score * pitchFactor (fp.lowCentroidHz, lowCentroid));
}
} // namespace hoopvane
