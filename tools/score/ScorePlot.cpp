#include "ScorePlot.h"

#include <algorithm>
#include <cmath>

namespace hoopvane::tools
{
namespace
{
    constexpr int margin = 8;
    constexpr int titleHeight = 32;
    constexpr int labelHeight = 20;
    constexpr float titleFontHeight = 18.0f;
    constexpr float labelFontHeight = 14.0f;

    const juce::Colour background { 0xff16181c };
    const juce::Colour panelBackground { 0xff20242a };
    const juce::Colour centreLine { 0xff3a3f47 };
    const juce::Colour waveform { 0xff7fc4ff };
    const juce::Colour text { 0xffe6e6e6 };
    const juce::Colour ownHitMarker = juce::Colour (0xffffb347).withAlpha (0.85f);
    const juce::Colour otherHitMarker = juce::Colour (0xffb0b0b0).withAlpha (0.25f);

    float peakMagnitude (const float* x, int numSamples)
    {
        float peak = 0.0f;
        for (int i = 0; i < numSamples; ++i)
            peak = std::max (peak, std::abs (x[i]));
        return peak;
    }

    void drawMarkers (juce::Graphics& g, juce::Rectangle<int> area, const std::vector<juce::int64>& hits, int numSamples, juce::Colour colour)
    {
        g.setColour (colour);
        for (const auto hit : hits)
        {
            if (hit < 0 || hit >= numSamples)
                continue;
            const int x = area.getX() + (int) (hit * area.getWidth() / numSamples);
            g.drawVerticalLine (x, (float) area.getY(), (float) area.getBottom());
        }
    }

    /** One vertical stroke per pixel column from the column's smallest to its largest sample. */
    void drawWaveform (juce::Graphics& g, juce::Rectangle<int> area, const float* x, int numSamples, float fullScale)
    {
        // Whole pixels, so the same signal draws the same pixels in either panel.
        const float halfHeight = (float) area.getHeight() * 0.5f;
        const auto toY = [&] (float value)
        { return area.getCentreY() - (int) std::lround (juce::jlimit (-1.0f, 1.0f, value / fullScale) * halfHeight); };

        g.setColour (waveform);
        const int width = area.getWidth();
        for (int column = 0; column < width; ++column)
        {
            const int start = (int) ((juce::int64) column * numSamples / width);
            const int end = std::max (start + 1, (int) ((juce::int64) (column + 1) * numSamples / width));
            if (start >= numSamples)
                break;
            const auto [low, high] = std::minmax_element (x + start, x + std::min (end, numSamples));
            // At least one pixel tall, so near-silence still shows as a line.
            const int top = toY (*high);
            const int bottom = std::max (toY (*low), top + 1);
            g.fillRect (area.getX() + column, top, 1, bottom - top);
        }
    }

    void drawPanel (juce::Graphics& g, juce::Rectangle<int> area, const float* x, const TrackPlotData& data, float fullScale)
    {
        g.setColour (panelBackground);
        g.fillRect (area);
        g.setColour (centreLine);
        g.drawHorizontalLine (area.getCentreY(), (float) area.getX(), (float) area.getRight());
        drawMarkers (g, area, data.otherHits, data.numSamples, otherHitMarker);
        drawMarkers (g, area, data.ownHits, data.numSamples, ownHitMarker);
        drawWaveform (g, area, x, data.numSamples, fullScale);
    }

    void drawLabel (juce::Graphics& g, juce::Rectangle<int> area, const juce::String& label, float fontHeight)
    {
        g.setColour (text);
        g.setFont (fontHeight);
        g.drawText (label, area, juce::Justification::centredLeft, true);
    }
} // namespace

PlotLayout plotLayout (int width, int height)
{
    auto area = juce::Rectangle<int> (width, height).reduced (margin);
    PlotLayout layout;
    layout.title = area.removeFromTop (titleHeight);
    const int panelHeight = area.getHeight() / 2 - labelHeight;
    layout.inputLabel = area.removeFromTop (labelHeight);
    layout.inputWaveform = area.removeFromTop (panelHeight);
    layout.outputLabel = area.removeFromTop (labelHeight);
    layout.outputWaveform = area.removeFromTop (panelHeight);
    return layout;
}

juce::Image drawTrackPlot (const TrackPlotData& data, int width, int height)
{
    juce::Image image (juce::Image::RGB, width, height, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    g.fillAll (background);

    // Both panels share the input's scale, so what the processor removed shows as lost height.
    const float inputPeak = peakMagnitude (data.input, data.numSamples);
    const float fullScale = inputPeak > 0.0f ? inputPeak : 1.0f;

    const auto layout = plotLayout (width, height);
    drawLabel (g, layout.title, data.title, titleFontHeight);
    drawLabel (g, layout.inputLabel, "input", labelFontHeight);
    drawPanel (g, layout.inputWaveform, data.input, data, fullScale);
    drawLabel (g, layout.outputLabel, "output (rendered)", labelFontHeight);
    drawPanel (g, layout.outputWaveform, data.output, data, fullScale);
    return image;
}

bool writePng (const juce::Image& image, const juce::File& file, juce::String& error)
{
    const auto temporary = file.getSiblingFile ("." + file.getFileName() + ".partial");
    temporary.deleteFile();
    bool written = false;
    {
        juce::FileOutputStream stream (temporary);
        written = stream.openedOk() && juce::PNGImageFormat().writeImageToStream (image, stream);
        stream.flush();
        written = written && stream.getStatus().wasOk();
    }

    if (! written || ! temporary.moveFileTo (file))
    {
        temporary.deleteFile();
        error = "cannot write " + file.getFullPathName();
        return false;
    }
    return true;
}
} // namespace hoopvane::tools
