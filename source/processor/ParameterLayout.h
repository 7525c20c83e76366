#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace hoopvane
{
/** Value-tree type of the parameter state, also the root tag of the saved state. */
inline constexpr const char* parameterStateType = "HOOPVANE_PARAMS";

/** The 29 automatable parameters in host index order, with the framework's default text
    conversions and no unit labels. */
juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();
} // namespace hoopvane
