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

} // namespace

int32_t ReverbLine::begin (int history, int numSamples) noexcept
{
    int32_t start = writePos - history;

    if (start < 0)
        start += ReverbLimits::lineSize;

    // History that a linear line would not have kept reads as silence.
    if (kept < history)
    {
        int32_t at = start;

        for (int n = history - kept; n > 0;)
        {
            const int run = std::min (n, ReverbLimits::lineSize - at);
            std::fill (ring + at, ring + at + run, 0.0f);
            n -= run;
            at = at + run == ReverbLimits::lineSize ? 0 : at + run;
        }
    }

    kept = history + numSamples;
    return start;
}

void ReverbLine::write (const float* block, int numSamples) noexcept
{
    for (int done = 0; done < numSamples;)
    {
        const int run = std::min (numSamples - done, ReverbLimits::lineSize - writePos);
        std::memcpy (ring + writePos, block + done, sizeof (float) * (size_t) run);
        done += run;
        writePos = writePos + run == ReverbLimits::lineSize ? 0 : writePos + run;
    }
}

void ReverbLine::read (int32_t from, float* out, int numSamples) const noexcept
{
    for (int done = 0; done < numSamples;)
    {
        const int run = std::min (numSamples - done, ReverbLimits::lineSize - from);
        std::memcpy (out + done, ring + from, sizeof (float) * (size_t) run);
        done += run;
        from = from + run == ReverbLimits::lineSize ? 0 : from + run;
    }
}

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

void ReverbComb::process (const float* x, int numSamples, int history, float feedback) noexcept
{
    const int32_t first = line.begin (history, numSamples);

    for (int i = 0; i < numSamples; ++i)
        input[i] = x[i] + feedback * out[i];

    // With a history shorter than the block, the output already reaches into
    // this block's input, so the input goes in first.
    line.write (input, numSamples);
    line.read (first, out, numSamples);
}

void ReverbAllPass::process (float* x, int numSamples, int history, float gain, float wetScale) noexcept
{
    const int32_t first = line.begin (history, numSamples);

    for (int i = 0; i < numSamples; ++i)
        input[i] = x[i] - gain * delayed[i];

    // With a history shorter than the block, entry i may already be this
    // block's input, so every input is written before any is read back.
    line.write (input, numSamples);
    line.read (first, delayed, numSamples);

    for (int i = 0; i < numSamples; ++i)
    {
        const float y = delayed[i] + gain * input[i];
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
