#pragma once

#include "Biquad.h"

namespace hoopvane
{
/** One of the two switchable filters at the end of the chain: a high-pass or a low-pass of
    6, 12, 18 or 24 dB per octave, or off. Each channel runs through its own states.

    Slope index and sections:
    0 off (the signal passes unchanged), 1 one-pole, 2 one biquad with Q 0.707,
    3 a biquad with Q 1.0 followed by a one-pole, 4 two biquads with Q 0.707 (Linkwitz-Riley).
*/
class OutputFilter
{
public:
    enum class Direction
    {
        highPass,
        lowPass
    };

    static constexpr int numSlopes = 5;

    explicit OutputFilter (Direction direction) noexcept;

    /** Sets the sample rate, clears the states and forgets the current design, so the next
        configure() designs at the new rate even when its settings have not moved.
        [message thread] */
    void prepare (double sampleRate) noexcept;

    /** Clears the states of every section on both channels. */
    void reset() noexcept;

    /** Applies the block's slope index (0 … 4) and frequency. Redesigns only when the slope
        changes or the frequency has moved by at least half a hertz since the last design, so
        slow automation does not recompute coefficients every block. Sections that come into
        use with a new slope start from silence; sections already in use keep their states.
        [audio thread] */
    void configure (int slope, double frequencyHz) noexcept;

    /** [audio thread] */
    double processLeft (double x) noexcept { return processChannel (left, x); }
    /** [audio thread] */
    double processRight (double x) noexcept { return processChannel (right, x); }

    Direction getDirection() const noexcept { return direction; }
    int getSlope() const noexcept { return slope; }
    /** The frequency the sections are designed at: the last applied frequency, limited to
        10 Hz … 0.45 fs. */
    double getDesignFrequency() const noexcept { return designFrequency; }

private:
    struct ChannelState
    {
        double onePole = 0.0;
        BiquadState first, second;
    };

    double processChannel (ChannelState& state, double x) const noexcept
    {
        switch (slope)
        {
            case 1:
                return processOnePole (state.onePole, x);
            case 2:
                return state.first.process (first, x);
            case 3:
                return processOnePole (state.onePole, state.first.process (first, x));
            case 4:
                return state.second.process (second, state.first.process (first, x));
            default:
                return x;
        }
    }

    /** The one-pole follows the input as a low-pass; its high-pass is what the low-pass leaves. */
    double processOnePole (double& y, double x) const noexcept
    {
        y = flushTiny (y + onePoleCoefficient * (x - y));
        return direction == Direction::lowPass ? y : x - y;
    }

    bool needsDesign (int newSlope, double frequencyHz) const noexcept;
    void clearSectionsComingIntoUse (int newSlope) noexcept;
    void design() noexcept;

    Direction direction;
    double sampleRate = 44100.0;
    int slope = 0;
    double appliedFrequency = 0.0;
    double designFrequency = 0.0;
    bool designValid = false;

    double onePoleCoefficient = 0.0;
    BiquadCoefficients first, second;
    ChannelState left, right;
};
} // namespace hoopvane
