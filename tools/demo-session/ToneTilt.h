#pragma once

#include <vector>

namespace hoopvane::tools::demo
{
/** A first-order tone tilt: the signal split by a one-pole low-pass at `cutoffHz`, the low and
    high parts each with their own gain. Gentle enough for the colour a microphone's distance
    and angle give a drum. */
struct ToneTilt
{
    double cutoffHz = 1000.0;
    float lowGain = 1.0f;
    float highGain = 1.0f;

    bool isFlat() const noexcept { return lowGain == 1.0f && highGain == 1.0f; }
};

/** Filters the audio in place. */
void applyTilt (std::vector<float>& audio, const ToneTilt& tilt, double sampleRate);
} // namespace hoopvane::tools::demo
