#include "processor/HoopvaneAudioProcessor.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

namespace
{
void setParameter (HoopvaneAudioProcessor& p, const char* id, float normalised)
{
    p.getParameterState().getParameter (id)->setValueNotifyingHost (normalised);
}

void fillWithNoise (juce::AudioBuffer<float>& buffer, juce::Random& random)
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (c, i, random.nextFloat() * 2.0f - 1.0f);
}
} // namespace

// Every block the host hands over, whatever the parameters do meanwhile, must run without a
// single heap allocation.
TEST (RealtimeSafety, ProcessBlockNeverAllocates)
{
    HoopvaneAudioProcessor processor;
    auto layout = processor.getBusesLayout();
    layout.inputBuses.getReference (0) = juce::AudioChannelSet::stereo();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::mono();
    layout.outputBuses.getReference (0) = juce::AudioChannelSet::stereo();
    ASSERT_TRUE (processor.setBusesLayout (layout));
    processor.prepareToPlay (48000.0, 512);

    juce::AudioBuffer<float> buffer (3, 512);
    juce::MidiBuffer midi;
    juce::Random random (7);

    const std::pair<const char*, float> automation[] = {
        { "MODE", 0.0f },
        { "BYPASS", 1.0f },
        { "BYPASS", 0.0f },
        { "CALIBRATE", 1.0f },
        { "LINK", 1.0f },
        { "OUT_HPF_SLOPE", 1.0f },
        { "OUT_LPF_SLOPE", 0.5f },
        { "RES_GAIN", 0.9f },
        { "LISTEN", 0.5f },
        { "ATTACK", 0.6f },
        { "LF_TIGHT", 0.2f },
        { "MODE", 0.5f },
    };

    size_t allocations = 0;
    for (int blockIndex = 0; blockIndex < 240; ++blockIndex)
    {
        if (blockIndex % 20 == 0)
        {
            const auto& [id, value] = automation[(size_t) blockIndex / 20];
            setParameter (processor, id, value);
        }

        fillWithNoise (buffer, random);
        const int numSamples = blockIndex % 7 == 0 ? 17 : 512;
        juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), 3, numSamples);

        ScopedAllocationCount count;
        processor.processBlock (view, midi);
        allocations += count.getCount();
    }

    EXPECT_EQ (allocations, 0u);
}

TEST (RealtimeSafety, AllocationCounterSeesAllocations)
{
    ScopedAllocationCount count;
    auto vector = std::make_unique<std::vector<int>> (100);
    EXPECT_GE (count.getCount(), 2u);
}
