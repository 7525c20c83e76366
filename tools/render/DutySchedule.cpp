#include "DutySchedule.h"

namespace hoopvane::render
{
DutySchedule::DutySchedule (const std::vector<HoopvaneAudioProcessor*>& processors, double sampleRate)
    : periodSamples (sampleRate * MessageThreadDuties::periodMs / 1000.0),
      nextDueSample (periodSamples)
{
    for (auto* processor : processors)
        duties.push_back (std::make_unique<MessageThreadDuties> (*processor));
}

void DutySchedule::afterBlock (std::int64_t renderedSamples)
{
    if ((double) renderedSamples < nextDueSample)
        return;

    // Blocks longer than the period get one run, as a timer that fell behind fires once.
    while (nextDueSample <= (double) renderedSamples)
        nextDueSample += periodSamples;

    for (auto& duty : duties)
        duty->perform();
}
} // namespace hoopvane::render
