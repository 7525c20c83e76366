#pragma once

#include "Biquad.h"
#include "ExpanderVoicing.h"

#include <array>

namespace hoopvane
{
/** Measures how fast the drum's own hits die away at the centre and the top of the detection
    band, on the delayed pair the gate acts on, and turns the smoothed rates into the release
    times of the mid and high gain smoothers (`relCentre`, `relHigh`). */
class DecayMeasurement
{
public:
    static constexpr int measurementsBeforeAdaptive = 6;

    void prepare (double sampleRate) noexcept;
    void setBand (const DetectionBand& band) noexcept;

    /** Stops a running measurement and clears the filters. The measured rates, the adaptive
        releases and their flag survive. */
    void reset() noexcept;

    /** Starts measuring a just accepted hit, unless the previous measurement started less than
        15 ms ago. [audio thread] */
    void startHit (double acceptMatch) noexcept;

    /** Every sample, on the delayed pair. [audio thread] */
    void process (double left, double right) noexcept;

    bool isMeasuring() const noexcept { return measuring; }
    bool isAdaptive() const noexcept { return adaptive; }
    int getMeasurementCount() const noexcept { return measurements; }
    double getRelCentreMs() const noexcept { return relCentre; }
    double getRelHighMs() const noexcept { return relHigh; }

    /** This sample's delayed pair high-passed at the top of the detection band: the attack
        enhancer shapes the transient from it. */
    double getUpperEdgeLeft() const noexcept { return high.outputs[0]; }
    double getUpperEdgeRight() const noexcept { return high.outputs[1]; }

private:
    /** One of the two measured bands: the top (high-pass) and the centre (band-pass). */
    struct BandDecay
    {
        BiquadCoefficients coefficients;
        std::array<BiquadState, 2> states {};
        std::array<double, 2> outputs {};
        double level = 0.0, peak = 0.0, snapshot = 0.0;
        double smoothedRate = 0.0; ///< dB per ms

        void filter (double left, double right) noexcept;
        void updateRate (int measurementsSoFar) noexcept;
    };

    void finish() noexcept;
    bool tooWeakToMeasure() const noexcept;

    double sampleRate = 44100.0;
    int peakSamples = 0, firstSnapshotSamples = 0, secondSnapshotSamples = 0, restartGuardSamples = 0;

    BandDecay high, centre;
    bool measuring = false;
    int elapsed = 0;
    int sinceLastStart = 0;
    double matchAtStart = 1.0;

    int measurements = 0;
    bool adaptive = false;
    double relCentre = 180.0, relHigh = 120.0;
};
} // namespace hoopvane
