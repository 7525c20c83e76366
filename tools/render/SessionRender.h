#pragma once

#include "processor/HoopvaneAudioProcessor.h"

#include <functional>
#include <vector>

namespace hoopvane::render
{
struct SessionSettings
{
    double sampleRate = 48000.0;
    int blockSize = 256;
    bool learnFirst = true;
};

enum class RenderPhase
{
    learning,
    rendering
};

using ProgressReport = std::function<void (RenderPhase phase, double fraction)>;

/** Renders a session as an engineer does in a host. With learnFirst, a first pass plays the
    session with LEARN ("CALIBRATE") on, so every instance learns from its track's first hits
    and switches LEARN off by itself; then every instance is reset (learned data survives) and
    a second pass renders the session from the start. The message thread's duties run every
    16 ms of rendered audio in both passes. The processors must have their parameters and bus
    layouts set; they are prepared here. Returns one output per input, aligned to it. */
std::vector<juce::AudioBuffer<float>> renderSession (const std::vector<HoopvaneAudioProcessor*>& processors,
                                                     const std::vector<const juce::AudioBuffer<float>*>& inputs,
                                                     const SessionSettings& settings,
                                                     const ProgressReport& progress);
} // namespace hoopvane::render
