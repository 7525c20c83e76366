#include "ParameterLayout.h"

#include "ParameterIds.h"

namespace hoopvane
{
namespace
{
    // Bumping this would tell hosts that the parameter set changed.
    constexpr int parameterVersionHint = 1;

    using Layout = juce::AudioProcessorValueTreeState::ParameterLayout;

    void addFloat (Layout& layout, const char* id, const char* name, float min, float max, float step, float skew, float defaultValue)
    {
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, parameterVersionHint },
                                                                 name,
                                                                 juce::NormalisableRange<float> (min, max, step, skew),
                                                                 defaultValue));
    }

    void addChoice (Layout& layout, const char* id, const char* name, const juce::StringArray& choices, int defaultIndex)
    {
        layout.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { id, parameterVersionHint },
                                                                  name,
                                                                  choices,
                                                                  defaultIndex));
    }

    void addBool (Layout& layout, const char* id, const char* name, bool defaultValue)
    {
        layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { id, parameterVersionHint },
                                                                name,
                                                                defaultValue));
    }
} // namespace

juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
{
    const juce::StringArray slopes { "OFF", "6", "12", "18", "24" };
    Layout layout;

    addFloat (layout, paramId::sens, "Sensitivity", 0.0f, 1.0f, 0.01f, 1.0f, 0.85f);
    addFloat (layout, paramId::range, "Range", -30.0f, 0.0f, 0.5f, 1.0f, -18.0f);
    addFloat (layout, paramId::sustain, "Sustain", 40.0f, 500.0f, 1.0f, 0.5f, 150.0f);
    addFloat (layout, paramId::attack, "Attack", 0.0f, 1.0f, 0.01f, 1.0f, 0.0f);
    addFloat (layout, paramId::boostFreq, "Boost Freq", 30.0f, 300.0f, 1.0f, 0.5f, 80.0f);
    addFloat (layout, paramId::cutFreq, "Cut Freq", 40.0f, 500.0f, 1.0f, 0.5f, 150.0f);
    addFloat (layout, paramId::resGain, "Res Gain", -12.0f, 12.0f, 0.1f, 1.0f, 0.0f);
    addChoice (layout, paramId::resMode, "Res Mode", { "TILT", "DUAL" }, 0);
    addChoice (layout, paramId::mode, "Mode", { "Kick", "Snare", "Tom" }, 2);
    addBool (layout, paramId::bypass, "Bypass", false);
    addBool (layout, paramId::context, "Context", true);
    addBool (layout, paramId::ghostMode, "Ghost Mode", true);
    addBool (layout, paramId::rejectLow, "Reject Low", false);
    addBool (layout, paramId::rejectMid, "Reject Mid", false);
    addBool (layout, paramId::rejectHigh, "Reject High", false);
    addChoice (layout, paramId::listen, "Listen", { "Off", "Body", "Ring" }, 0);
    addBool (layout, paramId::calibrate, "Learn", false);
    addChoice (layout, paramId::scSource, "SC Source", { "Off", "Context", "Det2", "Cymbal" }, 0);
    addBool (layout, paramId::link, "Link", false);
    addChoice (layout, paramId::stickType, "Stick Type", { "Auto", "Sticks", "Mallets", "Brushes", "Brooms" }, 0);
    addChoice (layout, paramId::beaterType, "Beater Type", { "Felt Soft", "Felt Hard", "Plastic", "Wood" }, 1);
    addChoice (layout, paramId::wireType, "Wire Type", { "Tight", "Standard", "Loose", "Wet" }, 1);
    addFloat (layout, paramId::lfTight, "LF Tight", -18.0f, 0.0f, 0.5f, 1.0f, 0.0f);
    addChoice (layout, paramId::snarePos, "Snare Position", { "Top", "Bottom" }, 0);
    addChoice (layout, paramId::sustainTest, "Sustain Test", { "Current", "Fast", "Tau", "Tracking" }, 1);
    addFloat (layout, paramId::outHpfFreq, "HPF Freq", 20.0f, 20000.0f, 1.0f, 0.3f, 20.0f);
    addChoice (layout, paramId::outHpfSlope, "HPF Slope", slopes, 0);
    addFloat (layout, paramId::outLpfFreq, "LPF Freq", 20.0f, 20000.0f, 1.0f, 0.3f, 20000.0f);
    addChoice (layout, paramId::outLpfSlope, "LPF Slope", slopes, 0);

    return layout;
}
} // namespace hoopvane
