#pragma once

#include "MicSetup.h"
#include "Performance.h"
#include "SessionRenderer.h"

namespace hoopvane::tools::demo
{
/** Creates the session folder and its stems folder and checks that files can be written
    there, so a bad DIR fails before the session is built. */
bool prepareSessionFolder (const juce::File& folder, juce::String& error);

/** Writes the session: DIR/<track>.wav (own + bleed, summed here), DIR/stems/<track>.own.wav
    and .bleed.wav, DIR/hits.csv and DIR/tracks.csv. */
bool writeSession (const juce::File& folder,
                   const std::vector<MicSetup>& mics,
                   const std::vector<TrackStems>& tracks,
                   const Performance& performance,
                   double sampleRate,
                   juce::String& error);
} // namespace hoopvane::tools::demo
