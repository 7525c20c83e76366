#include "processor/HoopvaneAudioProcessor.h"

#include <gtest/gtest.h>

namespace
{
enum class Kind
{
    floating,
    choice,
    boolean
};

struct Expected
{
    const char* id;
    const char* name;
    Kind kind;
    float min, max, step, skew; // floats only
    float defaultValue; // raw value; the index for choices
    std::vector<const char*> choices;
};

// clang-format off
const std::vector<Expected> expectedParameters {
    { "SENS",          "Sensitivity",    Kind::floating, 0, 1, 0.01f, 1, 0.85f, {} },
    { "RANGE",         "Range",          Kind::floating, -30, 0, 0.5f, 1, -18, {} },
    { "SUSTAIN",       "Sustain",        Kind::floating, 40, 500, 1, 0.5f, 150, {} },
    { "ATTACK",        "Attack",         Kind::floating, 0, 1, 0.01f, 1, 0, {} },
    { "BOOST_FREQ",    "Boost Freq",     Kind::floating, 30, 300, 1, 0.5f, 80, {} },
    { "CUT_FREQ",      "Cut Freq",       Kind::floating, 40, 500, 1, 0.5f, 150, {} },
    { "RES_GAIN",      "Res Gain",       Kind::floating, -12, 12, 0.1f, 1, 0, {} },
    { "RES_MODE",      "Res Mode",       Kind::choice, 0, 0, 0, 0, 0, { "TILT", "DUAL" } },
    { "MODE",          "Mode",           Kind::choice, 0, 0, 0, 0, 2, { "Kick", "Snare", "Tom" } },
    { "BYPASS",        "Bypass",         Kind::boolean, 0, 0, 0, 0, 0, {} },
    { "CONTEXT",       "Context",        Kind::boolean, 0, 0, 0, 0, 1, {} },
    { "GHOST_MODE",    "Ghost Mode",     Kind::boolean, 0, 0, 0, 0, 1, {} },
    { "REJ_LOW",       "Reject Low",     Kind::boolean, 0, 0, 0, 0, 0, {} },
    { "REJ_MID",       "Reject Mid",     Kind::boolean, 0, 0, 0, 0, 0, {} },
    { "REJ_HIGH",      "Reject High",    Kind::boolean, 0, 0, 0, 0, 0, {} },
    { "LISTEN",        "Listen",         Kind::choice, 0, 0, 0, 0, 0, { "Off", "Body", "Ring" } },
    { "CALIBRATE",     "Learn",          Kind::boolean, 0, 0, 0, 0, 0, {} },
    { "SC_SRC",        "SC Source",      Kind::choice, 0, 0, 0, 0, 0, { "Off", "Context", "Det2", "Cymbal" } },
    { "LINK",          "Link",           Kind::boolean, 0, 0, 0, 0, 0, {} },
    { "STICK_TYPE",    "Stick Type",     Kind::choice, 0, 0, 0, 0, 0, { "Auto", "Sticks", "Mallets", "Brushes", "Brooms" } },
    { "BEATER_TYPE",   "Beater Type",    Kind::choice, 0, 0, 0, 0, 1, { "Felt Soft", "Felt Hard", "Plastic", "Wood" } },
    { "WIRE_TYPE",     "Wire Type",      Kind::choice, 0, 0, 0, 0, 1, { "Tight", "Standard", "Loose", "Wet" } },
    { "LF_TIGHT",      "LF Tight",       Kind::floating, -18, 0, 0.5f, 1, 0, {} },
    { "SNARE_POS",     "Snare Position", Kind::choice, 0, 0, 0, 0, 0, { "Top", "Bottom" } },
    { "SUSTAIN_TEST",  "Sustain Test",   Kind::choice, 0, 0, 0, 0, 1, { "Current", "Fast", "Tau", "Tracking" } },
    { "OUT_HPF_FREQ",  "HPF Freq",       Kind::floating, 20, 20000, 1, 0.3f, 20, {} },
    { "OUT_HPF_SLOPE", "HPF Slope",      Kind::choice, 0, 0, 0, 0, 0, { "OFF", "6", "12", "18", "24" } },
    { "OUT_LPF_FREQ",  "LPF Freq",       Kind::floating, 20, 20000, 1, 0.3f, 20000, {} },
    { "OUT_LPF_SLOPE", "LPF Slope",      Kind::choice, 0, 0, 0, 0, 0, { "OFF", "6", "12", "18", "24" } },
};
// clang-format on

juce::RangedAudioParameter& parameter (HoopvaneAudioProcessor& p, const char* id)
{
    auto* param = p.getParameterState().getParameter (id);
    if (param == nullptr)
        throw std::runtime_error (std::string ("no parameter ") + id);
    return *param;
}
} // namespace

TEST (ParameterTable, MatchesTheDocumentedSetInHostOrder)
{
    HoopvaneAudioProcessor processor;
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), (int) expectedParameters.size());

    for (size_t i = 0; i < expectedParameters.size(); ++i)
    {
        const auto& e = expectedParameters[i];
        SCOPED_TRACE (e.id);
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameters[(int) i]);
        ASSERT_NE (ranged, nullptr);
        EXPECT_EQ (ranged->getParameterID(), e.id);
        EXPECT_EQ (ranged->getName (64), e.name);
        EXPECT_EQ (ranged->getVersionHint(), 1);
        EXPECT_TRUE (ranged->getLabel().isEmpty());
        EXPECT_TRUE (ranged->isAutomatable());
        EXPECT_FALSE (ranged->isMetaParameter());
        EXPECT_EQ (ranged->getCategory(), juce::AudioProcessorParameter::genericParameter);

        const float defaultRaw = ranged->convertFrom0to1 (ranged->getDefaultValue());
        EXPECT_FLOAT_EQ (defaultRaw, e.defaultValue);

        if (e.kind == Kind::floating)
        {
            auto* f = dynamic_cast<juce::AudioParameterFloat*> (ranged);
            ASSERT_NE (f, nullptr);
            EXPECT_FLOAT_EQ (f->range.start, e.min);
            EXPECT_FLOAT_EQ (f->range.end, e.max);
            EXPECT_FLOAT_EQ (f->range.interval, e.step);
            EXPECT_FLOAT_EQ (f->range.skew, e.skew);
            EXPECT_FALSE (f->range.symmetricSkew);
        }
        else if (e.kind == Kind::choice)
        {
            auto* c = dynamic_cast<juce::AudioParameterChoice*> (ranged);
            ASSERT_NE (c, nullptr);
            ASSERT_EQ (c->choices.size(), (int) e.choices.size());
            for (size_t k = 0; k < e.choices.size(); ++k)
                EXPECT_EQ (c->choices[(int) k], e.choices[k]);
        }
        else
        {
            EXPECT_NE (dynamic_cast<juce::AudioParameterBool*> (ranged), nullptr);
        }
    }
}

struct MappingCase
{
    const char* id;
    float normalised;
    float raw;
    const char* text;
};

class ParameterMapping : public ::testing::TestWithParam<MappingCase>
{
};

TEST_P (ParameterMapping, NormalisedValueRawValueAndText)
{
    const auto& c = GetParam();
    HoopvaneAudioProcessor processor;
    auto& p = parameter (processor, c.id);
    EXPECT_NEAR (p.convertFrom0to1 (c.normalised), c.raw, 1e-4f);
    EXPECT_EQ (p.getText (c.normalised, 64), c.text);
    EXPECT_NEAR (p.getValueForText (c.text), p.convertTo0to1 (c.raw), 1e-4f);
}

// Skewed ranges do not map linearly, and the step sets the decimals the host shows.
INSTANTIATE_TEST_SUITE_P (EdgeCases,
                          ParameterMapping,
                          ::testing::Values (MappingCase { "SUSTAIN", 0.5f, 155.0f, "155" },
                                             MappingCase { "OUT_HPF_FREQ", 0.5f, 2002.0f, "2002" },
                                             MappingCase { "SENS", 0.85f, 0.85f, "0.85" },
                                             MappingCase { "ATTACK", 0.5f, 0.5f, "0.50" },
                                             MappingCase { "RANGE", 0.4f, -18.0f, "-18.0" },
                                             MappingCase { "RES_GAIN", 0.75f, 6.0f, "6.0" },
                                             MappingCase { "LF_TIGHT", 0.5f, -9.0f, "-9.0" },
                                             MappingCase { "MODE", 1.0f, 2.0f, "Tom" },
                                             MappingCase { "OUT_LPF_SLOPE", 1.0f, 4.0f, "24" },
                                             MappingCase { "CONTEXT", 1.0f, 1.0f, "On" },
                                             MappingCase { "BYPASS", 0.0f, 0.0f, "Off" }),
                          [] (const auto& testCase)
                          { return std::string (testCase.param.id) + "_" + std::to_string (testCase.index); });
