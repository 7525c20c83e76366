#pragma once

#include "DrumMode.h"
#include "Fingerprint.h"

#include <cmath>

namespace hoopvane
{
/** The frequency range the expander's bands are built around; the bell sits at its geometric
    centre. */
struct DetectionBand
{
    double lowHz = 180.0, highHz = 2000.0;

    double centreHz() const noexcept { return std::sqrt (lowHz * highHz); }
    bool operator== (const DetectionBand&) const = default;
};

/** The detection band of a drum. A learned tom moves its band to the low band its fingerprint
    is strongest in; kick and snare keep theirs. learnedFingerprint is null until learned. */
DetectionBand detectionBandFor (DrumMode mode, bool snareBottom, const Fingerprint* learnedFingerprint) noexcept;

/** The expander's constants for one drum and microphone position. */
struct ExpanderVoicing
{
    double r1BaseMs; ///< F1 release and the base of S1's release
    double r2BaseMs; ///< F2 release and the base of S2's release
    double f3ReleaseMs;
    double s3ReleaseMs;
    double lfRiseAbsolute, lfRiseRelative; ///< low-band rise that confirms a hit
    double hd0, hd1; ///< HF/LF brightness thresholds: too bright, bright
    double checkMs;
    double rejectMs;
    double ratioHigh;
    double ratioLowAtSustainMin, ratioLowAtSustainMax;
    double ratioMidAtSustainMin, ratioMidAtSustainMax;

    /** snareBottom only counts in snare mode. */
    static const ExpanderVoicing& forDrum (DrumMode mode, bool snareBottom) noexcept;
};
} // namespace hoopvane
