#include "Sos.h"

#include <cmath>

namespace quarbell
{

namespace
{
// Clears state values too small to matter (the size at which (v + 1) - 1
// would vanish), so no denormal builds up in the recursion. Larger values
// keep full float precision: rounding the state to a fixed grid next to 1
// leaves a dead band in which the narrow low-frequency poles hold a
// constant offset for ever (about 2e-3 at the output of the 30 Hz low cut)
// instead of decaying.
inline float flushTinyState (float v) noexcept
{
    return std::abs (v) <= 0x1p-25f ? 0.0f : v;
}
} // namespace

void Sos::bind (const SosSet& set) noexcept
{
    coefficients = set.coefficients;
    gains = set.gains;
    sectionCount = set.sectionCount;

    for (int i = 0; i < maxSections; ++i)
        z1[i] = z2[i] = 0.0f;
}

void Sos::SosApply (Frame frame) noexcept
{
    float* data = frame.samples;
    const int n = frame.numSamples;

    for (int section = 0; section < sectionCount; ++section)
    {
        const float* c = coefficients + 6 * section;
        const float b0 = c[0], b1 = c[1], b2 = c[2], a1 = c[4], a2 = c[5];
        float s1 = z1[section], s2 = z2[section];

        for (int j = 0; j < n; ++j)
        {
            const float x = data[j];
            float y = b0 * x + s1;

            if (std::abs ((double) y) < 1e-10)
                y = 0.0f;

            const float next1 = (b1 * x + s2) - a1 * y;
            const float next2 = b2 * x - a2 * y;
            s1 = flushTinyState (next1);
            s2 = flushTinyState (next2);
            data[j] = y;
        }

        z1[section] = s1;
        z2[section] = s2;
    }

    if (gains == nullptr)
        return;

    const float g = gains[sectionCount];

    if (g != 1.0f)
        for (int j = 0; j < n; ++j)
            data[j] *= g;
}

} // namespace quarbell
