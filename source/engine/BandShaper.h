#pragma once

#include "ExpanderVoicing.h"
#include "StateVariableFilter.h"

#include <array>

namespace hoopvane
{
/** Applies the expander's three band gains to a stereo pair: the loudest band as a broadband
    gain, then a low shelf at the band's low edge, a bell at its centre and a high shelf at its
    high edge for the other two bands' offsets from it. Each section is a state-variable filter
    whose outputs are mixed, so a gain change never disturbs the filter state. */
class BandShaper
{
public:
    static constexpr int numChannels = 2;

    void prepare (double sampleRate, const DetectionBand& band) noexcept;
    /** Clears the filter states and returns to unity gain. */
    void reset() noexcept;

    /** Sets the low, mid and high gains in dB (all at or below 0). Shelf amounts are only
        recomputed when an offset changes. [audio thread] */
    void setGains (const std::array<double, 3>& gainsDb) noexcept;

    /** [audio thread] */
    double process (int channel, double x) noexcept;

private:
    struct Section
    {
        SvfCoefficients coefficients;
        double offsetDb = 0.0;
        double a = 1.0, aSquared = 1.0; ///< A and A² of the offset

        void setOffset (double newOffsetDb) noexcept;
    };

    struct ChannelState
    {
        SvfState low, mid, high;
    };

    double topDb = 0.0, topGain = 1.0;
    Section lowShelf, bell, highShelf;
    std::array<ChannelState, numChannels> channels {};
};
} // namespace hoopvane
