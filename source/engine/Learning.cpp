#include "Learning.h"
#include "Units.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace hoopvane
{
namespace
{
    struct Range
    {
        double low, high;
    };

    // Where the learned statistics may land: a few odd hits must not teach the discriminator
    // values that would veto or pass everything.
    constexpr Range hfRatioRange { 0.1, 0.6 };
    constexpr Range crestRange { 1.5, 5.0 };
    constexpr Range onsetLevelRange { 0.01, 1.0 };
    constexpr Range riseSlopeRange { 10.0, 200.0 };
    constexpr Range bandRatioRange { 0.1, 5.0 };
    constexpr Range quietRatioRange { 0.2, 0.8 };
    constexpr Range decayRateRange { 0.1, 5.0 };

    // Measurements outside these bounds are failed measurements, not drum properties.
    constexpr double minimumRiseSlope = 5.0;
    constexpr Range decayRateAccepted { 0.05, 10.0 };

    constexpr double backgroundEnvelopeLimit = 0.085;
    constexpr double backgroundWeight = 0.002;
    constexpr double emptySpectrumSum = 1.0e-6;

    constexpr double tomHoldSeconds = 0.025;
    constexpr double peerSimilarityLimit = 0.88;

    constexpr double rollWindowSeconds = 0.08;
    constexpr double rollQuietFraction = 0.5;
    constexpr int maximumRollCounter = 3;

    constexpr int minimumHitsForFingerprint = 2;
    constexpr int minimumHistogramEntries = 4;
    constexpr double quietRatioOffsetDb = 6.0;
    constexpr double snareBottomCentroidHz = 1800.0;

    /** Bucket k of the level histogram stands for 2k - 39 dB. */
    int levelBucket (double env) noexcept
    {
        const double db = gainToDb (std::max (env, 1.0e-20));
        return std::clamp ((int) ((db + 40.0) / 2.0), 0, Learning::numLevelBuckets - 1);
    }

    constexpr double bucketLevelDb (int bucket) noexcept { return 2.0 * bucket - 39.0; }

    void updateMean (double& target, double sum, int count, Range range) noexcept
    {
        if (count > 0)
            target = std::clamp (sum / count, range.low, range.high);
    }

    double sumOf (const BandValues& values) noexcept
    {
        double sum = 0.0;
        for (const double v : values)
            sum += v;
        return sum;
    }
} // namespace

//==============================================================================
void Learning::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    tomHoldSamples = (std::int64_t) (int) (tomHoldSeconds * sampleRate);
    rollWindowSamples = rollWindowSeconds * sampleRate;
    reset();
}

void Learning::reset() noexcept
{
    pendingHit.active = false;
}

void Learning::resetLearning() noexcept
{
    setLearned (false);
    isSnareBottomFlag = false;
    completedInThisSession = false;
    clearCapturedData();
}

void Learning::startLearning() noexcept
{
    learning = true;
    setLearned (false);
    fingerprint.valid = false;
    isSnareBottomFlag = false;
    clearCapturedData();
}

void Learning::clearCapturedData() noexcept
{
    records.fill ({});
    writeIndex = 0;
    learnHitCount = 0;
    pendingHit.active = false;

    background.fill (0.0);
    sums = {};
    levelHistogram.fill (0);
    hasPreviousCapture = false;

    statistics = {};
    snareBrightness = 1.0;
}

void Learning::setLearned (bool isNowLearned) noexcept
{
    // Every change starts a new learned (or unlearned) state with its own events.
    fingerprintComplete = learned = isNowLearned;
    completedEventChecked = false;
    linkRequestMade = false;
}

void Learning::restoreFingerprint (const Fingerprint& fp, bool snareBottom, DrumMode mode) noexcept
{
    // The saved state replaces whatever was being learned.
    learning = false;
    pendingHit.active = false;

    fingerprint = fp;
    isSnareBottomFlag = snareBottom;
    setLearned (fp.valid);
    completedInThisSession = false;

    snareBrightness = 1.0;
    if (fp.valid)
        refreshDerivedFields (mode);
}

//==============================================================================
LearningBlockEvents Learning::beginBlock (bool calibrateOn, bool linkOn, DrumMode mode) noexcept
{
    if (resetRequested.exchange (false, std::memory_order_acq_rel))
        resetLearning();

    if (! calibrateOn && learning)
        summarise (mode);
    else if (calibrateOn && ! learning && ! learned)
        startLearning();

    return takeEvents (calibrateOn, linkOn);
}

LearningBlockEvents Learning::takeEvents (bool calibrateOn, bool linkOn) noexcept
{
    LearningBlockEvents events;
    events.learningEnded = std::exchange (learningEndedSinceLastBlock, false);

    if (! learned)
        return events;

    if (! completedEventChecked)
    {
        completedEventChecked = true;
        events.learnCompleted = calibrateOn;
    }

    // Only a learning finished here may switch "LINK" on; a loaded project keeps its choice.
    if (completedInThisSession && ! linkRequestMade && ! linkOn)
    {
        linkRequestMade = true;
        events.linkRequest = true;
    }

    return events;
}

//==============================================================================
void Learning::processSample (const DetectorReadings& r, DrumMode mode, std::int64_t sampleClock, bool remoteHitRecent) noexcept
{
    if (! learning)
        return;

    if (r.env < backgroundEnvelopeLimit)
        updateBackground (r.slowEnergy);

    addMeasurements (r);

    if (pendingHit.active)
        resolvePendingHit (r, mode, sampleClock, remoteHitRecent);
    else if (r.onset && isCapturing() && ! remoteHitRecent)
        captureHit (r, mode, sampleClock);
}

void Learning::updateBackground (const BandValues& slowEnergy) noexcept
{
    for (std::size_t k = 0; k < (std::size_t) numBands; ++k)
        background[k] += backgroundWeight * (std::sqrt (std::max (slowEnergy[k], 0.0)) - background[k]);
}

void Learning::addMeasurements (const DetectorReadings& r) noexcept
{
    if (r.windowClosed && r.features.hasHighBandEnergy)
        sums.bandRatio.add (r.features.bandRatio);

    if (r.riseSlopeMeasured && r.riseSlope > minimumRiseSlope)
        sums.riseSlope.add (r.riseSlope);

    if (r.decayRateMeasured && r.decayRate >= decayRateAccepted.low && r.decayRate <= decayRateAccepted.high)
        sums.decayRate.add (r.decayRate);

    if (r.hitLengthMeasured)
        sums.hitLengthSamples.add (r.hitLengthSamples);
}

//==============================================================================
void Learning::captureHit (const DetectorReadings& r, DrumMode mode, std::int64_t sampleClock) noexcept
{
    sums.onsetLevel.add (r.env);
    sums.hfRatio.add (r.hfRatio);
    sums.crest.add (r.crest);
    ++levelHistogram[(std::size_t) levelBucket (r.env)];
    ++statistics.histogramEntries;
    updateRollCounter (r.env, sampleClock);

    const auto hit = makeRecord (r.slowEnergy, r.env);

    // A tom's microphone hears the kick and snare loudly: wait until it is clear that the hit
    // was not theirs.
    if (mode == DrumMode::tom)
        pendingHit = { true, sampleClock, hit };
    else
        record (hit, mode);
}

void Learning::updateRollCounter (double env, std::int64_t sampleClock) noexcept
{
    const double quietLevel = rollQuietFraction * statistics.onsetLevel;
    const auto elapsed = sampleClock - previousCaptureClock;

    if (env >= quietLevel)
        statistics.rollCounter = 0;
    else if (hasPreviousCapture && previousCaptureLevel < quietLevel && elapsed >= 0 && (double) elapsed < rollWindowSamples)
        statistics.rollCounter = std::min (statistics.rollCounter + 1, maximumRollCounter);

    hasPreviousCapture = true;
    previousCaptureLevel = env;
    previousCaptureClock = sampleClock;
}

LearnedHitRecord Learning::makeRecord (const BandValues& slowEnergy, double onsetLevel) const noexcept
{
    BandValues raw {}, amplitudes {};
    for (std::size_t k = 0; k < (std::size_t) numBands; ++k)
    {
        raw[k] = std::sqrt (std::max (slowEnergy[k], 0.0));
        amplitudes[k] = std::max (0.0, raw[k] - background[k]);
    }

    // A hit no louder than the background would leave nothing: take it as it is.
    double total = sumOf (amplitudes) + 1.0e-20;
    if (total < emptySpectrumSum)
    {
        amplitudes = raw;
        total = sumOf (amplitudes) + 1.0e-20;
    }

    LearnedHitRecord hit;
    double centroidSum = 0.0;
    for (std::size_t k = 0; k < (std::size_t) numBands; ++k)
    {
        centroidSum += bandCentresHz[k] * amplitudes[k];
        hit.amplitudes[k] = amplitudes[k] / total;
    }
    hit.centroidHz = centroidSum / total;
    hit.onsetLevel = onsetLevel;
    hit.valid = true;
    hit.lowCentroidHz = lowBandCentroidHz (hit.amplitudes);
    return hit;
}

void Learning::resolvePendingHit (const DetectorReadings& r, DrumMode mode, std::int64_t sampleClock, bool remoteHitRecent) noexcept
{
    if (sampleClock - pendingHit.onsetClock < tomHoldSamples)
        return;

    pendingHit.active = false;
    if (! remoteHitRecent && ! soundsLikeLinkedPeer (r))
        record (pendingHit.record, mode);
}

bool Learning::soundsLikeLinkedPeer (const DetectorReadings& r) const noexcept
{
    for (const auto* peer : { peerKick, peerSnare })
        if (peer != nullptr && fingerprintSimilarity (*peer, r.slowEnergy, r.lowCentroid, r.env) > peerSimilarityLimit)
            return true;
    return false;
}

void Learning::record (const LearnedHitRecord& hit, DrumMode mode) noexcept
{
    records[(std::size_t) writeIndex] = hit;
    writeIndex = (writeIndex + 1) % recordCapacity;

    const bool lastHit = learnHitCount == hitsToLearn - 1;
    statistics.capturedHits = ++learnHitCount;

    if (lastHit)
        summarise (mode);
}

//==============================================================================
void Learning::summarise (DrumMode mode) noexcept
{
    learning = false;
    pendingHit.active = false;
    learningEndedSinceLastBlock = true;

    if (! averageRecords())
    {
        setLearned (false);
        fingerprint.valid = false;
        return;
    }

    setLearned (true);
    completedInThisSession = true;
    isSnareBottomFlag = mode == DrumMode::snare && fingerprint.centroidHz < snareBottomCentroidHz;
    summariseStatistics();
    refreshDerivedFields (mode);
    std::fill (std::begin (fingerprint.zoomReference), std::end (fingerprint.zoomReference), 0.0);
}

bool Learning::averageRecords() noexcept
{
    BandValues bands {};
    double centroid = 0.0, level = 0.0;
    int n = 0;

    for (int i = 0; i < std::min (learnHitCount, recordCapacity); ++i)
    {
        const auto& hit = records[(std::size_t) i];
        if (! hit.valid)
            continue;

        for (std::size_t k = 0; k < (std::size_t) numBands; ++k)
            bands[k] += hit.amplitudes[k];
        centroid += hit.centroidHz;
        level += hit.onsetLevel;
        ++n;
    }

    if (n < minimumHitsForFingerprint)
        return false;

    for (auto& b : bands)
        b /= n;
    fingerprint.setBands (bands);
    fingerprint.centroidHz = centroid / n;
    fingerprint.hitLevel = level / n;
    fingerprint.valid = true;
    return true;
}

void Learning::summariseStatistics() noexcept
{
    updateMean (statistics.hfRatio, sums.hfRatio.sum, sums.hfRatio.count, hfRatioRange);
    updateMean (statistics.crest, sums.crest.sum, sums.crest.count, crestRange);
    updateMean (statistics.onsetLevel, sums.onsetLevel.sum, sums.onsetLevel.count, onsetLevelRange);
    updateMean (statistics.riseSlope, sums.riseSlope.sum, sums.riseSlope.count, riseSlopeRange);
    updateMean (statistics.bandRatio, sums.bandRatio.sum, sums.bandRatio.count, bandRatioRange);
    updateMean (statistics.decayRate, sums.decayRate.sum, sums.decayRate.count, decayRateRange);

    const int entries = statistics.histogramEntries;
    if (entries < minimumHistogramEntries)
        return;

    double meanLevelDb = 0.0;
    for (int k = 0; k < numLevelBuckets; ++k)
        meanLevelDb += levelHistogram[(std::size_t) k] * bucketLevelDb (k);
    meanLevelDb /= entries;

    const double quietLevel = dbToGain (meanLevelDb - quietRatioOffsetDb);
    statistics.quietRatio = std::clamp (quietLevel / statistics.onsetLevel, quietRatioRange.low, quietRatioRange.high);
}

void Learning::refreshDerivedFields (DrumMode mode) noexcept
{
    const auto& fp = fingerprint;
    snareBrightness = mode == DrumMode::snare
                          ? (fp.band3k5 + fp.band5k + fp.band7k + fp.band10k + 1.0e-12) / (fp.band63 + fp.band125 + fp.band250 + fp.band500 + 1.0e-12)
                          : 1.0;
    refreshLowBandFields (fingerprint);
}

double Learning::getAverageHitLengthMs() const noexcept
{
    return hasHitLength() ? sums.hitLengthSamples.mean() / sampleRate * 1000.0 : 0.0;
}
} // namespace hoopvane
