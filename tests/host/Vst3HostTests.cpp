#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivstunits.h>

namespace
{
const juce::File bundle { HOOPVANE_VST3_BUNDLE };

std::unique_ptr<juce::AudioPluginInstance> loadHoopvane (juce::PluginDescription* descriptionOut = nullptr)
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, bundle.getFullPathName());
    if (types.size() != 1)
        return nullptr;

    if (descriptionOut != nullptr)
        *descriptionOut = *types[0];

    juce::String error;
    auto instance = format.createInstanceFromDescription (*types[0], 48000.0, 512, error);
    EXPECT_TRUE (error.isEmpty()) << error;
    return instance;
}

/** Lets the host's message loop deliver what the plug-in reported, such as a latency change. */
void pumpMessages()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
}

/** The first program name of the plug-in's VST3 program list, as a host's preset menu reads it. */
juce::String firstProgramName (juce::AudioPluginInstance& plugin)
{
    struct ComponentFinder : juce::ExtensionsVisitor
    {
        void visitVST3Client (const VST3Client& client) override { component = client.getIComponentPtr(); }
        Steinberg::Vst::IComponent* component = nullptr;
    } finder;
    plugin.getExtensions (finder);
    if (finder.component == nullptr)
        return {};

    Steinberg::Vst::IUnitInfo* units = nullptr;
    if (finder.component->queryInterface (Steinberg::Vst::IUnitInfo::iid, (void**) &units) != Steinberg::kResultOk || units == nullptr)
        return {};

    juce::String name;
    Steinberg::Vst::ProgramListInfo list {};
    if (units->getProgramListCount() > 0 && units->getProgramListInfo (0, list) == Steinberg::kResultOk && list.programCount > 0)
    {
        Steinberg::Vst::String128 text {};
        if (units->getProgramName (list.id, 0, text) == Steinberg::kResultOk)
            name = juce::String (juce::CharPointer_UTF16 ((const juce::CharPointer_UTF16::CharType*) text));
    }
    units->release();
    return name;
}

juce::AudioProcessor::BusesLayout layout (juce::AudioChannelSet main, juce::AudioChannelSet sideChain)
{
    juce::AudioProcessor::BusesLayout l;
    l.inputBuses.add (main);
    l.inputBuses.add (sideChain);
    l.outputBuses.add (main);
    return l;
}
} // namespace

TEST (Vst3Host, FindsOneEffectWithTheProductIdentity)
{
    ASSERT_TRUE (bundle.isDirectory()) << bundle.getFullPathName();
    juce::PluginDescription description;
    ASSERT_NE (loadHoopvane (&description), nullptr);

    EXPECT_EQ (description.name, "Hoopvane");
    EXPECT_EQ (description.manufacturerName, "Tarvex");
    EXPECT_EQ (description.version, "1.0.0");
    EXPECT_EQ (description.category, "Fx|Drum|Dynamics|Mono|Tools");
    EXPECT_FALSE (description.isInstrument);
}

TEST (Vst3Host, ExposesTheParametersFirstAndInOrder)
{
    auto plugin = loadHoopvane();
    ASSERT_NE (plugin, nullptr);

    const char* names[] = { "Sensitivity", "Range", "Sustain", "Attack", "Boost Freq", "Cut Freq", "Res Gain", "Res Mode", "Mode", "Bypass", "Context", "Ghost Mode", "Reject Low", "Reject Mid", "Reject High", "Listen", "Learn", "SC Source", "Link", "Stick Type", "Beater Type", "Wire Type", "LF Tight", "Snare Position", "Sustain Test", "HPF Freq", "HPF Slope", "LPF Freq", "LPF Slope" };

    const auto& parameters = plugin->getParameters();
    ASSERT_GE (parameters.size(), 29);
    for (int i = 0; i < 29; ++i)
        EXPECT_EQ (parameters[i]->getName (64), names[i]) << "index " << i;
}

TEST (Vst3Host, ParameterValuesSurviveSetAndGet)
{
    auto plugin = loadHoopvane();
    ASSERT_NE (plugin, nullptr);
    auto* sensitivity = plugin->getParameters()[0];
    auto* range = plugin->getParameters()[1];

    sensitivity->setValueNotifyingHost (0.3f);
    range->setValueNotifyingHost (0.5f);
    EXPECT_NEAR (sensitivity->getValue(), 0.3f, 1e-6f);
    EXPECT_NEAR (range->getValue(), 0.5f, 1e-6f);
    EXPECT_EQ (range->getText (range->getValue(), 32), "-15.0");
}

TEST (Vst3Host, HasANamedProgramAndAnEditor)
{
    auto plugin = loadHoopvane();
    ASSERT_NE (plugin, nullptr);
    EXPECT_EQ (firstProgramName (*plugin), "Default");
    EXPECT_TRUE (plugin->hasEditor());
    EXPECT_EQ (plugin->getTailLengthSeconds(), 0.5);
}

TEST (Vst3Host, AcceptsOnlyTheSupportedBusArrangements)
{
    auto plugin = loadHoopvane();
    ASSERT_NE (plugin, nullptr);
    using Set = juce::AudioChannelSet;

    EXPECT_TRUE (plugin->setBusesLayout (layout (Set::stereo(), Set::mono())));
    EXPECT_TRUE (plugin->setBusesLayout (layout (Set::mono(), Set::stereo())));
    EXPECT_FALSE (plugin->setBusesLayout (layout (Set::mono(), Set::create5point1())));

    juce::AudioProcessor::BusesLayout stereoInMonoOut = layout (Set::stereo(), Set::mono());
    stereoInMonoOut.outputBuses.getReference (0) = Set::mono();
    EXPECT_FALSE (plugin->setBusesLayout (stereoInMonoOut));
}

TEST (Vst3Host, ReportsLatencyAndDelaysAudioByIt)
{
    auto plugin = loadHoopvane();
    ASSERT_NE (plugin, nullptr);

    // "RANGE" 0 dB: the gate cannot reduce, so the impulse shows the plain look-ahead delay.
    plugin->getParameters()[1]->setValueNotifyingHost (1.0f);
    plugin->prepareToPlay (44100.0, 256);
    pumpMessages();
    EXPECT_EQ (plugin->getLatencySamples(), 45);
    plugin->releaseResources();

    plugin->prepareToPlay (48000.0, 256);
    pumpMessages();
    ASSERT_EQ (plugin->getLatencySamples(), 48);

    juce::AudioBuffer<float> buffer (plugin->getTotalNumInputChannels(), 256);
    buffer.clear();
    buffer.setSample (0, 10, 1.0f);
    juce::MidiBuffer midi;
    plugin->processBlock (buffer, midi);

    int peakIndex = -1;
    float peak = 0.0f;
    for (int i = 0; i < buffer.getNumSamples(); ++i)
        if (std::abs (buffer.getSample (0, i)) > peak)
            peak = std::abs (buffer.getSample (0, peakIndex = i));

    EXPECT_EQ (peakIndex, 10 + 48);
    EXPECT_NEAR (peak, 1.0f, 0.01f);
    plugin->releaseResources();
}
