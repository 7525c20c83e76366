#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

namespace hoopvane::render
{
/** A one-line progress bar, "[#####.....]  47%  learning", redrawn in place at most
    maxRedrawsPerSecond times a second. Does nothing when disabled (output not a terminal). */
class ProgressBar
{
public:
    static constexpr int width = 30;
    static constexpr double maxRedrawsPerSecond = 20.0;

    ProgressBar (std::ostream& stream, bool enabled);
    ~ProgressBar();

    void update (double fraction, const juce::String& label);
    /** Clears the line so the next output starts on an empty one. */
    void finish();

    /** The bar's text without the carriage return, for a fraction in [0, 1]. */
    static juce::String format (double fraction, const juce::String& label);

private:
    std::ostream& stream;
    bool enabled;
    bool drawn = false;
    double lastDrawMs = 0.0;
    juce::String lastLabel;
};

/** True when stderr is an interactive terminal. */
bool isErrorStreamTerminal();
} // namespace hoopvane::render
