#include "BlockValues.h"
#include "Units.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    // "SENS" 0 … 1 spans a threshold of -60 … -14 dB.
    constexpr double thresholdSpanDb = 46.0;
    constexpr double thresholdFloorDb = -60.0;

} // namespace

BlockValues BlockValues::derive (const ParameterSnapshot& p, std::int64_t playheadSamples) noexcept
{
    BlockValues v;
    v.sens = p.sens;
    v.thresholdDb = v.sens * thresholdSpanDb + thresholdFloorDb;
    v.thresholdLin = dbToGain (v.thresholdDb);
    v.rangeDb = p.rangeDb;
    v.rangeLin = dbToGain (v.rangeDb);
    v.sustainMs = p.sustainMs;
    v.attack = p.attack;
    v.boostFreq = p.boostFreq;
    v.cutFreq = p.cutFreq;
    v.resGainDb = p.resGainDb;
    v.resDual = p.resMode != 0;
    v.resGain = v.resDual ? std::max (v.resGainDb, 0.0) : v.resGainDb;
    v.listen = std::clamp (p.listen, 0, 2);
    v.scSource = std::clamp (p.scSource, 0, 3);
    v.lfTightDb = p.lfTightDb;
    v.hpfFreq = p.hpfFreq;
    v.lpfFreq = p.lpfFreq;
    v.playheadSamples = playheadSamples;
    return v;
}
} // namespace hoopvane
