#include "SessionRenderer.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <functional>

namespace hoopvane::tools::demo
{
namespace
{
    constexpr double chokeFadeSeconds = 0.012;
    constexpr double endFadeSeconds = 0.3;

    /** Where a hit stops sounding: an open hi-hat closes at the next hi-hat stroke. */
    juce::int64 chokeSample (const Performance& performance, size_t hitIndex)
    {
        const auto& hit = performance.hits[hitIndex];
        if (hit.drum == Drum::hihat && hit.openHiHat)
            for (auto next = hitIndex + 1; next < performance.hits.size(); ++next)
                if (performance.hits[next].drum == Drum::hihat)
                    return performance.hits[next].sample;
        return std::numeric_limits<juce::int64>::max() / 2; // never, with room for the fade
    }

    /** One drum on its own, as it sounds at its close position. */
    std::vector<float> playDrum (const Performance& performance, Drum drum, const SampleBank& bank, juce::int64 length)
    {
        std::vector<float> audio ((size_t) length, 0.0f);
        const auto fadeLength = (juce::int64) (chokeFadeSeconds * bank.getSampleRate());
        for (size_t i = 0; i < performance.hits.size(); ++i)
        {
            const auto& hit = performance.hits[i];
            if (hit.drum != drum)
                continue;

            const auto& layer = bank.layerFor (drum, hit.velocity, hit.openHiHat);
            const auto amplitude = layer.gain * (float) hit.velocity / 127.0f;
            const auto choke = chokeSample (performance, i);
            const auto end = std::min ({ length, hit.sample + (juce::int64) layer.audio.size(), choke + fadeLength });
            for (auto t = hit.sample; t < end; ++t)
            {
                const auto fade = t < choke ? 1.0f : 1.0f - (float) (t - choke) / (float) fadeLength;
                audio[(size_t) t] += fade * amplitude * layer.audio[(size_t) (t - hit.sample)];
            }
        }
        return audio;
    }

    /** Adds a drum as the mic hears it through `path`. */
    void addThroughPath (std::vector<float>& destination, const std::vector<float>& drum, const MicPath& path, double sampleRate)
    {
        auto heard = drum;
        applyTilt (heard, path.tone, sampleRate);
        const auto delay = (size_t) std::lround (path.delaySeconds * sampleRate);
        for (size_t t = delay; t < destination.size(); ++t)
            destination[t] += path.gain * heard[t - delay];
    }

    TrackStems recordMic (const MicSetup& mic, const std::vector<std::vector<float>>& drums, double sampleRate)
    {
        const auto length = drums.front().size();
        TrackStems stems { std::vector<float> (length, 0.0f), std::vector<float> (length, 0.0f) };
        for (auto drum : allDrums)
        {
            const auto& audio = drums[(size_t) indexOf (drum)];
            if (drum == mic.ownDrum)
                addThroughPath (stems.own, audio, mic.own, sampleRate);
            else
                addThroughPath (stems.bleed, audio, mic.bleedFrom (drum), sampleRate);
        }
        return stems;
    }

    float sessionPeak (const std::vector<TrackStems>& tracks)
    {
        float peak = 0.0f;
        for (const auto& track : tracks)
            for (size_t t = 0; t < track.own.size(); ++t)
                peak = std::max (peak, std::abs (track.own[t] + track.bleed[t]));
        return peak;
    }

    /** The same gain on every part of every track keeps the balance and own + bleed. */
    void applyGain (std::vector<TrackStems>& tracks, const std::function<float (size_t)>& gainAt)
    {
        for (auto& track : tracks)
            for (size_t t = 0; t < track.own.size(); ++t)
            {
                track.own[t] *= gainAt (t);
                track.bleed[t] *= gainAt (t);
            }
    }

    /** Turns the whole session down together if any track would clip. */
    void keepBelowClipping (std::vector<TrackStems>& tracks)
    {
        const auto peak = sessionPeak (tracks);
        if (peak > sessionPeakLimit)
            applyGain (tracks, [gain = sessionPeakLimit / peak] (size_t)
                       { return gain; });
    }

    /** The last crash would be cut off by the end of the file; it fades out instead. */
    void fadeOutEnd (std::vector<TrackStems>& tracks, double sampleRate)
    {
        const auto length = tracks.front().own.size();
        const auto fadeStart = length - std::min (length, (size_t) (endFadeSeconds * sampleRate));
        const auto fadeLength = (float) (length - fadeStart);
        applyGain (tracks, [fadeStart, fadeLength] (size_t t)
                   { return t < fadeStart ? 1.0f : 1.0f - (float) (t - fadeStart) / fadeLength; });
    }

    /** Each mic's own hiss and the room's rumble: an independent noise floor per track. */
    void addNoiseFloor (std::vector<float>& bleed, SeededRandom& random)
    {
        const auto level = juce::Decibels::decibelsToGain (noiseFloorDb);
        for (auto& sample : bleed)
            sample += (float) (level * random.gaussian());
    }
} // namespace

std::vector<TrackStems> recordSession (const Performance& performance,
                                       const SampleBank& bank,
                                       const std::vector<MicSetup>& mics,
                                       juce::int64 lengthSamples,
                                       SeededRandom& noiseRandom)
{
    std::vector<std::vector<float>> drums;
    for (auto drum : allDrums)
        drums.push_back (playDrum (performance, drum, bank, lengthSamples));

    std::vector<TrackStems> tracks;
    for (const auto& mic : mics)
        tracks.push_back (recordMic (mic, drums, bank.getSampleRate()));

    keepBelowClipping (tracks);
    for (auto& track : tracks)
        addNoiseFloor (track.bleed, noiseRandom);
    fadeOutEnd (tracks, bank.getSampleRate());
    return tracks;
}
} // namespace hoopvane::tools::demo
