#include "Expander.h"
#include "Units.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr int low = 0, mid = 1, high = 2;

    constexpr double keyAttackMs = 0.15;
    constexpr Expander::BandTriple smootherAttackMs { 2.0, 0.4, 0.3 };
    constexpr double minimumReleaseMs = 0.01;

    /** The band floors relative to "RANGE": the mid and high bands may close a little further. */
    constexpr Expander::BandTriple floorScale { 1.0, 0.9, 0.75 };
    /** Open and exit thresholds keep this distance above a floor, so a gentle "RANGE" can still
        tell open from closed. */
    constexpr double floorMargin = 1.1;
    constexpr double openThreshold = 0.5;
    constexpr Expander::BandTriple exitThreshold { 0.15, 0.2, 0.25 };
    constexpr double minimumOpenMs = 5.0;

    constexpr double levelHighPassQ = 0.65; // alpha = sin w / 1.3
    constexpr double transientRiseStep = 0.01;
    constexpr double transientRiseGain = 12.0;
    constexpr double maximumTransientBoost = 0.4;

    constexpr double gateFallPerSample = 0.012;
    constexpr double gateSnapDistance = 0.002;
    constexpr double bandGainSmoothingMs = 1.0;
    constexpr double unityGain = 0.999, silentGain = 0.0011;

    constexpr double rejectPull = 0.03;
    constexpr double closedPull = 0.06;
    constexpr int remoteHitWindowSamples = 440;

    constexpr double lowEnergyGuard = 1.0e-10;

    const DetectorReadings silentReadings {};

} // namespace

//==============================================================================
Expander::Balance Expander::Balance::of (const BandValues& e) noexcept
{
    Balance b;
    b.lowEnergy = e[band::hz63] + e[band::hz125];
    b.hfLfRatio = (e[band::hz5k] + e[band::hz7k] + e[band::hz10k]) / (b.lowEnergy + lowEnergyGuard);

    double sum = 0.0, weighted = 0.0;
    for (int k = 0; k < numBands; ++k)
    {
        sum += e[(size_t) k];
        weighted += bandCentresHz[(size_t) k] * e[(size_t) k];
    }
    b.centroidHz = sum > denormalFloor ? weighted / sum : 0.0;
    return b;
}

Expander::BandTriple Expander::valuesOf (const Followers& followers) noexcept
{
    return { followers[low].getValue(), followers[mid].getValue(), followers[high].getValue() };
}

//==============================================================================
void Expander::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;
    for (int b = 0; b < 3; ++b)
        smoothers[(size_t) b].setAttack (AttackReleaseFollower::coefficientFor (smootherAttackMs[(size_t) b], sampleRate));

    minimumOpenSamples = samplesForMs (minimumOpenMs, sampleRate);
    bandGainCoefficient = 1.0 - std::exp (-1.0 / (bandGainSmoothingMs * 0.001 * sampleRate));
    decay.prepare (sampleRate);
    hitRate.prepare (sampleRate);

    applyVoicing();
    designBandFilters();
    deriveBlockValues();
    reset();
}

void Expander::reset() noexcept
{
    hitState = HitState::Closed;
    stateCounter = 0;
    for (auto& f : keyFollowers)
        f.reset();
    // The gate starts open and closes by its release law, so a transport start never mutes
    // the first beat before the detectors have heard anything.
    for (auto& s : smoothers)
        s.reset (1.0);

    levelHighPass.reset();
    previousLevelHighPass = 0.0;
    targets = {};
    finalGain = 1.0;
    gateValue = 1.0;
    bandGainsDb = {};
    shaper.reset();

    acceptedBalance = {};
    acceptMatch = 1.0;
    rejectedMid = rejectedHigh = 0.0;
    clearHitInProgress();
    hitAcceptedThisSample = false;
    hitWindowClosedSinceAcceptance = false;

    decay.reset();
    hitRate.reset();
    applyReleases();
}

void Expander::configure (DrumMode newMode, bool newSnareBottom, const Fingerprint* learnedFingerprint) noexcept
{
    const bool bottom = newMode == DrumMode::snare && newSnareBottom;
    if (newMode != mode || bottom != snareBottom)
    {
        mode = newMode;
        snareBottom = bottom;
        voicing = &ExpanderVoicing::forDrum (mode, snareBottom);
        applyVoicing();
        deriveBlockValues();
    }

    const auto newBand = detectionBandFor (mode, snareBottom, learnedFingerprint);
    if (newBand != band)
    {
        band = newBand;
        designBandFilters();
    }
}

void Expander::applyVoicing() noexcept
{
    const BandTriple keyReleaseMs { voicing->r1BaseMs, voicing->r2BaseMs, voicing->f3ReleaseMs };
    const double attack = AttackReleaseFollower::coefficientFor (keyAttackMs, sampleRate);
    for (int b = 0; b < 3; ++b)
    {
        keyFollowers[(size_t) b].setAttack (attack);
        keyFollowers[(size_t) b].setRelease (AttackReleaseFollower::coefficientFor (keyReleaseMs[(size_t) b], sampleRate));
    }

    checkSamples = samplesForMs (voicing->checkMs, sampleRate);
    rejectSamples = samplesForMs (voicing->rejectMs, sampleRate);
}

void Expander::designBandFilters() noexcept
{
    levelHighPass.setCoefficients (rbj::highPass (sampleRate, band.highHz, levelHighPassQ));
    shaper.prepare (sampleRate, band);
    decay.setBand (band);
}

//==============================================================================
void Expander::beginBlock (double newSustainMs, double newThresholdDb, double newRangeDb) noexcept
{
    sustainMs = newSustainMs;
    thresholdDb = newThresholdDb;
    rangeDb = newRangeDb;
    deriveBlockValues();
}

void Expander::deriveBlockValues() noexcept
{
    const auto& table = ModeTable::forMode (mode);
    const double s = std::clamp ((sustainMs - table.sustainMapLowMs) / (table.sustainMapHighMs - table.sustainMapLowMs), 0.0, 1.0);
    sustainScale = 0.7 * s + 0.8;

    const BandTriple ratios { std::lerp (voicing->ratioLowAtSustainMin, voicing->ratioLowAtSustainMax, s),
                              std::lerp (voicing->ratioMidAtSustainMin, voicing->ratioMidAtSustainMax, s),
                              voicing->ratioHigh };

    rangeLin = dbToGain (rangeDb);
    for (size_t b = 0; b < 3; ++b)
    {
        const double floorGain = floorScale[b] * rangeLin;
        laws[b].configure (thresholdDb, ratios[b], floorGain);
        openThresholds[b] = std::max (openThreshold, floorMargin * floorGain);
        exitThresholds[b] = std::max (exitThreshold[b], floorMargin * floorGain);
    }

    applyReleases();
}

void Expander::applyReleases() noexcept
{
    // The playing-rate factor holds from one evaluation to the next, block starts included.
    const double factor = hitRate.getFactor();
    const bool adaptive = decay.isAdaptive();
    const BandTriple releaseMs {
        voicing->r1BaseMs * sustainScale,
        adaptive ? decay.getRelCentreMs() * sustainScale : voicing->r2BaseMs * (1.0 + 0.65 * (sustainScale - 1.0)),
        adaptive ? decay.getRelHighMs() : voicing->s3ReleaseMs
    };

    for (size_t b = 0; b < 3; ++b)
        smoothers[b].setRelease (AttackReleaseFollower::coefficientFor (std::max (minimumReleaseMs, releaseMs[b] * factor), sampleRate));
}

//==============================================================================
Expander::Output Expander::process (const ExpanderInputs& in) noexcept
{
    const auto& readings = in.readings != nullptr ? *in.readings : silentReadings;
    const auto now = Balance::of (readings.slowEnergy);

    hitAcceptedThisSample = false;
    if (readings.windowClosed)
        hitWindowClosedSinceAcceptance = true;
    if (hitInProgress)
        hitPeakEnvelope = std::max (hitPeakEnvelope, readings.env);

    // Level and key come from the undelayed pair: the gate opens before the sound arrives.
    const double level = 0.5 * (std::abs (in.inputLeft) + std::abs (in.inputRight));
    updateKeyFollowers (keyFor (level, in.match, in.contextOffsetDb, now.hfLfRatio), level);

    const bool openFlag = computeTargets();
    stepHitState (openFlag, in, readings, now);
    smoothGains (in.gainCap);
    updateGateValue();
    updateBandGains (in, now);

    decay.process (in.delayedLeft, in.delayedRight);
    if (hitRate.advance())
        applyReleases();

    shaper.setGains (bandGainsDb);
    return { shaper.process (0, in.delayedLeft), shaper.process (1, in.delayedRight) };
}

double Expander::keyFor (double level, double match, double contextOffsetDb, double hfLfRatio) const noexcept
{
    double key = (0.75 * match + 0.55) * level;

    // The context offset lifts a matching sound near the threshold fully, and one far below it
    // only a little, so loud playing elsewhere in the kit does not open the gate on bleed. A
    // bright sound on a tom is left alone: it is most likely a cymbal.
    const bool brightOnTom = mode == DrumMode::tom && hfLfRatio > 1.0;
    if (match > 0.4 && contextOffsetDb > 0.01 && ! brightOnTom)
    {
        const double dbBelow = thresholdDb - gainToDb (std::max (key, GainLaw::minimumLevel));
        const double weight = dbBelow <= 10.0 ? 1.0 : (dbBelow >= 16.0 ? 0.15 : (16.0 - dbBelow) * 0.85 / 6.0 + 0.15);
        key *= dbToGain (contextOffsetDb * weight);
    }
    return key;
}

void Expander::updateKeyFollowers (double key, double level) noexcept
{
    for (auto& f : keyFollowers)
        f.process (key);

    // A sharp rise at the top of the band pushes the fast mid and high followers ahead of their
    // attack. It lifts them to a multiple of the key, never multiplies their state, so loud
    // broadband material cannot compound them upwards.
    const double highPassed = levelHighPass.process (level);
    const double rise = highPassed - previousLevelHighPass;
    previousLevelHighPass = highPassed;
    if (rise > transientRiseStep)
    {
        const double boost = std::min (maximumTransientBoost, transientRiseGain * rise);
        keyFollowers[high].raiseTo ((1.0 + boost) * key);
        keyFollowers[mid].raiseTo ((1.0 + 0.5 * boost) * key);
    }

    for (auto& f : keyFollowers)
        f.resetIfNotFinite();
}

bool Expander::computeTargets() noexcept
{
    bool openFlag = false;
    for (size_t b = 0; b < 3; ++b)
    {
        targets[b] = laws[b].gainFor (keyFollowers[b].getValue());
        openFlag = openFlag || targets[b] > openThresholds[b];
    }
    return openFlag;
}

//==============================================================================
void Expander::stepHitState (bool openFlag, const ExpanderInputs& in, const DetectorReadings& readings, const Balance& now) noexcept
{
    switch (hitState)
    {
        case HitState::Closed:
            stepClosed (openFlag, in, readings, now);
            break;
        case HitState::Checking:
            stepChecking (in, now);
            break;
        case HitState::Open:
            stepOpen();
            break;
        case HitState::Rejecting:
            stepRejecting();
            break;
    }

    if (hitState == HitState::Rejecting)
        holdRejectedBands();
    else if (hitState == HitState::Closed)
        pullClosedBands (openFlag, in);
}

void Expander::stepClosed (bool openFlag, const ExpanderInputs& in, const DetectorReadings& readings, const Balance& now) noexcept
{
    if (! openFlag)
        return;

    const double m = in.match;
    const bool flagged = in.bleedConsistent;
    if (m > 0.85)
    {
        acceptHit (flagged ? HitState::Checking : HitState::Open, in, readings, now);
        return;
    }

    const bool worthChecking = m > (flagged ? 0.8 : 0.7)
                               || (m > (flagged ? 0.7 : 0.5) && now.hfLfRatio < voicing->hd0)
                               || (! flagged && (now.hfLfRatio < voicing->hd1 || targets[high] > 0.7 || targets[mid] > 0.7));
    if (worthChecking)
        acceptHit (HitState::Checking, in, readings, now);
}

void Expander::acceptHit (HitState next, const ExpanderInputs& in, const DetectorReadings& readings, const Balance& now) noexcept
{
    hitRate.countHit();
    acceptMatch = in.match;
    acceptedBalance = now;
    hitWindowClosedSinceAcceptance = false;

    // A snare bottom's decay is the wires, not the drum.
    if (! snareBottom)
        decay.startHit (acceptMatch);

    enterState (next);
    hitInProgress = true;
    hitPeakEnvelope = readings.env;
    hitAcceptedThisSample = true;
}

void Expander::stepChecking (const ExpanderInputs& in, const Balance& now) noexcept
{
    ++stateCounter;
    const bool confirmed = confirmsAtOnce (in, now);
    if (! confirmed && stateCounter < checkSamples)
        return;

    const bool brightAndUnlike = ! confirmed && in.match < 0.5 && now.hfLfRatio > voicing->hd0;
    // A tom that matched this weakly when it opened is most likely the neighbouring tom.
    const bool weakTom = mode == DrumMode::tom && acceptMatch < 0.7;
    enterState (brightAndUnlike || weakTom ? HitState::Rejecting : HitState::Open);
}

bool Expander::confirmsAtOnce (const ExpanderInputs& in, const Balance& now) const noexcept
{
    const auto& v = *voicing;
    const double m = in.match;
    const double rise = now.lowEnergy - acceptedBalance.lowEnergy;

    const bool lowBandRose = rise > v.lfRiseAbsolute && rise > acceptedBalance.lowEnergy * v.lfRiseRelative;
    // The bleed score belongs to this hit only once its analysis window has closed.
    const bool scoredAsOwn = hitWindowClosedSinceAcceptance && m > 0.8 && in.hitBleedScore < 0.7;
    const bool centroidFell = acceptedBalance.centroidHz - now.centroidHz > 300.0 && rise > 0.005;
    const bool bottomMicHit = snareBottom && (m > 0.6 || now.hfLfRatio < 15.0);

    return lowBandRose || now.hfLfRatio < v.hd1 || scoredAsOwn || (m > 0.65 && now.hfLfRatio < v.hd0) || centroidFell
           || bottomMicHit;
}

void Expander::stepOpen() noexcept
{
    if (++stateCounter < minimumOpenSamples)
        return;

    const auto s = getSmoothedGains();
    const bool closedDown = s[mid] < exitThresholds[mid] && s[high] < exitThresholds[high]
                            && (isSnareTop() || s[low] < exitThresholds[low]);
    if (closedDown)
        enterState (HitState::Closed);
}

void Expander::stepRejecting() noexcept
{
    if (++stateCounter < rejectSamples)
        return;

    enterState (HitState::Closed);
    targets[mid] = targets[high] = rangeLin;
}

void Expander::enterState (HitState next) noexcept
{
    if (next == HitState::Rejecting)
    {
        rejectedMid = smoothers[mid].getValue();
        rejectedHigh = smoothers[high].getValue();
    }

    hitState = next;
    stateCounter = 0;
    if (next == HitState::Closed || next == HitState::Rejecting)
        clearHitInProgress();
}

void Expander::clearHitInProgress() noexcept
{
    hitInProgress = false;
    hitPeakEnvelope = 0.0;
}

void Expander::holdRejectedBands() noexcept
{
    // The rejected sound may still be loud: the mid and high bands follow their own path down
    // instead of the gain law until the reject time has passed.
    const double target = floorMargin * rangeLin;
    rejectedMid += rejectPull * (target - rejectedMid);
    rejectedHigh += rejectPull * (target - rejectedHigh);
    targets[mid] = rejectedMid;
    targets[high] = rejectedHigh;
}

void Expander::pullClosedBands (bool openFlag, const ExpanderInputs& in) noexcept
{
    const double midFloor = laws[mid].getFloorGain();
    const double highFloor = laws[high].getFloorGain();

    if (! remoteTomHitHoldsBands (in))
    {
        targets[mid] += closedPull * (midFloor - targets[mid]);
        targets[high] += closedPull * (highFloor - targets[high]);
    }

    // Bleed that does not match keeps the bands from creeping open.
    const double m = in.match;
    if (! openFlag && m < 0.5 && std::max ({ targets[mid], targets[high], smoothers[mid].getValue() }) > 2.0 * rangeLin)
    {
        const double fraction = std::min (0.12, 0.24 * (0.5 - m));
        targets[mid] += fraction * (midFloor - targets[mid]);
        targets[high] += fraction * (highFloor - targets[high]);
    }
}

bool Expander::remoteTomHitHoldsBands (const ExpanderInputs& in) const noexcept
{
    const bool tomHitNearby = in.tomGroupHitAgeSamples < remoteHitWindowSamples && mode != DrumMode::snare;
    const bool kickOrSnareBleed = (in.kickGroupHitAgeSamples < remoteHitWindowSamples || in.snareGroupHitAgeSamples < remoteHitWindowSamples)
                                  && mode != DrumMode::kick && in.bleedConsistent;
    return tomHitNearby && ! kickOrSnareBleed;
}

//==============================================================================
void Expander::smoothGains (double gainCap) noexcept
{
    for (size_t b = 0; b < 3; ++b)
        smoothers[b].process (std::max (targets[b], 0.0));

    const auto s = getSmoothedGains();
    finalGain = std::min (std::max ({ s[low], s[mid], s[high] }), gainCap);
}

void Expander::updateGateValue() noexcept
{
    // Rises at once, falls by a fixed share of the distance per sample.
    if (finalGain <= gateValue && gateValue - finalGain >= gateSnapDistance)
        gateValue += gateFallPerSample * (finalGain - gateValue);
    else
        gateValue = finalGain;
}

double Expander::bandGainDb (double gain) const noexcept
{
    if (gain >= unityGain)
        return 0.0;
    if (gain <= silentGain)
        return rangeDb;
    return std::min (0.0, std::max (rangeDb, hoopvane::gainToDb (gain)));
}

void Expander::updateBandGains (const ExpanderInputs& in, const Balance& now) noexcept
{
    const auto s = getSmoothedGains();
    BandTriple target { bandGainDb (s[low]), bandGainDb (s[mid]), bandGainDb (s[high]) };
    const auto& v = *voicing;
    const double g = finalGain;

    if (hitState != HitState::Closed && now.hfLfRatio > v.hd1)
        target[high] -= 6.0 * std::clamp ((now.hfLfRatio - v.hd1) / (v.hd0 - v.hd1), 0.0, 1.0);

    if (acceptMatch < 0.5 && g > 0.1 && g < 0.7)
        target[high] -= 4.0 * (0.5 - acceptMatch);

    const bool bleedToCut = std::min ({ in.eqLowDb, in.eqMidDb, in.eqHighDb }) < -0.5;
    if (hitState == HitState::Open && g > 0.01 && g < 0.7 && bleedToCut)
    {
        const double q = std::clamp (2.0 * (0.7 - g), 0.0, 1.0);
        target[low] += 0.3 * q * in.eqLowDb;
        target[mid] += q * in.eqMidDb;
        target[high] += q * in.eqHighDb;
    }

    for (size_t b = 0; b < 3; ++b)
    {
        const double clamped = std::min (0.0, std::max (rangeDb, target[b]));
        bandGainsDb[b] += bandGainCoefficient * (clamped - bandGainsDb[b]);
    }
}
} // namespace hoopvane
