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

// A feedback comb that works on whole blocks: the feedback uses the unit's
// output of the previous block, so the loop spans history + block size.
class ReverbComb
{
public:
    // Reads input, leaves this block's comb output in output().
    void process (const float* input, int numSamples, int history, float feedback) noexcept;

    const float* output () const noexcept { return out; }

private:
    float line[ReverbLimits::lineSize] {};
    int32_t lineEnd = 0; // one past the newest sample in line
    float out[ReverbLimits::maxBlockSize] {};
};

// A Schroeder all-pass on whole blocks, with the same block-wise feedback as
// the comb. Adds its output, scaled by wetScale, to the signal in place.
class ReverbAllPass
{
public:
    void process (float* x, int numSamples, int history, float gain, float wetScale) noexcept;

private:
    float line[ReverbLimits::lineSize] {};
    int32_t lineEnd = 0; // one past the newest sample in line
    float delayed[ReverbLimits::maxBlockSize] {};
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
