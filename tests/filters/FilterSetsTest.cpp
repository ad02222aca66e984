#include <engine/tables/FilterSets.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <vector>

using namespace quarbell;

namespace
{

constexpr double pi = 3.14159265358979323846;

// Magnitude in dB of a stored set, evaluated in double from its float
// coefficients, gain vector included.
double magnitudeDb (const SosSet& set, double hz, int rate)
{
    const double w = 2.0 * pi * hz / rate;
    const std::complex<double> z1 = std::polar (1.0, -w), z2 = std::polar (1.0, -2.0 * w);
    std::complex<double> h = 1.0;

    for (int s = 0; s < set.sectionCount; ++s)
    {
        const float* c = set.coefficients + 6 * s;
        h *= ((double) c[0] + (double) c[1] * z1 + (double) c[2] * z2)
            / ((double) c[3] + (double) c[4] * z1 + (double) c[5] * z2);
        h *= (double) set.gains[s];
    }

    return 20.0 * std::log10 (std::abs (h) * std::abs ((double) set.gains[set.sectionCount]));
}

// Largest root magnitude of z^2 + a1 z + a2 over all sections.
double largestPoleRadius (const SosSet& set)
{
    double largest = 0.0;
    for (int s = 0; s < set.sectionCount; ++s)
    {
        const std::complex<double> a1 = set.coefficients[6 * s + 4], a2 = set.coefficients[6 * s + 5];
        const auto root = std::sqrt (a1 * a1 - 4.0 * a2);
        largest = std::max ({ largest, std::abs ((-a1 + root) / 2.0), std::abs ((-a1 - root) / 2.0) });
    }
    return largest;
}

struct FamilyInfo
{
    FilterFamily family;
    const char* name;
    int sections;
};

const FamilyInfo families[] {
    { FilterFamily::preamp, "preamp", 25 },
    { FilterFamily::lowCut, "lowCut", 1 },
    { FilterFamily::horn, "horn", 30 },
    { FilterFamily::hornHighPass, "hornHighPass", 2 },
    { FilterFamily::bass, "bass", 25 },
};

constexpr int numBands = 31;
constexpr double bandHz[numBands] { 20, 25, 31.5, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800,
    1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000 };
constexpr double preampDb[numBands] { -0.7, -0.7, -0.7, -0.7, -0.6, -0.6, -0.6, -0.5, -0.5, -0.5, -0.6, -0.8, -1.1,
    -1.6, -1.9, -2.3, -2.7, -3.0, -3.2, -3.4, -3.6, -3.9, -4.4, -5.2, -6.2, -7.6, -9.2, -11.4, -13.5, -17.3, -21.0 };
constexpr double bassDb[numBands] { -2.6, -2.6, -2.5, -2.3, -2.2, -1.9, -1.6, -1.3, -0.9, -0.5, -0.2, 0.0, 0.1, 0.0,
    -0.1, -0.8, -2.7, -5.2, -8.4, -16.7, -21.6, -25.0, -30.3, -31.3, -33.1, -35.3, -37.0, -39.7, -42.0, -45.3, -48.1 };
constexpr double hornDb[numBands] { -34.8, -34.8, -34.7, -34.5, -34.3, -33.9, -33.4, -32.7, -31.7, -30.3, -28.6, -26.5,
    -24.0, -20.9, -17.6, -13.7, -9.6, -8.6, -4.0, -6.0, -1.1, -0.6, -3.1, -4.6, -7.4, -14.4, -20.5, -13.5, -22.4, -24.7,
    -27.3 };

// Frequency (Hz) where the response first falls through level dB, searching upwards from lo.
double crossing (const SosSet& set, int rate, double level, double lo, double hi)
{
    double previous = magnitudeDb (set, lo, rate);
    for (double hz = lo; hz <= hi; hz *= 1.0005)
    {
        const double db = magnitudeDb (set, hz, rate);
        if ((previous - level) * (db - level) <= 0.0)
            return hz;
        previous = db;
    }
    return 0.0;
}

} // namespace

// ----------------------------------------------------------------------------
// Structure shared by every set

TEST (FilterSets, LayoutOfEverySet)
{
    for (const auto& f : families)
        for (int rate : filterRates)
        {
            const SosSet set = filterSet (f.family, rate);
            SCOPED_TRACE (std::string (f.name) + " @ " + std::to_string (rate));
            ASSERT_EQ (set.sectionCount, f.sections);
            ASSERT_NE (set.coefficients, nullptr);
            ASSERT_NE (set.gains, nullptr);

            for (int s = 0; s < set.sectionCount; ++s)
            {
                EXPECT_EQ (set.coefficients[6 * s + 3], 1.0f) << "a0 of section " << s;
                EXPECT_EQ (set.gains[s], 1.0f) << "gain of section " << s;
                for (int c = 0; c < 6; ++c)
                    EXPECT_TRUE (std::isfinite (set.coefficients[6 * s + c]));
            }

            const float overall = set.gains[set.sectionCount];
            EXPECT_TRUE (std::isfinite (overall) && overall > 0.0f);
        }
}

TEST (FilterSets, EverySetIsStableWithMargin)
{
    for (const auto& f : families)
        for (int rate : filterRates)
        {
            const SosSet set = filterSet (f.family, rate);
            SCOPED_TRACE (std::string (f.name) + " @ " + std::to_string (rate));

            for (int s = 0; s < set.sectionCount; ++s)
            {
                const double a1 = set.coefficients[6 * s + 4], a2 = set.coefficients[6 * s + 5];
                // Stability triangle of z^2 + a1 z + a2.
                EXPECT_LT (std::abs (a2), 1.0) << s;
                EXPECT_LT (std::abs (a1), 1.0 + a2) << s;
            }
            EXPECT_LE (largestPoleRadius (set), 0.99995);
        }
}

TEST (FilterSets, RatesWithoutTablesUseTheNearestRatesSets)
{
    const std::pair<int, int> nearest[] { { 44099, 44100 }, { 44101, 44100 }, { 32000, 44100 }, { 22050, 44100 },
                                          { 46051, 48000 }, { 96001, 96000 }, { 384000, 192000 }, { 0, 44100 },
                                          { -1, 44100 } };
    for (const auto& f : families)
    {
        for (auto [rate, expectedRate] : nearest)
        {
            const SosSet reference = filterSet (f.family, expectedRate);
            const SosSet set = filterSet (f.family, rate);
            EXPECT_EQ (set.coefficients, reference.coefficients) << f.name << " @ " << rate;
            EXPECT_EQ (set.gains, reference.gains) << f.name << " @ " << rate;
        }

        // And every supported rate has a set of its own.
        for (int i = 0; i < numFilterRates; ++i)
            for (int j = i + 1; j < numFilterRates; ++j)
                EXPECT_NE (filterSet (f.family, filterRates[i]).coefficients,
                    filterSet (f.family, filterRates[j]).coefficients)
                    << f.name << " " << filterRates[i] << " " << filterRates[j];
    }
}

// ----------------------------------------------------------------------------
// Closed-form high-passes

TEST (FilterSets, LowCutCoefficientsAt48000)
{
    const SosSet set = filterSet (FilterFamily::lowCut, 48000);
    const float* c = set.coefficients;
    EXPECT_EQ (c[0], 1.0f);
    EXPECT_EQ (c[1], -2.0f);
    EXPECT_EQ (c[2], 1.0f);
    EXPECT_NEAR (c[4], -1.9944464, 2e-7);
    EXPECT_NEAR (c[5], 0.99446178, 1e-7);
    EXPECT_NEAR (set.gains[1], 0.99722707, 1e-7);
}

TEST (FilterSets, HornHighPassCoefficientsAt48000)
{
    const SosSet set = filterSet (FilterFamily::hornHighPass, 48000);
    const float* c = set.coefficients;
    for (int s = 0; s < 2; ++s)
    {
        EXPECT_EQ (c[6 * s + 0], 1.0f);
        EXPECT_EQ (c[6 * s + 1], -2.0f);
        EXPECT_EQ (c[6 * s + 2], 1.0f);
    }
    EXPECT_NEAR (c[4], -1.9285085, 2e-7);
    EXPECT_NEAR (c[5], 0.92999643, 1e-7);
    EXPECT_NEAR (c[10], -1.9688776, 2e-7);
    EXPECT_NEAR (c[11], 0.97039658, 1e-7);
    EXPECT_NEAR (set.gains[2], 0.94998181, 1e-7);
}

TEST (FilterSets, HighPassResponsesAtEveryRate)
{
    struct Case
    {
        FilterFamily family;
        double hz, db, tolerance;
    };
    const Case cases[] {
        { FilterFamily::lowCut, 30.0, -3.01, 0.03 },
        { FilterFamily::lowCut, 10.0, -19.1, 0.5 }, // float a1, a2 sit close to z = 1 at 192 kHz
        { FilterFamily::lowCut, 1000.0, 0.0, 0.01 },
        { FilterFamily::hornHighPass, 300.0, -3.01, 0.03 },
        { FilterFamily::hornHighPass, 200.0, -14.3, 0.1 },
        { FilterFamily::hornHighPass, 100.0, -38.2, 0.1 },
        { FilterFamily::hornHighPass, 400.0, -0.4, 0.1 },
        { FilterFamily::hornHighPass, 5000.0, 0.0, 0.01 },
    };

    for (int rate : filterRates)
        for (const auto& c : cases)
            EXPECT_NEAR (magnitudeDb (filterSet (c.family, rate), c.hz, rate), c.db, c.tolerance)
                << (int) c.family << " " << c.hz << " Hz @ " << rate;
}

TEST (FilterSets, HighPassesBlockDc)
{
    for (auto family : { FilterFamily::lowCut, FilterFamily::hornHighPass })
        for (int rate : filterRates)
            EXPECT_LT (magnitudeDb (filterSet (family, rate), 0.01, rate), -100.0) << (int) family << " @ " << rate;
}

// ----------------------------------------------------------------------------
// Fitted families against the third-octave targets

struct FittedCase
{
    FilterFamily family;
    const char* name;
    const double* targetDb;
    double tolerance;
};

const FittedCase fitted[] {
    { FilterFamily::preamp, "preamp", preampDb, 1.0 },
    { FilterFamily::bass, "bass", bassDb, 1.0 },
    { FilterFamily::horn, "horn", hornDb, 1.5 },
};

TEST (FittedFilterSets, ThirdOctaveTargetsAt48000)
{
    for (const auto& f : fitted)
    {
        const SosSet set = filterSet (f.family, 48000);
        for (int b = 0; b < numBands; ++b)
            EXPECT_NEAR (magnitudeDb (set, bandHz[b], 48000), f.targetDb[b], f.tolerance)
                << f.name << " at " << bandHz[b] << " Hz";
    }
}

// Every rate is fitted to the same curve, so the 48000 Hz tolerance holds at
// each of them (tighter than the agreement between rates checked below).
TEST (FittedFilterSets, ThirdOctaveTargetsAtEveryRate)
{
    for (const auto& f : fitted)
        for (int rate : filterRates)
        {
            const SosSet set = filterSet (f.family, rate);
            for (int b = 0; b < numBands; ++b)
                EXPECT_NEAR (magnitudeDb (set, bandHz[b], rate), f.targetDb[b], f.tolerance)
                    << f.name << " @ " << rate << " at " << bandHz[b] << " Hz";
        }
}

TEST (FittedFilterSets, OtherRatesAgreeWith48000)
{
    struct Band
    {
        FilterFamily family;
        double lo, hi, tolerance;
    };
    const Band bands[] {
        { FilterFamily::preamp, 500, 20000, 0.3 },
        { FilterFamily::bass, 630, 2500, 1.5 },
        { FilterFamily::horn, 2000, 4000, 1.0 },
        { FilterFamily::horn, 4000, 6300, 1.7 },
        { FilterFamily::horn, 6300, 20000, 1.0 },
        { FilterFamily::horn, 800, 1600, 2.6 },
    };

    for (const auto& b : bands)
    {
        const SosSet reference = filterSet (b.family, 48000);
        for (int rate : filterRates)
        {
            const SosSet set = filterSet (b.family, rate);
            for (int i = 0; i < numBands; ++i)
            {
                if (bandHz[i] < b.lo || bandHz[i] > b.hi)
                    continue;
                EXPECT_NEAR (magnitudeDb (set, bandHz[i], rate), magnitudeDb (reference, bandHz[i], 48000), b.tolerance)
                    << (int) b.family << " @ " << rate << " at " << bandHz[i] << " Hz";
            }
        }
    }
}

TEST (FittedFilterSets, DescribedRangesAtEveryRate)
{
    for (int rate : filterRates)
    {
        const SosSet preamp = filterSet (FilterFamily::preamp, rate);
        const SosSet bass = filterSet (FilterFamily::bass, rate);
        const SosSet horn = filterSet (FilterFamily::horn, rate);

        for (double hz = 20.0; hz <= 300.0; hz *= 1.02)
        {
            const double p = magnitudeDb (preamp, hz, rate);
            EXPECT_TRUE (p <= -0.2 && p >= -1.7) << "preamp @ " << rate << " " << hz << " Hz: " << p;
        }
        for (double hz = 20.0; hz <= 400.0; hz *= 1.02)
        {
            const double h = magnitudeDb (horn, hz, rate);
            EXPECT_TRUE (h <= -20.0 && h >= -42.0) << "horn @ " << rate << " " << hz << " Hz: " << h;
        }
        for (double hz = 8000.0; hz <= 20000.0; hz *= 1.02)
        {
            const double s = magnitudeDb (bass, hz, rate);
            EXPECT_TRUE (s <= -36.0 && s >= -60.0) << "bass @ " << rate << " " << hz << " Hz: " << s;
        }
        // Above 20 kHz the fits may fall but must not rise back into the audio band's level.
        for (double hz = 20000.0; hz < 0.49 * rate; hz *= 1.02)
        {
            EXPECT_LT (magnitudeDb (preamp, hz, rate), -19.0) << rate << " " << hz;
            EXPECT_LT (magnitudeDb (bass, hz, rate), -45.0) << rate << " " << hz;
            EXPECT_LT (magnitudeDb (horn, hz, rate), -25.0) << rate << " " << hz;
        }
    }
}

TEST (FittedFilterSets, PreampShapeAt48000)
{
    const SosSet set = filterSet (FilterFamily::preamp, 48000);
    double maxDb = -1e9, maxHz = 0;
    for (double hz = 20.0; hz <= 20000.0; hz *= 1.005)
    {
        const double db = magnitudeDb (set, hz, 48000);
        if (db > maxDb)
        {
            maxDb = db;
            maxHz = hz;
        }
    }
    EXPECT_NEAR (maxDb, -0.5, 0.1);
    EXPECT_GT (maxHz, 100.0);
    EXPECT_LT (maxHz, 200.0);
    EXPECT_NEAR (crossing (set, 48000, -3.0, 300.0, 5000.0), 990.0, 50.0);
}

TEST (FittedFilterSets, BassShapeAt48000)
{
    const SosSet set = filterSet (FilterFamily::bass, 48000);
    for (double hz = 250.0; hz <= 500.0; hz *= 1.01)
        EXPECT_NEAR (magnitudeDb (set, hz, 48000), 0.0, 0.15) << hz;
    EXPECT_NEAR (crossing (set, 48000, -3.0, 400.0, 5000.0), 820.0, 41.0);
    EXPECT_NEAR (magnitudeDb (set, 2000.0, 48000), -21.6, 1.0);
    for (double hz = 3150.0; hz <= 24000.0; hz *= 1.01)
        EXPECT_LT (magnitudeDb (set, hz, 48000), -29.5) << hz;
}

TEST (FittedFilterSets, HornPeaksAndDipsAt48000)
{
    struct Feature
    {
        double hz, db;
        bool peak;
    };
    const Feature features[] {
        { 900, -8.5, true },
        { 1357, -3.4, true },
        { 2340, -0.1, true },
        { 4070, -4.6, true },
        { 6855, -13.7, true },
        { 9750, -12.4, true },
        { 12160, -22.1, true },
        { 13120, -21.9, true },
        { 16710, -22.2, true },
        { 971, -8.8, false },
        { 1585, -6.0, false },
        { 3760, -5.3, false },
        { 6400, -14.4, false },
        { 8350, -23.5, false },
        { 11000, -23.5, false },
        { 12770, -22.6, false },
        { 15220, -28.8, false },
    };

    const SosSet set = filterSet (FilterFamily::horn, 48000);
    for (const auto& f : features)
    {
        // A local extremum of the right kind within 5 % of the frequency.
        const int steps = 1000;
        const double lo = 0.95 * f.hz, hi = 1.05 * f.hz;
        std::vector<double> db (steps + 1);
        for (int i = 0; i <= steps; ++i)
            db[(size_t) i] = magnitudeDb (set, lo * std::pow (hi / lo, (double) i / steps), 48000);

        double closest = 1e9;
        for (int i = 1; i < steps; ++i)
        {
            const double here = db[(size_t) i], before = db[(size_t) i - 1], after = db[(size_t) i + 1];
            const bool extremum = f.peak ? (here >= before && here > after) : (here <= before && here < after);
            if (extremum)
                closest = std::min (closest, std::abs (here - f.db));
        }
        EXPECT_LE (closest, 1.5) << (f.peak ? "peak" : "dip") << " at " << f.hz << " Hz";
    }

    // The highest point of the whole response is the 2340 Hz peak.
    double maxDb = -1e9, maxHz = 0;
    for (double hz = 20.0; hz <= 20000.0; hz *= 1.001)
    {
        const double db = magnitudeDb (set, hz, 48000);
        if (db > maxDb)
        {
            maxDb = db;
            maxHz = hz;
        }
    }
    EXPECT_NEAR (maxDb, -0.1, 1.5);
    EXPECT_NEAR (maxHz, 2340.0, 117.0);
}
