#include "BleedDiscriminator.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace hoopvane
{
namespace
{
    /** One step of a penalty ladder: above `threshold` the penalty rises over `span` up to
        `cap`. The steps are ordered from the highest threshold down. */
    struct PenaltyStep
    {
        double threshold, span, cap;
    };

    constexpr PenaltyStep kickSteps[] { { 1.0, 3.0, 0.5 }, { 0.3, 1.4, 0.2 } };
    constexpr PenaltyStep tomSteps[] { { 1.5, 1.5, 0.8 }, { 0.8, 0.7, 0.55 }, { 0.4, 0.8, 0.35 }, { 0.25, 0.6, 0.2 } };

    /** The step that r falls in, never below the cap of the step beneath it, so that the
        penalty cannot drop as the high bands grow. */
    template <std::size_t numSteps>
    double climbLadder (const PenaltyStep (&steps)[numSteps], double r) noexcept
    {
        for (std::size_t i = 0; i < numSteps; ++i)
        {
            const auto& step = steps[i];

            if (r > step.threshold)
            {
                const double capBelow = i + 1 < numSteps ? steps[i + 1].cap : 0.0;
                return std::max (capBelow, std::clamp ((r - step.threshold) / step.span, 0.0, step.cap));
            }
        }

        return 0.0;
    }

    constexpr double ratioFloor = 1.0e-20;

    double sumOf (const BandValues& e, int first, int last) noexcept
    {
        double sum = 0.0;
        for (int b = first; b <= last; ++b)
            sum += e[(std::size_t) b];
        return sum;
    }

    double highToLowRatio (const BandValues& e) noexcept
    {
        return sumOf (e, band::hz3k5, band::hz10k) / (sumOf (e, band::hz63, band::hz250) + ratioFloor);
    }

    /** A tom whose low bands are weak against the mids is more likely hearing a snare. */
    double tomMidPenalty (const BandValues& e) noexcept
    {
        const double lowToMid = (sumOf (e, band::hz63, band::hz250) + ratioFloor) / (sumOf (e, band::hz500, band::hz2k) + ratioFloor);

        if (lowToMid < 0.25)
            return std::clamp ((0.25 - lowToMid) / 0.15, 0.0, 0.5);
        if (lowToMid < 0.4)
            return std::clamp ((0.4 - lowToMid) / 0.3, 0.0, 0.3);
        return 0.0;
    }

    /** Below this envelope a sound is too quiet to judge; the match fades towards 1. */
    constexpr double judgedLevel = 0.03;

    double suspicionFloor (double suspicion) noexcept
    {
        if (suspicion > 0.6)
            return 0.85;
        if (suspicion > 0.45)
            return 0.75;
        if (suspicion > 0.3)
            return 0.55;
        return 0.0;
    }
} // namespace

double spectralPenalty (const BandValues& e, DrumMode mode) noexcept
{
    switch (mode)
    {
        case DrumMode::kick:
            return climbLadder (kickSteps, highToLowRatio (e));
        case DrumMode::tom:
            return std::max (climbLadder (tomSteps, highToLowRatio (e)), tomMidPenalty (e));
        case DrumMode::snare:
            break;
    }

    return 0.0;
}

//==============================================================================
void BleedDiscriminator::reset() noexcept
{
    matchScore = 1.0;
    sampleCounter = 0;
    effective = 1.0;
    hit = {};
}

void BleedDiscriminator::computeWeights (const Fingerprint& own, const Fingerprint* const* peers, int numPeers) noexcept
{
    BandValues peerMean {};
    int validPeers = 0;

    for (int i = 0; i < numPeers; ++i)
    {
        if (peers[i] == nullptr || ! peers[i]->valid)
            continue;

        const auto bands = peers[i]->bands();
        for (std::size_t b = 0; b < numBands; ++b)
            peerMean[b] += bands[b];
        ++validPeers;
    }

    if (validPeers == 0)
        return;

    // Every band keeps a little say, even where this drum and its peers look alike.
    constexpr double minimumWeight = 0.05;
    const auto ownBands = own.bands();
    double sum = 0.0;

    for (std::size_t b = 0; b < numBands; ++b)
    {
        weights[b] = std::max (minimumWeight, std::abs (ownBands[b] - peerMean[b] / validPeers));
        sum += weights[b];
    }

    if (sum > 1.0e-12)
        for (auto& w : weights)
            w /= sum;

    weightsComputed = true;
}

double BleedDiscriminator::updateRawMatch (const BandValues& slowEnergy,
                                           double env,
                                           const Fingerprint& fingerprint,
                                           bool fingerprintComplete,
                                           DrumMode mode) noexcept
{
    if (! fingerprintComplete || ! fingerprint.valid)
        matchScore = 1.0;
    else if (sampleCounter == 0)
        matchScore = computeRawMatch (slowEnergy, env, fingerprint, mode);

    sampleCounter = (sampleCounter + 1) % matchInterval;
    return matchScore;
}

double BleedDiscriminator::computeRawMatch (const BandValues& slowEnergy, double env, const Fingerprint& fingerprint, DrumMode mode) const noexcept
{
    const double sim = weightedSimilarity (slowEnergy, fingerprint) * (1.0 - spectralPenalty (slowEnergy, mode));

    if (env < judgedLevel)
    {
        const double judged = env / judgedLevel;
        return judged * sim + (1.0 - judged);
    }

    return sim;
}

double BleedDiscriminator::weightedSimilarity (const BandValues& slowEnergy, const Fingerprint& fingerprint) const noexcept
{
    BandValues amplitude {};
    double total = 0.0;

    for (std::size_t b = 0; b < numBands; ++b)
    {
        const double e = std::max (slowEnergy[b], 0.0);
        amplitude[b] = std::sqrt (e);
        total += e;
    }

    const double norm = 1.0 / std::sqrt (ratioFloor + total);
    const auto learnedBands = fingerprint.bands();
    double dot = 0.0, currentSquares = 0.0, learnedSquares = 0.0;

    for (std::size_t b = 0; b < numBands; ++b)
    {
        const double u = weightsComputed ? 0.6 * weights[b] + 0.4 : 1.0;
        const double current = u * amplitude[b] * norm;
        const double learnedBand = u * learnedBands[b];
        dot += current * learnedBand;
        currentSquares += current * current;
        learnedSquares += learnedBand * learnedBand;
    }

    return std::clamp (dot / std::sqrt (std::max (ratioFloor, currentSquares * learnedSquares)), 0.0, 1.0);
}

double BleedDiscriminator::effectiveMatch (double remoteBleedProbability, double remoteSuspicion, bool learned, DrumMode mode) noexcept
{
    const double evidence = std::max (remoteBleedProbability, remoteSuspicion);
    effective = matchScore;

    if (evidence > 0.0)
    {
        // A good match resists remote evidence; held suspicion cuts through it anyway.
        const double resistance = std::clamp ((0.9 - matchScore) / 0.3, 0.0, 1.0);
        const double v = std::max (resistance, suspicionFloor (remoteSuspicion));
        effective = matchScore * (1.0 - v * evidence);

        if (mode == DrumMode::tom && learned && effective < 0.4 && evidence > 0.3)
            effective = 0.0;
    }

    return effective;
}

//==============================================================================
namespace
{
    bool belowHalfLearnedLevel (const DrumRuleInputs& in) noexcept
    {
        return in.env < 0.5 * in.learnedOnsetLevel;
    }

    DrumRuleResult applyTomRules (double gateValue, const DrumRuleInputs& in) noexcept
    {
        if (in.hitInProgress)
            return { gateValue, false };

        const bool unlikeThisTom = in.match < 0.71;
        const bool snareSoundingInstead = in.snareGateOpenElsewhere && in.match < 0.8;

        if (unlikeThisTom || belowHalfLearnedLevel (in) || snareSoundingInstead)
            return { 0.0, false };

        return { gateValue, false };
    }

    DrumRuleResult applySnareRules (double gateValue, const DrumRuleInputs& in) noexcept
    {
        // The bottom microphone and ghost notes are meant to be quiet.
        if (in.isSnareBottom || in.ghostNoteRunning || in.hitInProgress)
            return { gateValue, false };

        if (in.tomGateOpenElsewhere && in.match < 0.85)
            return { 0.0, true };

        if (in.learnedOnsetLevel > 0.001 && belowHalfLearnedLevel (in))
            return { 0.0, false };

        return { gateValue, false };
    }
} // namespace

DrumRuleResult applyDrumRules (double gateValue, const DrumRuleInputs& in) noexcept
{
    if (! in.learned)
        return { gateValue, false };

    switch (in.mode)
    {
        case DrumMode::tom:
            return applyTomRules (gateValue, in);
        case DrumMode::snare:
            return applySnareRules (gateValue, in);
        case DrumMode::kick:
            break;
    }

    return { gateValue, false };
}
} // namespace hoopvane
