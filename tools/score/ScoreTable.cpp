#include "ScoreTable.h"

namespace hoopvane::tools
{
namespace
{
    constexpr int columnGap = 2;

    juce::StringArray headerCells()
    {
        return { "track", "drum", "hits", "retention mean dB", "retention worst 5% dB", "bleed suppression dB", "bleed-only s", "attack dB" };
    }

    juce::StringArray rowCells (const ScoredTrack& scored)
    {
        const auto& s = scored.score;
        return { scored.track.track,
                 scored.track.drum,
                 juce::String (s.scoredHits),
                 formatDecibels (s.retentionMeanDb),
                 formatDecibels (s.retentionWorstDb),
                 formatDecibels (s.suppressionDb),
                 juce::String (s.bleedOnlySeconds, 1),
                 formatDecibels (s.attackMeanDb) };
    }

    /** Names and drums read left-aligned, numbers right-aligned under their headings. */
    juce::String formatLine (const juce::StringArray& cells, const std::vector<int>& widths)
    {
        constexpr int leftAlignedColumns = 2;
        juce::String line;
        for (int c = 0; c < cells.size(); ++c)
        {
            const int width = widths[(size_t) c];
            line += c < leftAlignedColumns ? cells[c].paddedRight (' ', width) : cells[c].paddedLeft (' ', width);
            if (c + 1 < cells.size())
                line += juce::String::repeatedString (" ", columnGap);
        }
        return line.trimEnd();
    }
} // namespace

juce::String formatDecibels (std::optional<double> decibels)
{
    if (! decibels.has_value())
        return "n/a";
    // Values that round to zero print as "0.0", never "-0.0".
    const double value = std::abs (*decibels) < 0.05 ? 0.0 : *decibels;
    return (value > 0.0 ? "+" : "") + juce::String (value, 1);
}

juce::String describeScore (const ScoredTrack& scored)
{
    const auto& s = scored.score;
    return scored.track.track + "  |  retention " + formatDecibels (s.retentionMeanDb) + " dB mean, "
           + formatDecibels (s.retentionWorstDb) + " dB worst 5%  |  bleed suppression "
           + formatDecibels (s.suppressionDb) + " dB  |  attack " + formatDecibels (s.attackMeanDb) + " dB";
}

juce::String formatScoreTable (const std::vector<ScoredTrack>& tracks)
{
    std::vector<juce::StringArray> lines { headerCells() };
    for (const auto& t : tracks)
        lines.push_back (rowCells (t));

    std::vector<int> widths ((size_t) lines.front().size(), 0);
    for (const auto& cells : lines)
        for (int c = 0; c < cells.size(); ++c)
            widths[(size_t) c] = std::max (widths[(size_t) c], cells[c].length());

    juce::StringArray text;
    for (const auto& cells : lines)
        text.add (formatLine (cells, widths));
    return text.joinIntoString ("\n") + "\n";
}
} // namespace hoopvane::tools
