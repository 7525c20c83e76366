#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hoopvane
{
/** Delays the input pair by the look-ahead L, so that every detector sees a sound
    L samples before the gate has to act on it. Stores host-precision samples. */
class LookAheadDelay
{
public:
    struct Pair
    {
        float left = 0.0f, right = 0.0f;
    };

    /** L = max(1, ceil(0.001 fs)): one millisecond, at least one sample. */
    static int latencyFor (double sampleRate) noexcept;

    /** Sizes the buffers (allocates) and clears them. [message thread] */
    void prepare (double sampleRate, int maximumBlockSize);
    void clear() noexcept;

    /** Writes the newest pair and returns the pair written L samples earlier. [audio thread] */
    Pair pushAndRead (float left, float right) noexcept
    {
        leftBuffer[(std::size_t) writeIndex] = left;
        rightBuffer[(std::size_t) writeIndex] = right;
        const auto readIndex = (writeIndex - latency) & mask;
        writeIndex = (writeIndex + 1) & mask;
        return { leftBuffer[(std::size_t) readIndex], rightBuffer[(std::size_t) readIndex] };
    }

    int getLatency() const noexcept { return latency; }
    bool isPrepared() const noexcept { return ! leftBuffer.empty(); }

private:
    std::vector<float> leftBuffer, rightBuffer;
    int latency = 1;
    int writeIndex = 0;
    int mask = 0;
};
} // namespace hoopvane
