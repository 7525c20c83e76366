#pragma once

#include <atomic>
#include <cstdint>

namespace hoopvane
{
/** Meters and events that the audio thread publishes for the message thread. Every field is an
    atomic: the audio thread stores, the editor loads relaxed and consumes the events with an
    exchange, so neither side ever waits. */
struct EngineExports
{
    std::atomic<float> inputLevel { 0.0f };
    std::atomic<float> inputPeakHold { 0.0f };
    std::atomic<float> gainReductionMeter { 0.0f };
    std::atomic<float> meanGainReduction { 0.0f };
    std::atomic<float> contextReductionDb { 0.0f };
    std::atomic<float> contextMeterDb { 0.0f };
    std::atomic<float> matchScore { 1.0f };
    std::atomic<float> transientAmount { 0.0f };
    std::atomic<float> meanInputLevel { 0.0f };
    std::atomic<float> lfTightGainDb { 0.0f };
    std::atomic<float> lfTightMeter { 0.0f };

    std::atomic<std::uint8_t> learnCompletedEvent { 0 };
    std::atomic<std::uint8_t> linkRequestEvent { 0 };
    std::atomic<std::uint8_t> snarePartnerAvailable { 0 };
    /** The snare-bottom decision of the last learning: 1 bottom, 0 top, -1 nothing new. */
    std::atomic<int> isSnareBottomShared { -1 };

    std::atomic<bool> learning { false };
    std::atomic<bool> fingerprintComplete { false };
    std::atomic<bool> learned { false };
    std::atomic<int> learnHitCount { 0 };

    /** Reads and clears an event in one step. [message thread] */
    static bool consume (std::atomic<std::uint8_t>& event) noexcept { return event.exchange (0) != 0; }

    static_assert (std::atomic<float>::is_always_lock_free);
    static_assert (std::atomic<int>::is_always_lock_free);
};
} // namespace hoopvane
