#pragma once

#include "Bands.h"
#include "DetectorReadings.h"
#include "DrumMode.h"
#include "Fingerprint.h"
#include "HitBleedScore.h"
#include "LearnedStatistics.h"

namespace hoopvane
{
/** The share of the match that a sound's spectral balance takes away for a drum that should
    not sound like that: a kick or tom hearing cymbals, a tom hearing a snare. Each step up in
    high-to-low energy ratio costs at least as much as the step below it. 0 for a snare.
    [audio thread] */
double spectralPenalty (const BandValues& slowEnergy, DrumMode mode) noexcept;

/** Decides how much the current sound looks like the learned drum and not like bleed.

    Produces the raw fingerprint match (refreshed every fourth sample), the bleed score and
    confidence of each closed hit window, and the effective match once the evidence of the
    linked instances is folded in.
*/
class BleedDiscriminator
{
public:
    /** Raw match 1, sample counter 0, scores cleared. The discrimination weights survive. */
    void reset() noexcept;

    /** Weights the bands by how much this drum differs from its linked peers there. Peers
        without a valid fingerprint are ignored; with none left nothing changes. Phase-0 work:
        call when the registry changed or the instance learned. [audio thread] */
    void computeWeights (const Fingerprint& own, const Fingerprint* const* peers, int numPeers) noexcept;
    void invalidateWeights() noexcept { weightsComputed = false; }
    bool hasWeights() const noexcept { return weightsComputed; }
    const BandValues& getWeights() const noexcept { return weights; }

    /** Call every sample. Recomputes the raw match on every fourth call (the first after a
        reset included) and holds it in between; 1 while no fingerprint is complete.
        [audio thread] */
    double updateRawMatch (const BandValues& slowEnergy,
                           double env,
                           const Fingerprint& fingerprint,
                           bool fingerprintComplete,
                           DrumMode mode) noexcept;

    /** Call when a hit window closes. kickCoincidenceMs < 0 means no kick-group hit (only snare
        instances pass a value). [audio thread] */
    void scoreHit (const HitWindowFeatures& features, const LearnedStatistics& learned, double kickCoincidenceMs) noexcept
    {
        hit = assessHit (features, learned, kickCoincidenceMs);
    }

    double getHitBleedScore() const noexcept { return hit.bleedScore; }
    double getHitConfidence() const noexcept { return hit.confidence; }
    double getRawMatch() const noexcept { return matchScore; }

    /** Folds the strongest remote bleed probability and the held remote suspicion into the raw
        match. Call every sample after updateRawMatch(). [audio thread] */
    double effectiveMatch (double remoteBleedProbability, double remoteSuspicion, bool learned, DrumMode mode) noexcept;
    double getEffectiveMatch() const noexcept { return effective; }

private:
    double computeRawMatch (const BandValues& slowEnergy, double env, const Fingerprint& fingerprint, DrumMode mode) const noexcept;
    double weightedSimilarity (const BandValues& slowEnergy, const Fingerprint& fingerprint) const noexcept;

    static constexpr int matchInterval = 4;

    BandValues weights {};
    bool weightsComputed = false;

    double matchScore = 1.0;
    int sampleCounter = 0;
    double effective = 1.0;
    HitAssessment hit;
};

//==============================================================================
/** What the drum-specific gate rules need to know about the current sample. */
struct DrumRuleInputs
{
    DrumMode mode = DrumMode::tom;
    bool learned = false;
    bool isSnareBottom = false;
    bool ghostNoteRunning = false;
    double match = 1.0; ///< the effective match m
    double env = 0.0;
    double learnedOnsetLevel = 0.1;
    bool hitInProgress = false;
    bool snareGateOpenElsewhere = false;
    bool tomGateOpenElsewhere = false;
};

struct DrumRuleResult
{
    double gateValue;
    /** The caller clears its hit-in-progress flag and the hit's peak. */
    bool clearHitInProgress;
};

/** Keeps a learned tom or snare gate from following the other drum: applied to the clamped gate
    value that drives the tone stage and the hit bookkeeping. [audio thread] */
DrumRuleResult applyDrumRules (double gateValue, const DrumRuleInputs& in) noexcept;
} // namespace hoopvane
