#include "ParameterText.h"

#include "ToolError.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace hoopvane::render
{
namespace
{
    std::optional<double> parseNumber (const juce::String& text)
    {
        const auto utf8 = text.trim().toStdString();
        if (utf8.empty())
            return std::nullopt;

        char* end = nullptr;
        errno = 0;
        const double value = std::strtod (utf8.c_str(), &end);
        if (errno != 0 || end != utf8.c_str() + utf8.size() || ! std::isfinite (value))
            return std::nullopt;
        return value;
    }

    float continuousValue (const juce::RangedAudioParameter& parameter, const juce::String& text)
    {
        const auto number = parseNumber (text);
        if (! number)
            throw ToolError::usage (text.quoted() + " is not a number");

        // getValueForText clamps silently; a value outside the range is a typing error.
        const auto& range = parameter.getNormalisableRange();
        if (*number < range.start || *number > range.end)
            throw ToolError::usage (text + " is outside " + juce::String (range.start) + " to " + juce::String (range.end));

        return parameter.getValueForText (text.trim());
    }

    juce::StringArray discreteTexts (const juce::RangedAudioParameter& parameter)
    {
        juce::StringArray texts;
        const int steps = parameter.getNumSteps();
        for (int step = 0; step < steps; ++step)
            texts.add (parameter.getText ((float) step / (float) (steps - 1), 0));
        return texts;
    }

    float discreteValue (const juce::RangedAudioParameter& parameter, const juce::String& text)
    {
        // Unknown texts would fall back to the first choice or to "off": only the parameter's own
        // texts are accepted.
        const auto texts = discreteTexts (parameter);
        const int index = texts.indexOf (text.trim(), true);
        if (index < 0)
            throw ToolError::usage ("unknown value " + text.quoted() + " (use " + texts.joinIntoString (", ") + ")");

        return parameter.getValueForText (texts[index]);
    }

    juce::RangedAudioParameter& findParameter (const juce::AudioProcessorValueTreeState& state, const juce::String& id)
    {
        if (auto* parameter = state.getParameter (id))
            return *parameter;
        throw ToolError::usage ("unknown parameter id " + id.quoted());
    }
} // namespace

ParameterSetting parseParameterValue (const juce::AudioProcessorValueTreeState& state, const juce::String& id, const juce::String& text)
{
    const auto& parameter = findParameter (state, id);
    const float value = parameter.isDiscrete() ? discreteValue (parameter, text) : continuousValue (parameter, text);
    return { id, value };
}

ParameterSetting parseParameterAssignment (const juce::AudioProcessorValueTreeState& state, const juce::String& assignment)
{
    if (! assignment.containsChar ('='))
        throw ToolError::usage ("bad --param " + assignment.quoted() + ": expected ID=VALUE");

    const auto id = assignment.upToFirstOccurrenceOf ("=", false, false).trim();
    const auto text = assignment.fromFirstOccurrenceOf ("=", false, false);
    try
    {
        return parseParameterValue (state, id, text);
    }
    catch (const ToolError& error)
    {
        throw ToolError::usage ("bad --param " + assignment.quoted() + ": " + error.what());
    }
}

void applyParameterSetting (juce::AudioProcessorValueTreeState& state, const ParameterSetting& setting)
{
    findParameter (state, setting.id).setValueNotifyingHost (setting.normalisedValue);
}
} // namespace hoopvane::render
