#pragma once

#include <tests/common/MeasureFrequency.h>

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

using quarbell::test::measureFrequency;
} // namespace robustness
