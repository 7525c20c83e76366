#include "CommandLine.h"

#include "Performance.h"

namespace hoopvane::tools::demo
{
namespace
{
    constexpr double longestSessionSeconds = 600.0;
    constexpr int lowestRate = 22050;
    constexpr int highestRate = 192000;

    bool isWholeNumber (const juce::String& text)
    {
        return text.isNotEmpty() && text.containsOnly ("0123456789") && text.length() <= 10;
    }

    bool isNumber (const juce::String& text)
    {
        return text.isNotEmpty() && text.containsOnly ("0123456789.") && text.indexOfChar ('.') == text.lastIndexOfChar ('.') && text != ".";
    }

    juce::String expectedValue (const juce::String& name)
    {
        if (name == "--seed")
            return "a whole number from 0 to 4294967295";
        if (name == "--seconds")
            return "a number of seconds from " + juce::String (minimumSessionSeconds, 0) + " to " + juce::String (longestSessionSeconds, 0);
        return "a sample rate in Hz from " + juce::String (lowestRate) + " to " + juce::String (highestRate);
    }

    bool parseValue (SessionOptions& options, const juce::String& name, const juce::String& value, juce::String& error)
    {
        if (name == "--out")
        {
            options.outputFolder = juce::File::getCurrentWorkingDirectory().getChildFile (value);
            return true;
        }
        if (name == "--kit")
        {
            options.kitName = value;
            return true;
        }
        if (name == "--seed" && isWholeNumber (value) && value.getLargeIntValue() <= (juce::int64) std::numeric_limits<std::uint32_t>::max())
        {
            options.seed = (std::uint32_t) value.getLargeIntValue();
            return true;
        }
        if (name == "--seconds" && isNumber (value) && value.getDoubleValue() >= minimumSessionSeconds && value.getDoubleValue() <= longestSessionSeconds)
        {
            options.seconds = value.getDoubleValue();
            return true;
        }
        if (name == "--rate" && isWholeNumber (value) && value.getIntValue() >= lowestRate && value.getIntValue() <= highestRate)
        {
            options.sampleRate = value.getDoubleValue();
            return true;
        }

        error = name + " " + value + ": expected " + expectedValue (name);
        return false;
    }
} // namespace

std::optional<SessionOptions> parseCommandLine (const juce::StringArray& arguments, juce::String& error)
{
    static const juce::StringArray optionsWithValues { "--out", "--kit", "--seed", "--seconds", "--rate" };

    SessionOptions options;
    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& name = arguments[i];
        if (name == "--help" || name == "-h")
        {
            options.helpRequested = true;
            return options;
        }
        if (! optionsWithValues.contains (name))
        {
            error = "unknown argument \"" + name + "\" (see --help)";
            return std::nullopt;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
        {
            error = name + " needs a value";
            return std::nullopt;
        }
        if (! parseValue (options, name, arguments[++i], error))
            return std::nullopt;
    }

    if (options.outputFolder == juce::File())
    {
        error = "--out DIR is required: the folder the session is written to";
        return std::nullopt;
    }
    return options;
}

juce::String getUsageText()
{
    return "usage: hoopvane-demo-session --out DIR [--kit NAME] [--seed N] [--seconds S] [--rate HZ]\n"
           "Builds a multitrack drum session (kick in/out, snare top/bottom, three toms, each with\n"
           "its own drum and the bleed of the kit) from a Hydrogen drum kit in\n"
           "/usr/share/hydrogen/data/drumkits (Debian package hydrogen-drumkits).\n"
           "  --kit NAME     the kit's folder name (default ForzeeStereo)\n"
           "  --seed N       the same seed gives the same session (default 1)\n"
           "  --seconds S    length, 15 to 600 (default 30)\n"
           "  --rate HZ      session sample rate (default: the kit's own rate)\n"
           "Writes DIR/<track>.wav, DIR/stems/<track>.own.wav and .bleed.wav, DIR/hits.csv and\n"
           "DIR/tracks.csv. The samples are GPL: keep the session out of version control.\n";
}
} // namespace hoopvane::tools::demo
