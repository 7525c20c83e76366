#pragma once

#include "Biquad.h"

#include <cmath>

namespace hoopvane
{
/** Ceiling on the output: everything up to 4 (+12 dBFS) passes untouched. Because the curve must
    be the identity up to 4, the only continuous, monotonic continuation that never exceeds 4 is a
    flat ceiling; anything "softer" above 4 would either overshoot or jump back down. */
constexpr double outputCeiling = 4.0;

inline double softLimit (double x) noexcept
{
    return x > outputCeiling ? outputCeiling : (x < -outputCeiling ? -outputCeiling : x);
}

inline double finiteOrZero (double x) noexcept
{
    return std::isfinite (x) ? x : 0.0;
}

/** The 10 Hz second-order high-pass that keeps DC and sub-sonic drift off every output channel. */
class DcBlocker
{
public:
    static constexpr double cutoffHz = 10.0;

    void prepare (double sampleRate) noexcept { coefficients = rbj::highPass (sampleRate, cutoffHz, 0.707); }
    void reset() noexcept
    {
        left.reset();
        right.reset();
    }

    /** [audio thread] */
    double processLeft (double x) noexcept { return left.process (coefficients, x); }
    /** [audio thread] */
    double processRight (double x) noexcept { return right.process (coefficients, x); }

private:
    BiquadCoefficients coefficients;
    BiquadState left, right;
};
} // namespace hoopvane
