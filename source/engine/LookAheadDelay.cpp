#include "LookAheadDelay.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double lookAheadSeconds = 0.001;
    constexpr int ringHeadroom = 8;

    int nextPowerOfTwo (int n) noexcept
    {
        int p = 1;
        while (p < n)
            p <<= 1;
        return p;
    }
} // namespace

int LookAheadDelay::latencyFor (double sampleRate) noexcept
{
    return std::max (1, (int) std::ceil (lookAheadSeconds * sampleRate));
}

void LookAheadDelay::prepare (double sampleRate, int maximumBlockSize)
{
    latency = latencyFor (sampleRate);
    const int size = nextPowerOfTwo (latency + std::max (0, maximumBlockSize) + ringHeadroom);
    leftBuffer.assign ((std::size_t) size, 0.0f);
    rightBuffer.assign ((std::size_t) size, 0.0f);
    mask = size - 1;
    writeIndex = 0;
}

void LookAheadDelay::clear() noexcept
{
    std::fill (leftBuffer.begin(), leftBuffer.end(), 0.0f);
    std::fill (rightBuffer.begin(), rightBuffer.end(), 0.0f);
    writeIndex = 0;
}
} // namespace hoopvane
