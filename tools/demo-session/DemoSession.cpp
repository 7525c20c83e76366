#include "DemoSession.h"

#include "KitLibrary.h"
#include "SessionWriter.h"

namespace hoopvane::tools::demo
{
namespace
{
    /** Independent random streams, so that, say, a longer performance leaves the mics as
        they were. */
    enum RandomStream : std::uint32_t
    {
        performanceStream = 1,
        micStream = 2,
        noiseStream = 3
    };

    constexpr int ghostNoteVelocity = 50; // softer snare strokes count as ghost notes

    juce::String hitCounts (const Performance& performance)
    {
        std::array<int, drumCount> counts {};
        int ghostNotes = 0;
        for (const auto& hit : performance.hits)
        {
            ++counts[(size_t) indexOf (hit.drum)];
            ghostNotes += hit.drum == Drum::snare && hit.velocity < ghostNoteVelocity ? 1 : 0;
        }

        juce::StringArray parts;
        for (auto drum : allDrums)
            parts.add (drumName (drum) + " " + juce::String (counts[(size_t) indexOf (drum)]) + (drum == Drum::snare ? " (" + juce::String (ghostNotes) + " ghost)" : juce::String()));
        return parts.joinIntoString (", ");
    }

    juce::String summaryOf (const SessionOptions& options, const DrumKit& kit, const Performance& performance, const std::vector<MicSetup>& mics, double sampleRate)
    {
        juce::StringArray tracks;
        for (const auto& mic : mics)
            tracks.add (mic.track);

        return "wrote a " + juce::String (options.seconds, 1) + " s session (kit " + kit.name + ", " + juce::String (sampleRate, 0) + " Hz, "
               + juce::String (performance.beatsPerMinute, 0) + " BPM, " + juce::String (performance.bars) + " bars, seed " + juce::String (options.seed) + ") to " + options.outputFolder.getFullPathName() + "\n"
               + "  " + juce::String (mics.size()) + " tracks: " + tracks.joinIntoString (" ") + " (own and bleed stems in stems/)\n"
               + "  hits: " + hitCounts (performance) + "\n";
    }
} // namespace

std::optional<juce::String> buildDemoSession (const SessionOptions& options, const juce::File& kitsFolder, juce::String& error)
{
    const auto kit = KitLibrary (kitsFolder).load (options.kitName, error);
    if (! kit.has_value() || ! prepareSessionFolder (options.outputFolder, error))
        return std::nullopt;

    const auto bank = SampleBank::load (*kit, options.sampleRate, error);
    if (! bank.has_value())
        return std::nullopt;

    const auto rate = bank->getSampleRate();
    SeededRandom performanceRandom (options.seed, performanceStream), micRandom (options.seed, micStream), noiseRandom (options.seed, noiseStream);
    const auto performance = performSession (options.seconds, rate, performanceRandom);
    const auto mics = placeMics (micRandom);
    const auto tracks = recordSession (performance, *bank, mics, (juce::int64) std::llround (options.seconds * rate), noiseRandom);
    if (! writeSession (options.outputFolder, mics, tracks, performance, rate, error))
        return std::nullopt;

    return summaryOf (options, *kit, performance, mics, rate);
}
} // namespace hoopvane::tools::demo
