#pragma once

#include "BlockMeters.h"
#include "BlockValues.h"
#include "BypassFade.h"
#include "DrumMode.h"
#include "EngineExports.h"
#include "LookAheadDelay.h"
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

    //==============================================================================
    EngineExports& getExports() noexcept { return exports; }
    const EngineExports& getExports() const noexcept { return exports; }

    int getLatency() const noexcept { return lookAhead.getLatency(); }
    double getSampleRate() const noexcept { return sampleRate; }
    int getBlockPhase() const noexcept { return blockPhase; }
    std::int64_t getSampleClock() const noexcept { return sampleClock; }
    const ModeTable& getModeTable() const noexcept { return *modeTable; }

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
    void processSample (Frame input, bool stereo, float& outLeft, float& outRight) noexcept;
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

    // Learning flags owned by the learning stage; the driver only needs to see them change.
    bool fingerprintComplete = false;
    bool learned = false;

    // Driver stages
    LookAheadDelay lookAhead;
    BypassFade bypassFade;
    DcBlocker dcBlocker;
    BlockMeters meters;
    double finalGateGain = 1.0;

    EngineExports exports;
};
} // namespace hoopvane
