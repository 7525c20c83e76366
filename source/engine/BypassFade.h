#pragma once

namespace hoopvane
{
/** The crossfade between the processed signal and the delayed dry signal when "BYPASS" changes:
    the gain moves by 1/480 per sample, so a switch never clicks. */
class BypassFade
{
public:
    static constexpr int fadeSamples = 480;
    static constexpr float step = 1.0f / (float) fadeSamples;

    /** Moves one sample towards the bypass target and returns the processed signal's gain. [audio thread] */
    float advance (bool bypassed) noexcept
    {
        gain = bypassed ? (gain - step > 0.0f ? gain - step : 0.0f)
                        : (gain + step < 1.0f ? gain + step : 1.0f);
        fullyBypassed = bypassed && gain <= 0.0f;
        return gain;
    }

    float getGain() const noexcept { return gain; }
    bool isFullyBypassed() const noexcept { return fullyBypassed; }

private:
    float gain = 1.0f;
    bool fullyBypassed = false;
};
} // namespace hoopvane
