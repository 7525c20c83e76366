#include "LockstepRenderer.h"

#include "OfflinePlayHead.h"

#include <algorithm>

namespace hoopvane::render
{
namespace
{
    /** One track's block buffer and aligned output while a render runs. */
    struct TrackRun
    {
        TrackRun (const LockstepTrack& t, int blockSize)
            : track (t),
              latency (t.processor.getLatencySamples()),
              block (std::max ({ t.processor.getTotalNumInputChannels(), t.processor.getTotalNumOutputChannels(), 1 }), blockSize),
              output (t.input.getNumChannels(), t.input.getNumSamples())
        {
            output.clear();
        }

        std::int64_t getRenderLength() const noexcept { return (std::int64_t) track.input.getNumSamples() + latency; }

        const LockstepTrack& track;
        int latency;
        juce::AudioBuffer<float> block;
        juce::AudioBuffer<float> output;
    };

    /** Gives the processors a play head for the render and takes it back afterwards. */
    class ScopedPlayHead
    {
    public:
        ScopedPlayHead (const std::vector<LockstepTrack>& t, juce::AudioPlayHead& playHead)
            : tracks (t)
        {
            for (const auto& track : tracks)
                track.processor.setPlayHead (&playHead);
        }

        ~ScopedPlayHead()
        {
            for (const auto& track : tracks)
                track.processor.setPlayHead (nullptr);
        }

    private:
        const std::vector<LockstepTrack>& tracks;

        JUCE_DECLARE_NON_COPYABLE (ScopedPlayHead)
    };

    void fillBlock (TrackRun& run, std::int64_t start)
    {
        run.block.clear();
        const auto& input = run.track.input;
        const auto available = std::clamp<std::int64_t> (input.getNumSamples() - start, 0, run.block.getNumSamples());
        const int channels = std::min (input.getNumChannels(), run.block.getNumChannels());

        for (int channel = 0; channel < channels && available > 0; ++channel)
            run.block.copyFrom (channel, 0, input, channel, (int) start, (int) available);
    }

    void keepAlignedOutput (TrackRun& run, std::int64_t start)
    {
        // Block sample i is output sample start + i - latency.
        const std::int64_t blockSize = run.block.getNumSamples();
        const auto first = std::clamp<std::int64_t> (run.latency - start, 0, blockSize);
        const auto end = std::clamp<std::int64_t> (run.output.getNumSamples() + run.latency - start, 0, blockSize);
        const int channels = std::min (run.output.getNumChannels(), run.block.getNumChannels());

        for (int channel = 0; channel < channels && end > first; ++channel)
            run.output.copyFrom (channel, (int) (start + first - run.latency), run.block, channel, (int) first, (int) (end - first));
    }

    std::int64_t roundUpToBlocks (std::int64_t samples, int blockSize)
    {
        return (samples + blockSize - 1) / blockSize * blockSize;
    }
} // namespace

std::vector<juce::AudioBuffer<float>> renderLockstep (const std::vector<LockstepTrack>& tracks, int blockSize, const BetweenBlocks& betweenBlocks)
{
    std::vector<TrackRun> runs;
    runs.reserve (tracks.size());
    std::int64_t renderLength = 0;
    for (const auto& track : tracks)
    {
        runs.emplace_back (track, blockSize);
        renderLength = std::max (renderLength, runs.back().getRenderLength());
    }

    const auto totalSamples = roundUpToBlocks (renderLength, blockSize);
    OfflinePlayHead playHead;
    const ScopedPlayHead scopedPlayHead (tracks, playHead);
    juce::MidiBuffer midi;

    for (std::int64_t start = 0; start < totalSamples; start += blockSize)
    {
        playHead.setTimeInSamples (start);
        for (auto& run : runs)
        {
            fillBlock (run, start);
            midi.clear();
            const juce::ScopedLock hostLock (run.track.processor.getCallbackLock());
            run.track.processor.processBlock (run.block, midi);
            keepAlignedOutput (run, start);
        }

        if (betweenBlocks)
            betweenBlocks (start + blockSize, totalSamples);
    }

    std::vector<juce::AudioBuffer<float>> outputs;
    for (auto& run : runs)
        outputs.push_back (std::move (run.output));
    return outputs;
}
} // namespace hoopvane::render
