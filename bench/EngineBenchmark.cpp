#include "engine/DetectionEngine.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr double pi = 3.14159265358979323846;

/** A tom track: decaying 110 Hz hits with a stick click, over the hiss a close microphone hears
    between hits. */
std::vector<float> tomTrack (int length, double hitsPerSecond)
{
    std::mt19937 random (1);
    std::normal_distribution<double> noise (0.0, 1.0);
    std::vector<float> x ((size_t) length);
    const int hitSpacing = (int) (sampleRate / hitsPerSecond);
    for (int i = 0; i < length; ++i)
    {
        const int n = i % hitSpacing;
        const double t = n / sampleRate;
        const double body = 0.5 * std::exp (-t / 0.12) * (std::sin (2 * pi * 110 * t) + 0.4 * std::sin (2 * pi * 220 * t));
        const double click = n < 96 ? 0.15 * noise (random) : 0.0;
        x[(size_t) i] = (float) (body + click + 0.003 * noise (random));
    }
    return x;
}

/** An engine that has learned the track's drum, as on a session after "LEARN". */
hoopvane::DetectionEngine& learnedEngine (hoopvane::DetectionEngine& engine, int blockSize)
{
    engine.prepare (sampleRate, blockSize, 0);
    hoopvane::ParameterSnapshot parameters;
    parameters.learn = true;
    auto copy = tomTrack ((int) sampleRate * 6, 2.0);
    for (size_t start = 0; start + (size_t) blockSize <= copy.size(); start += (size_t) blockSize)
    {
        float* channels[] = { copy.data() + start, copy.data() + start };
        engine.setParameters (parameters);
        engine.process (channels, 1, nullptr, 0, blockSize, -1);
    }
    return engine;
}

/** Every tone stage working: attack enhancer, LF tightener, body boost with ring cut, and both
    output filters at 24 dB per octave. */
hoopvane::ParameterSnapshot toneStagesActive()
{
    hoopvane::ParameterSnapshot p;
    p.attack = 0.5f;
    p.lfTightDb = -12.0f;
    p.resGainDb = 6.0f;
    p.hpfSlope = 4;
    p.hpfFreq = 60.0f;
    p.lpfSlope = 4;
    p.lpfFreq = 9000.0f;
    return p;
}

void learnedEngine (benchmark::State& state)
{
    const int blockSize = (int) state.range (0);
    const int numChannels = (int) state.range (1);
    const bool toneActive = state.range (2) != 0;
    const auto source = tomTrack ((int) sampleRate * 3, 4.0);

    hoopvane::DetectionEngine engine;
    learnedEngine (engine, blockSize);
    if (! engine.getLearning().isLearned())
        state.SkipWithError ("the engine did not learn the drum");

    const auto parameters = toneActive ? toneStagesActive() : hoopvane::ParameterSnapshot {};
    std::vector<float> left = source, right = source;
    size_t position = 0;

    for (auto _ : state)
    {
        if (position + (size_t) blockSize > left.size())
        {
            left = source;
            right = source;
            position = 0;
        }
        float* channels[] = { left.data() + position, right.data() + position };
        engine.setParameters (parameters);
        engine.process (channels, numChannels, nullptr, 0, blockSize, -1);
        benchmark::ClobberMemory();
        position += (size_t) blockSize;
    }

    // Seconds per sample frame; the report prints it with an SI prefix ("250n" is 250 ns).
    state.counters["time_per_sample"] = benchmark::Counter ((double) blockSize,
                                                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
} // namespace

BENCHMARK (learnedEngine)
    ->ArgNames ({ "block", "channels", "tone" })
    ->ArgsProduct ({ { 64, 512 }, { 1, 2 }, { 0, 1 } });
