#include "engine/OutputFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <string>
#include <vector>

using hoopvane::OutputFilter;
using Direction = OutputFilter::Direction;

namespace
{
constexpr double pi = 3.14159265358979323846;
constexpr double butterworthCornerDb = -3.01;
constexpr double linkwitzRileyCornerDb = -6.02;

std::vector<double> noise (int length, unsigned seed)
{
    std::mt19937 generator (seed);
    std::uniform_real_distribution<double> uniform (-1.0, 1.0);
    std::vector<double> signal ((std::size_t) length);
    for (auto& x : signal)
        x = uniform (generator);
    return signal;
}

OutputFilter makeFilter (Direction direction, double sampleRate, int slope, double frequencyHz)
{
    OutputFilter filter (direction);
    filter.prepare (sampleRate);
    filter.configure (slope, frequencyHz);
    return filter;
}

std::vector<double> runLeft (OutputFilter& filter, const std::vector<double>& input)
{
    std::vector<double> output;
    output.reserve (input.size());
    for (const double x : input)
        output.push_back (filter.processLeft (x));
    return output;
}

/** Runs both channels, the right one on the negated input, so that shared states would show. */
void runBoth (OutputFilter& filter, const std::vector<double>& input)
{
    for (const double x : input)
    {
        filter.processLeft (x);
        filter.processRight (-x);
    }
}

/** Gain in dB at one frequency, from the DFT of a one-second impulse response (long enough for
    every design here to have decayed to nothing). */
double gainDb (OutputFilter& filter, double sampleRate, double frequencyHz)
{
    std::vector<double> impulse ((std::size_t) sampleRate, 0.0);
    impulse[0] = 1.0;
    const auto response = runLeft (filter, impulse);

    std::complex<double> sum;
    const double w = 2.0 * pi * frequencyHz / sampleRate;
    for (std::size_t n = 0; n < response.size(); ++n)
        sum += response[n] * std::polar (1.0, -w * (double) n);
    return 20.0 * std::log10 (std::abs (sum));
}

std::string directionName (Direction direction)
{
    return direction == Direction::highPass ? "HighPass" : "LowPass";
}

//==============================================================================
TEST (OutputFilterOff, PassesTheSignalBitExactly)
{
    auto input = noise (4096, 1);
    input[10] = 1.0e-30;
    input[11] = -3.5e6;

    for (const auto direction : { Direction::highPass, Direction::lowPass })
    {
        // Having been on must leave no trace either.
        auto filter = makeFilter (direction, 48000.0, 4, 1000.0);
        runBoth (filter, noise (512, 2));
        filter.configure (0, 1000.0);

        for (const double x : input)
        {
            EXPECT_EQ (filter.processLeft (x), x);
            EXPECT_EQ (filter.processRight (x), x);
        }
    }
}

//==============================================================================
struct SlopeCase
{
    int slope;
    double oneOctaveDb, twoOctavesDb; // analogue prototype gains past the corner
};

class OutputFilterSlopes : public ::testing::TestWithParam<std::tuple<SlopeCase, Direction, double>>
{
};

TEST_P (OutputFilterSlopes, AttenuatePerOctavePastTheCorner)
{
    const auto& [slopeCase, direction, sampleRate] = GetParam();
    const bool highPass = direction == Direction::highPass;
    const double corner = highPass ? 400.0 : 500.0;
    const auto pastCorner = [&] (double octaves)
    { return corner * std::pow (2.0, highPass ? -octaves : octaves); };

    auto filter = makeFilter (direction, sampleRate, slopeCase.slope, corner);
    const double passband = gainDb (filter, sampleRate, pastCorner (-3.0));
    const double oneOctave = gainDb (filter, sampleRate, pastCorner (1.0));
    const double twoOctaves = gainDb (filter, sampleRate, pastCorner (2.0));

    // The one-pole high-pass keeps a loss of about c/2 (0.25 dB at this corner) up to Nyquist.
    EXPECT_NEAR (passband, 0.0, 0.4);
    EXPECT_NEAR (oneOctave, slopeCase.oneOctaveDb, 0.5);
    EXPECT_NEAR (twoOctaves, slopeCase.twoOctavesDb, 0.5);
    EXPECT_NEAR (oneOctave - twoOctaves, 6.0 * slopeCase.slope, 1.0);
}

std::string slopeCaseName (const ::testing::TestParamInfo<OutputFilterSlopes::ParamType>& testCase)
{
    const auto& [slopeCase, direction, sampleRate] = testCase.param;
    return "slope" + std::to_string (slopeCase.slope) + "_" + directionName (direction) + "_"
           + std::to_string ((int) sampleRate) + "Hz";
}

INSTANTIATE_TEST_SUITE_P (Table,
                          OutputFilterSlopes,
                          ::testing::Combine (::testing::Values (SlopeCase { 1, -6.99, -12.30 },
                                                                 SlopeCase { 2, -12.30, -24.09 },
                                                                 SlopeCase { 3, -18.13, -36.12 },
                                                                 SlopeCase { 4, -24.61, -48.18 }),
                                              ::testing::Values (Direction::highPass, Direction::lowPass),
                                              ::testing::Values (44100.0, 48000.0, 96000.0)),
                          slopeCaseName);

//==============================================================================
struct LimitCase
{
    Direction direction;
    double frequencyHz, sampleRate, expectedDesignHz;
};

class OutputFilterDesignLimits : public ::testing::TestWithParam<LimitCase>
{
};

TEST_P (OutputFilterDesignLimits, CornerSitsAtTheLimitedFrequency)
{
    const auto& c = GetParam();
    auto filter = makeFilter (c.direction, c.sampleRate, 2, c.frequencyHz);

    EXPECT_DOUBLE_EQ (filter.getDesignFrequency(), c.expectedDesignHz);
    EXPECT_NEAR (gainDb (filter, c.sampleRate, c.expectedDesignHz), butterworthCornerDb, 0.02);
}

INSTANTIATE_TEST_SUITE_P (Table,
                          OutputFilterDesignLimits,
                          ::testing::Values (LimitCase { Direction::highPass, 5.0, 44100.0, 10.0 },
                                             LimitCase { Direction::highPass, 5.0, 96000.0, 10.0 },
                                             LimitCase { Direction::highPass, 20000.0, 44100.0, 19845.0 },
                                             LimitCase { Direction::lowPass, 20000.0, 44100.0, 19845.0 }),
                          [] (const auto& testCase)
                          {
                              return directionName (testCase.param.direction) + "_"
                                     + std::to_string ((int) testCase.param.frequencyHz) + "Hz_at_"
                                     + std::to_string ((int) testCase.param.sampleRate);
                          });

//==============================================================================
TEST (OutputFilterRedesign, WaitsForHalfAHertzSinceTheLastDesign)
{
    const auto input = noise (2048, 3);
    auto reference = makeFilter (Direction::lowPass, 48000.0, 2, 1000.0);
    auto automated = makeFilter (Direction::lowPass, 48000.0, 2, 1000.0);

    // Automation creeping by 0.2 Hz per block: the first two moves keep the design...
    automated.configure (2, 1000.2);
    automated.configure (2, 1000.4);
    EXPECT_EQ (automated.getDesignFrequency(), 1000.0);
    EXPECT_EQ (runLeft (automated, input), runLeft (reference, input));

    // ...but the moves add up: the third reaches half a hertz from the design and follows.
    automated.configure (2, 1000.6);
    EXPECT_NEAR (automated.getDesignFrequency(), 1000.6, 1.0e-9);
}

//==============================================================================
class OutputFilterSlopeChange : public ::testing::TestWithParam<std::tuple<int, int, Direction>>
{
};

TEST_P (OutputFilterSlopeChange, SectionsComingIntoUseStartCleared)
{
    const auto& [from, to, direction] = GetParam();
    constexpr double sampleRate = 48000.0, frequency = 700.0;
    const auto tail = noise (2048, 4);

    // Leave every section with a state: the one-pole and first biquad from "18", the second
    // biquad from "24". Then the sections of the old slope decay to exactly zero in silence,
    // so whatever the new slope inherits can only come from idle sections left uncleared.
    auto filter = makeFilter (direction, sampleRate, 3, frequency);
    runBoth (filter, noise (1024, 5));
    filter.configure (4, frequency);
    runBoth (filter, noise (1024, 6));
    filter.configure (from, frequency);
    runBoth (filter, std::vector<double> ((std::size_t) sampleRate, 0.0));

    filter.configure (to, frequency);
    auto fresh = makeFilter (direction, sampleRate, to, frequency);
    for (const double x : tail)
    {
        ASSERT_EQ (filter.processLeft (x), fresh.processLeft (x));
        ASSERT_EQ (filter.processRight (-x), fresh.processRight (-x));
    }
}

std::vector<std::tuple<int, int, Direction>> slopeChanges()
{
    std::vector<std::tuple<int, int, Direction>> changes;
    for (const auto direction : { Direction::highPass, Direction::lowPass })
        for (int from = 0; from < OutputFilter::numSlopes; ++from)
            for (int to = 1; to < OutputFilter::numSlopes; ++to)
                if (from != to)
                    changes.emplace_back (from, to, direction);
    return changes;
}

std::string slopeName (int slope)
{
    return slope == 0 ? std::string ("OFF") : std::to_string (6 * slope);
}

std::string slopeChangeName (const ::testing::TestParamInfo<OutputFilterSlopeChange::ParamType>& testCase)
{
    const auto& [from, to, direction] = testCase.param;
    return slopeName (from) + "to" + slopeName (to) + "_" + directionName (direction);
}

INSTANTIATE_TEST_SUITE_P (AllChanges,
                          OutputFilterSlopeChange,
                          ::testing::ValuesIn (slopeChanges()),
                          slopeChangeName);

//==============================================================================
class OutputFilterKeepsFirstBiquad : public ::testing::TestWithParam<Direction>
{
};

TEST_P (OutputFilterKeepsFirstBiquad, From12To24AndBack)
{
    constexpr double sampleRate = 44100.0, frequency = 300.0;
    const auto direction = GetParam();
    const auto history24 = noise (1500, 7), history12 = noise (1500, 8), tail = noise (1500, 9);

    // "24" uses the same first section as "12", so one "12" filter over the whole signal shows
    // what a first biquad that never lost its state puts out.
    auto firstSection = makeFilter (direction, sampleRate, 2, frequency);
    runLeft (firstSection, history24);
    runLeft (firstSection, history12);
    const auto firstOnTail = runLeft (firstSection, tail);
    auto clearedSecondSection = makeFilter (direction, sampleRate, 2, frequency);
    const auto expected24 = runLeft (clearedSecondSection, firstOnTail);

    auto filter = makeFilter (direction, sampleRate, 4, frequency);
    runLeft (filter, history24);
    filter.configure (2, frequency);
    runLeft (filter, history12);
    filter.configure (4, frequency);
    EXPECT_EQ (runLeft (filter, tail), expected24);

    filter.configure (2, frequency);
    const auto after24 = noise (1500, 10);
    EXPECT_EQ (runLeft (filter, after24), runLeft (firstSection, after24));
}

INSTANTIATE_TEST_SUITE_P (Directions,
                          OutputFilterKeepsFirstBiquad,
                          ::testing::Values (Direction::highPass, Direction::lowPass),
                          [] (const auto& testCase)
                          { return directionName (testCase.param); });

//==============================================================================
struct RateChangeCase
{
    Direction direction;
    int slope;
    double cornerDb;
};

class OutputFilterNewSampleRate : public ::testing::TestWithParam<RateChangeCase>
{
};

TEST_P (OutputFilterNewSampleRate, CornerStaysWhereTheParameterSays)
{
    const auto& c = GetParam();
    constexpr double frequency = 1000.0;

    auto filter = makeFilter (c.direction, 44100.0, c.slope, frequency);
    runBoth (filter, noise (512, 11));

    // The same settings arrive after the new preparation: nothing in them has moved.
    filter.prepare (96000.0);
    filter.configure (c.slope, frequency);

    EXPECT_NEAR (gainDb (filter, 96000.0, frequency), c.cornerDb, 0.02);
}

INSTANTIATE_TEST_SUITE_P (Table,
                          OutputFilterNewSampleRate,
                          ::testing::Values (RateChangeCase { Direction::highPass, 2, butterworthCornerDb },
                                             RateChangeCase { Direction::lowPass, 2, butterworthCornerDb },
                                             RateChangeCase { Direction::highPass, 4, linkwitzRileyCornerDb },
                                             RateChangeCase { Direction::lowPass, 4, linkwitzRileyCornerDb }),
                          [] (const auto& testCase)
                          {
                              return directionName (testCase.param.direction) + "_slope" + std::to_string (testCase.param.slope);
                          });

//==============================================================================
TEST (OutputFilterChannels, EachChannelHasItsOwnStates)
{
    const auto leftInput = noise (2048, 12), rightInput = noise (2048, 13);
    auto leftOnly = makeFilter (Direction::lowPass, 48000.0, 3, 2000.0);
    auto stereo = makeFilter (Direction::lowPass, 48000.0, 3, 2000.0);

    const auto expectedLeft = runLeft (leftOnly, leftInput);
    for (std::size_t i = 0; i < leftInput.size(); ++i)
    {
        ASSERT_EQ (stereo.processLeft (leftInput[i]), expectedLeft[i]);
        stereo.processRight (rightInput[i]);
    }
}
} // namespace
