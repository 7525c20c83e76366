#include "SyntheticTrack.h"

#include <ScorePlot.h>

#include <gtest/gtest.h>

namespace hoopvane::tools::test
{
namespace
{
    int differingPixels (const juce::Image& image, juce::Rectangle<int> a, juce::Rectangle<int> b)
    {
        int count = 0;
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (image.getPixelAt (a.getX() + x, a.getY() + y) != image.getPixelAt (b.getX() + x, b.getY() + y))
                    ++count;
        return count;
    }

    juce::Image plotOf (const SyntheticTrack& track, const std::vector<float>& output)
    {
        return drawTrackPlot ({ track.input.data(), output.data(), track.numSamples(), track.ownHits, track.otherHits, "kick_in" });
    }

    const PlotLayout layout = plotLayout (defaultPlotWidth, defaultPlotHeight);

    TEST (ScorePlot, IdenticalInputAndOutputDrawIdenticalPanels)
    {
        ASSERT_EQ (layout.inputWaveform.getWidth(), layout.outputWaveform.getWidth());
        ASSERT_EQ (layout.inputWaveform.getHeight(), layout.outputWaveform.getHeight());

        const auto track = makeSyntheticTrack (6);
        EXPECT_EQ (differingPixels (plotOf (track, track.input), layout.inputWaveform, layout.outputWaveform), 0);
    }

    TEST (ScorePlot, WrittenPngDecodesAtThePlotSizeAndShowsTheGatedOutput)
    {
        const auto track = makeSyntheticTrack (6);
        const juce::TemporaryFile png (".png");
        juce::String error;
        ASSERT_TRUE (writePng (plotOf (track, gateByHits (track, 0.0, -40.0)), png.getFile(), error)) << error;

        const auto decoded = juce::ImageFileFormat::loadFrom (png.getFile());
        ASSERT_TRUE (decoded.isValid());
        EXPECT_EQ (decoded.getWidth(), defaultPlotWidth);
        EXPECT_EQ (decoded.getHeight(), defaultPlotHeight);
        // The gate removed the bleed bursts from the lower panel: many columns change.
        EXPECT_GT (differingPixels (decoded, layout.inputWaveform, layout.outputWaveform), layout.inputWaveform.getWidth());
    }
} // namespace
} // namespace hoopvane::tools::test
