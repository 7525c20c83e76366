#include "ScoreArguments.h"

namespace hoopvane::tools
{
namespace
{
    juce::File resolve (const juce::String& path)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (path);
    }

    bool requireFolder (const juce::String& option, const juce::File& folder, juce::String& error)
    {
        if (folder.isDirectory())
            return true;
        error = option + ": " + folder.getFullPathName() + " is not a folder";
        return false;
    }
} // namespace

std::optional<ScoreOptions> parseScoreArguments (const juce::StringArray& arguments, juce::String& error)
{
    std::optional<juce::File> session, rendered, png;
    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& option = arguments[i];
        auto* target = option == "--session" ? &session : option == "--rendered" ? &rendered
                                                      : option == "--png"        ? &png
                                                                                 : nullptr;
        if (target == nullptr)
        {
            error = "unknown argument " + option.quoted();
            return std::nullopt;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
        {
            error = option + " needs a folder";
            return std::nullopt;
        }
        *target = resolve (arguments[++i]);
    }

    if (! session.has_value() || ! rendered.has_value())
    {
        error = session.has_value() ? "--rendered is missing" : "--session is missing";
        return std::nullopt;
    }
    if (! requireFolder ("--session", *session, error) || ! requireFolder ("--rendered", *rendered, error))
        return std::nullopt;

    return ScoreOptions { *session, *rendered, png.value_or (*rendered) };
}

juce::String scoreUsage()
{
    return "usage: hoopvane-score --session DIR --rendered RDIR [--png DIR2]";
}
} // namespace hoopvane::tools
