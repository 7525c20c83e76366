#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

namespace hoopvane::render
{
/** The whole program: the arguments after the program name in, the exit code out (0 done,
    1 file or processing failure, 2 wrong command line). A failure is one line on err and
    leaves no output file behind; the per-track summary and the render speed go to out.
    No exception escapes. */
int runRenderTool (const juce::StringArray& arguments, std::ostream& out, std::ostream& err, bool showProgress);
} // namespace hoopvane::render
