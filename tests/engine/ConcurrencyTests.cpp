#include "engine/DetectionEngine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

// Several instances on their own audio threads while a message thread polls their exports, as in
// a host. Run under ThreadSanitizer (scripts/test.sh does) this proves the exchange race-free.
TEST (Concurrency, EnginesOnSeveralThreadsWithAMessageThreadReadingExports)
{
    constexpr int numInstances = 4;
    constexpr int blockSize = 128;
    constexpr int numBlocks = 400;

    std::vector<std::unique_ptr<hoopvane::DetectionEngine>> engines;
    for (int i = 0; i < numInstances; ++i)
    {
        engines.push_back (std::make_unique<hoopvane::DetectionEngine>());
        engines.back()->prepare (48000.0, blockSize, i * 3);
    }

    std::atomic<int> running { numInstances };
    std::vector<std::thread> audioThreads;
    for (int i = 0; i < numInstances; ++i)
    {
        audioThreads.emplace_back ([&, i]
                                   {
            std::mt19937 random ((unsigned) i);
            std::uniform_real_distribution<float> noise (-0.5f, 0.5f);
            std::vector<float> left (blockSize), right (blockSize);
            hoopvane::ParameterSnapshot parameters;
            parameters.mode = i % 3;

            for (int b = 0; b < numBlocks; ++b)
            {
                for (int s = 0; s < blockSize; ++s)
                    left[(size_t) s] = right[(size_t) s] = noise (random);
                float* channels[] = { left.data(), right.data() };
                parameters.bypass = (b / 50) % 2 == 1;
                engines[(size_t) i]->setParameters (parameters);
                engines[(size_t) i]->process (channels, 2, nullptr, 0, blockSize, b * blockSize);
            }
            --running; });
    }

    double sum = 0.0;
    while (running.load() > 0)
    {
        for (auto& engine : engines)
        {
            auto& exports = engine->getExports();
            sum += exports.inputLevel.load (std::memory_order_relaxed);
            sum += exports.gainReductionMeter.load (std::memory_order_relaxed);
            sum += hoopvane::EngineExports::consume (exports.learnCompletedEvent) ? 1.0 : 0.0;
        }
        std::this_thread::yield();
    }

    for (auto& t : audioThreads)
        t.join();

    EXPECT_GE (sum, 0.0);
    for (auto& engine : engines)
        EXPECT_GT (engine->getExports().inputLevel.load(), 0.0f);
}
