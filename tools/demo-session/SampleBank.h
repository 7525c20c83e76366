#pragma once

#include "DrumKit.h"

#include <optional>

namespace hoopvane::tools::demo
{
/** A velocity layer ready to play: mono at the session rate, starting at the drum's onset, and
    `gain` sets the level of a full-velocity hit (the drum's balance in the session). */
struct LayerSample
{
    std::vector<float> audio;
    float minVelocity = 0.0f;
    float maxVelocity = 1.0f;
    float gain = 1.0f;
};

/** The kit's samples for every drum, loaded once. */
class SampleBank
{
public:
    /** Reads every layer of the kit's drums. The session runs at `sessionRate`, or when that is
        empty at the rate most of the samples have; samples at other rates are resampled. */
    static std::optional<SampleBank> load (const DrumKit& kit, std::optional<double> sessionRate, juce::String& error);

    double getSampleRate() const noexcept { return sampleRate; }

    /** The layer a hit of `velocity` (1 … 127) plays: the one whose range holds it, else the
        nearest. `openHiHat` picks the open hi-hat when the kit has one. */
    const LayerSample& layerFor (Drum drum, int velocity, bool openHiHat = false) const;

    bool hasOpenHiHat() const noexcept { return ! openHiHat.empty(); }

private:
    using Layers = std::vector<LayerSample>;

    std::array<Layers, drumCount> drums;
    Layers openHiHat;
    double sampleRate = 0.0;
};
} // namespace hoopvane::tools::demo
