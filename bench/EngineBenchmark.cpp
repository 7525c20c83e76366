#include "engine/DetectionEngine.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;

/** A drum-like test signal: decaying 120 Hz hits four times a second over low-level noise. */
std::vector<float> drumPattern (int length)
{
    std::mt19937 random (1);
    std::normal_distribution<float> noise (0.0f, 0.003f);
    std::vector<float> x ((size_t) length);
    const int hitSpacing = (int) (sampleRate / 4.0);
    for (int i = 0; i < length; ++i)
    {
        const double t = (double) (i % hitSpacing) / sampleRate;
        x[(size_t) i] = (float) (0.8 * std::exp (-t * 25.0) * std::sin (2.0 * 3.14159265 * 120.0 * t)) + noise (random);
    }
    return x;
}

void engineMono (benchmark::State& state)
{
    const int blockSize = (int) state.range (0);
    hoopvane::DetectionEngine engine;
    engine.prepare (sampleRate, blockSize, 0);
    hoopvane::ParameterSnapshot parameters;

    const auto source = drumPattern ((int) sampleRate);
    auto buffer = source;
    size_t position = 0;

    for (auto _ : state)
    {
        if (position + (size_t) blockSize > buffer.size())
        {
            buffer = source;
            position = 0;
        }
        float* channel[] = { buffer.data() + position };
        engine.setParameters (parameters);
        engine.process (channel, 1, nullptr, 0, blockSize, -1);
        benchmark::ClobberMemory();
        position += (size_t) blockSize;
    }

    state.SetItemsProcessed (state.iterations() * blockSize);
    // Seconds per sample; the report prints it with an SI prefix ("25n" is 25 ns).
    state.counters["time_per_sample"] = benchmark::Counter ((double) blockSize,
                                                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
} // namespace

BENCHMARK (engineMono)->Arg (64)->Arg (512);
