#include "CommandLine.h"

#include "ToolError.h"

namespace hoopvane::render
{
namespace
{
    const juce::StringArray modeNames { "kick", "snare", "tom" };
    const juce::StringArray positionNames { "top", "bottom" };

    juce::String takeValue (const juce::StringArray& arguments, int& index)
    {
        const auto& option = arguments[index];
        if (index + 1 >= arguments.size())
            throw ToolError::usage (option + " needs a value");
        return arguments[++index];
    }

    int parseBlockSize (const juce::String& text)
    {
        const bool isNumber = text.isNotEmpty() && text.containsOnly ("0123456789") && text.length() <= 6;
        const int value = isNumber ? text.getIntValue() : 0;
        if (value < 1 || value > RenderOptions::maximumBlockSize)
            throw ToolError::usage ("bad --block " + text.quoted() + ": expected a whole number from 1 to "
                                    + juce::String (RenderOptions::maximumBlockSize));
        return value;
    }

    juce::File parseOutputFolder (const juce::String& text)
    {
        if (text.trim().isEmpty())
            throw ToolError::usage ("bad --out: the folder name is empty");
        return juce::File::getCurrentWorkingDirectory().getChildFile (text);
    }

    bool applyOption (RenderOptions& options, const juce::StringArray& arguments, int& index)
    {
        const auto& argument = arguments[index];
        if (argument == "--out")
            options.outputFolder = parseOutputFolder (takeValue (arguments, index));
        else if (argument == "--block")
            options.blockSize = parseBlockSize (takeValue (arguments, index));
        else if (argument == "--no-learn")
            options.learnFirst = false;
        else if (argument == "--param")
            options.parameterAssignments.add (takeValue (arguments, index));
        else if (argument == "--help" || argument == "-h")
            options.helpRequested = true;
        else
            return false;
        return true;
    }

    void checkComplete (const RenderOptions& options)
    {
        if (options.outputFolder == juce::File())
            throw ToolError::usage ("missing --out DIR");
        if (options.tracks.empty())
            throw ToolError::usage ("no tracks given: expected FILE:MODE[:POSITION] arguments");
    }
} // namespace

TrackRequest parseTrackArgument (const juce::String& argument)
{
    auto rest = argument.upToLastOccurrenceOf (":", false, false);
    const auto last = argument.fromLastOccurrenceOf (":", false, false);
    if (! argument.containsChar (':') || rest.isEmpty())
        throw ToolError::usage ("bad track " + argument.quoted() + ": expected FILE:MODE[:POSITION]");

    TrackRequest request;
    request.argument = argument;

    if (modeNames.contains (last))
    {
        request.mode = last;
    }
    else
    {
        const auto previous = rest.fromLastOccurrenceOf (":", false, false);
        if (! rest.containsChar (':') || ! modeNames.contains (previous))
            throw ToolError::usage ("unknown mode " + last.quoted() + " in " + argument.quoted() + ": use kick, snare or tom");
        if (! positionNames.contains (last))
            throw ToolError::usage ("unknown position " + last.quoted() + " in " + argument.quoted() + ": use top or bottom");

        request.mode = previous;
        request.position = last;
        rest = rest.upToLastOccurrenceOf (":", false, false);
    }

    if (rest.isEmpty())
        throw ToolError::usage ("bad track " + argument.quoted() + ": the file name is missing");

    request.file = juce::File::getCurrentWorkingDirectory().getChildFile (rest);
    return request;
}

RenderOptions parseCommandLine (const juce::StringArray& arguments)
{
    RenderOptions options;
    for (int index = 0; index < arguments.size(); ++index)
    {
        const auto& argument = arguments[index];
        if (applyOption (options, arguments, index))
            continue;
        if (argument.startsWith ("-"))
            throw ToolError::usage ("unknown option " + argument.quoted());

        options.tracks.push_back (parseTrackArgument (argument));
    }

    if (! options.helpRequested)
        checkComplete (options);
    return options;
}

juce::String getUsageText()
{
    return "usage: hoopvane-render --out DIR [--block N] [--no-learn] [--param ID=VALUE]... FILE:MODE[:POSITION]...\n"
           "  MODE is kick, snare or tom; POSITION (snare) is top or bottom.\n"
           "  --block N        block size in samples (default 256)\n"
           "  --no-learn       skip the learning pass\n"
           "  --param ID=VALUE set a parameter on every track, in its own text (SENS=0.7, RES_MODE=DUAL)\n";
}
} // namespace hoopvane::render
