#pragma once

#include <cstdint>
#include <random>

namespace hoopvane::tools::demo
{
/** A seeded source of random numbers that gives the same values on every platform: the
    standard distributions are free to differ between libraries, so the values are built here
    from the engine's raw output, which the standard fixes. Separate streams keep one part of
    the session (the mics, say) unchanged when another part draws more or fewer numbers. */
class SeededRandom
{
public:
    SeededRandom (std::uint32_t seed, std::uint32_t stream)
    {
        std::seed_seq sequence { seed, stream };
        engine.seed (sequence);
    }

    /** Uniform in [0, 1). */
    double uniform() { return (double) (engine() >> 8) / (double) (1u << 24); }

    double between (double low, double high) { return low + (high - low) * uniform(); }

    /** Uniform integer in [low, high]. */
    int integer (int low, int high) { return low + (int) (uniform() * (double) (high - low + 1)); }

    bool chance (double probability) { return uniform() < probability; }

    /** Roughly normal with unit deviation (the sum of four uniforms), bounded at ±3.5. */
    double gaussian()
    {
        constexpr double irwinHallScale = 1.7320508075688772; // sqrt (12 / 4)
        return (uniform() + uniform() + uniform() + uniform() - 2.0) * irwinHallScale;
    }

private:
    std::mt19937 engine;
};
} // namespace hoopvane::tools::demo
