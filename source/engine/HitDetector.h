#pragma once

#include "AttackReleaseFollower.h"
#include "BandAnalyser.h"
#include "Biquad.h"
#include "DetectorReadings.h"
#include "DrumMode.h"
#include "HitWindow.h"

#include <cstdint>

namespace hoopvane
{
/** The detector front end: turns the undelayed input into the band-limited detector signal,
    follows its envelope, band energies, HF ratio and crest, finds the drum's onsets and measures
    each hit (window features, rise slope, decay rate, hit length, attack slope).

    It never touches the audio; the other stages read what it publishes in DetectorReadings. */
class HitDetector
{
public:
    /** The envelope crossing that makes an onset, and the level it must fall below before the
        next one can count: a drum's own ring must not re-trigger it. */
    static constexpr double onsetThreshold = 0.12;
    static constexpr double rearmThreshold = 0.048;

    /** Designs every filter and time constant for the rate and the drum, then resets.
        [message thread] */
    void prepare (double sampleRate, DrumMode mode) noexcept;

    /** Redesigns the detector band and the minimum onset spacing for another drum; all state
        carries on. Called on the audio thread when "MODE" changes; allocates nothing. */
    void setMode (DrumMode mode) noexcept;

    /** Zeroes every filter, follower and measurement and re-arms the onset test. The average
        hit length of the captured hits survives, like the other learned values. */
    void reset() noexcept;

    /** Analyses one undelayed, sanitised input pair. `sampleClock` is the engine's running
        sample count. [audio thread] */
    const DetectorReadings& analyse (double left, double right, const DetectorControl& control, std::int64_t sampleClock) noexcept;

    const DetectorReadings& getReadings() const noexcept { return readings; }

private:
    /** The onset test: an upward crossing of the onset threshold while armed, far enough from
        the previous onset, and not while a learning capture would take another drum's hit. */
    class OnsetDetector
    {
    public:
        void setMinimumSpacing (std::int64_t samples) noexcept { minimumSpacing = samples; }
        void reset() noexcept;

        /** Re-arms, then tests; true when this sample is an onset. [audio thread] */
        bool detect (double env, double envPrev, const DetectorControl& control, std::int64_t clock) noexcept;

    private:
        std::int64_t minimumSpacing = 0;
        bool armed = true;
        bool hadOnset = false;
        std::int64_t lastOnset = 0;
    };

    /** dB per ms from the level just before the crossing to the envelope's peak, tracked for at
        most 5 ms after the onset. */
    class RiseSlopeMeter
    {
    public:
        void prepare (double sampleRate) noexcept;
        void reset() noexcept { tracking = false; }
        void start (double onsetEnv, double levelBefore, std::int64_t clock) noexcept;

        /** True in the sample a slope is measured; it is written to `slope`. [audio thread] */
        bool track (double env, std::int64_t clock, double& slope) noexcept;

    private:
        double msPerSample = 0.0;
        bool tracking = false;
        std::int64_t onsetClock = 0, peakClock = 0;
        double peak = 0.0, levelBefore = 0.0;
    };

    /** 20 / (ms until the envelope falls below 10 % of the onset level), taken no earlier than
        5 ms after the onset; a hit still above that after 300 ms reads 1/15. */
    class DecayMeter
    {
    public:
        void prepare (double sampleRate) noexcept;
        void reset() noexcept { measuring = false; }
        void start (double onsetEnv, std::int64_t clock) noexcept;

        /** True in the sample a decay rate is measured; it is written to `rate`. [audio thread] */
        bool track (double env, std::int64_t clock, double& rate) noexcept;

    private:
        double msPerSample = 0.0;
        bool measuring = false;
        std::int64_t onsetClock = 0;
        double threshold = 0.0;
    };

    /** Counts how long a smoothed envelope stays above 10 % of the onset level, for hits
        captured for learning. A new capture abandons an unfinished count: only a fall below
        the threshold or the 0.5 s limit makes a length. */
    class HitLengthMeter
    {
    public:
        void prepare (double sampleRate) noexcept;
        void reset() noexcept;
        void start (double onsetEnv) noexcept;

        /** Runs the smoothing on every sample; true in the sample a length is measured, in
            samples, written to `lengthSamples`. [audio thread] */
        bool process (double env, double& lengthSamples) noexcept;

    private:
        Biquad smoothing;
        AttackReleaseFollower follower;
        std::int64_t maximumSamples = 0;
        bool measuring = false;
        bool risen = false;
        std::int64_t count = 0;
        double threshold = 0.0;
    };

    void clearEvents() noexcept;
    double detectorSignal (double left, double right) noexcept;
    void updateHfRatio (double x) noexcept;
    void updateCrest (double x) noexcept;
    void updateAttackSlope (double env, double envBefore) noexcept;
    void measureHit (double x, std::int64_t clock) noexcept;
    void startHit (double env, double envBefore, bool captured, std::int64_t clock) noexcept;

    double sampleRate = 44100.0;
    double msPerSample = 1000.0 / 44100.0;

    Biquad detectorLowPass, detectorHighPass, hfHighPass;
    BandAnalyser bands;
    AttackReleaseFollower envelope;
    OnsetDetector onsets;
    HitWindow window;
    RiseSlopeMeter riseSlope;
    DecayMeter decay;
    HitLengthMeter hitLength;

    double hfEnergy = 0.0, fullEnergy = 0.0;
    double crestPeak = 0.0, crestEnergySum = 0.0;
    int crestCount = 0;
    double envPrev = 0.0;

    DetectorReadings readings;
};
} // namespace hoopvane
