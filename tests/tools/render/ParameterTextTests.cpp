#include "ParameterText.h"
#include "ToolError.h"
#include "processor/HoopvaneAudioProcessor.h"

#include <gtest/gtest.h>

namespace hoopvane::render::test
{
namespace
{
    struct Accepted
    {
        const char* assignment;
        const char* id;
        float value; // in the parameter's own units: index for choices, 0/1 for switches
    };

    std::ostream& operator<< (std::ostream& stream, const Accepted& a) { return stream << a.assignment; }

    class AcceptedText : public ::testing::TestWithParam<Accepted>
    {
    };

    class RejectedText : public ::testing::TestWithParam<const char*>
    {
    };
} // namespace

// The parameter's own text sets the value a host would set with it.
TEST_P (AcceptedText, SetsTheParameter)
{
    const auto& accepted = GetParam();
    HoopvaneAudioProcessor processor;
    auto& state = processor.getParameterState();

    applyParameterSetting (state, parseParameterAssignment (state, accepted.assignment));

    EXPECT_NEAR (state.getRawParameterValue (accepted.id)->load(), accepted.value, 1.0e-4f);
}

INSTANTIATE_TEST_SUITE_P (RenderParameterText,
                          AcceptedText,
                          ::testing::Values (Accepted { "RES_MODE=DUAL", "RES_MODE", 1.0f },
                                             Accepted { "MODE=snare", "MODE", 1.0f },
                                             Accepted { "SENS=0.7", "SENS", 0.7f },
                                             Accepted { "RANGE=-30", "RANGE", -30.0f },
                                             Accepted { "SUSTAIN=500", "SUSTAIN", 500.0f },
                                             Accepted { "OUT_HPF_SLOPE=24", "OUT_HPF_SLOPE", 4.0f },
                                             Accepted { "LINK=On", "LINK", 1.0f },
                                             Accepted { "CONTEXT=off", "CONTEXT", 0.0f }));

// Values the parameter would silently clamp or replace by its first choice are refused.
TEST_P (RejectedText, IsAUsageErrorNamingTheAssignment)
{
    const juce::String assignment (GetParam());
    HoopvaneAudioProcessor processor;

    try
    {
        parseParameterAssignment (processor.getParameterState(), assignment);
        FAIL() << "accepted " << assignment;
    }
    catch (const ToolError& error)
    {
        EXPECT_EQ (error.getExitCode(), ToolError::usageExitCode);
        EXPECT_TRUE (juce::String (error.what()).contains (assignment)) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P (RenderParameterText,
                          RejectedText,
                          ::testing::Values ("SENS=1.5",
                                             "SENS=-0.01",
                                             "RANGE=0.5",
                                             "SENS=",
                                             "SENS=0.7dB",
                                             "RES_MODE=QUAD",
                                             "RES_MODE=1",
                                             "LINK=maybe",
                                             "NOT_A_PARAMETER=1",
                                             "SENS"));
} // namespace hoopvane::render::test
