#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace hoopvane::render
{
/** An input track and the prepared processor that renders it. */
struct LockstepTrack
{
    juce::AudioProcessor& processor;
    const juce::AudioBuffer<float>& input;
};

/** Runs after every track has processed a block: the samples rendered so far and in total.
    This is where the message thread's periodic work and progress reports fit in. */
using BetweenBlocks = std::function<void (std::int64_t renderedSamples, std::int64_t totalSamples)>;

/** Renders all tracks from their start the way a host plays a session: block k of every track
    is processed before any track's block k+1, every block has the same size, and each processor's
    play head reports the block's start in samples. The processors must be prepared for
    blockSize.

    Each output has its input's length and alignment, as a host's delay compensation gives it:
    the processor's reported latency is fed as silence after the end and that many samples are
    dropped from the start, so output sample k belongs to input sample k. */
std::vector<juce::AudioBuffer<float>> renderLockstep (const std::vector<LockstepTrack>& tracks, int blockSize, const BetweenBlocks& betweenBlocks);
} // namespace hoopvane::render
