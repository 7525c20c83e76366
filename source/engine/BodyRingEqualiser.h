#pragma once

#include "Biquad.h"

#include <array>

namespace hoopvane
{
/** Lifts the drum's body (its fundamental, at "BOOST_FREQ") while the gate is open and cuts its
    ring (the ringing overtone, at "CUT_FREQ") deeper as the gate closes. In TILT a positive
    "RES_GAIN" boosts the body and a negative one cuts the ring; in DUAL one positive setting does
    both. "LISTEN" replaces the equaliser with a band-pass on the band being tuned.

    prepare() and reset() run on the preparation thread; the rest on the audio thread.
*/
class BodyRingEqualiser
{
public:
    enum Listen
    {
        listenOff = 0,
        listenBody = 1,
        listenRing = 2
    };

    /** Forgets every design, so the next beginBlock() designs for the new rate, and resets. */
    void prepare (double sampleRate) noexcept;

    /** Clears every filter state. */
    void reset() noexcept;

    /** The block's settings. resGain is in dB, signed in TILT; DUAL uses max(resGain, 0).
        Angles and bandwidths are redesigned only when a frequency moves by more than 0.5 Hz or
        |resGain| by more than 0.1 dB. [audio thread] */
    void beginBlock (double boostFreq, double cutFreq, double resGain, bool dual, int listen) noexcept;

    /** Filters the pair in place; gateValue is the expander's gate value Gf. [audio thread] */
    void process (double& left, double& right, double gateValue) noexcept;

private:
    /** One peaking band whose gain follows the gate. Its angle and bandwidth change per block;
        its coefficients are rebuilt only when its gain in dB changes. */
    class GatedPeak
    {
    public:
        void design (double sampleRate, double frequencyHz, double q) noexcept;
        const BiquadCoefficients& coefficientsFor (double gainDb) noexcept;
        /** The constant 0 dB peak band-pass with the same centre and bandwidth. */
        BiquadCoefficients bandPass() const noexcept;

        std::array<BiquadState, 2> states {};

    private:
        double cosW = 1.0, alpha = 0.0;
        double cachedGainDb = 0.0;
        bool cacheValid = false;
        BiquadCoefficients coefficients;
    };

    /** A LISTEN band-pass for both channels. */
    struct Solo
    {
        BiquadCoefficients coefficients;
        std::array<BiquadState, 2> states {};

        void reset() noexcept;
    };

    bool needsRedesign (double boostHz, double cutHz, double magnitudeDb) const noexcept;
    void redesign (double boostHz, double cutHz, double magnitudeDb) noexcept;
    void setListen (int newListen) noexcept;
    void equalise (double& left, double& right, double gateValue) noexcept;
    void solo (Solo& band, double& left, double& right) noexcept;

    double sampleRate = 44100.0;

    // The design the angles and bandwidths were made for.
    bool designed = false;
    double designedBoostHz = 0.0, designedCutHz = 0.0, designedMagnitudeDb = 0.0;

    // Block settings: body gain = gate x bodyScaleDb, ring gain = -ringDepthDb x (0.25 + 0.55 (1 - gate)).
    double bodyScaleDb = 0.0, ringDepthDb = 0.0;
    int listen = listenOff;

    GatedPeak body, ring;
    Solo bodySolo, ringSolo;
};
} // namespace hoopvane
