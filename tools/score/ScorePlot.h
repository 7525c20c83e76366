#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace hoopvane::tools
{
/** Where the parts of a track plot go in an image of the given size. */
struct PlotLayout
{
    juce::Rectangle<int> title, inputLabel, inputWaveform, outputLabel, outputWaveform;
};

PlotLayout plotLayout (int width, int height);

/** What to draw: the input and rendered output of one track, both `numSamples` long, with the
    track's own hits and the other drums' hits as sample indices. */
struct TrackPlotData
{
    const float* input = nullptr;
    const float* output = nullptr;
    int numSamples = 0;
    std::vector<juce::int64> ownHits, otherHits;
    juce::String title;
};

constexpr int defaultPlotWidth = 1600;
constexpr int defaultPlotHeight = 600;

/** Input waveform above, output below, each as min/max per pixel column on the same scale,
    with hit markers. Draws into a software image, so no display is needed. */
juce::Image drawTrackPlot (const TrackPlotData& data, int width = defaultPlotWidth, int height = defaultPlotHeight);

/** Writes the image as PNG through a temporary file renamed over the target when complete. */
bool writePng (const juce::Image& image, const juce::File& file, juce::String& error);
} // namespace hoopvane::tools
