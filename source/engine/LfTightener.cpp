#include "LfTightener.h"
#include "Units.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double enableBelowDb = -0.5;
    constexpr double deepestCutDb = -18.0;

    // The envelope must fall below the re-arm level between hits and cross the onset level
    // upwards, so one hit counts once however long it rings.
    constexpr double rearmEnvelope = 0.048;
    constexpr double onsetEnvelope = 0.12;
    constexpr double minimumMatch = 0.4;

    // Added to the measured hit length, and the range the window may take, in ms.
    constexpr double windowMarginMs = 100.0, shortestWindowMs = 200.0, longestWindowMs = 600.0;

    // The cut grows with the onsets in the window: none for one, most of the depth by about four.
    constexpr double onsetsForFullCut = 2.5;
    constexpr double cutCurvature = 3.5;

    constexpr double releaseCutMs = 40.0, deepenCutMs = 150.0;
    constexpr double meterRiseMs = 50.0, meterFallMs = 200.0;
    constexpr double meterScaleDb = 18.0;

    constexpr double shelfFrequencyHz = 90.0;
    constexpr double shelfQ = 0.7; // alpha = sin w / 1.4
    constexpr double redesignStepDb = 0.1;
    constexpr double unityGain = 0.999;

    double samplesFor (double ms, double sampleRate) noexcept { return ms * 0.001 * sampleRate; }
} // namespace

//==============================================================================
void LfTightener::RecentOnsets::clear() noexcept
{
    times.fill (empty);
    writeIndex = numOnsets = 0;
    nextIndex = -1;
}

void LfTightener::RecentOnsets::setWindow (double windowSamples) noexcept
{
    window = windowSamples;
    findNextExpiry();
}

void LfTightener::RecentOnsets::add (std::int64_t time) noexcept
{
    // With every slot taken the oldest onset gives way and the count stays at its ceiling.
    if (times[(size_t) writeIndex] == empty)
        ++numOnsets;

    times[(size_t) writeIndex] = time;
    writeIndex = (writeIndex + 1) % capacity;
    findNextExpiry();
}

bool LfTightener::RecentOnsets::expire (std::int64_t now) noexcept
{
    bool changed = false;
    while (nextIndex >= 0 && (double) now >= nextExpiry)
    {
        times[(size_t) nextIndex] = empty;
        --numOnsets;
        changed = true;
        findNextExpiry();
    }
    return changed;
}

void LfTightener::RecentOnsets::findNextExpiry() noexcept
{
    nextIndex = -1;
    for (int i = 0; i < capacity; ++i)
        if (times[(size_t) i] != empty && (nextIndex < 0 || times[(size_t) i] < times[(size_t) nextIndex]))
            nextIndex = i;

    if (nextIndex >= 0)
        nextExpiry = (double) times[(size_t) nextIndex] + window;
}

//==============================================================================
void LfTightener::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    riseCoefficient = AttackReleaseFollower::coefficientFor (releaseCutMs, sampleRate);
    fallCoefficient = AttackReleaseFollower::coefficientFor (deepenCutMs, sampleRate);
    meterFollower.setAttack (AttackReleaseFollower::coefficientFor (meterRiseMs, sampleRate));
    meterFollower.setRelease (AttackReleaseFollower::coefficientFor (meterFallMs, sampleRate));

    windowSamples = defaultWindowSeconds * sampleRate;
    onsets.setWindow (windowSamples);
    reset();
}

void LfTightener::reset() noexcept
{
    onsets.clear();
    counter = lastOnset = 0;
    hasOnset = armed = false;
    previousEnv = 0.0;

    // Unity, not silence: the drum's low end must not fade in at every transport start.
    targetGain = gain = gainOfGainDb = 1.0;
    gainDb = 0.0;
    meterFollower.reset();

    designShelf (0.0);
    shelfLeft.reset();
    shelfRight.reset();
}

void LfTightener::beginBlock (double lfTightDb, DrumMode mode, double averageHitLengthMs) noexcept
{
    const bool nowEnabled = lfTightDb < enableBelowDb;
    if (enabled && ! nowEnabled)
        reset();
    enabled = nowEnabled;

    onsetSpacingSamples = samplesFor (ModeTable::forMode (mode).lfTightOnsetSpacingMs, sampleRate);

    if (averageHitLengthMs > 0.0)
    {
        const double windowMs = std::clamp (averageHitLengthMs + windowMarginMs, shortestWindowMs, longestWindowMs);
        const double newWindow = samplesFor (windowMs, sampleRate);
        if (newWindow != windowSamples)
        {
            windowSamples = newWindow;
            onsets.setWindow (windowSamples);
        }
    }

    const double newDepth = std::clamp (lfTightDb, deepestCutDb, 0.0);
    if (newDepth != depthDb)
    {
        depthDb = newDepth;
        updateTarget();
    }
}

double LfTightener::getMeter() const noexcept
{
    return -meterScaleDb * meterFollower.getValue();
}

//==============================================================================
void LfTightener::process (double& left, double& right, double env, double match) noexcept
{
    if (! enabled)
        return;

    ++counter;
    if (env < rearmEnvelope)
        armed = true;

    bool countChanged = false;
    if (isOnset (env, match))
    {
        onsets.add (counter);
        lastOnset = counter;
        hasOnset = true;
        armed = false;
        countChanged = true;
    }
    previousEnv = env;

    if (onsets.expire (counter) || countChanged)
        updateTarget();

    smoothGain();
    updateShelf();

    left = shelfLeft.process (shelf, left);
    right = shelfRight.process (shelf, right);
}

bool LfTightener::isOnset (double env, double match) const noexcept
{
    const bool spaced = ! hasOnset || (double) (counter - lastOnset) > onsetSpacingSamples;
    return env >= onsetEnvelope && previousEnv < onsetEnvelope && match > minimumMatch && armed && spaced;
}

void LfTightener::updateTarget() noexcept
{
    const int n = onsets.count();
    if (n < 2)
    {
        targetGain = 1.0;
        return;
    }

    const double fraction = std::min (1.0, (n - 1) / onsetsForFullCut);
    targetGain = dbToGain ((1.0 - std::exp (-cutCurvature * fraction)) * depthDb);
}

void LfTightener::smoothGain() noexcept
{
    const double c = targetGain > gain ? riseCoefficient : fallCoefficient;
    gain = targetGain + c * (gain - targetGain);

    // The gain settles exactly on its target, so the logarithm is only taken while it moves.
    if (gain != gainOfGainDb)
    {
        gainOfGainDb = gain;
        gainDb = gain > unityGain ? 0.0 : gainToDb (gain);
    }

    meterFollower.process (std::abs (gainDb) / meterScaleDb);
}

void LfTightener::updateShelf() noexcept
{
    // Back at unity the shelf is made exactly flat, whatever the last small step left behind.
    const bool backToUnity = gainDb == 0.0 && designedGainDb != 0.0;
    if (backToUnity || std::abs (gainDb - designedGainDb) > redesignStepDb)
        designShelf (gainDb);
}

void LfTightener::designShelf (double newGainDb) noexcept
{
    shelf = rbj::lowShelf (sampleRate, shelfFrequencyHz, shelfQ, newGainDb);
    designedGainDb = newGainDb;
}
} // namespace hoopvane
