#pragma once

#include "Bands.h"

#include <cstdint>

namespace hoopvane
{
/** The learned description of one drum. The field order is also the order of its saved and
    shared binary form: never reorder. */
struct Fingerprint
{
    double band63 = 0.0, band125 = 0.0, band250 = 0.0, band500 = 0.0, band1k = 0.0;
    double band2k = 0.0, band3k5 = 0.0, band5k = 0.0, band7k = 0.0, band10k = 0.0;
    double centroidHz = 0.0;
    double hitLevel = 0.0;
    bool valid = false;
    double lowCentroidHz = 0.0;
    double zoomReference[4] {};
    std::int32_t dominantLowBand = -1;

    /** Fields 1-10 as an array, in band order. */
    BandValues bands() const noexcept
    {
        return { band63, band125, band250, band500, band1k, band2k, band3k5, band5k, band7k, band10k };
    }

    void setBands (const BandValues& b) noexcept
    {
        band63 = b[0], band125 = b[1], band250 = b[2], band500 = b[3], band1k = b[4];
        band2k = b[5], band3k5 = b[6], band5k = b[7], band7k = b[8], band10k = b[9];
    }
};

/** Centroid of the four lowest bands of a spectrum, weighted by their centre frequencies
    (63 … 500 Hz); 200 Hz when those bands hold nothing. */
double lowBandCentroidHz (const BandValues& spectrum) noexcept;

/** Recomputes the fields derived from the band fields: `lowCentroidHz` and `dominantLowBand`.
    When every low band is below 0.01 the dominant band cannot be told and keeps its value. */
void refreshLowBandFields (Fingerprint& fp) noexcept;

/** How well the current slow band energies match a fingerprint's band shape (0 … 1), with a
    pitch check on the low centroid. 0 for a quiet sound (level below 0.02), an empty spectrum
    or an invalid fingerprint. [audio thread] */
double fingerprintSimilarity (const Fingerprint& fp, const BandValues& slowEnergy, double lowCentroid, double level) noexcept;
} // namespace hoopvane
