#include "DetectionEngine.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr int numPhases = 8;
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

    // A fingerprint describes the drum at one sample rate; at another its band energies mean
    // something else.
    if (fingerprintComplete && rememberedSampleRate > 0.0 && rememberedSampleRate != sampleRate)
        discardLearning();
    rememberedSampleRate = sampleRate;

    lookAhead.prepare (sampleRate, maximumBlockSize);
    reset();

    blockPhase = (int) ((std::uint32_t) idHash & (numPhases - 1));
    return lookAhead.getLatency();
}

void DetectionEngine::reset() noexcept
{
    lookAhead.clear();
    dcBlocker.reset();
    meters.reset();
    finalGateGain = 1.0;
    sampleClock = 0;
}

void DetectionEngine::discardLearning() noexcept
{
    fingerprintComplete = false;
    learned = false;
}

//==============================================================================
void DetectionEngine::beginBlock (std::int64_t playheadSamples) noexcept
{
    block = BlockValues::derive (parameters, playheadSamples);
    blockSustainMs = block.sustainMs;

    const bool learnedChanged = learned != lastLearned;
    lastLearned = learned;

    blockPhase = blockPhase < numPhases - 1 ? blockPhase + 1 : 0;
    phaseZeroWork = blockPhase == 0 || learnedChanged;

    const auto mode = drumModeFromIndex (parameters.mode);
    if (mode != preparedMode)
        applyModeChange (mode);

    // Later stages derive their per-block settings here, in this order: expander time
    // constants, output filter coefficients, link exchange, learning state machine,
    // mode-dependent detection constants, fingerprint publishing, tone-stage filters and the
    // side-chain level board.
}

void DetectionEngine::applyModeChange (DrumMode newMode) noexcept
{
    preparedMode = newMode;
    discardLearning(); // a fingerprint belongs to one drum
    modeTable = &ModeTable::forMode (newMode);
    // The release of the block in which the mode changes follows the new drum, not the knob.
    blockSustainMs = modeTable->defaultSustainMs;
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
    const double detectorInput = 0.5 * (input.left + input.right);

    // Detector front end, link evidence and context read the undelayed input from here on.
    Frame out { dry.left, stereo ? dry.right : dry.left };

    // The expander, the drum rules, the LF tightener and the body/ring equaliser act on the
    // delayed pair here, and set finalGateGain.

    out = guardBeforeOutputFilters (out);

    // Output filters and attack enhancer.

    out.left = softLimit (dcBlocker.processLeft (out.left));
    out.right = stereo ? softLimit (dcBlocker.processRight (out.right)) : out.left;

    // The fade goes to the delayed dry signal, not to silence: a bypassed track stays aligned.
    const double g = bypassFade.advance (parameters.bypass);
    outLeft = (float) (g * out.left + (1.0 - g) * dry.left);
    outRight = (float) (g * out.right + (1.0 - g) * dry.right);

    ++sampleClock;
    meters.addSample (detectorInput, finalGateGain);
}

DetectionEngine::Frame DetectionEngine::guardBeforeOutputFilters (Frame frame) noexcept
{
    if (std::isfinite (frame.left) && std::isfinite (frame.right))
        return frame;

    // Clear the states that produced the bad value, so it cannot recirculate and silence the
    // channel for good: the gate and the tone stages start again from rest.
    finalGateGain = 1.0;
    return { finiteOrZero (frame.left), finiteOrZero (frame.right) };
}

void DetectionEngine::endBlock() noexcept
{
    meters.publish (exports);
    exports.learned.store (learned, std::memory_order_relaxed);
    exports.fingerprintComplete.store (fingerprintComplete, std::memory_order_relaxed);
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
