#include "Biquad.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double pi = 3.14159265358979323846;
    constexpr double maximumDesignFraction = 0.45;
    constexpr double minimumDesignFrequency = 10.0;

    struct Angle
    {
        double cosW, sinW;
    };

    Angle angleOf (double sampleRate, double frequencyHz) noexcept
    {
        const double w = 2.0 * pi * limitDesignFrequency (frequencyHz, sampleRate) / sampleRate;
        return { std::cos (w), std::sin (w) };
    }

    BiquadCoefficients normalise (double b0, double b1, double b2, double a0, double a1, double a2) noexcept
    {
        return { b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0 };
    }
} // namespace

double limitDesignFrequency (double frequencyHz, double sampleRate) noexcept
{
    return std::max (minimumDesignFrequency, std::min (frequencyHz, maximumDesignFraction * sampleRate));
}

namespace rbj
{
    BiquadCoefficients lowPass (double sampleRate, double frequencyHz, double q) noexcept
    {
        const auto [c, s] = angleOf (sampleRate, frequencyHz);
        const double alpha = s / (2.0 * q);
        return normalise ((1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
    }

    BiquadCoefficients highPass (double sampleRate, double frequencyHz, double q) noexcept
    {
        const auto [c, s] = angleOf (sampleRate, frequencyHz);
        const double alpha = s / (2.0 * q);
        return normalise ((1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
    }

    BiquadCoefficients bandPass (double sampleRate, double frequencyHz, double q) noexcept
    {
        const auto [c, s] = angleOf (sampleRate, frequencyHz);
        const double alpha = s / (2.0 * q);
        return normalise (alpha, 0.0, -alpha, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
    }

    BiquadCoefficients peaking (double sampleRate, double frequencyHz, double q, double gainDb) noexcept
    {
        const auto [c, s] = angleOf (sampleRate, frequencyHz);
        const double alpha = s / (2.0 * q);
        const double a = std::pow (10.0, gainDb / 40.0);
        return normalise (1.0 + alpha * a, -2.0 * c, 1.0 - alpha * a, 1.0 + alpha / a, -2.0 * c, 1.0 - alpha / a);
    }

    BiquadCoefficients lowShelf (double sampleRate, double frequencyHz, double q, double gainDb) noexcept
    {
        const auto [c, s] = angleOf (sampleRate, frequencyHz);
        const double alpha = s / (2.0 * q);
        const double a = std::pow (10.0, gainDb / 40.0);
        const double k = 2.0 * std::sqrt (a) * alpha;
        return normalise (a * ((a + 1.0) - (a - 1.0) * c + k),
                          2.0 * a * ((a - 1.0) - (a + 1.0) * c),
                          a * ((a + 1.0) - (a - 1.0) * c - k),
                          (a + 1.0) + (a - 1.0) * c + k,
                          -2.0 * ((a - 1.0) + (a + 1.0) * c),
                          (a + 1.0) + (a - 1.0) * c - k);
    }

    BiquadCoefficients highShelf (double sampleRate, double frequencyHz, double q, double gainDb) noexcept
    {
        const auto [c, s] = angleOf (sampleRate, frequencyHz);
        const double alpha = s / (2.0 * q);
        const double a = std::pow (10.0, gainDb / 40.0);
        const double k = 2.0 * std::sqrt (a) * alpha;
        return normalise (a * ((a + 1.0) + (a - 1.0) * c + k),
                          -2.0 * a * ((a - 1.0) + (a + 1.0) * c),
                          a * ((a + 1.0) + (a - 1.0) * c - k),
                          (a + 1.0) - (a - 1.0) * c + k,
                          2.0 * ((a - 1.0) - (a + 1.0) * c),
                          (a + 1.0) - (a - 1.0) * c - k);
    }
} // namespace rbj
} // namespace hoopvane
