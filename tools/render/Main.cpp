#include "ProgressBar.h"
#include "RenderTool.h"

#include <juce_events/juce_events.h>

#include <iostream>

int main (int argc, char** argv)
{
    // The processor expects the framework initialised, as inside a host; no display is needed.
    juce::ScopedJuceInitialiser_GUI framework;

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    return hoopvane::render::runRenderTool (arguments, std::cout, std::cerr, hoopvane::render::isErrorStreamTerminal());
}
