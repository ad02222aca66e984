#include <engine/PreampDrive.h>
#include <engine/tables/DriveCurves.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using quarbell::TransferCurve;

namespace
{
struct Point
{
    double x, y;
};

const std::vector<Point> eccPoints {
    { -4, 1.08767 },   { -3, 1.08766 },   { -2.5, 1.08759 }, { -2.25, 1.08730 }, { -2, 1.08599 },
    { -1.75, 1.08020 }, { -1.5, 1.05801 }, { -1.25, 0.99577 }, { -1, 0.87733 },   { -0.75, 0.70740 },
    { -0.5, 0.49718 },  { -0.25, 0.25614 }, { 0, 0.00000 },    { 0.25, -0.22701 }, { 0.5, -0.38538 },
    { 0.75, -0.48927 }, { 1, -0.56124 },    { 1.25, -0.61392 }, { 1.5, -0.65398 }, { 1.75, -0.68520 },
    { 2, -0.71001 },    { 2.5, -0.74643 },  { 3, -0.77147 },    { 3.5, -0.78955 }, { 4, -0.80316 },
    { 5, -0.82229 },    { 6, -0.83517 },    { 8, -0.85162 },    { 10, -0.86189 },  { 15, -0.87663 },
    { 20, -0.88485 },   { 30, -0.89425 },   { 40, -0.89975 },   { 50, -0.90350 },
};

const std::vector<Point> elPoints {
    { -39, 5.26430 }, { -30, 5.25688 },  { -20, 5.19056 },  { -15, 5.04503 },  { -10, 4.61856 }, { -8, 4.27195 },
    { -6, 3.74243 },  { -5, 3.38182 },   { -4, 2.93845 },   { -3, 2.39542 },   { -2, 1.73447 },  { -1.5, 1.35429 },
    { -1.2, 1.10924 }, { -1, 0.93868 },  { -0.8, 0.76231 }, { -0.6, 0.58017 }, { -0.4, 0.39231 }, { -0.2, 0.19886 },
    { 0, 0.00000 },   { 0.2, -0.20397 }, { 0.4, -0.41268 }, { 0.6, -0.62560 }, { 0.8, -0.84209 }, { 1, -1.06132 },
    { 1.2, -1.28231 }, { 1.5, -1.61443 }, { 2, -2.15745 },  { 3, -3.11270 },   { 4, -3.79046 },  { 5, -4.22166 },
    { 6, -4.49949 },  { 8, -4.82506 },   { 10, -5.00527 },  { 15, -5.21048 },  { 20, -5.28023 }, { 30, -5.31436 },
    { 40, -5.31982 }, { 62, -5.32172 },
};

struct CurveCase
{
    const char* name;
    TransferCurve curve;
    const std::vector<Point>& points;
    float offset;
    int size;
    double slopeAtZero;
    double nearZeroTolerance; // against plain PCHIP over -1.2 .. 1.2
    double zeroPieceHalfWidth; // spacing of the listed points around 0
};

std::vector<CurveCase> curveCases()
{
    // The slope imposed at 0 moves ecc_vo by up to h |slope - pchip slope| 4/27
    // = 0.25 x 0.0443 x 0.148 = 0.0016 from plain PCHIP near 0.
    return { { "ecc_vo", quarbell::eccVoCurve(), eccPoints, 4.0f, 54001, -1.0071, 0.00165, 0.25 },
             { "el_vo", quarbell::elVoCurve(), elPoints, 39.0f, 101001, -1.0074, 0.0001, 0.2 } };
}

int indexOf (const CurveCase& c, double x) { return (int) std::lround ((x + c.offset) * 1000.0); }

// Plain shape-preserving cubic Hermite interpolation (Fritsch-Carlson
// derivatives, three-point ends), as a reference curve.
class Pchip
{
public:
    explicit Pchip (const std::vector<Point>& p) : points (p), d (p.size())
    {
        const size_t n = p.size();
        std::vector<double> h (n - 1), s (n - 1);

        for (size_t i = 0; i + 1 < n; ++i)
        {
            h[i] = p[i + 1].x - p[i].x;
            s[i] = (p[i + 1].y - p[i].y) / h[i];
        }

        for (size_t i = 1; i + 1 < n; ++i)
        {
            const double w1 = 2 * h[i] + h[i - 1], w2 = h[i] + 2 * h[i - 1];
            d[i] = s[i - 1] * s[i] <= 0 ? 0.0 : (w1 + w2) / (w1 / s[i - 1] + w2 / s[i]);
        }

        const auto end = [] (double h0, double h1, double s0, double s1)
        {
            const double v = ((2 * h0 + h1) * s0 - h0 * s1) / (h0 + h1);

            if (v * s0 <= 0)
                return 0.0;

            return s0 * s1 < 0 && std::abs (v) > 3 * std::abs (s0) ? 3 * s0 : v;
        };

        d[0] = end (h[0], h[1], s[0], s[1]);
        d[n - 1] = end (h[n - 2], h[n - 3], s[n - 2], s[n - 3]);
    }

    double operator() (double x) const
    {
        size_t i = 0;

        while (i + 2 < points.size() && x > points[i + 1].x)
            ++i;

        const double h = points[i + 1].x - points[i].x, t = (x - points[i].x) / h;
        return (2 * t * t * t - 3 * t * t + 1) * points[i].y + (t * t * t - 2 * t * t + t) * h * d[i]
               + (-2 * t * t * t + 3 * t * t) * points[i + 1].y + (t * t * t - t * t) * h * d[i + 1];
    }

private:
    std::vector<Point> points;
    std::vector<double> d;
};
} // namespace

TEST (DriveCurves, PassThroughEveryListedPoint)
{
    for (const auto& c : curveCases())
    {
        EXPECT_EQ (c.curve.offset, c.offset);
        EXPECT_EQ (c.curve.size, c.size);
        EXPECT_EQ (indexOf (c, c.points.back().x), c.size - 1) << c.name;

        for (const auto& p : c.points)
            EXPECT_EQ (c.curve.table[indexOf (c, p.x)], (float) p.y) << c.name << " at " << p.x;
    }
}

TEST (DriveCurves, SlopeAtZeroIsTheStatedOne)
{
    for (const auto& c : curveCases())
    {
        const float* t = c.curve.table;
        const int zero = indexOf (c, 0.0);
        EXPECT_EQ (t[zero], 0.0f);
        EXPECT_NEAR ((t[zero + 1] - t[zero - 1]) / 0.002, c.slopeAtZero, 2e-4) << c.name;
        EXPECT_NEAR ((t[zero + 1] - t[zero]) / 0.001, c.slopeAtZero, 1e-3) << c.name;
        EXPECT_NEAR ((t[zero] - t[zero - 1]) / 0.001, c.slopeAtZero, 1e-3) << c.name;
    }
}

TEST (DriveCurves, NeverRiseAnywhere)
{
    for (const auto& c : curveCases())
        for (int k = 1; k < c.size; ++k)
            ASSERT_LE (c.curve.table[k], c.curve.table[k - 1]) << c.name << " at index " << k;
}

TEST (DriveCurves, SaturationLevels)
{
    const auto ecc = quarbell::eccVoCurve();
    const auto el = quarbell::elVoCurve();

    EXPECT_EQ (ecc.table[0], 1.08767f);
    EXPECT_EQ (ecc.table[ecc.size - 1], -0.90350f);
    EXPECT_EQ (el.table[0], 5.26430f);
    EXPECT_EQ (el.table[el.size - 1], -5.32172f);

    // Hard saturation of the preamp tube below about -2.
    for (int k = 0; k <= 2000; ++k)
    {
        ASSERT_LE (ecc.table[k], 1.08767f);
        ASSERT_GE (ecc.table[k], 1.08599f);
    }
}

TEST (DriveCurves, CloseToPlainPchip)
{
    for (const auto& c : curveCases())
    {
        const Pchip reference (c.points);
        double nearZero = 0.0, elsewhere = 0.0, awayFromZeroPieces = 0.0;

        for (int k = 0; k < c.size; ++k)
        {
            const double x = k * 0.001 - c.offset;
            const double diff = std::abs (c.curve.table[k] - reference (x));

            if (x >= -1.2 && x <= 1.2)
                nearZero = std::max (nearZero, diff);
            else
                elsewhere = std::max (elsewhere, diff);

            // Only the two pieces that meet at 0 carry the imposed slope.
            if (std::abs (x) >= c.zeroPieceHalfWidth)
                awayFromZeroPieces = std::max (awayFromZeroPieces, diff);
        }

        EXPECT_LE (nearZero, c.nearZeroTolerance) << c.name;
        EXPECT_LE (elsewhere, 0.012) << c.name;
        EXPECT_LE (awayFromZeroPieces, 1e-6) << c.name;
    }
}

TEST (CurveLookup, InterpolatesAndClampsAtBothEnds)
{
    // Entries at inputs -0.001, 0, 0.001, 0.002.
    const float table[] { 0.0f, 10.0f, 20.0f, 40.0f };
    const TransferCurve curve { table, 0.001f, 4 };
    const float inf = std::numeric_limits<float>::infinity();

    struct Case
    {
        float x, expected;
    };

    const Case cases[] {
        { -0.001f, 0.0f },     // first entry
        { -0.0005f, 0.0f },    // between the first two: k = 0 takes T[0] without interpolating
        { 0.0f, 10.0f },       //
        { 0.0005f, 15.0f },    //
        { 0.0015f, 30.0f },    //
        { 0.002f, 40.0f },     // last entry
        { 0.0025f, 40.0f },    // beyond the end
        { -5.0f, 0.0f },       // before the start
        { 1.0e30f, 40.0f },    //
        { -1.0e30f, 0.0f },    //
        { inf, 40.0f },        //
        { -inf, 0.0f },        //
    };

    for (const auto& c : cases)
        EXPECT_NEAR (quarbell::curveLookup (curve, c.x), c.expected, 1e-3) << c.x;

    EXPECT_EQ (quarbell::curveLookup (curve, std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST (CurveLookup, RealCurvesAtTheirEndsAndAtZero)
{
    for (const auto& c : curveCases())
    {
        const float* t = c.curve.table;
        EXPECT_EQ (quarbell::curveLookup (c.curve, -c.offset), t[0]) << c.name;
        EXPECT_EQ (quarbell::curveLookup (c.curve, -c.offset - 100.0f), t[0]) << c.name;
        EXPECT_EQ (quarbell::curveLookup (c.curve, 1000.0f), t[c.size - 1]) << c.name;
        EXPECT_EQ (quarbell::curveLookup (c.curve, 0.0f), 0.0f) << c.name;
        EXPECT_EQ (quarbell::curveLookup (c.curve, (float) c.points[5].x), (float) c.points[5].y) << c.name;
    }
}
