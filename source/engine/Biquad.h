#pragma once

namespace hoopvane
{
/** Coefficients of one second-order section, normalised so that a0 = 1. */
struct BiquadCoefficients
{
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};

/** Keeps every design inside the range the engine's filters are stable and meaningful in:
    at most 0.45 of the sample rate, and never below 10 Hz. */
double limitDesignFrequency (double frequencyHz, double sampleRate) noexcept;

/** Audio EQ Cookbook (RBJ) designs. The design frequency is limited with
    limitDesignFrequency(); q is the section's quality factor (alpha = sin w / 2q). */
namespace rbj
{
    BiquadCoefficients lowPass (double sampleRate, double frequencyHz, double q) noexcept;
    BiquadCoefficients highPass (double sampleRate, double frequencyHz, double q) noexcept;
    /** Band-pass with a constant 0 dB peak gain. */
    BiquadCoefficients bandPass (double sampleRate, double frequencyHz, double q) noexcept;
    BiquadCoefficients peaking (double sampleRate, double frequencyHz, double q, double gainDb) noexcept;
    BiquadCoefficients lowShelf (double sampleRate, double frequencyHz, double q, double gainDb) noexcept;
    BiquadCoefficients highShelf (double sampleRate, double frequencyHz, double q, double gainDb) noexcept;
} // namespace rbj

/** Values this small are flushed to zero so that decaying states never turn denormal. */
constexpr double denormalFloor = 1.0e-20;

inline double flushTiny (double x) noexcept
{
    return (x < denormalFloor && x > -denormalFloor) ? 0.0 : x;
}

/** State of one second-order section in transposed direct form II. */
class BiquadState
{
public:
    /** [audio thread] */
    double process (const BiquadCoefficients& c, double x) noexcept
    {
        const double y = c.b0 * x + s1;
        s1 = flushTiny (c.b1 * x - c.a1 * y + s2);
        s2 = flushTiny (c.b2 * x - c.a2 * y);
        return y;
    }

    void reset() noexcept { s1 = s2 = 0.0; }

private:
    double s1 = 0.0, s2 = 0.0;
};

/** A second-order section that owns its coefficients: the common case of one filter, one channel. */
class Biquad
{
public:
    void setCoefficients (const BiquadCoefficients& c) noexcept { coefficients = c; }
    const BiquadCoefficients& getCoefficients() const noexcept { return coefficients; }

    /** [audio thread] */
    double process (double x) noexcept { return state.process (coefficients, x); }
    void reset() noexcept { state.reset(); }

private:
    BiquadCoefficients coefficients;
    BiquadState state;
};
} // namespace hoopvane
