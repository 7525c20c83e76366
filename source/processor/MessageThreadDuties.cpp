#include "MessageThreadDuties.h"

#include "HoopvaneAudioProcessor.h"
#include "ParameterIds.h"

MessageThreadDuties::MessageThreadDuties (HoopvaneAudioProcessor& p) noexcept
    : processor (p)
{
}

void MessageThreadDuties::perform()
{
    finishLearning();
    switchLinkOnWhenRequested();
    applySnarePositionDecision();
}

void MessageThreadDuties::finishLearning()
{
    // Eight hits are in: the LEARN button goes off by itself.
    if (hoopvane::EngineExports::consume (processor.getEngine().getExports().learnCompletedEvent))
        setParameter (hoopvane::paramId::calibrate, 0.0f);
}

void MessageThreadDuties::switchLinkOnWhenRequested()
{
    if (hoopvane::EngineExports::consume (processor.getEngine().getExports().linkRequestEvent))
        setParameter (hoopvane::paramId::link, 1.0f);
}

void MessageThreadDuties::applySnarePositionDecision()
{
    const int decision = processor.getEngine().getExports().isSnareBottomShared.exchange (-1);
    if (decision >= 0)
        setParameter (hoopvane::paramId::snarePos, decision != 0 ? 1.0f : 0.0f);
}

void MessageThreadDuties::setParameter (const char* id, float value)
{
    if (auto* parameter = processor.getParameterState().getParameter (id))
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}
