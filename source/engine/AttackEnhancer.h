#pragma once

#include "AttackReleaseFollower.h"
#include "Biquad.h"

#include <array>

namespace hoopvane
{
/** Sharpens the drum's attack: a high shelf and a presence peak that grow with "ATTACK", plus
    a soft-saturated copy of the top of the detection band added while a transient of an open
    gate is under way.

    prepare() and reset() run on the preparation thread; the rest on the audio thread.
*/
class AttackEnhancer
{
public:
    /** Forgets the filter design, so the next beginBlock() designs for the new rate, and resets. */
    void prepare (double sampleRate) noexcept;

    /** Clears every filter, follower and level state and the block's transient sum. */
    void reset() noexcept;

    /** "ATTACK" for the block (0 … 1). The stage runs above 0.01; its filters are redesigned
        when "ATTACK" moves by more than 0.001 from their design. [audio thread] */
    void beginBlock (double attack) noexcept;

    /** Filters the pair in place and adds the transient signal.
        @param levelInput  (|dL| + |dR|) / 2 of the delayed pair
        @param gateValue   the expander's gate value Gf
        @param hLeft, hRight  the delayed samples high-passed at the top of the detection band
        [audio thread] */
    void process (double& left, double& right, double levelInput, double gateValue, double hLeft, double hRight) noexcept;

    /** The mean transient detector output since the last call (`transientAmount`); starts a new
        sum. [audio thread] */
    double takeMeanTransient() noexcept;

private:
    bool needsRedesign (double newAttack) const noexcept;
    void design (double newAttack) noexcept;
    /** Filter and follower states; the smoothed level is kept. */
    void clearStates() noexcept;
    double detectTransient (double level) noexcept;
    double shape (int channel, double x) noexcept;

    double sampleRate = 44100.0;
    double attack = 0.0;
    bool active = false;

    // Tone filters
    bool designed = false;
    double designedAttack = 0.0;
    BiquadCoefficients shelfCoefficients, peakCoefficients;
    std::array<BiquadState, 2> shelfStates {}, peakStates {};

    // Transient detector
    BiquadCoefficients levelHighPassCoefficients;
    BiquadState levelHighPass;
    AttackReleaseFollower riseFollower, edgeFollower;
    double smoothedLevel = 0.0;

    double transientSum = 0.0;
    int transientCount = 0;
};
} // namespace hoopvane
