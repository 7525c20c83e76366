#include "DutySchedule.h"
#include "processor/HoopvaneAudioProcessor.h"

#include <gtest/gtest.h>

namespace hoopvane::render::test
{
// The message thread's duties run once 16 ms of audio (768 samples at 48 kHz) have been
// rendered, not at every block: LEARN switches off at the first block end past each period.
TEST (RenderDutySchedule, RunsTheDutiesEvery16MsOfRenderedAudio)
{
    HoopvaneAudioProcessor first, second;
    DutySchedule schedule ({ &first, &second }, 48000.0);

    const auto learnIsOn = [] (HoopvaneAudioProcessor& p)
    { return p.getParameterState().getRawParameterValue ("CALIBRATE")->load() > 0.5f; };
    const auto finishLearning = [] (HoopvaneAudioProcessor& p)
    {
        p.getParameterState().getParameter ("CALIBRATE")->setValueNotifyingHost (1.0f);
        p.getEngine().getExports().learnCompletedEvent = 1;
    };

    finishLearning (first);
    finishLearning (second);
    schedule.afterBlock (512);
    EXPECT_TRUE (learnIsOn (first));
    schedule.afterBlock (1024);
    EXPECT_FALSE (learnIsOn (first));
    EXPECT_FALSE (learnIsOn (second)) << "every instance has its duties run";

    finishLearning (first);
    schedule.afterBlock (1536 - 1);
    EXPECT_TRUE (learnIsOn (first));
    schedule.afterBlock (1536);
    EXPECT_FALSE (learnIsOn (first));
}
} // namespace hoopvane::render::test
