#pragma once

#include <algorithm>

namespace quarbell::test
{

// Fundamental in Hz from the rising zero crossings of samples [from, to),
// each crossing placed by linear interpolation; 0 with fewer than two.
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

} // namespace quarbell::test
