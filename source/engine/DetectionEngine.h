#pragma once

#include "AttackEnhancer.h"
#include "BleedDiscriminator.h"
#include "BlockMeters.h"
#include "BlockValues.h"
#include "BodyRingEqualiser.h"
#include "BypassFade.h"
#include "DrumMode.h"
#include "EngineExports.h"
#include "Expander.h"
#include "HitDetector.h"
#include "Learning.h"
#include "LfTightener.h"
#include "LookAheadDelay.h"
#include "OutputFilter.h"
#include "OutputSafety.h"
#include "ParameterSnapshot.h"

#include <cstdint>

namespace hoopvane
{
/** The per-instance audio engine: one look-ahead delay, the detector front end that listens to
    the undelayed input, and the gate and tone chain that acts on the delayed input.

    Real-time contract:
    - prepare() and reset() run on the host's preparation thread, never during process().
    - process() and processDryDelay() run on the audio thread. They allocate nothing, print
      nothing and never wait on a lock; everything they touch was sized by prepare().
    - The message thread only reads getExports() (atomics) and consumes its events.
*/
class DetectionEngine
{
public:
    DetectionEngine();

    //==============================================================================
    /** The drum mode read from "MODE" before prepare(); a later difference in the snapshot is
        a mode change. [message thread] */
    void setPreparedMode (DrumMode mode) noexcept { preparedMode = mode; }
    DrumMode getPreparedMode() const noexcept { return preparedMode; }

    /** Sizes the engine for a sample rate and resets it. The scheduler phase starts at
        idHash & 7 so that instances spread their shared work over different blocks.
        Returns the look-ahead latency in samples. [message thread] */
    int prepare (double sampleRate, int maximumBlockSize, std::int32_t idHash);

    /** Clears all processing state; learned data and the parameter snapshot survive. */
    void reset() noexcept;

    //==============================================================================
    /** The parameter values for the next process() call. [audio thread] */
    void setParameters (const ParameterSnapshot& snapshot) noexcept { parameters = snapshot; }

    /** Processes the first one or two main channels in place; further channels are untouched.
        [audio thread] */
    void process (float* const* mainChannels,
                  int numMainChannels,
                  const float* const* sideChainChannels,
                  int numSideChainChannels,
                  int numSamples,
                  std::int64_t playheadSamples) noexcept;

    /** Bypassed output: the dry input delayed by the look-ahead, so a bypassed track stays
        aligned with the latency the host compensates. Nothing else runs. [audio thread] */
    void processDryDelay (float* const* mainChannels, int numMainChannels, int numSamples) noexcept;

    /** True once "BYPASS" has faded the processed signal out completely. */
    bool isFullyBypassed() const noexcept { return bypassFade.isFullyBypassed(); }

    /** Returns the engine to the unlearned state at the start of the next block, so the
        request never races a running block. [message thread] */
    void requestLearningReset() noexcept { learning.requestReset(); }

    //==============================================================================
    EngineExports& getExports() noexcept { return exports; }
    const EngineExports& getExports() const noexcept { return exports; }

    int getLatency() const noexcept { return lookAhead.getLatency(); }
    double getSampleRate() const noexcept { return sampleRate; }
    int getBlockPhase() const noexcept { return blockPhase; }
    std::int64_t getSampleClock() const noexcept { return sampleClock; }
    const ModeTable& getModeTable() const noexcept { return *modeTable; }

    // The stages, for inspection by tests, tools and the state code (read between blocks only).
    const Learning& getLearning() const noexcept { return learning; }
    const HitDetector& getDetector() const noexcept { return detector; }
    const BleedDiscriminator& getDiscriminator() const noexcept { return discriminator; }
    const Expander& getExpander() const noexcept { return expander; }
    const LfTightener& getLfTightener() const noexcept { return lfTightener; }
    /** Gf after the drum rules: the gate value that drives the tone stage. */
    double getGateValue() const noexcept { return gateValue; }

    /** The sustain the expander uses in the current block: "SUSTAIN", or the new mode's default
        in the block in which the mode changed. */
    double getBlockSustainMs() const noexcept { return blockSustainMs; }

private:
    struct Frame
    {
        double left = 0.0, right = 0.0;
    };

    void beginBlock (std::int64_t playheadSamples) noexcept;
    void applyModeChange (DrumMode newMode) noexcept;
    void discardLearning() noexcept;
    void runLearningStateMachine() noexcept;
    void configureExpander() noexcept;
    void processSample (Frame input, bool stereo, float& outLeft, float& outRight) noexcept;
    double matchAndScore (const DetectorReadings& readings) noexcept;
    Frame expand (Frame input, LookAheadDelay::Pair dry, double match, const DetectorReadings& readings) noexcept;
    void applyDrumRules (double match, double env) noexcept;
    void beginToneBlock() noexcept;
    Frame shapeTone (Frame frame, LookAheadDelay::Pair dry, double match, double env) noexcept;
    Frame guardBeforeOutputFilters (Frame frame) noexcept;
    void endBlock() noexcept;

    static Frame readInput (float* const* channels, int numChannels, int index) noexcept;
    static void writeOutput (float* const* channels, int numChannels, int index, float left, float right) noexcept;

    //==============================================================================
    // Preparation constants
    double sampleRate = 44100.0;
    /** The rate of the previous preparation; 0 until the first, so a restored fingerprint is
        never discarded by the first preparation. */
    double rememberedSampleRate = 0.0;
    int maximumBlockSize = 0;
    DrumMode preparedMode = DrumMode::tom;
    const ModeTable* modeTable = &ModeTable::forMode (DrumMode::tom);

    // Block state
    ParameterSnapshot parameters;
    BlockValues block;
    double blockSustainMs = 150.0;
    int blockPhase = 0;
    bool phaseZeroWork = false;
    bool lastLearned = false;
    std::int64_t sampleClock = 0;

    /** "LINK", or on for the rest of a block in which learning asked for the link. */
    bool linkActive = false;

    // Detection stages
    HitDetector detector;
    Learning learning;
    BleedDiscriminator discriminator;
    Expander expander;
    double gateValue = 1.0;

    // Tone and output stages
    LfTightener lfTightener;
    BodyRingEqualiser bodyRing;
    OutputFilter highPass { OutputFilter::Direction::highPass };
    OutputFilter lowPass { OutputFilter::Direction::lowPass };
    AttackEnhancer attackEnhancer;

    // Driver stages
    LookAheadDelay lookAhead;
    BypassFade bypassFade;
    DcBlocker dcBlocker;
    BlockMeters meters;
    double finalGateGain = 1.0;

    EngineExports exports;
};
} // namespace hoopvane
