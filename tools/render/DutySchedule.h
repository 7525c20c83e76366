#pragma once

#include "processor/MessageThreadDuties.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace hoopvane::render
{
/** The message thread of an offline render: runs every instance's MessageThreadDuties between
    blocks once per MessageThreadDuties::periodMs of rendered audio, as the editor's timer
    would while the session plays in real time. */
class DutySchedule
{
public:
    DutySchedule (const std::vector<HoopvaneAudioProcessor*>& processors, double sampleRate);

    /** Call between blocks with the samples rendered so far in this pass. */
    void afterBlock (std::int64_t renderedSamples);

private:
    std::vector<std::unique_ptr<MessageThreadDuties>> duties;
    double periodSamples;
    double nextDueSample;
};
} // namespace hoopvane::render
