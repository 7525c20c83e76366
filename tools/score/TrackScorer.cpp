#include "TrackScorer.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numeric>

namespace hoopvane::tools
{
namespace
{
    // The windows a mixing engineer listens to: the body of a hit, and its first transient.
    constexpr double retentionWindowSeconds = 0.050;
    constexpr double attackWindowSeconds = 0.005;

    // Bleed-only rule (see isBleedOnly): where the own drum has died away and the bleed is heard.
    constexpr double ownSilentBelowPeakDb = -50.0;
    constexpr double ownHitReachSeconds = 0.060;
    constexpr double bleedAudibleDbfs = -60.0;
    // Wide enough to span a full cycle of a low kick, so zero crossings never look like silence.
    constexpr double envelopeHalfWidthSeconds = 0.010;

    constexpr double worstPercent = 5.0;
    // A fully muted output scores this rather than minus infinity.
    constexpr double floorDb = -120.0;

    struct Window
    {
        int start = 0, end = 0;
    };

    std::optional<Window> windowAfter (juce::int64 hit, int length, int numSamples)
    {
        if (hit < 0 || hit >= numSamples)
            return std::nullopt;
        return Window { (int) hit, (int) std::min<juce::int64> (hit + length, numSamples) };
    }

    double sumOfSquares (const float* x, Window w)
    {
        double sum = 0.0;
        for (int i = w.start; i < w.end; ++i)
            sum += (double) x[i] * x[i];
        return sum;
    }

    double peakOf (const float* x, Window w)
    {
        float peak = 0.0f;
        for (int i = w.start; i < w.end; ++i)
            peak = std::max (peak, std::abs (x[i]));
        return peak;
    }

    double powerRatioDb (double output, double input)
    {
        return std::max (floorDb, 10.0 * std::log10 (output / input));
    }

    double amplitudeRatioDb (double output, double input)
    {
        return std::max (floorDb, 20.0 * std::log10 (output / input));
    }

    float gainOf (double decibels)
    {
        return (float) std::pow (10.0, decibels / 20.0);
    }

    double mean (const std::vector<double>& values)
    {
        return std::accumulate (values.begin(), values.end(), 0.0) / (double) values.size();
    }

    /** Nearest-rank percentile: the smallest value that at least `percent` % of the values
        reach or undercut. With up to 20 hits this is the single worst hit. */
    double percentile (std::vector<double> values, double percent)
    {
        std::sort (values.begin(), values.end());
        const auto rank = (size_t) std::ceil (percent / 100.0 * (double) values.size());
        return values[std::max<size_t> (rank, 1) - 1];
    }

    std::optional<double> meanIfAny (const std::vector<double>& values)
    {
        return values.empty() ? std::nullopt : std::optional<double> (mean (values));
    }

    /** The largest magnitude within ±halfWidth samples of each sample (a monotonic queue keeps
        this linear in the track length). */
    std::vector<float> slidingPeak (const float* x, int numSamples, int halfWidth)
    {
        std::vector<float> envelope ((size_t) numSamples);
        std::deque<int> candidates; // indices whose magnitudes decrease from front to back
        int next = 0;
        for (int i = 0; i < numSamples; ++i)
        {
            for (const int last = std::min (numSamples - 1, i + halfWidth); next <= last; ++next)
            {
                while (! candidates.empty() && std::abs (x[candidates.back()]) <= std::abs (x[next]))
                    candidates.pop_back();
                candidates.push_back (next);
            }
            while (candidates.front() < i - halfWidth)
                candidates.pop_front();
            envelope[(size_t) i] = std::abs (x[candidates.front()]);
        }
        return envelope;
    }

    /** Marks the samples where only bleed sounds. A sample counts when all three hold:
        - the own stem's peak within ±10 ms is more than 50 dB below the own stem's overall peak
          (an own stem that is silent throughout passes everywhere);
        - it lies more than 60 ms after the latest own hit at or before it (or precedes all of
          them), so a hit's body never counts even if the stem is quiet there;
        - the bleed stem's peak within ±10 ms is above -60 dBFS, so silence does not count. */
    std::vector<bool> bleedOnlyMask (const float* own, const float* bleed, int numSamples, double sampleRate, std::vector<juce::int64> ownHits)
    {
        const int halfWidth = (int) std::lround (envelopeHalfWidthSeconds * sampleRate);
        const auto ownEnvelope = slidingPeak (own, numSamples, halfWidth);
        const auto bleedEnvelope = slidingPeak (bleed, numSamples, halfWidth);
        const float ownPeak = numSamples > 0 ? *std::max_element (ownEnvelope.begin(), ownEnvelope.end()) : 0.0f;
        const float ownSilentLevel = ownPeak * gainOf (ownSilentBelowPeakDb);
        const float bleedAudibleLevel = gainOf (bleedAudibleDbfs);
        const auto reach = (juce::int64) std::lround (ownHitReachSeconds * sampleRate);

        std::sort (ownHits.begin(), ownHits.end());
        std::vector<bool> mask ((size_t) numSamples);
        auto nextHit = ownHits.begin();
        std::optional<juce::int64> latestHit;
        for (int i = 0; i < numSamples; ++i)
        {
            for (; nextHit != ownHits.end() && *nextHit <= i; ++nextHit)
                latestHit = *nextHit;
            const bool ownSilent = ownEnvelope[(size_t) i] <= ownSilentLevel;
            const bool pastOwnHit = ! latestHit.has_value() || i - *latestHit > reach;
            const bool bleedAudible = bleedEnvelope[(size_t) i] > bleedAudibleLevel;
            mask[(size_t) i] = ownSilent && pastOwnHit && bleedAudible;
        }
        return mask;
    }

    void scoreHits (TrackScore& score, const float* input, const float* output, int numSamples, double sampleRate, const std::vector<juce::int64>& ownHits)
    {
        const int retentionLength = (int) std::lround (retentionWindowSeconds * sampleRate);
        const int attackLength = (int) std::lround (attackWindowSeconds * sampleRate);
        std::vector<double> retention, attack;
        for (const auto hit : ownHits)
        {
            if (const auto body = windowAfter (hit, retentionLength, numSamples))
                if (const double in = sumOfSquares (input, *body); in > 0.0)
                    retention.push_back (powerRatioDb (sumOfSquares (output, *body), in));

            if (const auto onset = windowAfter (hit, attackLength, numSamples))
                if (const double in = peakOf (input, *onset); in > 0.0)
                    attack.push_back (amplitudeRatioDb (peakOf (output, *onset), in));
        }

        score.scoredHits = (int) retention.size();
        score.retentionMeanDb = meanIfAny (retention);
        if (! retention.empty())
            score.retentionWorstDb = percentile (retention, worstPercent);
        score.attackMeanDb = meanIfAny (attack);
    }

    void scoreBleed (TrackScore& score, const float* input, const float* output, const float* own, const float* bleed, int numSamples, double sampleRate, const std::vector<juce::int64>& ownHits)
    {
        const auto mask = bleedOnlyMask (own, bleed, numSamples, sampleRate, ownHits);
        double in = 0.0, out = 0.0;
        int count = 0;
        for (int i = 0; i < numSamples; ++i)
        {
            if (! mask[(size_t) i])
                continue;
            in += (double) input[i] * input[i];
            out += (double) output[i] * output[i];
            ++count;
        }

        score.bleedOnlySeconds = count / sampleRate;
        if (in > 0.0)
            score.suppressionDb = powerRatioDb (out, in);
    }
} // namespace

TrackScore scoreTrack (const float* input,
                       const float* output,
                       const float* own,
                       const float* bleed,
                       int numSamples,
                       double sampleRate,
                       const std::vector<juce::int64>& ownHits)
{
    TrackScore score;
    scoreHits (score, input, output, numSamples, sampleRate, ownHits);
    scoreBleed (score, input, output, own, bleed, numSamples, sampleRate, ownHits);
    return score;
}
} // namespace hoopvane::tools
