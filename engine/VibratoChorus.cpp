#include "VibratoChorus.h"

#include "tables/VibratoTables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quarbell
{

VibratoSetting vibratoSetting (float vcMode) noexcept
{
    // The comparison also rejects NaN; ties round away from zero, like lround.
    if (! (vcMode > -0.5f && vcMode < 5.5f))
        return {};

    const auto position = (int) std::lround (vcMode);
    return { vibratoDepthTable[position], vibratoMixTable[position] };
}

void VibratoChorus::Apply (Frame frame, float mix, float depth, double sampleRate) noexcept
{
    if (frame.samples == nullptr || ! (sampleRate > 0.0))
        return;

    // The history always holds the true previous input, so pieces of a long
    // block give the same result as the whole block.
    for (int done = 0; done < frame.numSamples; done += maxBlockSize)
        applyBlock (frame.samples + done, std::min (maxBlockSize, frame.numSamples - done), mix, depth, sampleRate);
}

void VibratoChorus::applyBlock (float* data, int numSamples, float mix, float depth, double sampleRate) noexcept
{
    const float limitedDepth = depth > 0.0f ? std::min (depthLimit, depth) : 0.0f;
    const double sweep = std::min ((double) limitedDepth * sampleRate, (double) maxSweepSamples);
    const int keep = (int) sweep + 1;

    // Bring the newest `keep` input samples to the front. Moving from the end
    // of what was written (not from index N) keeps the delays right when the
    // block size or the sweep changes between calls.
    const int from = end - keep;

    if (from >= 0)
    {
        std::memmove (buffer, buffer + from, sizeof (float) * (size_t) keep);
    }
    else
    {
        // The sweep grew by more than the last block: older input is gone, so
        // the missing front counts as silence.
        std::memmove (buffer - from, buffer, sizeof (float) * (size_t) end);
        std::fill (buffer, buffer - from, 0.0f);
    }

    std::memcpy (buffer + keep, data, sizeof (float) * (size_t) numSamples);
    end = keep + numSamples;

    const auto increment = (float) (rateHz / sampleRate);
    const float dryShare = 1.0f - mix;

    for (int j = 0; j < numSamples; ++j)
    {
        phase = phase + increment;

        // Wrapping keeps the float phase fine-grained however long it runs.
        if (phase >= 1.0f)
            phase -= std::floor (phase);

        const double e = (std::sin (twoPi * (double) phase) * 0.5 + 0.5) * sweep;
        const int f = (int) e;
        const double h0 = buffer[j + f];
        const double h1 = buffer[j + f + 1];
        const auto wet = (float) (h0 + (h1 - h0) * (e - f));
        data[j] = wet * mix + data[j] * dryShare;
    }
}

} // namespace quarbell
