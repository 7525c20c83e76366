#include "processor/HoopvaneAudioProcessor.h"

#include <gtest/gtest.h>

namespace
{
using Set = juce::AudioChannelSet;

juce::AudioProcessor::BusesLayout layoutOf (Set in, Set sideChain, Set out)
{
    juce::AudioProcessor::BusesLayout l;
    l.inputBuses.add (in);
    l.inputBuses.add (sideChain);
    l.outputBuses.add (out);
    return l;
}

struct LayoutCase
{
    const char* description;
    juce::AudioProcessor::BusesLayout layout;
    bool supported;
};

std::vector<LayoutCase> layoutCases()
{
    return {
        { "mono", layoutOf (Set::mono(), Set::disabled(), Set::mono()), true },
        { "stereo", layoutOf (Set::stereo(), Set::disabled(), Set::stereo()), true },
        { "stereo in, mono out", layoutOf (Set::stereo(), Set::disabled(), Set::mono()), false },
        { "mono in, stereo out", layoutOf (Set::mono(), Set::disabled(), Set::stereo()), false },
        { "mono with stereo side chain", layoutOf (Set::mono(), Set::stereo(), Set::mono()), true },
        { "stereo with mono side chain", layoutOf (Set::stereo(), Set::mono(), Set::stereo()), true },
        { "mono with 5.1 side chain", layoutOf (Set::mono(), Set::create5point1(), Set::mono()), false },
        { "5.1 main", layoutOf (Set::create5point1(), Set::disabled(), Set::create5point1()), false },
        { "no main input", layoutOf (Set::disabled(), Set::disabled(), Set::mono()), false },
    };
}

struct LatencyListener : juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override
    {
        latencyReports += details.latencyChanged ? 1 : 0;
    }
    int latencyReports = 0;
};
} // namespace

TEST (ProcessorShell, AcceptsOnlyMatchingMonoOrStereoMainBuses)
{
    HoopvaneAudioProcessor processor;
    for (const auto& c : layoutCases())
        EXPECT_EQ (processor.checkBusesLayoutSupported (c.layout), c.supported) << c.description;
}

TEST (ProcessorShell, DeclaresItsBusesAndCapabilities)
{
    HoopvaneAudioProcessor processor;
    ASSERT_EQ (processor.getBusCount (true), 2);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (true, 1)->getName(), "Sidechain");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_TRUE (processor.getBus (true, 0)->isEnabled());
    EXPECT_FALSE (processor.getBus (true, 1)->isEnabled());
    EXPECT_EQ (processor.getMainBusNumInputChannels(), 1);

    EXPECT_EQ (processor.getName(), "Hoopvane");
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.5);
    EXPECT_FALSE (processor.acceptsMidi() || processor.producesMidi() || processor.isMidiEffect());
    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getProgramName (0), "Default");
}

TEST (ProcessorShell, ReportsOneMillisecondOfLatencyOnlyWhenItChanges)
{
    HoopvaneAudioProcessor processor;
    LatencyListener listener;
    processor.addListener (&listener);

    const std::pair<double, int> cases[] = { { 8000.0, 8 }, { 44100.0, 45 }, { 48000.0, 48 }, { 96000.0, 96 } };
    for (const auto& [sampleRate, latency] : cases)
    {
        processor.prepareToPlay (sampleRate, 512);
        EXPECT_EQ (processor.getLatencySamples(), latency) << sampleRate;
    }
    EXPECT_EQ (listener.latencyReports, 4);

    processor.prepareToPlay (95999.0, 512); // still 96 samples
    processor.prepareToPlay (96000.0, 128);
    EXPECT_EQ (listener.latencyReports, 4);
    processor.removeListener (&listener);
}

TEST (ProcessorShell, IdentityIsMadeAtTheFirstPreparationAndKept)
{
    HoopvaneAudioProcessor processor;
    EXPECT_EQ (processor.getInstanceName(), "HVN");
    EXPECT_STREQ (processor.getInstanceNameChars(), "HVN");
    EXPECT_TRUE (processor.getInstanceId().isEmpty());
    EXPECT_EQ (processor.getIdHash(), 0);

    processor.prepareToPlay (48000.0, 256);
    const auto id = processor.getInstanceId();
    EXPECT_EQ (id.length(), 32);
    EXPECT_TRUE (id.containsOnly ("0123456789abcdef"));

    juce::int32 hash = 0;
    for (auto c : id)
        hash = (juce::int32) ((juce::uint32) hash * 101u + (juce::uint32) c);
    EXPECT_EQ (processor.getIdHash(), hash);
    EXPECT_EQ (processor.getEngine().getBlockPhase(), (int) ((juce::uint32) hash & 7u));

    processor.releaseResources();
    processor.prepareToPlay (44100.0, 256);
    EXPECT_EQ (processor.getInstanceId(), id);
}

TEST (ProcessorShell, NewInstanceDefaults)
{
    HoopvaneAudioProcessor processor;
    auto& state = processor.getParameterState();
    EXPECT_EQ (state.getParameter ("MODE")->getCurrentValueAsText(), "Tom");
    EXPECT_EQ (state.getRawParameterValue ("CONTEXT")->load(), 1.0f);
    EXPECT_EQ (state.getRawParameterValue ("GHOST_MODE")->load(), 1.0f);
    EXPECT_EQ (state.getRawParameterValue ("OUT_LPF_FREQ")->load(), 20000.0f);
    EXPECT_EQ (state.getParameter ("OUT_HPF_SLOPE")->getCurrentValueAsText(), "OFF");
    EXPECT_EQ (state.getParameter ("OUT_LPF_SLOPE")->getCurrentValueAsText(), "OFF");
}

TEST (ProcessorShell, HostBypassPassesTheDryInputDelayedByTheLatency)
{
    HoopvaneAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);

    juce::AudioBuffer<float> buffer (1, 256);
    for (int i = 0; i < 256; ++i)
        buffer.setSample (0, i, (float) i / 256.0f);
    const juce::AudioBuffer<float> input (buffer);

    juce::MidiBuffer midi;
    processor.processBlockBypassed (buffer, midi);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ (buffer.getSample (0, i), i < 48 ? 0.0f : input.getSample (0, i - 48)) << i;
}

TEST (ProcessorShell, StateRoundTripKeepsParametersAndNameAndIgnoresGarbage)
{
    HoopvaneAudioProcessor source;
    source.getParameterState().getParameter ("SUSTAIN")->setValueNotifyingHost (0.5f);
    source.getParameterState().getParameter ("MODE")->setValueNotifyingHost (0.0f);
    juce::MemoryBlock state;
    source.getStateInformation (state);
    ASSERT_GT (state.getSize(), 8u);
    EXPECT_EQ (juce::String::fromUTF8 ((const char*) state.getData(), 4), "VC2!");

    HoopvaneAudioProcessor target;
    const char garbage[] = "VC2!garbage that is not xml";
    target.setStateInformation (garbage, (int) sizeof (garbage));
    target.setStateInformation (state.getData(), 8);
    EXPECT_EQ (target.getParameterState().getRawParameterValue ("SUSTAIN")->load(), 150.0f);

    target.setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (target.getParameterState().getRawParameterValue ("SUSTAIN")->load(), 155.0f);
    EXPECT_EQ (target.getParameterState().getRawParameterValue ("MODE")->load(), 0.0f);
    EXPECT_EQ (target.getInstanceName(), "HVN");
}

TEST (ProcessorShell, CreatesTheFixedSizeEditor)
{
    HoopvaneAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getWidth(), 440);
    EXPECT_EQ (editor->getHeight(), 745);
}
