#include "HitBleedScore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace hoopvane
{
namespace
{
    constexpr double noPenaltyEdge = std::numeric_limits<double>::infinity();

    /** A partial score that is 1 for ratios at or below `full`, falls linearly to 0 at `zero`,
        and turns into a (negative) credit for the learned drum beyond `creditEdge`. */
    struct FallingRule
    {
        double full, zero, creditEdge = noPenaltyEdge, credit = 0.0;

        double operator() (double x) const noexcept
        {
            if (x < full)
                return 1.0;
            if (x < zero)
                return (zero - x) / (zero - full);
            return x > creditEdge ? credit : 0.0;
        }
    };

    /** The mirror image: 1 above `full`, 0 at `zero`, a credit below `creditEdge`. */
    struct RisingRule
    {
        double full, zero, creditEdge, credit;

        double operator() (double x) const noexcept
        {
            if (x > full)
                return 1.0;
            if (x > zero)
                return (x - zero) / (full - zero);
            return x < creditEdge ? credit : 0.0;
        }
    };

    constexpr FallingRule hfRule { 0.5, 0.8, 1.3, -0.5 };
    constexpr FallingRule crestRule { 0.5, 0.8, 1.5, -0.3 };
    constexpr FallingRule onsetRule { 0.2, 0.5, 1.2, -0.4 };
    constexpr FallingRule slopeRule { 0.3, 0.6, 1.3, -0.3 };
    constexpr RisingRule bandRule { 3.0, 1.5, 0.5, -0.3 };
    constexpr RisingRule decayRule { 2.0, 1.3, 0.6, -0.2 };

    // A bleed hit is quiet, dull, soft-edged and rings on; these weigh the evidence.
    constexpr double weightOnset = 0.18, weightHf = 0.18, weightSlope = 0.14, weightBand = 0.14;
    constexpr double weightCrest = 0.06, weightQuiet = 0.12, weightRoll = 0.08, weightDecay = 0.10;

    constexpr int minimumHistogramEntries = 4;
    constexpr double maximumScore = 0.95;

    /** The window's features over their learned counterparts. */
    struct HitRatios
    {
        double hf, crest, onset, slope, band, decay;

        static double ratio (double value, double reference) noexcept
        {
            // Learned statistics are clamped to positive ranges; this only guards a corrupt value.
            return value / std::max (reference, 1.0e-12);
        }

        static HitRatios from (const HitWindowFeatures& f, const LearnedStatistics& s) noexcept
        {
            return { ratio (f.windowHfRatio, s.hfRatio),
                     ratio (f.windowCrest, s.crest),
                     ratio (f.onsetLevel, s.onsetLevel),
                     ratio (f.riseSlope, s.riseSlope),
                     ratio (f.bandRatio, s.bandRatio),
                     ratio (f.decayRate, s.decayRate) };
        }
    };

    /** Hits that are certainly not bleed: too bright, too spiky or too flat to be a drum heard
        through another microphone, or as loud and bright as the learned drum. */
    bool isVetoed (const HitWindowFeatures& f, const HitRatios& r) noexcept
    {
        return f.windowHfRatio > 0.55
               || f.windowCrest > 5.0
               || f.windowCrest < 1.1
               || (r.onset > 0.8 && r.hf > 0.9);
    }

    /** Quieter than the learned level spread: the learned drum is rarely played this softly. */
    double quietScore (double onsetRatio, const LearnedStatistics& s) noexcept
    {
        if (s.histogramEntries < minimumHistogramEntries)
            return 0.0;

        return FallingRule { 0.7 * s.quietRatio, s.quietRatio }(onsetRatio);
    }

    double rollScore (int rollCounter) noexcept
    {
        return rollCounter > 1 ? 0.8 : (rollCounter == 1 ? 0.3 : 0.0);
    }

    double evidence (const HitRatios& r, const LearnedStatistics& s) noexcept
    {
        return weightOnset * onsetRule (r.onset)
               + weightHf * hfRule (r.hf)
               + weightSlope * slopeRule (r.slope)
               + weightBand * bandRule (r.band)
               + weightCrest * crestRule (r.crest)
               + weightQuiet * quietScore (r.onset, s)
               + weightRoll * rollScore (s.rollCounter)
               + weightDecay * decayRule (r.decay);
    }

    /** Soft saturation: weak evidence counts little, strong evidence approaches 0.95. */
    double evidenceToScore (double m) noexcept
    {
        if (m <= 0.0)
            return 0.0;

        const double m2 = m * m;
        return m2 / (m2 + 0.25) * 0.85 + 0.1;
    }

    /** A snare hit that follows a kick by about 25 ms is likely the snare wires answering it. */
    double kickCoincidence (double milliseconds) noexcept
    {
        if (milliseconds < 0.0 || milliseconds > 50.0)
            return 0.0;

        const double offset = milliseconds - 25.0;
        return 0.3 * std::exp (-offset * offset / 800.0);
    }

    /** A rise much slower than the learned attacks weakens the trust in the other evidence. */
    double attackConfidence (double slopeRatio, const LearnedStatistics& s) noexcept
    {
        if (s.riseSlope <= 1.0 || s.capturedHits <= 2)
            return 1.0;

        return std::clamp (slopeRatio / 0.6, 0.1, 1.0);
    }
} // namespace

HitAssessment assessHit (const HitWindowFeatures& features,
                         const LearnedStatistics& learned,
                         double kickCoincidenceMs) noexcept
{
    const auto ratios = HitRatios::from (features, learned);

    HitAssessment result;
    result.confidence = attackConfidence (ratios.slope, learned);

    if (! isVetoed (features, ratios))
    {
        const double score = evidenceToScore (evidence (ratios, learned)) + kickCoincidence (kickCoincidenceMs);
        result.bleedScore = std::clamp (score, 0.0, maximumScore);
    }

    return result;
}
} // namespace hoopvane
