#include "ToneTilt.h"

#include <cmath>

namespace hoopvane::tools::demo
{
void applyTilt (std::vector<float>& audio, const ToneTilt& tilt, double sampleRate)
{
    if (tilt.isFlat())
        return;

    const auto pole = std::exp (-2.0 * M_PI * tilt.cutoffHz / sampleRate);
    double low = 0.0;
    for (auto& sample : audio)
    {
        low = (1.0 - pole) * sample + pole * low;
        sample = (float) (tilt.lowGain * low + tilt.highGain * (sample - low));
    }
}
} // namespace hoopvane::tools::demo
