#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace hoopvane::render
{
/** A parameter value ready to be set on any instance. */
struct ParameterSetting
{
    juce::String id;
    float normalisedValue = 0.0f;
};

/** Reads "ID=VALUE" with the parameter's own text conversion. Throws ToolError (usage) naming
    the assignment for an unknown id, a value outside the range or an unknown choice. */
ParameterSetting parseParameterAssignment (const juce::AudioProcessorValueTreeState& state, const juce::String& assignment);

/** The same for an id and a value given apart. Choice and switch texts match regardless of
    case ("kick" is the choice "Kick"). */
ParameterSetting parseParameterValue (const juce::AudioProcessorValueTreeState& state, const juce::String& id, const juce::String& text);

/** Sets the value as a host would, notifying the parameter's listeners. */
void applyParameterSetting (juce::AudioProcessorValueTreeState& state, const ParameterSetting& setting);
} // namespace hoopvane::render
