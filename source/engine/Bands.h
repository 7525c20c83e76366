#pragma once

#include <array>

namespace hoopvane
{
/** The ten analysis bands, in the order every stage uses: 63 Hz … 10 kHz. */
constexpr int numBands = 10;
constexpr std::array<double, numBands> bandCentresHz { 63.0, 125.0, 250.0, 500.0, 1000.0, 2000.0, 3500.0, 5000.0, 7000.0, 10000.0 };

/** One value per analysis band (mean-square energies, amplitudes or weights). */
using BandValues = std::array<double, numBands>;

namespace band
{
    constexpr int hz63 = 0, hz125 = 1, hz250 = 2, hz500 = 3, hz1k = 4, hz2k = 5, hz3k5 = 6, hz5k = 7, hz7k = 8, hz10k = 9;
}
} // namespace hoopvane
