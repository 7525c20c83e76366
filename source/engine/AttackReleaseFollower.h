#pragma once

#include "Biquad.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
/** A one-pole follower with separate attack and release coefficients, chosen by whether the
    input is above the state. Inputs are magnitudes or gains (never negative). */
class AttackReleaseFollower
{
public:
    /** The one-pole coefficient of a time constant: exp(-1 / (tau fs)). */
    static double coefficientFor (double timeMs, double sampleRate) noexcept
    {
        return std::exp (-1.0 / (timeMs * 0.001 * sampleRate));
    }

    void setAttack (double coefficient) noexcept { attack = coefficient; }
    void setRelease (double coefficient) noexcept { release = coefficient; }

    /** [audio thread] */
    double process (double x) noexcept
    {
        const double c = x > state ? attack : release;
        state = flushTiny (c * state + (1.0 - c) * x);
        return state;
    }

    /** Lifts the state to at least x at once, skipping the attack. [audio thread] */
    void raiseTo (double x) noexcept { state = std::max (state, x); }

    /** A state that has gone infinite or NaN would hold the gate for good; start again from rest.
        [audio thread] */
    void resetIfNotFinite() noexcept
    {
        if (! std::isfinite (state))
            state = 0.0;
    }

    double getValue() const noexcept { return state; }
    void reset (double value = 0.0) noexcept { state = value; }

private:
    double attack = 0.0, release = 0.0, state = 0.0;
};
} // namespace hoopvane
