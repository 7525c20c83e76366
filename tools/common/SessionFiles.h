#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace hoopvane::tools
{
/** One drum hit of a session, at the sample where it starts on its own close microphone
    (before any bleed delay). `drum` is one of "kick", "snare", "tom1", "tom2", "tom3",
    "hihat", "crash", "ride"; `velocity` is 1 … 127. Stored in hits.csv as
    "sample,drum,velocity" with a header line. */
struct HitRecord
{
    juce::int64 sample = 0;
    juce::String drum;
    int velocity = 0;
};

/** One microphone track of a session. Stored in tracks.csv as "track,mode,position,drum":
    `track` is the file stem ("snare_top" for snare_top.wav), `mode` is "kick", "snare" or
    "tom", `position` is "top", "bottom" or empty, `drum` is the hits.csv drum this track
    carries as its own. */
struct TrackRecord
{
    juce::String track, mode, position, drum;
};

bool writeHits (const juce::File& file, const std::vector<HitRecord>& hits, juce::String& error);
bool readHits (const juce::File& file, std::vector<HitRecord>& hits, juce::String& error);

bool writeTracks (const juce::File& file, const std::vector<TrackRecord>& tracks, juce::String& error);
bool readTracks (const juce::File& file, std::vector<TrackRecord>& tracks, juce::String& error);
} // namespace hoopvane::tools
