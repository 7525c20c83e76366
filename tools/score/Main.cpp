#include "ScoreArguments.h"
#include "SessionScoring.h"

#include <juce_events/juce_events.h>

#include <iostream>

namespace
{
int run (const juce::StringArray& arguments)
{
    using namespace hoopvane::tools;

    if (arguments.contains ("--help") || arguments.contains ("-h"))
    {
        std::cout << scoreUsage() << std::endl;
        return 0;
    }

    juce::String error;
    const auto options = parseScoreArguments (arguments, error);
    if (! options.has_value())
    {
        std::cerr << "hoopvane-score: " << error << " (" << scoreUsage() << ")" << std::endl;
        return 2;
    }

    std::vector<ScoredTrack> scored;
    if (! scoreSession (*options, scored, error))
    {
        std::cerr << "hoopvane-score: " << error << std::endl;
        return 1;
    }

    std::cout << formatScoreTable (scored) << "PNG plots: " << options->pngFolder.getFullPathName() << std::endl;
    return 0;
}
} // namespace

int main (int argc, char** argv)
{
    try
    {
        // The plug-in's shared code expects the framework initialised; this works headless.
        juce::ScopedJuceInitialiser_GUI framework;
        juce::StringArray arguments;
        for (int i = 1; i < argc; ++i)
            arguments.add (juce::String::fromUTF8 (argv[i]));
        return run (arguments);
    }
    catch (const std::exception& e)
    {
        std::cerr << "hoopvane-score: " << e.what() << std::endl;
    }
    catch (...)
    {
        std::cerr << "hoopvane-score: unexpected failure" << std::endl;
    }
    return 1;
}
