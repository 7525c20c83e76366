#pragma once

class HoopvaneAudioProcessor;

/** What the message thread does for one instance every 16 ms: it takes over the requests the
    audio thread left in the engine's exports and turns them into host-visible parameter
    changes. The editor's timer calls it while a window is open; offline hosts such as the
    render tool call it every 16 ms of rendered audio. The instance link's periodic work
    (automatic naming, pair list, link analysis) joins here. */
class MessageThreadDuties
{
public:
    static constexpr int periodMs = 16;

    explicit MessageThreadDuties (HoopvaneAudioProcessor& processor) noexcept;

    /** [message thread] */
    void perform();

private:
    void finishLearning();
    void switchLinkOnWhenRequested();
    void applySnarePositionDecision();
    void setParameter (const char* id, float value);

    HoopvaneAudioProcessor& processor;
};
