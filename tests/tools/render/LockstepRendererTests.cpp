#include "LockstepRenderer.h"

#include <gtest/gtest.h>

namespace hoopvane::render::test
{
namespace
{
    constexpr int betweenBlocksMark = -1;

    struct Call
    {
        int track;
        std::int64_t position; // play head position, or samples rendered for the between-blocks hook
        int numSamples;

        bool operator== (const Call& other) const
        {
            return track == other.track && position == other.position && numSamples == other.numSamples;
        }
    };

    void PrintTo (const Call& call, std::ostream* stream)
    {
        *stream << "{track " << call.track << ", " << call.position << ", " << call.numSamples << "}";
    }

    /** Writes down every processBlock call with the play head position it saw. */
    class RecordingProcessor : public juce::AudioProcessor
    {
    public:
        RecordingProcessor (int trackIndex, std::vector<Call>& callLog)
            : AudioProcessor (BusesProperties()
                                  .withInput ("Input", juce::AudioChannelSet::mono(), true)
                                  .withOutput ("Output", juce::AudioChannelSet::mono(), true)),
              track (trackIndex),
              calls (callLog)
        {
        }

        void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&) override
        {
            std::int64_t position = -1;
            if (auto* head = getPlayHead())
                if (const auto info = head->getPosition())
                    if (const auto samples = info->getTimeInSamples())
                        position = info->getIsPlaying() ? *samples : -2;

            calls.push_back ({ track, position, buffer.getNumSamples() });
        }
        using AudioProcessor::processBlock;

        void prepareToPlay (double, int) override {}
        void releaseResources() override {}
        const juce::String getName() const override { return "Recording"; }
        double getTailLengthSeconds() const override { return 0.0; }
        bool acceptsMidi() const override { return false; }
        bool producesMidi() const override { return false; }
        juce::AudioProcessorEditor* createEditor() override { return nullptr; }
        bool hasEditor() const override { return false; }
        int getNumPrograms() override { return 1; }
        int getCurrentProgram() override { return 0; }
        void setCurrentProgram (int) override {}
        const juce::String getProgramName (int) override { return {}; }
        void changeProgramName (int, const juce::String&) override {}
        void getStateInformation (juce::MemoryBlock&) override {}
        void setStateInformation (const void*, int) override {}

    private:
        int track;
        std::vector<Call>& calls;
    };
} // namespace

// Block k of every track comes before any block k+1, all blocks have one size, the play head
// reports k * block, and the hook runs once between blocks. Tracks of different lengths all run
// until the longest is done.
TEST (RenderLockstep, ProcessesEveryTracksBlockBeforeTheNextBlock)
{
    constexpr int blockSize = 256;
    const std::vector<int> lengths { 1000, 700, 1300 };

    std::vector<Call> calls;
    std::vector<std::unique_ptr<RecordingProcessor>> processors;
    std::vector<juce::AudioBuffer<float>> inputs;
    std::vector<LockstepTrack> tracks;
    for (size_t i = 0; i < lengths.size(); ++i)
    {
        processors.push_back (std::make_unique<RecordingProcessor> ((int) i, calls));
        inputs.emplace_back (1, lengths[i]);
        inputs.back().clear();
    }
    for (size_t i = 0; i < lengths.size(); ++i)
        tracks.push_back ({ *processors[i], inputs[i] });

    const auto outputs = renderLockstep (tracks, blockSize, [&] (std::int64_t rendered, std::int64_t total)
                                         {
                                             EXPECT_EQ (total, 6 * blockSize);
                                             calls.push_back ({ betweenBlocksMark, rendered, 0 }); });

    std::vector<Call> expected;
    for (int block = 0; block < 6; ++block) // 1300 samples need six blocks
    {
        for (int track = 0; track < 3; ++track)
            expected.push_back ({ track, (std::int64_t) block * blockSize, blockSize });
        expected.push_back ({ betweenBlocksMark, (std::int64_t) (block + 1) * blockSize, 0 });
    }
    EXPECT_EQ (calls, expected);

    for (size_t i = 0; i < lengths.size(); ++i)
        EXPECT_EQ (outputs[i].getNumSamples(), lengths[i]);
    for (const auto& processor : processors)
        EXPECT_EQ (processor->getPlayHead(), nullptr) << "the render's play head is taken back";
}
} // namespace hoopvane::render::test
