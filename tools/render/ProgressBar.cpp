#include "ProgressBar.h"

#include <unistd.h>

namespace hoopvane::render
{
ProgressBar::ProgressBar (std::ostream& s, bool shouldDraw)
    : stream (s), enabled (shouldDraw)
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

juce::String ProgressBar::format (double fraction, const juce::String& label)
{
    const auto clamped = juce::jlimit (0.0, 1.0, fraction);
    const int filled = (int) (clamped * width);
    const int percent = (int) (clamped * 100.0);

    return "[" + juce::String::repeatedString ("#", filled) + juce::String::repeatedString (".", width - filled) + "] "
           + juce::String (percent).paddedLeft (' ', 3) + "%  " + label;
}

void ProgressBar::update (double fraction, const juce::String& label)
{
    if (! enabled)
        return;

    // A new phase is always shown; otherwise redraws are limited, as the terminal is slow.
    const auto now = juce::Time::getMillisecondCounterHiRes();
    if (drawn && label == lastLabel && now - lastDrawMs < 1000.0 / maxRedrawsPerSecond)
        return;

    stream << "\r" << format (fraction, label) << std::flush;
    drawn = true;
    lastDrawMs = now;
    lastLabel = label;
}

void ProgressBar::finish()
{
    if (! drawn)
        return;

    stream << "\r" << juce::String::repeatedString (" ", format (1.0, lastLabel).length()) << "\r" << std::flush;
    drawn = false;
}

bool isErrorStreamTerminal()
{
    return isatty (STDERR_FILENO) != 0;
}
} // namespace hoopvane::render
