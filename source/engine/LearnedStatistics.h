#pragma once

namespace hoopvane
{
/** Reference statistics of the learned hits, against which later hits are judged. The values
    here are the defaults before any learning and after a reset of the learning. */
struct LearnedStatistics
{
    double hfRatio = 0.3;
    double crest = 2.5;
    double onsetLevel = 0.1;
    double riseSlope = 50.0;
    double bandRatio = 0.5;
    double quietRatio = 0.5;
    double decayRate = 0.5;
    /** Entries of the level histogram; the quiet-ratio rule needs at least four. */
    int histogramEntries = 0;
    /** Roll counter of quiet, fast repeated hits (0 … 3). */
    int rollCounter = 0;
    /** Captured hits (learnHitCount). */
    int capturedHits = 0;
};
} // namespace hoopvane
