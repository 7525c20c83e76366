#include "DetectionEngine.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr int numPhases = 8;
    /** Sent instead of a kick-coincidence time while no kick hits are shared between instances. */
    constexpr double noKickCoincidence = -1.0;
} // namespace

DetectionEngine::DetectionEngine() = default;

//==============================================================================
int DetectionEngine::prepare (double newSampleRate, int newMaximumBlockSize, std::int32_t idHash)
{
    sampleRate = newSampleRate;
    maximumBlockSize = newMaximumBlockSize;
    modeTable = &ModeTable::forMode (preparedMode);

    dcBlocker.prepare (sampleRate);
    meters.prepare (sampleRate);
    detector.prepare (sampleRate, preparedMode);
    learning.prepare (sampleRate);
    expander.prepare (sampleRate);
    lfTightener.prepare (sampleRate);
    bodyRing.prepare (sampleRate);
    highPass.prepare (sampleRate);
    lowPass.prepare (sampleRate);
    attackEnhancer.prepare (sampleRate);

    // A fingerprint describes the drum at one sample rate; at another its band energies mean
    // something else.
    if (learning.isFingerprintComplete() && rememberedSampleRate > 0.0 && rememberedSampleRate != sampleRate)
        discardLearning();
    rememberedSampleRate = sampleRate;

    configureExpander();
    lookAhead.prepare (sampleRate, maximumBlockSize);
    reset();

    blockPhase = (int) ((std::uint32_t) idHash & (numPhases - 1));
    return lookAhead.getLatency();
}

void DetectionEngine::reset() noexcept
{
    lookAhead.clear();
    detector.reset();
    learning.reset();
    discriminator.reset();
    expander.reset();
    lfTightener.reset();
    bodyRing.reset();
    highPass.reset();
    lowPass.reset();
    attackEnhancer.reset();
    dcBlocker.reset();
    meters.reset();
    gateValue = 1.0;
    finalGateGain = 1.0;
    sampleClock = 0;
}

void DetectionEngine::discardLearning() noexcept
{
    learning.discardLearning();
}

//==============================================================================
void DetectionEngine::beginBlock (std::int64_t playheadSamples) noexcept
{
    block = BlockValues::derive (parameters, playheadSamples);
    blockSustainMs = block.sustainMs;
    linkActive = parameters.link;

    const bool learned = learning.isLearned();
    const bool learnedChanged = learned != lastLearned;
    lastLearned = learned;

    blockPhase = blockPhase < numPhases - 1 ? blockPhase + 1 : 0;
    phaseZeroWork = blockPhase == 0 || learnedChanged;

    const auto mode = drumModeFromIndex (parameters.mode);
    if (mode != preparedMode)
        applyModeChange (mode);

    expander.beginBlock (blockSustainMs, block.thresholdDb, block.rangeDb);
    highPass.configure (parameters.hpfSlope, block.hpfFreq);
    lowPass.configure (parameters.lpfSlope, block.lpfFreq);
    // The instance link exchange joins here.
    runLearningStateMachine();
    configureExpander();
    // Fingerprint publishing joins here.
    beginToneBlock();
    // The side-chain level board joins here.
}

void DetectionEngine::beginToneBlock() noexcept
{
    const double averageHitLengthMs = learning.hasHitLength() ? learning.getAverageHitLengthMs() : 0.0;
    lfTightener.beginBlock (block.lfTightDb, preparedMode, averageHitLengthMs);
    bodyRing.beginBlock (block.boostFreq, block.cutFreq, block.resGain, block.resDual, block.listen);
    attackEnhancer.beginBlock (block.attack);
}

void DetectionEngine::applyModeChange (DrumMode newMode) noexcept
{
    preparedMode = newMode;
    discardLearning(); // a fingerprint belongs to one drum
    modeTable = &ModeTable::forMode (newMode);
    detector.setMode (newMode);
    // The release of the block in which the mode changes follows the new drum, not the knob.
    blockSustainMs = modeTable->defaultSustainMs;
}

void DetectionEngine::runLearningStateMachine() noexcept
{
    const auto events = learning.beginBlock (parameters.learn, linkActive, preparedMode);

    if (events.learnCompleted)
        exports.learnCompletedEvent.store (1, std::memory_order_release);

    if (events.linkRequest)
    {
        exports.linkRequestEvent.store (1, std::memory_order_release);
        linkActive = true;
    }

    if (events.learningEnded && preparedMode == DrumMode::snare)
        exports.isSnareBottomShared.store (learning.isSnareBottom() ? 1 : 0, std::memory_order_relaxed);
}

void DetectionEngine::configureExpander() noexcept
{
    const bool learned = learning.isLearned();
    expander.configure (preparedMode, parameters.snarePos == 1, learned ? &learning.getFingerprint() : nullptr);
}

//==============================================================================
void DetectionEngine::process (float* const* mainChannels,
                               int numMainChannels,
                               const float* const* sideChainChannels,
                               int numSideChainChannels,
                               int numSamples,
                               std::int64_t playheadSamples) noexcept
{
    if (mainChannels == nullptr || numMainChannels <= 0 || numSamples <= 0 || ! lookAhead.isPrepared())
        return;

    // The side chain feeds the context stage, which joins later.
    (void) sideChainChannels;
    (void) numSideChainChannels;

    beginBlock (playheadSamples);

    const bool stereo = numMainChannels >= 2;
    for (int i = 0; i < numSamples; ++i)
    {
        float left = 0.0f, right = 0.0f;
        processSample (readInput (mainChannels, numMainChannels, i), stereo, left, right);
        writeOutput (mainChannels, numMainChannels, i, left, right);
    }

    endBlock();
}

void DetectionEngine::processSample (Frame input, bool stereo, float& outLeft, float& outRight) noexcept
{
    const auto dry = lookAhead.pushAndRead ((float) input.left, (float) input.right);

    // Every detector listens to the undelayed input, so the gate can open ahead of the sound.
    const DetectorControl control { learning.isLearning() || learning.isLearned(), learning.isCapturing(), false };
    const auto& readings = detector.analyse (input.left, input.right, control, sampleClock);
    learning.processSample (readings, preparedMode, sampleClock, false);
    const double match = matchAndScore (readings);

    // Instance link evidence and the context processor join here.

    Frame out = expand (input, dry, match, readings);
    if (! stereo)
        out.right = out.left;

    out = shapeTone (out, dry, match, readings.env);

    out.left = softLimit (dcBlocker.processLeft (out.left));
    out.right = stereo ? softLimit (dcBlocker.processRight (out.right)) : out.left;

    // The fade goes to the delayed dry signal, not to silence: a bypassed track stays aligned.
    const double g = bypassFade.advance (parameters.bypass);
    outLeft = (float) (g * out.left + (1.0 - g) * dry.left);
    outRight = (float) (g * out.right + (1.0 - g) * dry.right);

    ++sampleClock;
    meters.addSample (0.5 * (input.left + input.right), finalGateGain);
}

double DetectionEngine::matchAndScore (const DetectorReadings& readings) noexcept
{
    discriminator.updateRawMatch (readings.slowEnergy,
                                  readings.env,
                                  learning.getFingerprint(),
                                  learning.isFingerprintComplete(),
                                  preparedMode);

    if (readings.windowClosed)
        discriminator.scoreHit (readings.features, learning.getStatistics(), noKickCoincidence);

    // Remote bleed evidence stays 0 until the instances share hits.
    return discriminator.effectiveMatch (0.0, 0.0, learning.isLearned(), preparedMode);
}

DetectionEngine::Frame DetectionEngine::expand (Frame input, LookAheadDelay::Pair dry, double match, const DetectorReadings& readings) noexcept
{
    ExpanderInputs in;
    in.delayedLeft = dry.left;
    in.delayedRight = dry.right;
    in.inputLeft = input.left;
    in.inputRight = input.right;
    in.match = match;
    in.readings = &readings;
    in.hitBleedScore = discriminator.getHitBleedScore();

    const auto out = expander.process (in);
    applyDrumRules (match, readings.env);
    finalGateGain = expander.getFinalGain();
    return { out.left, out.right };
}

void DetectionEngine::applyDrumRules (double match, double env) noexcept
{
    DrumRuleInputs in;
    in.mode = preparedMode;
    in.learned = learning.isLearned();
    in.isSnareBottom = learning.isSnareBottom();
    in.match = match;
    in.env = env;
    in.learnedOnsetLevel = learning.getStatistics().onsetLevel;
    in.hitInProgress = expander.isHitInProgress();

    const auto result = hoopvane::applyDrumRules (std::clamp (expander.getGateValue(), 0.0, 1.0), in);
    if (result.clearHitInProgress)
        expander.clearHitInProgress();
    gateValue = result.gateValue;
}

DetectionEngine::Frame DetectionEngine::shapeTone (Frame frame, LookAheadDelay::Pair dry, double match, double env) noexcept
{
    lfTightener.process (frame.left, frame.right, env, match);
    bodyRing.process (frame.left, frame.right, gateValue);

    frame = guardBeforeOutputFilters (frame);
    frame = { lowPass.processLeft (highPass.processLeft (frame.left)),
              lowPass.processRight (highPass.processRight (frame.right)) };

    const auto& upperEdge = expander.getDecayMeasurement();
    const double level = 0.5 * (std::abs ((double) dry.left) + std::abs ((double) dry.right));
    attackEnhancer.process (frame.left, frame.right, level, gateValue, upperEdge.getUpperEdgeLeft(), upperEdge.getUpperEdgeRight());
    return frame;
}

DetectionEngine::Frame DetectionEngine::guardBeforeOutputFilters (Frame frame) noexcept
{
    if (std::isfinite (frame.left) && std::isfinite (frame.right))
        return frame;

    // Clear the states that produced the bad value, so it cannot recirculate and silence the
    // channel for good: the gate and the tone stages start again from rest.
    expander.reset();
    lfTightener.reset();
    bodyRing.reset();
    gateValue = 1.0;
    finalGateGain = 1.0;
    return { finiteOrZero (frame.left), finiteOrZero (frame.right) };
}

void DetectionEngine::endBlock() noexcept
{
    meters.publish (exports);
    exports.matchScore.store ((float) discriminator.getRawMatch(), std::memory_order_relaxed);
    exports.transientAmount.store ((float) attackEnhancer.takeMeanTransient(), std::memory_order_relaxed);
    exports.lfTightGainDb.store ((float) lfTightener.getGainDb(), std::memory_order_relaxed);
    exports.lfTightMeter.store ((float) lfTightener.getMeter(), std::memory_order_relaxed);
    exports.learning.store (learning.isLearning(), std::memory_order_relaxed);
    exports.learned.store (learning.isLearned(), std::memory_order_relaxed);
    exports.fingerprintComplete.store (learning.isFingerprintComplete(), std::memory_order_relaxed);
    exports.learnHitCount.store (learning.getLearnHitCount(), std::memory_order_relaxed);
}

//==============================================================================
void DetectionEngine::processDryDelay (float* const* mainChannels, int numMainChannels, int numSamples) noexcept
{
    if (mainChannels == nullptr || numMainChannels <= 0 || numSamples <= 0 || ! lookAhead.isPrepared())
        return;

    for (int i = 0; i < numSamples; ++i)
    {
        const auto input = readInput (mainChannels, numMainChannels, i);
        const auto dry = lookAhead.pushAndRead ((float) input.left, (float) input.right);
        writeOutput (mainChannels, numMainChannels, i, dry.left, dry.right);
    }
}

DetectionEngine::Frame DetectionEngine::readInput (float* const* channels, int numChannels, int index) noexcept
{
    const double left = finiteOrZero (channels[0][index]);
    const double right = numChannels >= 2 ? finiteOrZero (channels[1][index]) : left;
    return { left, right };
}

void DetectionEngine::writeOutput (float* const* channels, int numChannels, int index, float left, float right) noexcept
{
    channels[0][index] = left;
    if (numChannels >= 2)
        channels[1][index] = right;
}
} // namespace hoopvane
