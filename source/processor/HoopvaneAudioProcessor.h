#pragma once

#include "ParameterSnapshotReader.h"
#include "engine/DetectionEngine.h"

#include <juce_audio_processors/juce_audio_processors.h>

/** The object the host creates for each instance: identity, buses, latency, parameters, state
    and the detection engine. Everything but processBlock runs on the message thread. */
class HoopvaneAudioProcessor : public juce::AudioProcessor
{
public:
    HoopvaneAudioProcessor();
    ~HoopvaneAudioProcessor() override;

    //==============================================================================
    void prepareToPlay (double sampleRate, int maximumBlockSize) override;
    void releaseResources() override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    /** [audio thread] No allocation, no logging, no waiting. */
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    /** [audio thread] The host's bypass: the dry input, delayed like the processed signal. */
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using AudioProcessor::processBlock;
    using AudioProcessor::processBlockBypassed;

    //==============================================================================
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    const juce::String getName() const override { return JucePlugin_Name; }
    double getTailLengthSeconds() const override { return 0.5; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    /** Not empty: VST3 validators reject a program without a name. */
    const juce::String getProgramName (int) override { return "Default"; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destination) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    juce::AudioProcessorValueTreeState& getParameterState() noexcept { return parameterState; }
    hoopvane::DetectionEngine& getEngine() noexcept { return engine; }

    const juce::String& getInstanceId() const noexcept { return instanceId; }
    juce::int32 getIdHash() const noexcept { return idHash; }
    const juce::String& getInstanceName() const noexcept { return instanceName; }
    const char* getInstanceNameChars() const noexcept { return instanceNameChars; }

    int getLastListenChoice() const noexcept { return lastListenChoice; }
    void setLastListenChoice (int choice) noexcept { lastListenChoice = choice; }

private:
    static BusesProperties createBusesProperties();
    void createInstanceIdentityIfNeeded();
    void copyInstanceNameForAudioThread() noexcept;
    void reportLatency (int latency);
    void processEngineBlock (juce::AudioBuffer<float>& buffer, const hoopvane::ParameterSnapshot& snapshot);
    std::int64_t readPlayheadSamples() const noexcept;

    // The shared instance registry joins here: the pending restore before preparation, the
    // registration (with same-source partner and session group) after it, parking on release
    // and removal on destruction.
    void restorePendingRegistration() {}
    void registerWithInstanceRegistry() {}
    void parkInInstanceRegistry() {}
    void removeFromInstanceRegistry() {}

    //==============================================================================
    juce::AudioProcessorValueTreeState parameterState;
    hoopvane::ParameterSnapshotReader parameterReader;
    hoopvane::DetectionEngine engine;

    juce::String instanceId;
    juce::int32 idHash = 0;
    juce::String instanceName { "HVN" };
    char instanceNameChars[64] {};
    juce::String sameSourcePartner;
    juce::int32 sessionGroupID = 0;
    int lastListenChoice = 1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HoopvaneAudioProcessor)
};
