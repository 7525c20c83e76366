#include "SampleBank.h"

#include "Resampler.h"
#include "common/AudioFiles.h"

#include <map>

namespace hoopvane::tools::demo
{
namespace
{
    /** Each drum's peak level at its own close position, full velocity. The kit's recorded
        balance varies from kit to kit; a close-miked session has every drum hot on its own
        mic, with the hi-hat and ride quieter than the drums. */
    constexpr std::array<float, drumCount> drumPeakLevels { 0.5f, 0.5f, 0.45f, 0.45f, 0.45f, 0.3f, 0.45f, 0.3f };

    /** Anything quieter than this, relative to the sample's peak, before the hit is silence. */
    constexpr float onsetThreshold = 0.003f;
    constexpr double endFadeSeconds = 0.005;

    struct RawLayer
    {
        std::vector<float> mono;
        double rate = 0.0;
        KitLayer layer;
    };

    std::vector<float> monoSumFrom (const juce::AudioBuffer<float>& buffer)
    {
        std::vector<float> mono ((size_t) buffer.getNumSamples(), 0.0f);
        const auto scale = 1.0f / (float) buffer.getNumChannels();
        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                mono[(size_t) i] += scale * buffer.getSample (channel, i);
        return mono;
    }

    float peakOf (const std::vector<float>& audio)
    {
        float peak = 0.0f;
        for (auto x : audio)
            peak = std::max (peak, std::abs (x));
        return peak;
    }

    /** Starts the sample at the hit, so a hit's time is where the drum sounds. */
    void trimToOnset (std::vector<float>& audio)
    {
        const auto threshold = onsetThreshold * peakOf (audio);
        const auto onset = std::find_if (audio.begin(), audio.end(), [threshold] (float x)
                                         { return std::abs (x) >= threshold; });
        audio.erase (audio.begin(), onset);
    }

    /** Some samples are cut off before they die away; a short fade keeps that from clicking. */
    void fadeEnd (std::vector<float>& audio, double rate)
    {
        const auto length = std::min (audio.size(), (size_t) (endFadeSeconds * rate));
        for (size_t i = 0; i < length; ++i)
            audio[audio.size() - 1 - i] *= (float) i / (float) length;
    }

    bool readLayers (const KitInstrument& instrument, std::vector<RawLayer>& raw, juce::String& error)
    {
        for (const auto& layer : instrument.layers)
        {
            auto data = readAudioFile (layer.file, error);
            if (! data.has_value())
                return false;
            raw.push_back ({ monoSumFrom (data->buffer), data->sampleRate, layer });
        }
        return true;
    }

    double mostCommonRate (const std::vector<std::vector<RawLayer>>& instruments)
    {
        std::map<double, int> counts;
        for (const auto& layers : instruments)
            for (const auto& layer : layers)
                ++counts[layer.rate];
        return std::max_element (counts.begin(), counts.end(), [] (auto& a, auto& b)
                                 { return a.second < b.second; })
            ->first;
    }

    /** Resamples, trims and levels one instrument's layers: the loudest layer at full velocity
        peaks at `peakLevel`, the others keep their recorded level against it. */
    std::vector<LayerSample> prepareLayers (const std::vector<RawLayer>& raw, double rate, float peakLevel)
    {
        std::vector<LayerSample> layers;
        float loudest = 0.0f;
        for (const auto& source : raw)
        {
            LayerSample layer { resample (source.mono, source.rate, rate), source.layer.minVelocity, source.layer.maxVelocity, source.layer.gain };
            trimToOnset (layer.audio);
            fadeEnd (layer.audio, rate);
            loudest = std::max (loudest, peakOf (layer.audio) * layer.gain);
            layers.push_back (std::move (layer));
        }

        const auto normaliser = loudest > 0.0f ? peakLevel / loudest : 0.0f;
        for (auto& layer : layers)
            layer.gain *= normaliser;
        return layers;
    }
} // namespace

std::optional<SampleBank> SampleBank::load (const DrumKit& kit, std::optional<double> sessionRate, juce::String& error)
{
    std::vector<std::vector<RawLayer>> raw (drumCount + 1);
    for (auto drum : allDrums)
        if (! readLayers (kit.instrumentFor (drum), raw[(size_t) indexOf (drum)], error))
            return std::nullopt;
    if (kit.openHiHat.has_value() && ! readLayers (*kit.openHiHat, raw[drumCount], error))
        return std::nullopt;

    SampleBank bank;
    bank.sampleRate = sessionRate.value_or (mostCommonRate (raw));
    for (auto drum : allDrums)
        bank.drums[(size_t) indexOf (drum)] = prepareLayers (raw[(size_t) indexOf (drum)], bank.sampleRate, drumPeakLevels[(size_t) indexOf (drum)]);
    bank.openHiHat = prepareLayers (raw[drumCount], bank.sampleRate, drumPeakLevels[(size_t) indexOf (Drum::hihat)]);
    return bank;
}

const LayerSample& SampleBank::layerFor (Drum drum, int velocity, bool openHat) const
{
    const auto& layers = openHat && hasOpenHiHat() ? openHiHat : drums[(size_t) indexOf (drum)];
    const auto position = (float) velocity / 127.0f;
    const auto distance = [position] (const LayerSample& layer)
    {
        if (position >= layer.minVelocity && position <= layer.maxVelocity)
            return std::abs (position - 0.5f * (layer.minVelocity + layer.maxVelocity)) - 1.0f;
        return std::min (std::abs (position - layer.minVelocity), std::abs (position - layer.maxVelocity));
    };
    return *std::min_element (layers.begin(), layers.end(), [&distance] (const auto& a, const auto& b)
                              { return distance (a) < distance (b); });
}
} // namespace hoopvane::tools::demo
