#include "OutputFilter.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double pi = 3.14159265358979323846;
    constexpr double butterworthQ = 0.707;
    constexpr double eighteenDbBiquadQ = 1.0;
    /** Smaller frequency moves keep the current design. */
    constexpr double redesignThresholdHz = 0.5;

    enum SectionFlags
    {
        onePoleSection = 1,
        firstBiquadSection = 2,
        secondBiquadSection = 4
    };

    constexpr int sectionsInUse[OutputFilter::numSlopes] = {
        0,
        onePoleSection,
        firstBiquadSection,
        firstBiquadSection | onePoleSection,
        firstBiquadSection | secondBiquadSection,
    };
} // namespace

OutputFilter::OutputFilter (Direction d) noexcept : direction (d) {}

void OutputFilter::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    designValid = false;
    reset();
}

void OutputFilter::reset() noexcept
{
    left = {};
    right = {};
}

void OutputFilter::configure (int newSlope, double frequencyHz) noexcept
{
    newSlope = std::clamp (newSlope, 0, numSlopes - 1);
    if (! needsDesign (newSlope, frequencyHz))
        return;

    clearSectionsComingIntoUse (newSlope);
    slope = newSlope;
    appliedFrequency = frequencyHz;
    designFrequency = limitDesignFrequency (frequencyHz, sampleRate);
    designValid = true;

    if (slope > 0)
        design();
}

bool OutputFilter::needsDesign (int newSlope, double frequencyHz) const noexcept
{
    return ! designValid || newSlope != slope || std::abs (frequencyHz - appliedFrequency) >= redesignThresholdHz;
}

void OutputFilter::clearSectionsComingIntoUse (int newSlope) noexcept
{
    // A section that sat idle holds whatever it had when it was last used; starting from it
    // would put an old transient into the output.
    const int newSections = sectionsInUse[newSlope] & ~sectionsInUse[slope];

    for (auto* state : { &left, &right })
    {
        if ((newSections & onePoleSection) != 0)
            state->onePole = 0.0;
        if ((newSections & firstBiquadSection) != 0)
            state->first.reset();
        if ((newSections & secondBiquadSection) != 0)
            state->second.reset();
    }
}

void OutputFilter::design() noexcept
{
    const auto biquad = direction == Direction::highPass ? rbj::highPass : rbj::lowPass;

    if (slope == 1 || slope == 3)
        onePoleCoefficient = 1.0 - std::exp (-2.0 * pi * designFrequency / sampleRate);

    if (slope >= 2)
        first = biquad (sampleRate, designFrequency, slope == 3 ? eighteenDbBiquadQ : butterworthQ);

    if (slope == 4)
        second = first;
}
} // namespace hoopvane
