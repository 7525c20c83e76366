#pragma once

#include <juce_core/juce_core.h>

#include <stdexcept>

namespace hoopvane::render
{
/** A failure the user sees as one line on stderr and an exit code: 2 for a wrong command line,
    1 for a file or processing failure. */
class ToolError : public std::runtime_error
{
public:
    static constexpr int usageExitCode = 2;
    static constexpr int failureExitCode = 1;

    static ToolError usage (const juce::String& message) { return { message, usageExitCode }; }
    static ToolError failure (const juce::String& message) { return { message, failureExitCode }; }

    int getExitCode() const noexcept { return exitCode; }

private:
    ToolError (const juce::String& message, int code)
        : std::runtime_error (message.toStdString()), exitCode (code)
    {
    }

    int exitCode;
};
} // namespace hoopvane::render
