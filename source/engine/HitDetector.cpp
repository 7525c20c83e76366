#include "HitDetector.h"
#include "Units.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double butterworthQ = 0.707;

    constexpr double envAttackMs = 0.15;
    constexpr double envReleaseMs = 25.0;

    // HF ratio: energy above 2 kHz against all of the detector signal, both smoothed alike.
    constexpr double hfCornerHz = 2000.0;
    constexpr double hfWeight = 0.02;

    constexpr int crestBlockSamples = 256;
    constexpr double crestPeakDecay = 0.9995;

    // Attack slopes outside this range are a level step or a numerical accident, not an attack.
    constexpr double attackSlopeMinLevel = 0.001;
    constexpr double attackSlopeMinDbPerMs = 5.0;
    constexpr double attackSlopeMaxDbPerMs = 5000.0;

    constexpr double riseTrackingMs = 5.0;
    constexpr double riseMinimumPeakDelayMs = 0.05;
    constexpr double riseLevelFloor = 1.0e-10;

    constexpr double decayFraction = 0.1;
    constexpr double decayEarliestMs = 5.0;
    constexpr double decayTimeoutMs = 300.0;
    constexpr double decayDbScale = 20.0;
    constexpr double decayTimeoutRate = 1.0 / 15.0;

    constexpr double hitLengthSmoothingHz = 250.0;
    constexpr double hitLengthAttackMs = 0.5;
    constexpr double hitLengthReleaseMs = 100.0;
    constexpr double hitLengthFraction = 0.1;
    constexpr double hitLengthMaximumSeconds = 0.5;

    void setTimes (AttackReleaseFollower& follower, double sampleRate, double attackMs, double releaseMs) noexcept
    {
        follower.setAttack (AttackReleaseFollower::coefficientFor (attackMs, sampleRate));
        follower.setRelease (AttackReleaseFollower::coefficientFor (releaseMs, sampleRate));
    }

} // namespace

//==============================================================================
void HitDetector::OnsetDetector::reset() noexcept
{
    armed = true;
    hadOnset = false;
    lastOnset = 0;
}

bool HitDetector::OnsetDetector::detect (double env, double envPrev, const DetectorControl& control, std::int64_t clock) noexcept
{
    if (env < rearmThreshold)
        armed = true;

    const bool crossing = env >= onsetThreshold && envPrev < onsetThreshold;
    const bool spaced = ! hadOnset || clock - lastOnset > minimumSpacing;
    // While capturing, a hit another instance just reported is most likely that drum's bleed.
    const bool foreign = control.capturingForLearning && control.remoteHitRecent;

    if (! (crossing && armed && spaced) || foreign)
        return false;

    armed = false;
    hadOnset = true;
    lastOnset = clock;
    return true;
}

//==============================================================================
void HitDetector::RiseSlopeMeter::prepare (double rate) noexcept
{
    msPerSample = 1000.0 / rate;
    reset();
}

void HitDetector::RiseSlopeMeter::start (double onsetEnv, double envBefore, std::int64_t clock) noexcept
{
    tracking = true;
    onsetClock = peakClock = clock;
    peak = onsetEnv;
    levelBefore = std::max (envBefore, riseLevelFloor);
}

bool HitDetector::RiseSlopeMeter::track (double env, std::int64_t clock, double& slope) noexcept
{
    if (! tracking)
        return false;

    if (env > peak && (double) (clock - onsetClock) * msPerSample <= riseTrackingMs)
    {
        peak = env;
        peakClock = clock;
        return false;
    }

    tracking = false;
    const double riseMs = (double) (peakClock - onsetClock) * msPerSample;

    if (riseMs <= riseMinimumPeakDelayMs)
        return false;

    slope = (gainToDb (std::max (peak, denormalFloor)) - gainToDb (levelBefore)) / riseMs;
    return true;
}

//==============================================================================
void HitDetector::DecayMeter::prepare (double rate) noexcept
{
    msPerSample = 1000.0 / rate;
    reset();
}

void HitDetector::DecayMeter::start (double onsetEnv, std::int64_t clock) noexcept
{
    measuring = true;
    onsetClock = clock;
    threshold = decayFraction * onsetEnv;
}

bool HitDetector::DecayMeter::track (double env, std::int64_t clock, double& rate) noexcept
{
    if (! measuring)
        return false;

    const double elapsedMs = (double) (clock - onsetClock) * msPerSample;

    if (elapsedMs > decayEarliestMs && env < threshold)
        rate = decayDbScale / elapsedMs;
    else if (elapsedMs >= decayTimeoutMs)
        rate = decayTimeoutRate;
    else
        return false;

    measuring = false;
    return true;
}

//==============================================================================
void HitDetector::HitLengthMeter::prepare (double rate) noexcept
{
    smoothing.setCoefficients (rbj::lowPass (rate, hitLengthSmoothingHz, butterworthQ));
    setTimes (follower, rate, hitLengthAttackMs, hitLengthReleaseMs);
    maximumSamples = (std::int64_t) (hitLengthMaximumSeconds * rate);
    reset();
}

void HitDetector::HitLengthMeter::reset() noexcept
{
    smoothing.reset();
    follower.reset();
    measuring = risen = false;
    count = 0;
    threshold = 0.0;
}

void HitDetector::HitLengthMeter::start (double onsetEnv) noexcept
{
    measuring = true;
    risen = false;
    count = 0;
    threshold = hitLengthFraction * onsetEnv;
}

bool HitDetector::HitLengthMeter::process (double env, double& lengthSamples) noexcept
{
    const double level = follower.process (std::abs (smoothing.process (env)));

    if (! measuring)
        return false;

    // The smoothed follower lags the onset by a millisecond or so; the count starts once it has
    // caught up with the threshold, so that lag does not end it at zero.
    if (level > threshold)
    {
        risen = true;
        if (++count <= maximumSamples)
            return false;
    }
    else if (! risen)
    {
        return false;
    }

    measuring = false;
    lengthSamples = (double) count;
    return true;
}

//==============================================================================
void HitDetector::prepare (double newSampleRate, DrumMode mode) noexcept
{
    sampleRate = newSampleRate;
    msPerSample = 1000.0 / sampleRate;

    hfHighPass.setCoefficients (rbj::highPass (sampleRate, hfCornerHz, butterworthQ));
    setTimes (envelope, sampleRate, envAttackMs, envReleaseMs);
    bands.prepare (sampleRate);
    window.prepare (sampleRate);
    riseSlope.prepare (sampleRate);
    decay.prepare (sampleRate);
    hitLength.prepare (sampleRate);
    setMode (mode);

    reset();
}

void HitDetector::setMode (DrumMode mode) noexcept
{
    const auto& table = ModeTable::forMode (mode);
    detectorLowPass.setCoefficients (rbj::lowPass (sampleRate, table.detectorLowPassHz, butterworthQ));
    detectorHighPass.setCoefficients (rbj::highPass (sampleRate, table.detectorHighPassHz, butterworthQ));
    onsets.setMinimumSpacing ((std::int64_t) (sampleRate * table.minimumOnsetSpacingSeconds));
}

void HitDetector::reset() noexcept
{
    detectorLowPass.reset();
    detectorHighPass.reset();
    hfHighPass.reset();
    bands.reset();
    envelope.reset();
    onsets.reset();
    window.reset();
    riseSlope.reset();
    decay.reset();
    hitLength.reset();

    hfEnergy = fullEnergy = 0.0;
    crestPeak = crestEnergySum = 0.0;
    crestCount = 0;
    envPrev = 0.0;

    readings = {};
    readings.lowCentroid = bands.getLowCentroid();
}

//==============================================================================
const DetectorReadings& HitDetector::analyse (double left, double right, const DetectorControl& control, std::int64_t sampleClock) noexcept
{
    clearEvents();

    const double x = detectorSignal (left, right);
    bands.process (x);
    updateHfRatio (x);
    updateCrest (x);

    const double envBefore = envPrev;
    const double env = envelope.process (std::abs (x));
    updateAttackSlope (env, envBefore);

    readings.detectorSignal = x;
    readings.env = env;
    readings.envPrev = envBefore;
    readings.slowEnergy = bands.getSlowEnergy();
    readings.fastEnergy = bands.getFastEnergy();
    readings.lowCentroid = bands.getLowCentroid();

    measureHit (x, sampleClock);

    if (control.onsetsEnabled && onsets.detect (env, envBefore, control, sampleClock))
        startHit (env, envBefore, control.capturingForLearning, sampleClock);

    envPrev = env;
    return readings;
}

void HitDetector::clearEvents() noexcept
{
    readings.onset = false;
    readings.windowClosed = false;
    readings.riseSlopeMeasured = false;
    readings.decayRateMeasured = false;
    readings.hitLengthMeasured = false;
}

double HitDetector::detectorSignal (double left, double right) noexcept
{
    const double mono = 0.5 * (left + right);
    return detectorHighPass.process (detectorLowPass.process (mono));
}

void HitDetector::updateHfRatio (double x) noexcept
{
    // Smoothing the two energies before dividing keeps the ratio finite at every zero crossing
    // of x, where a ratio of instantaneous squares explodes.
    const double hp = hfHighPass.process (x);
    hfEnergy = flushTiny (hfEnergy + hfWeight * (hp * hp - hfEnergy));
    fullEnergy = flushTiny (fullEnergy + hfWeight * (x * x - fullEnergy));
    readings.hfRatio = hfEnergy / (fullEnergy + denormalFloor);
}

void HitDetector::updateCrest (double x) noexcept
{
    crestPeak = flushTiny (std::max (std::abs (x), crestPeakDecay * crestPeak));
    crestEnergySum += x * x;

    if (++crestCount < crestBlockSamples)
        return;

    readings.crest = crestPeak / (std::sqrt (crestEnergySum / crestBlockSamples) + denormalFloor);
    crestEnergySum = 0.0;
    crestCount = 0;
}

void HitDetector::updateAttackSlope (double env, double envBefore) noexcept
{
    if (env < onsetThreshold || envBefore < attackSlopeMinLevel || envBefore >= onsetThreshold)
        return;

    const double slope = gainToDb (env / envBefore) / msPerSample;

    if (slope >= attackSlopeMinDbPerMs && slope <= attackSlopeMaxDbPerMs)
        readings.attackSlope = slope;
}

void HitDetector::measureHit (double x, std::int64_t clock) noexcept
{
    const double env = readings.env;

    if (riseSlope.track (env, clock, readings.riseSlope))
        readings.riseSlopeMeasured = true;

    if (decay.track (env, clock, readings.decayRate))
        readings.decayRateMeasured = true;

    if (hitLength.process (env, readings.hitLengthSamples))
        readings.hitLengthMeasured = true;

    if (window.process (x, readings.hfRatio))
    {
        readings.windowClosed = true;
        readings.features = window.formFeatures();
        readings.features.riseSlope = readings.riseSlope;
        readings.features.decayRate = readings.decayRate;
    }
}

void HitDetector::startHit (double env, double envBefore, bool captured, std::int64_t clock) noexcept
{
    readings.onset = true;
    window.open (env);
    riseSlope.start (env, envBefore, clock);
    decay.start (env, clock);

    if (captured)
        hitLength.start (env);
}
} // namespace hoopvane
