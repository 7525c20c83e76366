#include "SessionWriter.h"

#include "common/AudioFiles.h"
#include "common/SessionFiles.h"

namespace hoopvane::tools::demo
{
namespace
{
    juce::File stemsFolderOf (const juce::File& folder) { return folder.getChildFile ("stems"); }

    juce::AudioBuffer<float> monoBuffer (const std::vector<float>& audio)
    {
        juce::AudioBuffer<float> buffer (1, (int) audio.size());
        std::copy (audio.begin(), audio.end(), buffer.getWritePointer (0));
        return buffer;
    }

    juce::AudioBuffer<float> mixOf (const TrackStems& stems)
    {
        juce::AudioBuffer<float> mix (1, (int) stems.own.size());
        auto* out = mix.getWritePointer (0);
        for (size_t t = 0; t < stems.own.size(); ++t)
            out[t] = stems.own[t] + stems.bleed[t];
        return mix;
    }

    bool writeTrack (const juce::File& folder, const juce::String& name, const TrackStems& stems, double sampleRate, juce::String& error)
    {
        const auto stemsFolder = stemsFolderOf (folder);
        return writeFloatWav (folder.getChildFile (name + ".wav"), mixOf (stems), sampleRate, error)
               && writeFloatWav (stemsFolder.getChildFile (name + ".own.wav"), monoBuffer (stems.own), sampleRate, error)
               && writeFloatWav (stemsFolder.getChildFile (name + ".bleed.wav"), monoBuffer (stems.bleed), sampleRate, error);
    }

    std::vector<HitRecord> hitRecordsOf (const Performance& performance)
    {
        std::vector<HitRecord> records;
        for (const auto& hit : performance.hits)
            records.push_back ({ hit.sample, drumName (hit.drum), hit.velocity });
        return records;
    }

    std::vector<TrackRecord> trackRecordsOf (const std::vector<MicSetup>& mics)
    {
        std::vector<TrackRecord> records;
        for (const auto& mic : mics)
            records.push_back ({ mic.track, mic.mode, mic.position, drumName (mic.ownDrum) });
        return records;
    }
} // namespace

bool prepareSessionFolder (const juce::File& folder, juce::String& error)
{
    if (folder.existsAsFile())
    {
        error = "cannot write the session to " + folder.getFullPathName() + ": it is a file, not a folder";
        return false;
    }

    const auto stemsFolder = stemsFolderOf (folder);
    const auto probe = stemsFolder.getChildFile (".write-check");
    const bool writable = stemsFolder.createDirectory().wasOk() && probe.replaceWithText ("") && probe.deleteFile();
    if (! writable)
    {
        error = "cannot write the session to " + folder.getFullPathName() + ": the folder cannot be created or written";
        return false;
    }
    return true;
}

bool writeSession (const juce::File& folder,
                   const std::vector<MicSetup>& mics,
                   const std::vector<TrackStems>& tracks,
                   const Performance& performance,
                   double sampleRate,
                   juce::String& error)
{
    for (size_t i = 0; i < mics.size(); ++i)
        if (! writeTrack (folder, mics[i].track, tracks[i], sampleRate, error))
            return false;

    return writeHits (folder.getChildFile ("hits.csv"), hitRecordsOf (performance), error)
           && writeTracks (folder.getChildFile ("tracks.csv"), trackRecordsOf (mics), error);
}
} // namespace hoopvane::tools::demo
