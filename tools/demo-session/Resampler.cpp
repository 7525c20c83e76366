#include "Resampler.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace hoopvane::tools::demo
{
std::vector<float> resample (const std::vector<float>& input, double fromRate, double toRate)
{
    if (fromRate == toRate || input.empty())
        return input;

    using Interpolator = juce::WindowedSincInterpolator;
    const auto speedRatio = fromRate / toRate;
    const auto latencyInputSamples = (int) std::ceil (Interpolator::getBaseLatency());
    const auto latencyOutputSamples = (int) std::lround (Interpolator::getBaseLatency() / speedRatio);

    // Zeros after the sample flush the interpolator's history so the tail comes out too.
    std::vector<float> padded (input);
    padded.resize (input.size() + (size_t) (2 * latencyInputSamples) + 2, 0.0f);

    const auto outputLength = (int) std::floor ((double) input.size() / speedRatio);
    std::vector<float> output ((size_t) (outputLength + latencyOutputSamples), 0.0f);
    Interpolator interpolator;
    interpolator.process (speedRatio, padded.data(), output.data(), (int) output.size(), (int) padded.size(), 0);

    output.erase (output.begin(), output.begin() + latencyOutputSamples);
    return output;
}
} // namespace hoopvane::tools::demo
