#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace perftest
{

// FNV-1a over the bit patterns of the samples: any changed bit changes it.
struct SampleHash
{
    uint64_t value = 14695981039346656037ull;
    double absoluteSum = 0.0;
    size_t count = 0;

    void add (const float* samples, int numSamples)
    {
        for (int i = 0; i < numSamples; ++i)
        {
            uint32_t bits;
            std::memcpy (&bits, samples + i, sizeof bits);

            for (int b = 0; b < 4; ++b)
            {
                value ^= (bits >> (8 * b)) & 0xffu;
                value *= 1099511628211ull;
            }

            absoluteSum += std::abs ((double) samples[i]);
        }

        count += (size_t) numSamples;
    }
};

// Block sizes the golden runs cycle through: typical, odd, single samples,
// and longer than the stages take in one piece.
inline const std::vector<int>& blockPattern()
{
    static const std::vector<int> sizes { 512, 37, 1, 256, 1000, 128, 9000, 64, 2048, 3, 480 };
    return sizes;
}

// A deterministic test signal: partials, a little noise, a loud stretch that
// drives the curves to their ends and a silent tail that lets the filters decay.
inline std::vector<float> testSignal (int numSamples, int sampleRate, float level = 0.5f)
{
    std::vector<float> signal ((size_t) numSamples);
    uint32_t noise = 12345u;

    for (int i = 0; i < numSamples; ++i)
    {
        noise = noise * 1664525u + 1013904223u;
        const double t = (double) i / sampleRate;
        double v = 0.0;

        for (int h = 1; h <= 5; ++h)
            v += std::sin (2.0 * M_PI * 110.0 * h * (1.0 + 0.3 * t) * t) / h;

        v += ((double) (noise >> 8) / 16777216.0 - 0.5) * 0.2;
        const double loud = (i > numSamples / 3 && i < numSamples / 2) ? 8.0 : 1.0;
        const double tail = i > 3 * numSamples / 4 ? 0.0 : 1.0;
        signal[(size_t) i] = (float) (v * level * loud * tail);
    }

    return signal;
}

} // namespace perftest
