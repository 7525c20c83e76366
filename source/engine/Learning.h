#pragma once

#include "Bands.h"
#include "DetectorReadings.h"
#include "DrumMode.h"
#include "Fingerprint.h"
#include "LearnedStatistics.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace hoopvane
{
/** The spectrum of one captured hit, normalised so that its ten amplitudes sum to 1. */
struct LearnedHitRecord
{
    BandValues amplitudes {};
    double centroidHz = 0.0;
    double onsetLevel = 0.0;
    bool valid = false;
    double lowCentroidHz = 0.0;
    double reserved[4] {};
    int tag = -1;
};

/** What the learning stage reports at a block start. */
struct LearningBlockEvents
{
    /** A learning produced a fingerprint while "CALIBRATE" is still on: the editor switches it off. */
    bool learnCompleted = false;
    /** A fingerprint learned in this session wants "LINK" on; the rest of the block runs as linked. */
    bool linkRequest = false;
    /** A learning ended (with or without a fingerprint) since the previous block start. */
    bool learningEnded = false;
};

/** "Hit LEARN, then play 8 normal hits": captures the spectra of the drum's hits while
    "CALIBRATE" is on, summarises them into the drum's Fingerprint and learns the reference
    statistics that later hits are judged against.

    Real-time contract: beginBlock() and processSample() run on the audio thread and allocate,
    lock and log nothing. requestReset() is the only call the message thread may make while
    blocks run; prepare(), restoreFingerprint() and the setters are called between blocks.
*/
class Learning
{
public:
    static constexpr int hitsToLearn = 8;
    static constexpr int recordCapacity = 16;
    static constexpr int numLevelBuckets = 20;

    void prepare (double sampleRate) noexcept;

    /** Drops a tom hit still waiting for its decision; learned data survives. */
    void reset() noexcept;

    /** Back to the unlearned state. `learning` and the fingerprint's field values stay: they
        are unused while nothing is learned, and a running learning ends with "CALIBRATE". */
    void resetLearning() noexcept;

    /** Asks for resetLearning() at the next block start, so it never races a block.
        [message thread] */
    void requestReset() noexcept { resetRequested.store (true, std::memory_order_release); }

    /** Applies a requested reset, runs the state machine and returns this block's events.
        [audio thread] */
    LearningBlockEvents beginBlock (bool calibrateOn, bool linkOn, DrumMode mode) noexcept;

    /** Background spectrum, hit capture and measurement statistics while learning.
        [audio thread] */
    void processSample (const DetectorReadings& r, DrumMode mode, std::int64_t sampleClock, bool remoteHitRecent) noexcept;

    /** A sample-rate or drum-mode change: the fingerprint no longer describes this drum. */
    void discardLearning() noexcept { resetLearning(); }

    /** Installs a fingerprint from saved state. The learned flags follow its `valid`; a
        restored fingerprint never asks for "LINK", which the project saved as it wanted. */
    void restoreFingerprint (const Fingerprint& fp, bool snareBottom, DrumMode mode) noexcept;

    /** The snare-partner rule of the link stage decides the snare position after learning. */
    void setSnareBottom (bool snareBottom) noexcept { isSnareBottomFlag = snareBottom; }

    /** Fingerprints of a linked kick and snare (null when absent): a tom does not learn hits
        that sound like them. The pointed-to records must outlive their use. */
    void setLinkedPeerFingerprints (const Fingerprint* kick, const Fingerprint* snare) noexcept
    {
        peerKick = kick;
        peerSnare = snare;
    }

    //==============================================================================
    /** Learning with fewer than eight hits captured: the detector gates onsets on it. */
    bool isCapturing() const noexcept { return learning && learnHitCount < hitsToLearn; }
    bool isLearning() const noexcept { return learning; }
    bool isLearned() const noexcept { return learned; }
    bool isFingerprintComplete() const noexcept { return fingerprintComplete; }
    bool isSnareBottom() const noexcept { return isSnareBottomFlag; }
    int getLearnHitCount() const noexcept { return learnHitCount; }

    const Fingerprint& getFingerprint() const noexcept { return fingerprint; }
    const LearnedStatistics& getStatistics() const noexcept { return statistics; }
    /** HF / LF amplitude ratio of a learned snare; 1 otherwise. */
    double getSnareBrightness() const noexcept { return snareBrightness; }

    /** Mean length of the learned hits, for the LF tightener's window. */
    bool hasHitLength() const noexcept { return sums.hitLengthSamples.count > 0; }
    double getAverageHitLengthMs() const noexcept;

private:
    struct RunningMean
    {
        double sum = 0.0;
        int count = 0;

        void add (double x) noexcept
        {
            sum += x;
            ++count;
        }
        double mean() const noexcept { return sum / count; }
    };

    struct StatisticSums
    {
        RunningMean onsetLevel, hfRatio, crest, riseSlope, bandRatio, decayRate, hitLengthSamples;
    };

    /** A tom hit waits int(0.025 fs) samples before it may be recorded. */
    struct PendingHit
    {
        bool active = false;
        std::int64_t onsetClock = 0;
        LearnedHitRecord record;
    };

    void startLearning() noexcept;
    void clearCapturedData() noexcept;
    void setLearned (bool isNowLearned) noexcept;
    LearningBlockEvents takeEvents (bool calibrateOn, bool linkOn) noexcept;

    void updateBackground (const BandValues& slowEnergy) noexcept;
    void addMeasurements (const DetectorReadings& r) noexcept;
    void captureHit (const DetectorReadings& r, DrumMode mode, std::int64_t sampleClock) noexcept;
    void addCaptureStatistics (double env, std::int64_t sampleClock) noexcept;
    void updateRollCounter (double env, std::int64_t sampleClock) noexcept;
    LearnedHitRecord makeRecord (const BandValues& slowEnergy, double onsetLevel) const noexcept;
    void resolvePendingHit (const DetectorReadings& r, DrumMode mode, std::int64_t sampleClock, bool remoteHitRecent) noexcept;
    bool soundsLikeLinkedPeer (const DetectorReadings& r) const noexcept;
    void record (const LearnedHitRecord& hit, DrumMode mode) noexcept;

    void summarise (DrumMode mode) noexcept;
    bool averageRecords() noexcept;
    void summariseStatistics() noexcept;
    void refreshDerivedFields (DrumMode mode) noexcept;

    //==============================================================================
    double sampleRate = 44100.0;
    std::int64_t tomHoldSamples = 0;
    std::int64_t rollWindowSamples = 0;

    bool learning = false;
    bool fingerprintComplete = false;
    bool learned = false;
    bool isSnareBottomFlag = false;
    double snareBrightness = 1.0;
    Fingerprint fingerprint;
    LearnedStatistics statistics;

    std::array<LearnedHitRecord, recordCapacity> records {};
    int writeIndex = 0;
    int learnHitCount = 0;
    PendingHit pendingHit;

    BandValues background {};
    StatisticSums sums;
    std::array<int, numLevelBuckets> levelHistogram {};

    bool hasPreviousCapture = false;
    double previousCaptureLevel = 0.0;
    std::int64_t previousCaptureClock = 0;

    // Events, once per learned state.
    bool completedInThisSession = false;
    bool completedEventChecked = false;
    bool linkRequestMade = false;
    bool learningEndedSinceLastBlock = false;

    const Fingerprint* peerKick = nullptr;
    const Fingerprint* peerSnare = nullptr;

    std::atomic<bool> resetRequested { false };
};
} // namespace hoopvane
