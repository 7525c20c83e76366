#pragma once

#include "AttackReleaseFollower.h"
#include "BandShaper.h"
#include "Biquad.h"
#include "DecayMeasurement.h"
#include "DetectorReadings.h"
#include "DrumMode.h"
#include "ExpanderVoicing.h"
#include "Fingerprint.h"
#include "GainLaw.h"
#include "HitRateMonitor.h"

#include <array>
#include <limits>

namespace hoopvane
{
/** Where the expander stands with the current opening. */
enum class HitState : int
{
    Closed = 0,
    Checking = 1,
    Open = 2,
    Rejecting = 3
};

/** Everything the expander reads in one sample. */
struct ExpanderInputs
{
    /** The age of a remote hit that is not there. */
    static constexpr int noRemoteHit = std::numeric_limits<int>::max();

    double delayedLeft = 0.0, delayedRight = 0.0; ///< dL, dR: the pair the gains apply to
    double inputLeft = 0.0, inputRight = 0.0; ///< the undelayed, sanitised pair: level and key
    double match = 1.0; ///< the effective match m
    /** Slow band energies, windowClosed and env of this sample; null reads as silence. */
    const DetectorReadings* readings = nullptr;
    /** The bleed score of the latest closed hit window. */
    double hitBleedScore = 0.0;
    double contextOffsetDb = 0.0; ///< ctx
    bool bleedConsistent = false; ///< the sound looks like another instance's bleed
    int tomGroupHitAgeSamples = noRemoteHit;
    int kickGroupHitAgeSamples = noRemoteHit;
    int snareGroupHitAgeSamples = noRemoteHit;
    double eqLowDb = 0.0, eqMidDb = 0.0, eqHighDb = 0.0; ///< bleed equaliser
    /** The ghost-note stage's cap on max(S1, S2, S3); 1 = none. */
    double gainCap = 1.0;
};

/** The three-band downward expander that closes the microphone between the drum's hits.

    The key is the undelayed level scaled by the fingerprint match, so the gate opens ahead of
    the sound it lets through. Each opening is accepted, checked and confirmed or rejected by the
    hit state machine; release times follow "SUSTAIN", the measured decay of the drum and the
    playing rate. Band indices are 0 low, 1 mid, 2 high.

    prepare() and reset() run on the preparation thread; the rest on the audio thread.
*/
class Expander
{
public:
    using BandTriple = std::array<double, 3>;

    struct Output
    {
        double left, right;
    };

    void prepare (double sampleRate);

    /** Closed, counters 0, key followers 0, gain smoothers and gate value 1 (open), band gains
        0 dB, no decay measurement running. The adaptive releases and their flag survive. */
    void reset() noexcept;

    /** Per-drum constants and the detection band; learnedFingerprint is null until the instance
        has learned. Filters are only redesigned when the band changes. [audio thread] */
    void configure (DrumMode mode, bool snareBottom, const Fingerprint* learnedFingerprint) noexcept;

    /** Ratios, releases and thresholds for the block. [audio thread] */
    void beginBlock (double sustainMs, double thresholdDb, double rangeDb) noexcept;

    /** [audio thread] */
    Output process (const ExpanderInputs& in) noexcept;

    //==============================================================================
    /** Gf: the smoothed overall openness that drives the tone stage and the hit bookkeeping. */
    double getGateValue() const noexcept { return gateValue; }
    /** max(S1, S2, S3) after the ghost-note cap, for the meters. */
    double getFinalGain() const noexcept { return finalGain; }

    HitState getHitState() const noexcept { return hitState; }
    bool isHitInProgress() const noexcept { return hitInProgress; }
    /** The peak of env since the hit in progress was accepted. */
    double getHitPeakEnvelope() const noexcept { return hitPeakEnvelope; }
    void clearHitInProgress() noexcept;
    bool wasHitAcceptedThisSample() const noexcept { return hitAcceptedThisSample; }
    double getAcceptMatch() const noexcept { return acceptMatch; }

    BandTriple getKeyFollowers() const noexcept { return valuesOf (keyFollowers); }
    const BandTriple& getTargets() const noexcept { return targets; }
    BandTriple getSmoothedGains() const noexcept { return valuesOf (smoothers); }
    const BandTriple& getBandGainsDb() const noexcept { return bandGainsDb; }

    const DetectionBand& getDetectionBand() const noexcept { return band; }
    const DecayMeasurement& getDecayMeasurement() const noexcept { return decay; }
    double getReleaseFactor() const noexcept { return hitRate.getFactor(); }

private:
    using Followers = std::array<AttackReleaseFollower, 3>;

    /** The slow-band picture of the sound that the state machine compares against. */
    struct Balance
    {
        double lowEnergy = 0.0; ///< e63 + e125
        double hfLfRatio = 0.0; ///< (e5000 + e7000 + e10000) / (e63 + e125)
        double centroidHz = 0.0; ///< full spectral centroid

        static Balance of (const BandValues& slowEnergy) noexcept;
    };

    static BandTriple valuesOf (const Followers& followers) noexcept;

    void applyVoicing() noexcept;
    void designBandFilters() noexcept;
    void deriveBlockValues() noexcept;
    void applyReleases() noexcept;

    double keyFor (double level, double match, double contextOffsetDb, double hfLfRatio) const noexcept;
    void updateKeyFollowers (double key, double level) noexcept;
    bool computeTargets() noexcept;

    void stepHitState (bool openFlag, const ExpanderInputs& in, const DetectorReadings& readings, const Balance& now) noexcept;
    void stepClosed (bool openFlag, const ExpanderInputs& in, const DetectorReadings& readings, const Balance& now) noexcept;
    void stepChecking (const ExpanderInputs& in, const Balance& now) noexcept;
    bool confirmsAtOnce (const ExpanderInputs& in, const Balance& now) const noexcept;
    void stepOpen() noexcept;
    void stepRejecting() noexcept;
    void acceptHit (HitState next, const ExpanderInputs& in, const DetectorReadings& readings, const Balance& now) noexcept;
    void enterState (HitState next) noexcept;
    void holdRejectedBands() noexcept;
    void pullClosedBands (bool openFlag, const ExpanderInputs& in) noexcept;
    bool remoteTomHitHoldsBands (const ExpanderInputs& in) const noexcept;

    void smoothGains (double gainCap) noexcept;
    void updateGateValue() noexcept;
    void updateBandGains (const ExpanderInputs& in, const Balance& now) noexcept;
    /** A smoothed gain in dB for the band gains: 0 near unity, RANGE near silence. */
    double bandGainDb (double gain) const noexcept;

    bool isSnareTop() const noexcept { return mode == DrumMode::snare && ! snareBottom; }

    //==============================================================================
    double sampleRate = 44100.0;
    DrumMode mode = DrumMode::tom;
    bool snareBottom = false;
    const ExpanderVoicing* voicing = &ExpanderVoicing::forDrum (DrumMode::tom, false);
    DetectionBand band = detectionBandFor (DrumMode::tom, false, nullptr);

    // Constants of the rate and the voicing
    int checkSamples = 0, rejectSamples = 0, minimumOpenSamples = 0;
    double bandGainCoefficient = 0.0;

    // Block values
    double sustainMs = 150.0, thresholdDb = 0.0, rangeDb = 0.0, rangeLin = 1.0;
    double sustainScale = 1.0; ///< s' = 0.7 s + 0.8
    std::array<GainLaw, 3> laws;
    BandTriple openThresholds {}, exitThresholds {};

    // Key
    Biquad levelHighPass;
    double previousLevelHighPass = 0.0;
    Followers keyFollowers;

    // Gains
    BandTriple targets {};
    Followers smoothers;
    double finalGain = 1.0;
    double gateValue = 1.0;
    BandTriple bandGainsDb {};
    BandShaper shaper;

    // Hit state
    HitState hitState = HitState::Closed;
    int stateCounter = 0;
    Balance acceptedBalance;
    double acceptMatch = 1.0;
    double rejectedMid = 0.0, rejectedHigh = 0.0;
    bool hitInProgress = false;
    double hitPeakEnvelope = 0.0;
    bool hitAcceptedThisSample = false;
    bool hitWindowClosedSinceAcceptance = false;

    DecayMeasurement decay;
    HitRateMonitor hitRate;
};
} // namespace hoopvane
