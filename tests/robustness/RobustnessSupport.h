#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <string>

namespace robustness
{
// Loudest magnitude over both channels, or infinity if any sample is not finite.
inline float peakOrInfinity (const juce::AudioBuffer<float>& buffer)
{
    float peak = 0.0f;

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            const float x = buffer.getSample (ch, i);
            if (! std::isfinite (x))
                return INFINITY;
            peak = std::max (peak, std::abs (x));
        }

    return peak;
}

// Far above anything the chain can produce from a sane signal, far below a blow-up.
constexpr float sanePeak = 100.0f;

// Fundamental from rising zero crossings, each placed by linear interpolation.
inline double measureFrequency (const float* x, int from, int to, double sampleRate)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;

    for (int i = std::max (from, 1); i < to; ++i)
    {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f)
        {
            const double t = (i - 1) + (double) x[i - 1] / ((double) x[i - 1] - (double) x[i]);
            if (crossings++ == 0)
                first = t;
            last = t;
        }
    }

    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / (last - first);
}
} // namespace robustness
