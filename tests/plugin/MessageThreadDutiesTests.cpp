#include "processor/HoopvaneAudioProcessor.h"
#include "processor/MessageThreadDuties.h"

#include <gtest/gtest.h>

namespace
{
float rawValue (HoopvaneAudioProcessor& p, const char* id)
{
    return p.getParameterState().getRawParameterValue (id)->load();
}
} // namespace

// The audio thread's requests become host-visible parameter changes, each exactly once.
TEST (MessageThreadDuties, TurnEngineRequestsIntoParameterChangesOnce)
{
    HoopvaneAudioProcessor processor;
    MessageThreadDuties duties (processor);
    auto& exports = processor.getEngine().getExports();
    processor.getParameterState().getParameter ("CALIBRATE")->setValueNotifyingHost (1.0f);

    duties.perform();
    EXPECT_EQ (rawValue (processor, "CALIBRATE"), 1.0f) << "nothing pending, nothing changes";
    EXPECT_EQ (rawValue (processor, "SNARE_POS"), 0.0f);

    exports.learnCompletedEvent = 1;
    exports.linkRequestEvent = 1;
    exports.isSnareBottomShared = 1;
    duties.perform();
    EXPECT_EQ (rawValue (processor, "CALIBRATE"), 0.0f);
    EXPECT_EQ (rawValue (processor, "LINK"), 1.0f);
    EXPECT_EQ (rawValue (processor, "SNARE_POS"), 1.0f);
    EXPECT_EQ (exports.learnCompletedEvent.load(), 0);
    EXPECT_EQ (exports.linkRequestEvent.load(), 0);
    EXPECT_EQ (exports.isSnareBottomShared.load(), -1);

    processor.getParameterState().getParameter ("LINK")->setValueNotifyingHost (0.0f);
    duties.perform();
    EXPECT_EQ (rawValue (processor, "LINK"), 0.0f) << "a request is acted on once";

    exports.isSnareBottomShared = 0;
    duties.perform();
    EXPECT_EQ (rawValue (processor, "SNARE_POS"), 0.0f);
}
