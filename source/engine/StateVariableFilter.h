#pragma once

#include "Biquad.h"

#include <cmath>

namespace hoopvane
{
/** Coefficients of a state-variable filter in topology-preserving (trapezoidal) form. k is the
    damping, 1 / Q. */
struct SvfCoefficients
{
    double k = 2.0, a1 = 1.0, a2 = 0.0, a3 = 0.0;

    static SvfCoefficients design (double sampleRate, double frequencyHz, double damping) noexcept
    {
        constexpr double pi = 3.14159265358979323846;
        const double g = std::tan (pi * limitDesignFrequency (frequencyHz, sampleRate) / sampleRate);
        SvfCoefficients c;
        c.k = damping;
        c.a1 = 1.0 / (1.0 + g * (g + damping));
        c.a2 = g * c.a1;
        c.a3 = g * c.a2;
        return c;
    }
};

/** One channel of a state-variable filter; gives the low-pass and band-pass outputs at once. */
class SvfState
{
public:
    struct Outputs
    {
        double lowPass, bandPass;
    };

    /** [audio thread] */
    Outputs process (const SvfCoefficients& c, double x) noexcept
    {
        const double v3 = x - ic2eq;
        const double v1 = c.a1 * ic1eq + c.a2 * v3;
        const double v2 = ic2eq + c.a2 * ic1eq + c.a3 * v3;
        ic1eq = flushTiny (2.0 * v1 - ic1eq);
        ic2eq = flushTiny (2.0 * v2 - ic2eq);
        return { v2, v1 };
    }

    void reset() noexcept { ic1eq = ic2eq = 0.0; }

private:
    double ic1eq = 0.0, ic2eq = 0.0;
};
} // namespace hoopvane
