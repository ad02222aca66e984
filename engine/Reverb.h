#pragma once

#include <cstdint>

namespace quarbell
{

// Sizes shared by the reverb units: the longest delay is 0.3 s at 192000 Hz,
// and a line holds that history plus one block.
struct ReverbLimits
{
    static constexpr int maxBlockSize = 8192;
    static constexpr int maxHistory = 57600;
    static constexpr int lineSize = maxHistory + maxBlockSize;
    static constexpr float maxDelaySeconds = 0.3f;
};

// Delay time in seconds, history length in samples and gain of one unit for
// the current block.
struct ReverbUnitTiming
{
    float delayTime = 0.0f;
    int32_t history = 0;
    float gain = 0.0f;
};

// Works out a unit's timing from its table constants, the room time, the
// attenuation and the sample rate.
ReverbUnitTiming reverbUnitTiming (
    int delayNumber, float gainConstant, float roomTime, float attenuation, int sampleRate) noexcept;

// Room time in seconds for a roomSize value (truncated to whole steps).
float reverbRoomTime (float roomSize) noexcept;

// A unit's delay line as a ring: the newest `kept` samples are those a block
// update of a linear line would have kept; older ones read as silence, as if
// they had been moved out of the line. Nothing is moved per block.
class ReverbLine
{
public:
    // Starts a block of numSamples with the given history. Returns the ring
    // index of entry 0, the input from `history` samples before the block.
    int32_t begin (int history, int numSamples) noexcept;

    // Writes the block's input at entries history ... history + numSamples - 1.
    void write (const float* block, int numSamples) noexcept;

    // Copies numSamples entries from ring index `from` on.
    void read (int32_t from, float* out, int numSamples) const noexcept;

    int32_t next() const noexcept { return writePos; }

private:
    float ring[ReverbLimits::lineSize] {};
    int32_t writePos = 0; // ring index of the next input sample
    int32_t kept = 0;     // newest samples that still count as history
};

// A feedback comb that works on whole blocks: the feedback uses the unit's
// output of the previous block, so the loop spans history + block size.
class ReverbComb
{
public:
    // Reads input, leaves this block's comb output in output().
    void process (const float* input, int numSamples, int history, float feedback) noexcept;

    const float* output () const noexcept { return out; }

private:
    ReverbLine line;
    float out[ReverbLimits::maxBlockSize] {};
    float input[ReverbLimits::maxBlockSize] {};
};

// A Schroeder all-pass on whole blocks, with the same block-wise feedback as
// the comb. Adds its output, scaled by wetScale, to the signal in place.
class ReverbAllPass
{
public:
    void process (float* x, int numSamples, int history, float gain, float wetScale) noexcept;

private:
    ReverbLine line;
    float delayed[ReverbLimits::maxBlockSize] {};
    float input[ReverbLimits::maxBlockSize] {};
};

// Four combs and three all-passes, each adding its own output to the running
// signal. The lines start silent and are never cleared, so the stage has no
// prepare or reset. About 2 MB: keep it inside a heap object.
class Reverb
{
public:
    static constexpr int numCombs = 4;
    static constexpr int numAllPasses = 3;
    static constexpr int maxBlockSize = ReverbLimits::maxBlockSize;

    // In place on one channel. Longer blocks than maxBlockSize are taken in
    // pieces of maxBlockSize.
    void process (
        float* x, int numSamples, int sampleRate, float roomSize, float reverbMix, float reverbAttenuation) noexcept;

    // Timing of the last block processed.
    const ReverbUnitTiming& combTiming (int index) const noexcept { return combTimings[index]; }
    const ReverbUnitTiming& allPassTiming (int index) const noexcept { return allPassTimings[index]; }

private:
    void processBlock (float* x, int numSamples, float wetScale) noexcept;

    ReverbComb combs[numCombs];
    ReverbAllPass allPasses[numAllPasses];
    ReverbUnitTiming combTimings[numCombs];
    ReverbUnitTiming allPassTimings[numAllPasses];
};

} // namespace quarbell
