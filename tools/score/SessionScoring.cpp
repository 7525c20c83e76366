#include "SessionScoring.h"

#include "ScorePlot.h"

#include <common/AudioFiles.h>

namespace hoopvane::tools
{
namespace
{
    /** The four signals of one track, all of the input's length and rate. */
    struct TrackAudio
    {
        AudioData input, output, own, bleed;
    };

    bool requireFile (const juce::File& file, juce::String& error)
    {
        if (file.existsAsFile())
            return true;
        error = "cannot read " + file.getFullPathName() + ": no such file";
        return false;
    }

    bool readSessionLists (const juce::File& session, std::vector<TrackRecord>& tracks, std::vector<HitRecord>& hits, juce::String& error)
    {
        const auto tracksFile = session.getChildFile ("tracks.csv");
        const auto hitsFile = session.getChildFile ("hits.csv");
        return requireFile (tracksFile, error) && readTracks (tracksFile, tracks, error)
               && requireFile (hitsFile, error) && readHits (hitsFile, hits, error);
    }

    /** Reads a file that must match the input track sample for sample. */
    bool readMatching (const juce::File& file, const AudioData& input, const juce::File& inputFile, AudioData& data, juce::String& error)
    {
        auto read = readAudioFile (file, error);
        if (! read.has_value())
            return false;

        const auto mismatch = [&] (const juce::String& what, const juce::String& found, const juce::String& expected)
        {
            error = "cannot score " + file.getFullPathName() + ": " + what + " " + found + ", but the input "
                    + inputFile.getFullPathName() + " has " + expected;
            return false;
        };
        if (read->buffer.getNumSamples() != input.buffer.getNumSamples())
            return mismatch ("length", juce::String (read->buffer.getNumSamples()) + " samples", juce::String (input.buffer.getNumSamples()));
        if (read->sampleRate != input.sampleRate)
            return mismatch ("sample rate", juce::String (read->sampleRate) + " Hz", juce::String (input.sampleRate));

        data = std::move (*read);
        return true;
    }

    bool loadTrack (const ScoreOptions& options, const juce::String& name, TrackAudio& audio, juce::String& error)
    {
        const auto inputFile = options.session.getChildFile (name + ".wav");
        const auto stems = options.session.getChildFile ("stems");
        auto input = readAudioFile (inputFile, error);
        if (! input.has_value())
            return false;
        audio.input = std::move (*input);

        return readMatching (stems.getChildFile (name + ".own.wav"), audio.input, inputFile, audio.own, error)
               && readMatching (stems.getChildFile (name + ".bleed.wav"), audio.input, inputFile, audio.bleed, error)
               && readMatching (options.rendered.getChildFile (name + ".wav"), audio.input, inputFile, audio.output, error);
    }

    std::vector<juce::int64> hitSamples (const std::vector<HitRecord>& hits, const juce::String& drum, bool ofThisDrum)
    {
        std::vector<juce::int64> samples;
        for (const auto& h : hits)
            if ((h.drum == drum) == ofThisDrum)
                samples.push_back (h.sample);
        return samples;
    }

    // Microphone tracks are mono; of a multichannel file the first channel is scored.
    const float* firstChannel (const AudioData& data)
    {
        return data.buffer.getReadPointer (0);
    }

    bool scoreOneTrack (const ScoreOptions& options, const TrackRecord& track, const std::vector<HitRecord>& hits, ScoredTrack& scored, juce::String& error)
    {
        TrackAudio audio;
        if (! loadTrack (options, track.track, audio, error))
            return false;

        const int numSamples = audio.input.buffer.getNumSamples();
        const auto ownHits = hitSamples (hits, track.drum, true);
        scored.track = track;
        scored.score = scoreTrack (firstChannel (audio.input),
                                   firstChannel (audio.output),
                                   firstChannel (audio.own),
                                   firstChannel (audio.bleed),
                                   numSamples,
                                   audio.input.sampleRate,
                                   ownHits);

        const TrackPlotData plot { firstChannel (audio.input), firstChannel (audio.output), numSamples, ownHits, hitSamples (hits, track.drum, false), describeScore (scored) };
        return writePng (drawTrackPlot (plot), options.pngFolder.getChildFile (track.track + ".png"), error);
    }

    bool preparePngFolder (const juce::File& folder, juce::String& error)
    {
        if (folder.isDirectory() || folder.createDirectory().wasOk())
            return true;
        error = "cannot create the PNG folder " + folder.getFullPathName();
        return false;
    }
} // namespace

bool scoreSession (const ScoreOptions& options, std::vector<ScoredTrack>& scored, juce::String& error)
{
    std::vector<TrackRecord> tracks;
    std::vector<HitRecord> hits;
    if (! readSessionLists (options.session, tracks, hits, error) || ! preparePngFolder (options.pngFolder, error))
        return false;

    scored.clear();
    for (const auto& track : tracks)
    {
        ScoredTrack result;
        if (! scoreOneTrack (options, track, hits, result, error))
            return false;
        scored.push_back (result);
    }
    return true;
}
} // namespace hoopvane::tools
