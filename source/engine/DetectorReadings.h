#pragma once

#include "Bands.h"

namespace hoopvane
{
/** Raw features of one hit, formed when its 15 ms analysis window closes. The ratios against
    the learned statistics are formed by the bleed discriminator. */
struct HitWindowFeatures
{
    double windowHfRatio = 0.0; ///< mean hfRatio over the window
    double windowCrest = 0.0; ///< peak / rms of the detector signal over the window
    double onsetLevel = 0.0; ///< env at the onset
    double riseSlope = 0.0; ///< dB per ms, the latest measured rise slope
    double bandRatio = 0.0; ///< 280 Hz / 3000 Hz energy, 10 when the 3000 Hz energy is ~0
    bool hasHighBandEnergy = false; ///< the 3000 Hz energy was above 1e-20
    double decayRate = 0.0; ///< the latest measured decay rate
};

/** What the detector front end publishes every sample for learning, discrimination, the
    expander and the link stages. Events are true for exactly the sample they happen in. */
struct DetectorReadings
{
    double detectorSignal = 0.0; ///< x: the band-limited mono detector signal
    double env = 0.0; ///< AR envelope of |x|
    double envPrev = 0.0; ///< env of the previous sample
    BandValues slowEnergy {}; ///< e_k, slow mean-square band trackers
    BandValues fastEnergy {}; ///< f_k, fast mean-square band trackers
    double lowCentroid = 200.0; ///< Hz, centroid of the four lowest slow energies
    double hfRatio = 0.0; ///< smoothed HF / full energy ratio
    double crest = 0.0; ///< peak / rms over the last 256-sample block
    double attackSlope = 0.0; ///< dB per ms of the last steep crossing of 0.12

    bool onset = false; ///< an onset was detected at this sample
    bool windowClosed = false; ///< a hit window closed at this sample; `features` is fresh
    HitWindowFeatures features;

    // Measurements that learning collects (each flag is set in the sample it was measured).
    bool riseSlopeMeasured = false;
    double riseSlope = 0.0;
    bool decayRateMeasured = false;
    double decayRate = 0.0;
    bool hitLengthMeasured = false;
    double hitLengthSamples = 0.0;
};

/** What the detector needs to know from the rest of the engine, per sample. */
struct DetectorControl
{
    bool onsetsEnabled = false; ///< learning is running or the instance has learned
    bool capturingForLearning = false; ///< learning with fewer than eight hits captured
    bool remoteHitRecent = false; ///< another instance reported a hit within 32 ms
};
} // namespace hoopvane
