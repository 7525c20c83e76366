#include "HoopvaneAudioProcessor.h"

#include "InstanceIdentity.h"
#include "ParameterIds.h"
#include "ParameterLayout.h"
#include "editor/HoopvaneEditor.h"

namespace
{
bool isMonoOrStereo (const juce::AudioChannelSet& set)
{
    return set == juce::AudioChannelSet::mono() || set == juce::AudioChannelSet::stereo();
}
} // namespace

HoopvaneAudioProcessor::HoopvaneAudioProcessor()
    : AudioProcessor (createBusesProperties()),
      parameterState (*this, nullptr, hoopvane::parameterStateType, hoopvane::createParameterLayout()),
      parameterReader (parameterState)
{
    copyInstanceNameForAudioThread();
}

HoopvaneAudioProcessor::~HoopvaneAudioProcessor()
{
    removeFromInstanceRegistry();
}

juce::AudioProcessor::BusesProperties HoopvaneAudioProcessor::createBusesProperties()
{
    return BusesProperties()
        .withInput ("Input", juce::AudioChannelSet::mono(), true)
        .withInput ("Sidechain", juce::AudioChannelSet::mono(), false)
        .withOutput ("Output", juce::AudioChannelSet::mono(), true);
}

//==============================================================================
void HoopvaneAudioProcessor::prepareToPlay (double sampleRate, int maximumBlockSize)
{
    const auto modeIndex = (int) parameterState.getRawParameterValue (hoopvane::paramId::mode)->load();
    engine.setPreparedMode (hoopvane::drumModeFromIndex (modeIndex));

    restorePendingRegistration();
    createInstanceIdentityIfNeeded();
    const int latency = engine.prepare (sampleRate, maximumBlockSize, idHash);
    copyInstanceNameForAudioThread();
    registerWithInstanceRegistry();
    reportLatency (latency);
}

void HoopvaneAudioProcessor::releaseResources()
{
    parkInInstanceRegistry();
    engine.reset();
}

void HoopvaneAudioProcessor::createInstanceIdentityIfNeeded()
{
    if (instanceId.isNotEmpty())
        return;

    instanceId = hoopvane::makeInstanceId();
    idHash = hoopvane::hashInstanceId (instanceId);
}

void HoopvaneAudioProcessor::copyInstanceNameForAudioThread() noexcept
{
    instanceName.copyToUTF8 (instanceNameChars, sizeof (instanceNameChars));
}

void HoopvaneAudioProcessor::reportLatency (int latency)
{
    if (getLatencySamples() != latency)
        setLatencySamples (latency);
}

bool HoopvaneAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto mainIn = layouts.getMainInputChannelSet();
    const auto mainOut = layouts.getMainOutputChannelSet();

    if (mainIn.isDisabled() || mainIn != mainOut || ! isMonoOrStereo (mainIn))
        return false;

    if (layouts.inputBuses.size() > 1)
    {
        const auto sideChain = layouts.getChannelSet (true, 1);
        if (! sideChain.isDisabled() && ! isMonoOrStereo (sideChain))
            return false;
    }

    return true;
}

//==============================================================================
void HoopvaneAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    if (parameterReader.isBypassOn() && engine.isFullyBypassed())
    {
        engine.processDryDelay (buffer.getArrayOfWritePointers(),
                                std::min (getMainBusNumInputChannels(), buffer.getNumChannels()),
                                buffer.getNumSamples());
        return;
    }

    processEngineBlock (buffer, parameterReader.read());
}

void HoopvaneAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;
    engine.processDryDelay (buffer.getArrayOfWritePointers(),
                            std::min (getMainBusNumInputChannels(), buffer.getNumChannels()),
                            buffer.getNumSamples());
}

void HoopvaneAudioProcessor::processEngineBlock (juce::AudioBuffer<float>& buffer, const hoopvane::ParameterSnapshot& snapshot)
{
    engine.setParameters (snapshot);

    auto* const* channels = buffer.getArrayOfWritePointers();
    const int available = buffer.getNumChannels();
    const int numMain = std::min (getMainBusNumInputChannels(), available);

    const float* const* sideChain = nullptr;
    int numSideChain = 0;
    if (getBusCount (true) >= 2)
    {
        numSideChain = std::min (getChannelCountOfBus (true, 1), available - numMain);
        if (numSideChain > 0)
            sideChain = channels + numMain;
        else
            numSideChain = 0;
    }

    engine.process (channels, numMain, sideChain, numSideChain, buffer.getNumSamples(), readPlayheadSamples());
}

std::int64_t HoopvaneAudioProcessor::readPlayheadSamples() const noexcept
{
    if (auto* hostPlayHead = getPlayHead())
        if (const auto position = hostPlayHead->getPosition())
            if (const auto samples = position->getTimeInSamples())
                return *samples;

    return -1;
}

//==============================================================================
juce::AudioProcessorEditor* HoopvaneAudioProcessor::createEditor()
{
    return new HoopvaneEditor (*this);
}

void HoopvaneAudioProcessor::getStateInformation (juce::MemoryBlock& destination)
{
    const auto state = parameterState.copyState();
    if (auto xml = state.createXml())
    {
        xml->setAttribute ("stateVersion", 2);
        xml->setAttribute ("instanceName", instanceName);
        copyXmlToBinary (*xml, destination);
    }
}

void HoopvaneAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto xml = getXmlFromBinary (data, sizeInBytes);
    if (xml == nullptr || ! xml->hasTagName (hoopvane::parameterStateType))
        return;

    parameterState.replaceState (juce::ValueTree::fromXml (*xml));

    const auto name = xml->getStringAttribute ("instanceName");
    if (name.isNotEmpty())
        instanceName = name;
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new HoopvaneAudioProcessor();
}
