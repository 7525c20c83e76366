#pragma once

#include <cmath>

namespace hoopvane
{
/** Level in decibels to a linear gain. Not for per-sample use where a cached value does. */
inline double dbToGain (double db) noexcept { return std::pow (10.0, db / 20.0); }

/** Linear level to decibels; the caller keeps the level above 0. */
inline double gainToDb (double gain) noexcept { return 20.0 * std::log10 (gain); }

/** A duration in milliseconds as a whole number of samples (truncated). */
inline int samplesForMs (double ms, double sampleRate) noexcept { return (int) (ms * 0.001 * sampleRate); }
} // namespace hoopvane
