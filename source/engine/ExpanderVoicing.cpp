#include "ExpanderVoicing.h"

#include <algorithm>

namespace hoopvane
{
namespace
{
    enum Voice
    {
        kickVoice,
        snareTopVoice,
        snareBottomVoice,
        tomVoice,
        numVoices
    };

    Voice voiceOf (DrumMode mode, bool snareBottom) noexcept
    {
        switch (mode)
        {
            case DrumMode::kick:
                return kickVoice;
            case DrumMode::snare:
                return snareBottom ? snareBottomVoice : snareTopVoice;
            case DrumMode::tom:
                break;
        }
        return tomVoice;
    }

    constexpr DetectionBand defaultBands[numVoices] { { 110.0, 2000.0 }, { 240.0, 3000.0 }, { 350.0, 5000.0 }, { 180.0, 2000.0 } };

    /** A learned tom centres its band on its strongest low band: 250, 63 or else 125 Hz. */
    double dominantTomBandHz (const Fingerprint& fp) noexcept
    {
        if (fp.band250 > fp.band125 && fp.band250 > std::max (fp.band63, 0.0))
            return 250.0;
        if (fp.band63 > 0.0 && fp.band63 >= fp.band125)
            return 63.0;
        return 125.0;
    }
} // namespace

DetectionBand detectionBandFor (DrumMode mode, bool snareBottom, const Fingerprint* learnedFingerprint) noexcept
{
    const auto voice = voiceOf (mode, snareBottom);
    if (voice != tomVoice || learnedFingerprint == nullptr)
        return defaultBands[voice];

    // Just above the fundamental, so the low shelf keeps the tom's body; the top stays wide
    // enough for the stick.
    const double lowHz = std::clamp (1.35 * dominantTomBandHz (*learnedFingerprint), 126.0, 270.0);
    return { lowHz, std::max (5.0 * lowHz, 2000.0) };
}

const ExpanderVoicing& ExpanderVoicing::forDrum (DrumMode mode, bool snareBottom) noexcept
{
    // clang-format off
    static constexpr ExpanderVoicing voicings[numVoices] = {
        //  R1     R2     F3     S3     LF abs  LF rel  hd0   hd1  check  reject  r3   r1 s0/s1    r2 s0/s1
        {   180.0, 65.0,  30.0,  50.0,  0.03,   0.12,   4.0,  2.0, 12.0,  25.0,   8.0, 5.0, 2.5,  5.5, 4.5 }, // kick
        {   130.0, 80.0,  60.0,  200.0, 0.018,  0.12,   6.0,  2.5, 15.0,  30.0,   6.0, 5.0, 2.5,  5.0, 3.5 }, // snare top
        {   70.0,  100.0, 150.0, 400.0, 0.01,   0.05,   12.0, 4.0, 10.0,  30.0,   4.5, 5.5, 3.0,  4.5, 3.0 }, // snare bottom
        {   150.0, 90.0,  55.0,  200.0, 0.02,   0.15,   5.0,  2.0, 15.0,  30.0,   6.5, 5.0, 2.5,  5.0, 3.5 }, // tom
    };
    // clang-format on
    return voicings[voiceOf (mode, snareBottom)];
}
} // namespace hoopvane
