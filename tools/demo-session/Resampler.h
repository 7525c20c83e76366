#pragma once

#include <vector>

namespace hoopvane::tools::demo
{
/** Converts a one-shot sample to another rate with windowed-sinc interpolation, keeping the
    start where it was (the interpolator's own latency is taken out). Equal rates return the
    input unchanged. */
std::vector<float> resample (const std::vector<float>& input, double fromRate, double toRate);
} // namespace hoopvane::tools::demo
