#pragma once

#include "engine/ParameterSnapshot.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace hoopvane
{
/** Holds the parameter state's raw value atomics, looked up once, and fills a snapshot from
    them without locks or allocation. */
class ParameterSnapshotReader
{
public:
    explicit ParameterSnapshotReader (juce::AudioProcessorValueTreeState& state);

    /** [audio thread] */
    ParameterSnapshot read() const noexcept;
    /** [audio thread] */
    bool isBypassOn() const noexcept { return bypass->load (std::memory_order_relaxed) > 0.5f; }

private:
    using Raw = std::atomic<float>*;
    Raw sens, range, sustain, attack, boostFreq, cutFreq, resGain, resMode, mode, context, ghostMode,
        bypass, listen, calibrate, scSource, link, stickType, beaterType, wireType, lfTight, snarePos,
        sustainTest, hpfFreq, hpfSlope, lpfFreq, lpfSlope;
};
} // namespace hoopvane
