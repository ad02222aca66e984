#include <engine/PreampDrive.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using quarbell::Frame;
using quarbell::PreampDrive;
using quarbell::SosSet;

namespace
{
const float passCoefficients[] { 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f };
const float unitGains[] { 1.0f, 1.0f };
const float halfGains[] { 1.0f, 0.5f };
const SosSet passThrough { passCoefficients, unitGains, 1 };
const SosSet halfLevel { passCoefficients, halfGains, 1 };

// A gentle low-pass section, standing in for the preamp's treble roll-off.
const float lowPassCoefficients[] { 0.2f, 0.4f, 0.2f, 1.0f, -0.5f, 0.3f };
const SosSet lowPass { lowPassCoefficients, unitGains, 1 };

// Second-order Butterworth high-pass at 30 Hz, bilinear with prewarping.
struct LowCut
{
    float coefficients[6];
    float gains[2];
    SosSet set() const { return { coefficients, gains, 1 }; }
};

LowCut lowCut48000()
{
    const double k = std::tan (3.14159265358979323846 * 30.0 / 48000.0), q = 1.0 / std::sqrt (2.0);
    const double norm = 1.0 / (1.0 + k / q + k * k);
    return { { 1.0f, -2.0f, 1.0f, 1.0f, (float) (2.0 * (k * k - 1.0) * norm), (float) ((1.0 - k / q + k * k) * norm) },
             { 1.0f, (float) norm } };
}

// The product of the two tube slopes at 0.
constexpr double tubeSlopes = 1.0145;

std::vector<float> drive (PreampDrive& stage, std::vector<float> upper, std::vector<float> lower, float g)
{
    stage.process ({ upper.data(), (int) upper.size(), 48000 }, { lower.data(), (int) lower.size(), 48000 }, g);
    return upper;
}

float driveOne (float x, float g)
{
    PreampDrive stage;
    stage.prepare (passThrough, passThrough);
    return drive (stage, { x }, { 0.0f }, g)[0];
}

// The drive's gain law at the rows of its table: input gain A, drive gain B
// (0 for none) and the compensated gain A'.
struct GainRow
{
    float g, a, b, aPrime;
    double aboutGain;
};

const GainRow gainRows[] {
    { 0.01f, 0.01f, 0.0f, 0.01f, 1.01 }, { 0.25f, 0.25f, 0.0f, 0.25f, 1.01 }, { 0.3f, 0.3f, 1.5f, 0.3f, 1.01 },
    { 0.5f, 0.5f, 3.5f, 0.5f, 1.01 },   { 0.75f, 1.0f, 3.5f, 0.75f, 1.35 },  { 1.0f, 1.5f, 3.5f, 0.75f, 2.03 },
};
} // namespace

TEST (PreampDrive, LowCutFixtureMatchesTheDesign)
{
    const auto lc = lowCut48000();
    EXPECT_NEAR (lc.coefficients[4], -1.9944464f, 1e-6);
    EXPECT_NEAR (lc.coefficients[5], 0.99446178f, 1e-6);
    EXPECT_NEAR (lc.gains[1], 0.99722707f, 1e-6);
}

TEST (PreampDrive, SmallSignalGainFollowsTheGainLaw)
{
    for (const auto& row : gainRows)
    {
        // About five table steps into the first curve on either side of 0.
        const float x = 0.005f / (row.a * (row.b > 0.0f ? row.b : 1.0f));
        const double gain = ((double) driveOne (x, row.g) - (double) driveOne (-x, row.g)) / (2.0 * x);
        const double expected = tubeSlopes * row.a / (row.aPrime + 0.00001);

        EXPECT_NEAR (gain, expected, expected * 2e-3) << "g = " << row.g;
        EXPECT_NEAR (gain, row.aboutGain, 0.01) << "g = " << row.g;
    }
}

TEST (PreampDrive, LargeSignalsFollowTheGainLawThroughBothCurves)
{
    const auto ecc = quarbell::eccVoCurve();
    const auto el = quarbell::elVoCurve();

    for (const auto& row : gainRows)
    {
        for (float x : { -1.0f, -0.3f, -0.05f, 0.05f, 0.3f, 1.0f })
        {
            float v = x * row.a;

            if (row.b > 0.0f)
                v *= row.b;

            v = quarbell::curveLookup (ecc, v);

            if (row.b > 0.0f)
                v *= (float) (1.0 / (row.b + 0.00001));

            const float expected = quarbell::curveLookup (el, v) * (float) (1.0 / (row.aPrime + 0.00001));
            EXPECT_NEAR (driveOne (x, row.g), expected, std::abs (expected) * 1e-4 + 1e-6) << "g = " << row.g << ", x = " << x;
        }
    }
}

TEST (PreampDrive, GainLawIsContinuousAtItsBreakPoints)
{
    for (float g : { 0.25f, 0.5f })
        for (float x : { -0.8f, -0.1f, 0.02f, 0.4f, 1.0f })
            EXPECT_NEAR (driveOne (x, g), driveOne (x, std::nextafter (g, 1.0f)), 1e-4) << "g = " << g << ", x = " << x;
}

TEST (PreampDrive, SumsTheLowerManualIntoTheUpper)
{
    const auto lc = lowCut48000();
    std::vector<float> upper (300), lower (300), sum (300);

    for (size_t i = 0; i < upper.size(); ++i)
    {
        upper[i] = (float) (0.4 * std::sin (0.05 * (double) i));
        lower[i] = (float) (0.3 * std::sin (0.13 * (double) i + 0.5));
        sum[i] = upper[i] + lower[i];
    }

    const std::vector<float> silence (300, 0.0f);
    PreampDrive both, single;
    both.prepare (lowPass, lc.set());
    single.prepare (lowPass, lc.set());

    for (int block = 0; block < 3; ++block)
    {
        std::vector<float> u (upper), l (lower);
        both.process ({ u.data(), 300, 48000 }, { l.data(), 300, 48000 }, 0.6f);
        EXPECT_EQ (l, lower) << "the lower bus is left alone";
        EXPECT_EQ (u, drive (single, sum, silence, 0.6f)) << "block " << block;
    }
}

TEST (PreampDrive, SilenceStaysSilence)
{
    const auto lc = lowCut48000();

    for (float g : { 0.01f, 0.25f, 0.3f, 0.5f, 0.75f, 1.0f })
    {
        PreampDrive stage;
        stage.prepare (lowPass, lc.set());

        for (int block = 0; block < 4; ++block)
            for (float v : drive (stage, std::vector<float> (512, 0.0f), std::vector<float> (512, 0.0f), g))
                ASSERT_EQ (v, 0.0f) << "g = " << g;
    }
}

TEST (PreampDrive, RunsThePreampAndTheLowCut)
{
    // The preamp set's overall gain lands before the curves.
    PreampDrive halved;
    halved.prepare (halfLevel, passThrough);
    const float x = 0.2f;
    const float full = driveOne (x, 0.01f);
    EXPECT_NEAR (drive (halved, { x }, { 0.0f }, 0.01f)[0], driveOne (x / 2, 0.01f), 1e-7);
    EXPECT_LT (drive (halved, { x }, { 0.0f }, 0.01f)[0], full * 0.51f);

    // The 30 Hz low cut passes a step's edge and removes its DC (up to the
    // small offset the filter's state rounding leaves).
    const auto lc = lowCut48000();
    PreampDrive stage;
    stage.prepare (passThrough, lc.set());
    const std::vector<float> step (48000, 0.1f), silence (48000, 0.0f);
    const auto out = drive (stage, step, silence, 0.01f);
    EXPECT_NEAR (out[0], 0.1 * 0.99722707 * tubeSlopes * 0.01 / 0.01001, 1e-4);
    EXPECT_LT (std::abs (out.back()), 0.002);

    // 10 Hz lies 19 dB down.
    PreampDrive subsonic;
    subsonic.prepare (passThrough, lc.set());
    std::vector<float> tenHertz (48000);

    for (size_t i = 0; i < tenHertz.size(); ++i)
        tenHertz[i] = (float) (0.1 * std::sin (2.0 * 3.14159265358979323846 * 10.0 * (double) i / 48000.0));

    const auto low = drive (subsonic, tenHertz, silence, 0.01f);
    const auto [lowest, highest] = std::minmax_element (low.begin() + 24000, low.end());
    EXPECT_NEAR ((*highest - *lowest) / 2.0, 0.1 * 0.11043 * tubeSlopes * 0.01 / 0.01001, 0.0003);

    // Preparing again clears the filter state.
    stage.prepare (passThrough, lc.set());
    EXPECT_EQ (drive (stage, { 0.1f }, { 0.0f }, 0.01f)[0], out[0]);
}

TEST (PreampDrive, CleanAtTheLowestGain)
{
    const int n = 4800;
    std::vector<float> sine (n), silence (n, 0.0f);

    for (int i = 0; i < n; ++i)
        sine[(size_t) i] = (float) (0.5 * std::sin (2.0 * 3.14159265358979323846 * 1000.0 * i / 48000.0));

    PreampDrive stage;
    stage.prepare (passThrough, passThrough);
    const auto out = drive (stage, sine, silence, 0.01f);

    // Least-squares gain against the input sine, then what is left over.
    double cross = 0.0, power = 0.0;

    for (int i = 0; i < n; ++i)
    {
        cross += (double) out[(size_t) i] * sine[(size_t) i];
        power += (double) sine[(size_t) i] * sine[(size_t) i];
    }

    const double gain = cross / power;
    double residual = 0.0;

    for (int i = 0; i < n; ++i)
        residual += std::pow (out[(size_t) i] - gain * sine[(size_t) i], 2.0);

    EXPECT_NEAR (gain, tubeSlopes * 0.01 / 0.01001, 3e-3);
    EXPECT_LT (std::sqrt (residual / power), 0.005) << "distortion";
}

TEST (PreampDrive, FullGainClipsTheNegativeHalfHard)
{
    const int n = 4800; // ten cycles of 100 Hz
    std::vector<float> sine (n), silence (n, 0.0f);

    for (int i = 0; i < n; ++i)
        sine[(size_t) i] = (float) std::sin (2.0 * 3.14159265358979323846 * 100.0 * i / 48000.0);

    PreampDrive stage;
    stage.prepare (passThrough, passThrough);
    const auto out = drive (stage, sine, silence, 1.0f);

    // Below -4 / 5.25 of input the first tube sits at its end value 1.08767.
    const float plateau = quarbell::curveLookup (quarbell::elVoCurve(), 1.08767f * (float) (1.0 / 3.50001))
                          * (float) (1.0 / 0.75001);
    double mean = 0.0;
    float highest = 0.0f, lowest = 0.0f;

    for (int i = 0; i < n; ++i)
    {
        if (sine[(size_t) i] * 5.25f < -4.0f)
        {
            ASSERT_EQ (out[(size_t) i], plateau) << i;
        }

        mean += out[(size_t) i] / n;
        highest = std::max (highest, out[(size_t) i]);
        lowest = std::min (lowest, out[(size_t) i]);
    }

    EXPECT_EQ (lowest, plateau);
    EXPECT_GT (highest, 0.25f);
    EXPECT_LT (highest, -lowest * 0.85f) << "the positive half flattens softly below the clipped one";
    EXPECT_LT (mean, -0.02) << "asymmetry puts even harmonics and DC into the output";
}
