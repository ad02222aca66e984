#include "DriveCurves.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace quarbell
{

namespace
{
    struct CurvePoint
    {
        double x, y;
    };

    // Preamp triode: hard saturation for negative inputs, slow flattening for positive ones.
    constexpr CurvePoint eccPoints[] {
        { -4.0, 1.08767 },   { -3.0, 1.08766 },   { -2.5, 1.08759 },   { -2.25, 1.08730 },  { -2.0, 1.08599 },
        { -1.75, 1.08020 },  { -1.5, 1.05801 },   { -1.25, 0.99577 },  { -1.0, 0.87733 },   { -0.75, 0.70740 },
        { -0.5, 0.49718 },   { -0.25, 0.25614 },  { 0.0, 0.0 },        { 0.25, -0.22701 },  { 0.5, -0.38538 },
        { 0.75, -0.48927 },  { 1.0, -0.56124 },   { 1.25, -0.61392 },  { 1.5, -0.65398 },   { 1.75, -0.68520 },
        { 2.0, -0.71001 },   { 2.5, -0.74643 },   { 3.0, -0.77147 },   { 3.5, -0.78955 },   { 4.0, -0.80316 },
        { 5.0, -0.82229 },   { 6.0, -0.83517 },   { 8.0, -0.85162 },   { 10.0, -0.86189 },  { 15.0, -0.87663 },
        { 20.0, -0.88485 },  { 30.0, -0.89425 },  { 40.0, -0.89975 },  { 50.0, -0.90350 },
    };
    constexpr double eccSlopeAtZero = -1.0071;

    // Output pentode: nearly linear over the range the drive feeds it.
    constexpr CurvePoint elPoints[] {
        { -39.0, 5.26430 }, { -30.0, 5.25688 }, { -20.0, 5.19056 }, { -15.0, 5.04503 }, { -10.0, 4.61856 },
        { -8.0, 4.27195 },  { -6.0, 3.74243 },  { -5.0, 3.38182 },  { -4.0, 2.93845 },  { -3.0, 2.39542 },
        { -2.0, 1.73447 },  { -1.5, 1.35429 },  { -1.2, 1.10924 },  { -1.0, 0.93868 },  { -0.8, 0.76231 },
        { -0.6, 0.58017 },  { -0.4, 0.39231 },  { -0.2, 0.19886 },  { 0.0, 0.0 },       { 0.2, -0.20397 },
        { 0.4, -0.41268 },  { 0.6, -0.62560 },  { 0.8, -0.84209 },  { 1.0, -1.06132 },  { 1.2, -1.28231 },
        { 1.5, -1.61443 },  { 2.0, -2.15745 },  { 3.0, -3.11270 },  { 4.0, -3.79046 },  { 5.0, -4.22166 },
        { 6.0, -4.49949 },  { 8.0, -4.82506 },  { 10.0, -5.00527 }, { 15.0, -5.21048 }, { 20.0, -5.28023 },
        { 30.0, -5.31436 }, { 40.0, -5.31982 }, { 62.0, -5.32172 },
    };
    constexpr double elSlopeAtZero = -1.0074;

    constexpr int maxPoints = 40;

    int sign (double v) { return (v > 0.0) - (v < 0.0); }

    // One-sided three-point end derivative, kept shape-preserving.
    double endDerivative (double h0, double h1, double s0, double s1)
    {
        const double d = ((2.0 * h0 + h1) * s0 - h0 * s1) / (h0 + h1);

        if (sign (d) != sign (s0))
            return 0.0;

        if (sign (s0) != sign (s1) && std::abs (d) > 3.0 * std::abs (s0))
            return 3.0 * s0;

        return d;
    }

    // Monotone piecewise cubic Hermite curve through the points, sampled at
    // every table step. The derivatives are the shape-preserving (PCHIP) ones,
    // except at input 0 where the measured small-signal slope is imposed; the
    // Hyman limit then keeps every piece monotone.
    template <size_t size>
    struct CurveTable
    {
        float values[size];

        template <size_t count>
        CurveTable (const CurvePoint (&p)[count], double slopeAtZero, double offset)
        {
            static_assert (count >= 3 && count <= maxPoints);
            constexpr int n = (int) count;
            constexpr int tableSize = (int) size;
            double h[maxPoints], s[maxPoints], d[maxPoints];

            for (int i = 0; i + 1 < n; ++i)
            {
                h[i] = p[i + 1].x - p[i].x;
                s[i] = (p[i + 1].y - p[i].y) / h[i];
            }

            for (int i = 1; i + 1 < n; ++i)
            {
                if (s[i - 1] * s[i] <= 0.0)
                {
                    d[i] = 0.0;
                    continue;
                }

                const double w1 = 2.0 * h[i] + h[i - 1];
                const double w2 = h[i] + 2.0 * h[i - 1];
                d[i] = (w1 + w2) / (w1 / s[i - 1] + w2 / s[i]);
            }

            d[0] = endDerivative (h[0], h[1], s[0], s[1]);
            d[n - 1] = endDerivative (h[n - 2], h[n - 3], s[n - 2], s[n - 3]);

            for (int i = 0; i < n; ++i)
                if (p[i].x == 0.0)
                    d[i] = slopeAtZero;

            for (int i = 0; i < n; ++i)
            {
                const double left = i > 0 ? std::abs (s[i - 1]) : std::abs (s[i]);
                const double right = i + 1 < n ? std::abs (s[i]) : std::abs (s[i - 1]);
                const double limit = 3.0 * std::min (left, right);
                d[i] = std::clamp (d[i], -limit, limit);
            }

            const auto index = [offset] (double x) { return (int) std::lround ((x + offset) * 1000.0); };

            for (int i = 0; i + 1 < n; ++i)
            {
                const int first = index (p[i].x), last = index (p[i + 1].x);

                for (int k = first; k < last; ++k)
                {
                    const double t = (double) (k - first) / (double) (last - first);
                    const double t2 = t * t, t3 = t2 * t;
                    values[k] = (float) ((2.0 * t3 - 3.0 * t2 + 1.0) * p[i].y + (t3 - 2.0 * t2 + t) * h[i] * d[i]
                                         + (-2.0 * t3 + 3.0 * t2) * p[i + 1].y + (t3 - t2) * h[i] * d[i + 1]);
                }
            }

            values[tableSize - 1] = (float) p[n - 1].y;

            // Rounding must never make the falling curve rise.
            for (int k = 1; k < tableSize; ++k)
                values[k] = std::min (values[k], values[k - 1]);
        }
    };
} // namespace

const float* ecc_vo()
{
    static const CurveTable<ecc_vo_size> table (eccPoints, eccSlopeAtZero, ecc_vo_offset);
    return table.values;
}

const float* el_vo()
{
    static const CurveTable<el_vo_size> table (elPoints, elSlopeAtZero, el_vo_offset);
    return table.values;
}

} // namespace quarbell
