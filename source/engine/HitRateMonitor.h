#pragma once

#include <algorithm>
#include <array>

namespace hoopvane
{
/** Counts accepted hits in 100 ms windows and, at the end of each window, turns the rate over the
    last second into a release factor: longer releases for sparse playing, shorter for fast. A
    single 100 ms window could only ever see 0, 10, 20 … hits per second. */
class HitRateMonitor
{
public:
    static constexpr int windowsPerRate = 10;
    static constexpr double windowSeconds = 0.1;
    static constexpr double sparseHitsPerSecond = 4.0, denseHitsPerSecond = 8.0;
    static constexpr double sparseFactor = 1.5, denseFactor = 0.6;

    void prepare (double newSampleRate) noexcept
    {
        sampleRate = newSampleRate;
        windowLength = std::max (1, (int) (windowSeconds * sampleRate));
        reset();
    }

    void reset() noexcept
    {
        counts.fill (0);
        hitsInWindow = 0;
        position = 0;
        elapsed = 0;
        factor = 1.0;
    }

    /** [audio thread] */
    void countHit() noexcept { ++hitsInWindow; }

    /** Advances one sample. Returns true when a window ended and the factor was re-evaluated.
        [audio thread] */
    bool advance() noexcept
    {
        if (++elapsed < windowLength)
            return false;

        elapsed = 0;
        counts[(size_t) position] = hitsInWindow;
        position = (position + 1) % windowsPerRate;
        hitsInWindow = 0;

        int hits = 0;
        for (const int c : counts)
            hits += c;

        const double rate = hits * sampleRate / (double) (windowsPerRate * windowLength);
        factor = rate < sparseHitsPerSecond ? sparseFactor : (rate > denseHitsPerSecond ? denseFactor : 1.0);
        return true;
    }

    /** The factor of the last evaluation; it holds until the next one. */
    double getFactor() const noexcept { return factor; }

private:
    double sampleRate = 44100.0;
    int windowLength = 4410;
    std::array<int, windowsPerRate> counts {};
    int hitsInWindow = 0;
    int position = 0;
    int elapsed = 0;
    double factor = 1.0;
};
} // namespace hoopvane
