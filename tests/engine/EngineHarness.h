#pragma once

#include "engine/DetectionEngine.h"

#include <algorithm>
#include <vector>

/** Runs a prepared engine over whole signals in fixed-size blocks, as a host would. */
struct EngineHarness
{
    explicit EngineHarness (double sampleRate = 48000.0, int samplesPerBlock = 256, int idHash = 0)
        : blockSize (samplesPerBlock)
    {
        // "RANGE" 0 dB: the expander cannot reduce, so the driver is seen on its own. Tests of
        // the gate set their own range.
        parameters.rangeDb = 0.0f;
        engine.prepare (sampleRate, samplesPerBlock, idHash);
    }

    /** Processes each channel of `signal` in place (one vector per main channel). */
    void run (std::vector<std::vector<float>>& signal)
    {
        const int numChannels = (int) signal.size();
        const int length = (int) signal.front().size();
        std::vector<float*> pointers ((size_t) numChannels);

        for (int start = 0; start < length; start += blockSize)
        {
            for (int c = 0; c < numChannels; ++c)
                pointers[(size_t) c] = signal[(size_t) c].data() + start;

            engine.setParameters (parameters);
            engine.process (pointers.data(), numChannels, nullptr, 0, std::min (blockSize, length - start), -1);
        }
    }

    std::vector<float> runMono (std::vector<float> signal)
    {
        std::vector<std::vector<float>> channels { std::move (signal) };
        run (channels);
        return channels.front();
    }

    hoopvane::DetectionEngine engine;
    hoopvane::ParameterSnapshot parameters;
    int blockSize;
};
