#pragma once

#include "Frame.h"

#include <cstdint>

namespace quarbell
{

struct VibratoSetting
{
    float depth = 0.0f; // sweep depth in seconds
    float mix = 0.0f;   // share of the swept signal
};

// Depth and mix for a vcMode value: rounded to the nearest position, anything
// outside 0..5 gives a silent sweep and a dry mix.
VibratoSetting vibratoSetting (float vcMode) noexcept;

// Scanner vibrato/chorus of one manual: a short delay line whose read position
// is swept by a 6.86 Hz sine, optionally mixed with the dry signal. Never reset:
// phase and history carry over for the life of the object.
class VibratoChorus
{
public:
    static constexpr int maxBlockSize = 8192;
    // 0.1 s at 192 kHz; a longer sweep is clamped to this many samples.
    static constexpr int maxSweepSamples = 19200;
    static constexpr int historySize = maxSweepSamples + 1;
    static constexpr int bufferSize = historySize + maxBlockSize;

    static constexpr double rateHz = 6.86;
    static constexpr double twoPi = 6.28318530718;
    static constexpr float depthLimit = 0.1f;

    // Processes the frame in place; blocks longer than maxBlockSize run in pieces.
    void Apply (Frame frame, float mix, float depth, double sampleRate) noexcept;

    // Oscillator position in cycles, always within [0, 1).
    float phase = 0.0f;

    // History of L + 1 samples followed by the current block.
    float buffer[bufferSize] {};

private:
    void applyBlock (float* data, int numSamples, float mix, float depth, double sampleRate) noexcept;

    // One past the newest input sample in buffer. The zeroed buffer stands for
    // silence before the first block.
    int32_t end = historySize;
};

} // namespace quarbell
