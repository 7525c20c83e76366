#include "SessionRender.h"

#include "DutySchedule.h"
#include "LockstepRenderer.h"
#include "processor/ParameterIds.h"

namespace hoopvane::render
{
namespace
{
    using Processors = std::vector<HoopvaneAudioProcessor*>;
    using Inputs = std::vector<const juce::AudioBuffer<float>*>;

    void prepareAll (const Processors& processors, const SessionSettings& settings)
    {
        for (auto* processor : processors)
        {
            processor->setNonRealtime (true);
            processor->setRateAndBufferSizeDetails (settings.sampleRate, settings.blockSize);
            processor->prepareToPlay (settings.sampleRate, settings.blockSize);
        }
    }

    juce::RangedAudioParameter& calibrateParameter (HoopvaneAudioProcessor& processor)
    {
        return *processor.getParameterState().getParameter (paramId::calibrate);
    }

    std::vector<juce::AudioBuffer<float>> runPass (const Processors& processors,
                                                   const Inputs& inputs,
                                                   const SessionSettings& settings,
                                                   RenderPhase phase,
                                                   const ProgressReport& progress)
    {
        std::vector<LockstepTrack> tracks;
        for (size_t i = 0; i < processors.size(); ++i)
            tracks.push_back ({ *processors[i], *inputs[i] });

        DutySchedule duties (processors, settings.sampleRate);
        return renderLockstep (tracks, settings.blockSize, [&] (std::int64_t rendered, std::int64_t total)
                               {
                                   duties.afterBlock (rendered);
                                   if (progress)
                                       progress (phase, (double) rendered / (double) total); });
    }

    void learnFromSession (const Processors& processors, const Inputs& inputs, const SessionSettings& settings, const ProgressReport& progress)
    {
        for (auto* processor : processors)
            calibrateParameter (*processor).setValueNotifyingHost (1.0f);

        runPass (processors, inputs, settings, RenderPhase::learning, progress);

        // LEARN still lit means the track had fewer than eight hits. The engineer switches it off
        // before the final pass; the engine sums up what it caught at the next block.
        for (auto* processor : processors)
            if (calibrateParameter (*processor).getValue() >= 0.5f)
                calibrateParameter (*processor).setValueNotifyingHost (0.0f);

        for (auto* processor : processors)
            processor->releaseResources();
        prepareAll (processors, settings);
    }
} // namespace

std::vector<juce::AudioBuffer<float>> renderSession (const Processors& processors,
                                                     const Inputs& inputs,
                                                     const SessionSettings& settings,
                                                     const ProgressReport& progress)
{
    jassert (processors.size() == inputs.size());
    prepareAll (processors, settings);

    if (settings.learnFirst)
        learnFromSession (processors, inputs, settings, progress);

    auto outputs = runPass (processors, inputs, settings, RenderPhase::rendering, progress);

    for (auto* processor : processors)
        processor->releaseResources();
    return outputs;
}
} // namespace hoopvane::render
