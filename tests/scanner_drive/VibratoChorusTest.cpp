#include <engine/VibratoChorus.h>
#include <engine/tables/VibratoTables.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using quarbell::Frame;
using quarbell::VibratoChorus;

namespace
{
// Runs consecutive blocks of the given sizes through one object and returns
// the concatenated output.
std::vector<float> run (VibratoChorus& vc, const std::vector<float>& input, const std::vector<int>& blocks, float mix,
                        float depth, double rate)
{
    std::vector<float> out (input);
    size_t at = 0;

    for (int n : blocks)
    {
        vc.Apply ({ out.data() + at, n, (int) rate }, mix, depth, rate);
        at += (size_t) n;
    }

    return out;
}

std::vector<float> testSignal (size_t length)
{
    std::vector<float> x (length);

    for (size_t i = 0; i < length; ++i)
        x[i] = (float) (0.6 * std::sin (0.031 * (double) i) + 0.3 * std::sin (0.47 * (double) i + 1.0));

    return x;
}

// A ramp of step 2^-10: the wet signal read from it tells the exact fractional
// read position.
constexpr float rampStep = 1.0f / 1024.0f;

std::vector<float> ramp (size_t length)
{
    std::vector<float> x (length);

    for (size_t i = 0; i < length; ++i)
        x[i] = (float) i * rampStep;

    return x;
}
} // namespace

TEST (VibratoPositions, TablesAndModeMapping)
{
    struct Case
    {
        float vcMode;
        float depth, mix;
    };

    const Case cases[] {
        { 0.0f, 0.0001f, 1.0f }, // V1
        { 1.0f, 0.0001f, 0.5f }, // C1
        { 2.0f, 0.0002f, 1.0f }, // V2
        { 3.0f, 0.0002f, 0.5f }, // C2
        { 4.0f, 0.0004f, 1.0f }, // V3
        { 5.0f, 0.0004f, 0.5f }, // C3
        // Rounded to the nearest position.
        { 0.4f, 0.0001f, 1.0f },
        { -0.4f, 0.0001f, 1.0f },
        { 0.6f, 0.0001f, 0.5f },
        { 2.49f, 0.0002f, 1.0f },
        { 3.51f, 0.0004f, 1.0f },
        { 5.4f, 0.0004f, 0.5f },
        // Out of range: no sweep, dry only.
        { 5.5f, 0.0f, 0.0f },
        { 6.0f, 0.0f, 0.0f },
        { -0.5f, 0.0f, 0.0f },
        { -1.0f, 0.0f, 0.0f },
        { 1.0e9f, 0.0f, 0.0f },
        { std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f },
    };

    for (const auto& c : cases)
    {
        const auto setting = quarbell::vibratoSetting (c.vcMode);
        EXPECT_EQ (setting.depth, c.depth) << c.vcMode;
        EXPECT_EQ (setting.mix, c.mix) << c.vcMode;
    }

    for (int p = 0; p < quarbell::vibratoPositionCount; ++p)
    {
        EXPECT_EQ (quarbell::vibratoDepthTable[p], cases[p].depth);
        EXPECT_EQ (quarbell::vibratoMixTable[p], cases[p].mix);
    }
}

TEST (VibratoChorus, OutOfRangeModeLeavesTheBusUnchanged)
{
    const auto setting = quarbell::vibratoSetting (7.0f);
    const auto input = testSignal (1000);
    VibratoChorus vc;
    EXPECT_EQ (run (vc, input, { 300, 700 }, setting.mix, setting.depth, 48000.0), input);
}

TEST (VibratoChorus, ChorusOfAConstantIsTheConstantOnceTheLineHasFilled)
{
    const auto c1 = quarbell::vibratoSetting (1.0f);
    VibratoChorus vc;
    const std::vector<float> ones (512, 1.0f);
    const auto first = run (vc, ones, { 512 }, c1.mix, c1.depth, 48000.0);

    // The first read sits near the middle of the 0..4.8 sweep, entirely in the
    // silent history: half dry, half nothing.
    EXPECT_EQ (first[0], 0.5f);

    // At most L + 1 = 5 samples of history are ever read.
    for (size_t i = 5; i < first.size(); ++i)
        ASSERT_EQ (first[i], 1.0f) << i;

    for (int block = 0; block < 20; ++block)
        for (float v : run (vc, ones, { 512 }, c1.mix, c1.depth, 48000.0))
            ASSERT_EQ (v, 1.0f);
}

// The wet read position follows e = (sin(2 pi phase) / 2 + 1/2) Dm R with the
// phase advanced before the first sample, and the delay is L + 1 - e.
TEST (VibratoChorus, SweepFollowsTheOscillatorFromTheFirstSample)
{
    const double rate = 48000.0;
    const auto v3 = quarbell::vibratoSetting (4.0f);
    const int L = 19;
    const int first = 256, second = 4096;
    const auto input = ramp (first + second);

    VibratoChorus vc;
    const auto out = run (vc, input, { first, second }, v3.mix, v3.depth, rate);

    const auto increment = (float) (6.86 / rate);
    float phase = 0.0f;

    for (int i = 0; i < first + second; ++i)
    {
        phase += increment;

        if (phase >= 1.0f)
            phase -= 1.0f;

        if (i < L + 1)
            continue; // the read may still reach into the silent history

        const double e = (std::sin (6.28318530718 * phase) * 0.5 + 0.5) * (double) v3.depth * rate;
        const double delay = (double) i - (double) out[(size_t) i] / rampStep;
        ASSERT_NEAR (delay, L + 1 - e, 2e-3) << "sample " << i;
    }
}

TEST (VibratoChorus, SweepRangePerPositionAndRate)
{
    struct Case
    {
        float vcMode;
        double rate;
        int L;
        double sweep;
    };

    const Case cases[] {
        { 0.0f, 48000.0, 4, 4.8 },  { 1.0f, 48000.0, 4, 4.8 },  { 2.0f, 48000.0, 9, 9.6 },
        { 4.0f, 48000.0, 19, 19.2 }, { 3.0f, 44100.0, 8, 8.82 }, { 5.0f, 192000.0, 76, 76.8 },
    };

    for (const auto& c : cases)
    {
        const auto setting = quarbell::vibratoSetting (c.vcMode);
        const int cycle = (int) (c.rate / 6.86) + 2;
        const int warmUp = 256;
        const auto input = ramp ((size_t) (warmUp + cycle));
        VibratoChorus vc;
        const auto out = run (vc, input, { warmUp, cycle }, setting.mix, setting.depth, c.rate);

        double shortest = 1.0e9, longest = 0.0;

        for (int i = warmUp; i < warmUp + cycle; ++i)
        {
            const double wet = (out[(size_t) i] - input[(size_t) i] * (1.0 - setting.mix)) / setting.mix;
            const double delay = (double) i - wet / rampStep;
            shortest = std::min (shortest, delay);
            longest = std::max (longest, delay);
        }

        EXPECT_NEAR (longest, c.L + 1, 0.01) << c.vcMode << " at " << c.rate;
        EXPECT_NEAR (longest - shortest, c.sweep, 0.01) << c.vcMode << " at " << c.rate;
    }
}

TEST (VibratoChorus, BlockSplitsDoNotChangeTheOutput)
{
    const auto c3 = quarbell::vibratoSetting (5.0f);
    const auto input = testSignal (100 + 2 * 8192 + 50);
    const std::vector<std::vector<int>> splits {
        { 100, 8192, 8192, 50 },
        { 100, 4096, 4096, 8192, 50 },
        { 100, 13, 8179, 1, 8191, 50 },
        { 100, 0, 8192, 0, 8192, 50 },
        { 100, 8192 * 2 + 50 }, // longer than the line holds: runs in pieces
    };

    VibratoChorus reference;
    const auto expected = run (reference, input, splits[0], c3.mix, c3.depth, 96000.0);

    for (const auto& blocks : splits)
    {
        VibratoChorus vc;
        const auto out = run (vc, input, blocks, c3.mix, c3.depth, 96000.0);

        for (size_t i = 0; i < out.size(); ++i)
            ASSERT_EQ (out[i], expected[i]) << "sample " << i << " with first split " << blocks[1];
    }
}

// A longer sweep after a shorter one reads the true previous input, as if the
// longer sweep had been running all along.
TEST (VibratoChorus, PositionChangeKeepsTheHistory)
{
    const auto v1 = quarbell::vibratoSetting (0.0f);
    const auto v3 = quarbell::vibratoSetting (4.0f);
    const auto input = testSignal (1024);

    VibratoChorus switched, steady;
    std::vector<float> a (input), b (input);
    switched.Apply ({ a.data(), 512, 48000 }, v1.mix, v1.depth, 48000.0);
    steady.Apply ({ b.data(), 512, 48000 }, v3.mix, v3.depth, 48000.0);
    switched.Apply ({ a.data() + 512, 512, 48000 }, v3.mix, v3.depth, 48000.0);
    steady.Apply ({ b.data() + 512, 512, 48000 }, v3.mix, v3.depth, 48000.0);

    for (size_t i = 512; i < 1024; ++i)
        ASSERT_EQ (a[i], b[i]) << i;
}

TEST (VibratoChorus, EmptyFrameChangesNothing)
{
    const auto input = testSignal (128);
    std::vector<float> a (input), b (input), untouched (16, 0.25f);
    VibratoChorus withEmpty, without;

    withEmpty.Apply ({ a.data(), 64, 48000 }, 0.5f, 0.0004f, 48000.0);
    withEmpty.Apply ({ untouched.data(), 0, 48000 }, 0.5f, 0.0004f, 48000.0);
    withEmpty.Apply ({ a.data() + 64, 64, 48000 }, 0.5f, 0.0004f, 48000.0);
    without.Apply ({ b.data(), 64, 48000 }, 0.5f, 0.0004f, 48000.0);
    without.Apply ({ b.data() + 64, 64, 48000 }, 0.5f, 0.0004f, 48000.0);

    EXPECT_EQ (a, b);
    EXPECT_EQ (withEmpty.phase, without.phase);
    EXPECT_EQ (untouched, std::vector<float> (16, 0.25f));
}

// The phase wraps, so hours of running leave it as fine-grained as at the start.
TEST (VibratoChorus, OscillatorKeepsItsRateOverALongRun)
{
    const double rate = 192000.0;
    VibratoChorus vc;
    std::vector<float> block (8192, 0.0f);

    const auto cyclesOver = [&] (int blocks)
    {
        int wraps = 0;
        const float start = vc.phase;

        for (int b = 0; b < blocks; ++b)
        {
            const float before = vc.phase;
            vc.Apply ({ block.data(), 8192, 192000 }, 1.0f, 0.0004f, rate);
            EXPECT_GE (vc.phase, 0.0f);
            EXPECT_LT (vc.phase, 1.0f);
            wraps += vc.phase < before ? 1 : 0;
        }

        return wraps + vc.phase - start;
    };

    const int blocks = 234; // about 10 s
    const double seconds = blocks * 8192 / rate;
    EXPECT_NEAR (cyclesOver (blocks) / seconds, 6.86, 6.86 * 1e-3);

    // Restarting from a phase just below one cycle, as after a day of running.
    vc.phase = std::nextafter (1.0f, 0.0f);
    EXPECT_NEAR (cyclesOver (blocks) / seconds, 6.86, 6.86 * 1e-3);
}
