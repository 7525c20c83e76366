#include "engine/Biquad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

namespace
{
constexpr double pi = 3.14159265358979323846;

double magnitudeDb (const hoopvane::BiquadCoefficients& c, double frequencyHz, double sampleRate)
{
    const auto z = std::polar (1.0, -2.0 * pi * frequencyHz / sampleRate);
    const auto h = (c.b0 + c.b1 * z + c.b2 * z * z) / (1.0 + c.a1 * z + c.a2 * z * z);
    return 20.0 * std::log10 (std::abs (h));
}
} // namespace

struct DesignCase
{
    const char* name;
    hoopvane::BiquadCoefficients (*design) (double fs);
    double frequencyHz;
    double expectedDb;
};

class RbjDesigns : public ::testing::TestWithParam<std::tuple<DesignCase, double>>
{
};

TEST_P (RbjDesigns, GainAtStatedFrequency)
{
    const auto& [design, sampleRate] = GetParam();
    EXPECT_NEAR (magnitudeDb (design.design (sampleRate), design.frequencyHz, sampleRate), design.expectedDb, 0.05)
        << design.name << " at " << sampleRate;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P (
    Table, RbjDesigns,
    ::testing::Combine (
        ::testing::Values (
            DesignCase { "low-pass 1 kHz corner", [] (double fs) { return hoopvane::rbj::lowPass (fs, 1000.0, 0.7071); }, 1000.0, -3.01 },
            DesignCase { "low-pass 1 kHz passband", [] (double fs) { return hoopvane::rbj::lowPass (fs, 1000.0, 0.7071); }, 50.0, 0.0 },
            DesignCase { "high-pass 10 Hz corner", [] (double fs) { return hoopvane::rbj::highPass (fs, 10.0, 0.7071); }, 10.0, -3.01 },
            DesignCase { "high-pass 10 Hz one octave down", [] (double fs) { return hoopvane::rbj::highPass (fs, 10.0, 0.7071); }, 5.0, -12.30 },
            DesignCase { "band-pass peak is 0 dB", [] (double fs) { return hoopvane::rbj::bandPass (fs, 500.0, 1.0); }, 500.0, 0.0 },
            DesignCase { "peaking +6 dB", [] (double fs) { return hoopvane::rbj::peaking (fs, 200.0, 2.0, 6.0); }, 200.0, 6.0 },
            DesignCase { "low shelf -9 dB at DC side", [] (double fs) { return hoopvane::rbj::lowShelf (fs, 90.0, 0.7071, -9.0); }, 5.0, -9.0 },
            DesignCase { "high shelf +4 dB far above the corner", [] (double fs) { return hoopvane::rbj::highShelf (fs, 1000.0, 0.55, 4.0); }, 15000.0, 4.0 }),
        ::testing::Values (44100.0, 48000.0, 96000.0)),
    [] (const auto& testCase) {
        return "case" + std::to_string (testCase.index % 8) + "_" + std::to_string ((int) std::get<1> (testCase.param)) + "Hz";
    });
// clang-format on

TEST (DesignFrequency, IsLimitedToSafeRange)
{
    EXPECT_EQ (hoopvane::limitDesignFrequency (5.0, 48000.0), 10.0);
    EXPECT_DOUBLE_EQ (hoopvane::limitDesignFrequency (20000.0, 44100.0), 19845.0);
    EXPECT_DOUBLE_EQ (hoopvane::limitDesignFrequency (10000.0, 22050.0), 9922.5);
    EXPECT_EQ (hoopvane::limitDesignFrequency (1000.0, 48000.0), 1000.0);
}
