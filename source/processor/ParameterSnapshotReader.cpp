#include "ParameterSnapshotReader.h"

#include "ParameterIds.h"

namespace hoopvane
{
namespace
{
    std::atomic<float>* lookUp (juce::AudioProcessorValueTreeState& state, const char* id)
    {
        auto* raw = state.getRawParameterValue (id);
        jassert (raw != nullptr);
        return raw;
    }

    float value (const std::atomic<float>* raw) noexcept { return raw->load (std::memory_order_relaxed); }
    int index (const std::atomic<float>* raw) noexcept { return (int) value (raw); }
    bool isOn (const std::atomic<float>* raw) noexcept { return value (raw) > 0.5f; }
} // namespace

ParameterSnapshotReader::ParameterSnapshotReader (juce::AudioProcessorValueTreeState& state)
    : sens (lookUp (state, paramId::sens)),
      range (lookUp (state, paramId::range)),
      sustain (lookUp (state, paramId::sustain)),
      attack (lookUp (state, paramId::attack)),
      boostFreq (lookUp (state, paramId::boostFreq)),
      cutFreq (lookUp (state, paramId::cutFreq)),
      resGain (lookUp (state, paramId::resGain)),
      resMode (lookUp (state, paramId::resMode)),
      mode (lookUp (state, paramId::mode)),
      context (lookUp (state, paramId::context)),
      ghostMode (lookUp (state, paramId::ghostMode)),
      bypass (lookUp (state, paramId::bypass)),
      listen (lookUp (state, paramId::listen)),
      calibrate (lookUp (state, paramId::calibrate)),
      scSource (lookUp (state, paramId::scSource)),
      link (lookUp (state, paramId::link)),
      stickType (lookUp (state, paramId::stickType)),
      beaterType (lookUp (state, paramId::beaterType)),
      wireType (lookUp (state, paramId::wireType)),
      lfTight (lookUp (state, paramId::lfTight)),
      snarePos (lookUp (state, paramId::snarePos)),
      sustainTest (lookUp (state, paramId::sustainTest)),
      hpfFreq (lookUp (state, paramId::outHpfFreq)),
      hpfSlope (lookUp (state, paramId::outHpfSlope)),
      lpfFreq (lookUp (state, paramId::outLpfFreq)),
      lpfSlope (lookUp (state, paramId::outLpfSlope))
{
}

ParameterSnapshot ParameterSnapshotReader::read() const noexcept
{
    ParameterSnapshot s;
    s.sens = value (sens);
    s.rangeDb = value (range);
    s.sustainMs = value (sustain);
    s.attack = value (attack);
    s.boostFreq = value (boostFreq);
    s.cutFreq = value (cutFreq);
    s.resGainDb = value (resGain);
    s.resMode = index (resMode);
    s.mode = index (mode);
    s.context = isOn (context);
    s.ghostMode = isOn (ghostMode);
    s.bypass = isOn (bypass);
    s.listen = index (listen);
    s.learn = isOn (calibrate);
    s.scSource = index (scSource);
    s.link = isOn (link);
    s.stickType = index (stickType);
    s.beaterType = index (beaterType);
    s.wireType = index (wireType);
    s.lfTightDb = value (lfTight);
    s.snarePos = index (snarePos);
    s.sustainTest = index (sustainTest);
    s.hpfFreq = value (hpfFreq);
    s.hpfSlope = index (hpfSlope);
    s.lpfFreq = value (lpfFreq);
    s.lpfSlope = index (lpfSlope);
    return s;
}
} // namespace hoopvane
