#include "SessionFiles.h"

namespace hoopvane::tools
{
namespace
{
    constexpr const char* hitsHeader = "sample,drum,velocity";
    constexpr const char* tracksHeader = "track,mode,position,drum";

    bool writeLines (const juce::File& file, const juce::StringArray& lines, juce::String& error)
    {
        const auto temporary = file.getSiblingFile ("." + file.getFileName() + ".partial");
        if (! temporary.replaceWithText (lines.joinIntoString ("\n") + "\n") || ! temporary.moveFileTo (file))
        {
            temporary.deleteFile();
            error = "cannot write " + file.getFullPathName();
            return false;
        }
        return true;
    }

    /** The data rows of a CSV file with the expected header, each split into `columns` fields. */
    bool readRows (const juce::File& file, const char* header, int columns, std::vector<juce::StringArray>& rows, juce::String& error)
    {
        juce::StringArray lines;
        file.readLines (lines);
        lines.removeEmptyStrings();
        if (lines.isEmpty() || lines[0].trim() != header)
        {
            error = "cannot read " + file.getFullPathName() + ": expected the header \"" + header + "\"";
            return false;
        }

        for (int i = 1; i < lines.size(); ++i)
        {
            auto fields = juce::StringArray::fromTokens (lines[i].trim(), ",", "");
            if (fields.size() != columns)
            {
                error = "cannot read " + file.getFullPathName() + ": line " + juce::String (i + 1) + " has " + juce::String (fields.size()) + " fields";
                return false;
            }
            rows.push_back (fields);
        }
        return true;
    }
} // namespace

bool writeHits (const juce::File& file, const std::vector<HitRecord>& hits, juce::String& error)
{
    juce::StringArray lines { hitsHeader };
    for (const auto& h : hits)
        lines.add (juce::String (h.sample) + "," + h.drum + "," + juce::String (h.velocity));
    return writeLines (file, lines, error);
}

bool readHits (const juce::File& file, std::vector<HitRecord>& hits, juce::String& error)
{
    std::vector<juce::StringArray> rows;
    if (! readRows (file, hitsHeader, 3, rows, error))
        return false;

    hits.clear();
    for (const auto& r : rows)
        hits.push_back ({ r[0].getLargeIntValue(), r[1], r[2].getIntValue() });
    return true;
}

bool writeTracks (const juce::File& file, const std::vector<TrackRecord>& tracks, juce::String& error)
{
    juce::StringArray lines { tracksHeader };
    for (const auto& t : tracks)
        lines.add (t.track + "," + t.mode + "," + t.position + "," + t.drum);
    return writeLines (file, lines, error);
}

bool readTracks (const juce::File& file, std::vector<TrackRecord>& tracks, juce::String& error)
{
    std::vector<juce::StringArray> rows;
    if (! readRows (file, tracksHeader, 4, rows, error))
        return false;

    tracks.clear();
    for (const auto& r : rows)
        tracks.push_back ({ r[0], r[1], r[2], r[3] });
    return true;
}
} // namespace hoopvane::tools
