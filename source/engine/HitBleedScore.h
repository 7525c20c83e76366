#pragma once

#include "DetectorReadings.h"
#include "LearnedStatistics.h"

namespace hoopvane
{
/** How much a closed hit window looks like bleed rather than the learned drum, and how far its
    attack can be trusted. */
struct HitAssessment
{
    double bleedScore = 0.0; ///< 0 … 0.95
    double confidence = 1.0; ///< 0.1 … 1
};

/** Judges one hit window against the learned statistics. kickCoincidenceMs is the time since a
    kick-group hit was last reported, or negative when there was none (only snare instances
    pass a value). Runs once per hit, not per sample. [audio thread] */
HitAssessment assessHit (const HitWindowFeatures& features,
                         const LearnedStatistics& learned,
                         double kickCoincidenceMs) noexcept;
} // namespace hoopvane
