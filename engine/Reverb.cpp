#include "Reverb.h"

#include <algorithm>
#include <cstring>

namespace quarbell
{

namespace
{
struct UnitConstants
{
    int delayNumber;
    float gain;
};

// Delay numbers are scaled by roomTime / 1618, gains by attenuation / 0.828.
constexpr UnitConstants combConstants[Reverb::numCombs] { { 1116, 0.805f }, { 1356, 0.827f }, { 1422, 0.783f },
    { 1617, 0.764f } };
constexpr UnitConstants allPassConstants[Reverb::numAllPasses] { { 225, 0.7f }, { 341, 0.7f }, { 441, 0.7f } };

constexpr double roomTimePerStep = 0.00294;
constexpr float wetScalePerUnit = 0.25f * 0.5f;

// Moves the newest `history` samples to the front and returns where the
// block of numSamples goes, behind them. The newest samples are taken from
// where the last block really ended, so blocks of changing size keep a
// seamless history; history that was never kept reads as silence.
inline float* keepHistory (float* line, int32_t& lineEnd, int history, int numSamples) noexcept
{
    if (lineEnd >= history)
    {
        std::memmove (line, line + (lineEnd - history), sizeof (float) * (size_t) history);
    }
    else
    {
        std::memmove (line + (history - lineEnd), line, sizeof (float) * (size_t) lineEnd);
        std::fill (line, line + (history - lineEnd), 0.0f);
    }

    lineEnd = history + numSamples;
    return line + history;
}
} // namespace

float reverbRoomTime (float roomSize) noexcept
{
    const int steps = std::max (0, (int) roomSize);
    return (float) std::min ((double) ReverbLimits::maxDelaySeconds, (double) steps * roomTimePerStep);
}

ReverbUnitTiming reverbUnitTiming (
    int delayNumber, float gainConstant, float roomTime, float attenuation, int sampleRate) noexcept
{
    ReverbUnitTiming timing;
    timing.delayTime = std::min (ReverbLimits::maxDelaySeconds, (float) delayNumber * roomTime / 1618.0f);
    timing.gain = (float) ((double) (gainConstant * attenuation) / 0.828);

    // Rates above 192000 Hz would outgrow the lines: the history is capped there.
    const int history = (int) (timing.delayTime * (float) sampleRate) - 1;
    timing.history = std::clamp (history, 0, ReverbLimits::maxHistory);
    return timing;
}

void ReverbComb::process (const float* input, int numSamples, int history, float feedback) noexcept
{
    float* newest = keepHistory (line, lineEnd, history, numSamples);

    for (int i = 0; i < numSamples; ++i)
        newest[i] = input[i] + feedback * out[i];

    std::memcpy (out, line, sizeof (float) * (size_t) numSamples);
}

void ReverbAllPass::process (float* x, int numSamples, int history, float gain, float wetScale) noexcept
{
    float* newest = keepHistory (line, lineEnd, history, numSamples);

    for (int i = 0; i < numSamples; ++i)
        newest[i] = x[i] - gain * delayed[i];

    // With a history shorter than the block, entry i may already be this
    // block's input, so every input is written before any is read back.
    for (int i = 0; i < numSamples; ++i)
    {
        delayed[i] = line[i];
        const float y = delayed[i] + gain * newest[i];
        x[i] += y * wetScale;
    }
}

void Reverb::process (
    float* x, int numSamples, int sampleRate, float roomSize, float reverbMix, float reverbAttenuation) noexcept
{
    const float roomTime = reverbRoomTime (roomSize);

    for (int c = 0; c < numCombs; ++c)
        combTimings[c] = reverbUnitTiming (
            combConstants[c].delayNumber, combConstants[c].gain, roomTime, reverbAttenuation, sampleRate);

    for (int a = 0; a < numAllPasses; ++a)
        allPassTimings[a] = reverbUnitTiming (
            allPassConstants[a].delayNumber, allPassConstants[a].gain, roomTime, reverbAttenuation, sampleRate);

    const float wetScale = wetScalePerUnit * reverbMix;

    for (int done = 0; done < numSamples; done += maxBlockSize)
        processBlock (x + done, std::min (maxBlockSize, numSamples - done), wetScale);
}

void Reverb::processBlock (float* x, int numSamples, float wetScale) noexcept
{
    // Every comb hears the dry signal; their outputs are added afterwards.
    for (int c = 0; c < numCombs; ++c)
        combs[c].process (x, numSamples, combTimings[c].history, combTimings[c].gain);

    for (int c = 0; c < numCombs; ++c)
    {
        const float* out = combs[c].output ();

        for (int i = 0; i < numSamples; ++i)
            x[i] += out[i] * wetScale;
    }

    for (int a = 0; a < numAllPasses; ++a)
        allPasses[a].process (x, numSamples, allPassTimings[a].history, allPassTimings[a].gain, wetScale);
}

} // namespace quarbell
