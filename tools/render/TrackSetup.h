#pragma once

#include "CommandLine.h"
#include "ParameterText.h"
#include "processor/HoopvaneAudioProcessor.h"

#include <memory>
#include <vector>

namespace hoopvane::render
{
/** A Hoopvane instance set up for one track as an engineer inserts it: the shared parameter
    settings, then the track's MODE (and SNARE_POS when given), and the bus layout that matches
    the file, mono or stereo. Throws ToolError (failure) when the layout is refused. */
std::unique_ptr<HoopvaneAudioProcessor> createTrackProcessor (const TrackRequest& request,
                                                              const std::vector<ParameterSetting>& sharedSettings,
                                                              int numChannels);
} // namespace hoopvane::render
