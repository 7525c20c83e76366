#pragma once

#include "EngineExports.h"

namespace hoopvane
{
/** Accumulates the input level and the gate reduction over a block and turns them into the
    ballistics the editor shows. */
class BlockMeters
{
public:
    void prepare (double sampleRate) noexcept;
    void reset() noexcept;

    /** [audio thread] */
    void addSample (double detectorInput, double finalGateGain) noexcept
    {
        const double magnitude = detectorInput < 0.0 ? -detectorInput : detectorInput;
        peak = magnitude > peak ? magnitude : peak;
        magnitudeSum += magnitude;
        reductionSum += 1.0 - finalGateGain;
        ++count;
    }

    /** Smooths the block's figures and stores them in the exports. [audio thread] */
    void publish (EngineExports& exports) noexcept;

private:
    double sampleRate = 44100.0;
    double peak = 0.0, magnitudeSum = 0.0, reductionSum = 0.0;
    int count = 0;

    double inputLevel = 0.0;
    double peakHold = 0.0;
    int peakHoldSamplesLeft = 0;
    double reductionMeter = 0.0;
};
} // namespace hoopvane
