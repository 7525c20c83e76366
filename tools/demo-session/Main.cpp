#include "DemoSession.h"
#include "KitLibrary.h"

#include <juce_events/juce_events.h>

#include <iostream>

int main (int argc, char** argv)
{
    using namespace hoopvane::tools::demo;

    // The shared tool code expects the framework initialised; no display is needed.
    juce::ScopedJuceInitialiser_GUI framework;

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    try
    {
        juce::String error;
        const auto options = parseCommandLine (arguments, error);
        if (! options.has_value())
        {
            std::cerr << "hoopvane-demo-session: " << error << "\n";
            return usageExitCode;
        }
        if (options->helpRequested)
        {
            std::cout << getUsageText();
            return 0;
        }

        const auto summary = buildDemoSession (*options, KitLibrary::defaultFolder(), error);
        if (! summary.has_value())
        {
            std::cerr << "hoopvane-demo-session: " << error << "\n";
            return failureExitCode;
        }
        std::cout << *summary;
        return 0;
    }
    catch (const std::exception& e)
    {
        std::cerr << "hoopvane-demo-session: " << e.what() << "\n";
        return failureExitCode;
    }
}
