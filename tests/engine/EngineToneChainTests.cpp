#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr double pi = 3.14159265358979323846;

/** Steady-state gain of the whole engine for a sine, in dB (the gate held open by "RANGE" 0). */
double engineGainDb (const std::function<void (hoopvane::ParameterSnapshot&)>& configure, double frequencyHz)
{
    EngineHarness harness (sampleRate, 256);
    configure (harness.parameters);

    const int length = (int) sampleRate;
    std::vector<float> tone ((size_t) length);
    for (int n = 0; n < length; ++n)
        tone[(size_t) n] = (float) (0.25 * std::sin (2.0 * pi * frequencyHz * n / sampleRate));

    const auto out = harness.runMono (tone);
    double in = 0.0, processed = 0.0;
    for (int n = length / 2; n < length; ++n)
    {
        in += (double) tone[(size_t) n] * tone[(size_t) n];
        processed += (double) out[(size_t) n] * out[(size_t) n];
    }
    return 10.0 * std::log10 (processed / in);
}

struct ToneChainCase
{
    const char* name;
    std::function<void (hoopvane::ParameterSnapshot&)> configure;
    double frequencyHz, minimumDb, maximumDb;
};
} // namespace

class EngineToneChain : public ::testing::TestWithParam<ToneChainCase>
{
};

// Each tone stage reaches the output through the engine, in its place in the chain.
TEST_P (EngineToneChain, ShapesTheOutputAsTheParameterSays)
{
    const auto& c = GetParam();
    const double gainDb = engineGainDb (c.configure, c.frequencyHz);
    EXPECT_GE (gainDb, c.minimumDb) << c.name;
    EXPECT_LE (gainDb, c.maximumDb) << c.name;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P (
    Table, EngineToneChain,
    ::testing::Values (
        ToneChainCase { "defaults pass", [] (auto&) {}, 1000.0, -0.05, 0.05 },
        ToneChainCase { "HPF 24 dB/oct two octaves below 400 Hz", [] (auto& p) { p.hpfSlope = 4; p.hpfFreq = 400.0f; }, 100.0, -52.0, -44.0 },
        ToneChainCase { "LPF 12 dB/oct two octaves above 1 kHz", [] (auto& p) { p.lpfSlope = 2; p.lpfFreq = 1000.0f; }, 4000.0, -26.0, -22.0 },
        ToneChainCase { "body +6 dB at BOOST_FREQ, gate open", [] (auto& p) { p.resGainDb = 6.0f; p.boostFreq = 80.0f; }, 80.0, 5.5, 6.5 },
        ToneChainCase { "LISTEN ring keeps CUT_FREQ", [] (auto& p) { p.listen = 2; p.cutFreq = 150.0f; }, 150.0, -0.5, 0.5 },
        ToneChainCase { "LISTEN ring drops 1 kHz", [] (auto& p) { p.listen = 2; p.cutFreq = 150.0f; }, 1000.0, -60.0, -15.0 }),
    [] (const auto& testCase) { return "case" + std::to_string (testCase.index); });
// clang-format on
