#include <engine/Reverb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

using quarbell::Reverb;
using quarbell::ReverbUnitTiming;

namespace
{
// Combs 1-4, then all-passes 1-3.
constexpr int numUnits = 7;
constexpr int delayNumbers[numUnits] { 1116, 1356, 1422, 1617, 225, 341, 441 };
constexpr double gainConstants[numUnits] { 0.805, 0.827, 0.783, 0.764, 0.7, 0.7, 0.7 };

struct Settings
{
    int sampleRate = 48000;
    float roomSize = 25.0f;
    float mix = 1.0f;
    float attenuation = 0.828f;
};

// Runs the whole signal through in blocks of blockSize.
std::vector<float> run (Reverb& reverb, std::vector<float> signal, int blockSize, const Settings& s)
{
    for (size_t done = 0; done < signal.size (); done += (size_t) blockSize)
    {
        const int n = (int) std::min<size_t> ((size_t) blockSize, signal.size () - done);
        reverb.process (signal.data () + done, n, s.sampleRate, s.roomSize, s.mix, s.attenuation);
    }

    return signal;
}

std::vector<float> noise (size_t length, unsigned seed)
{
    std::mt19937 rng (seed);
    std::uniform_real_distribution<float> dist (-0.5f, 0.5f);
    std::vector<float> v (length);

    for (auto& x : v)
        x = dist (rng);

    return v;
}

std::vector<float> impulse (size_t length)
{
    std::vector<float> v (length, 0.0f);
    v[0] = 1.0f;
    return v;
}

const ReverbUnitTiming& timing (const Reverb& reverb, int unit)
{
    return unit < Reverb::numCombs ? reverb.combTiming (unit) : reverb.allPassTiming (unit - Reverb::numCombs);
}

// Sample-by-sample model of the block-wise units: a unit's output lags its
// input by L samples, and its feedback comes from its output N samples back,
// so the loop spans L + N.
std::vector<double> referenceReverb (const std::vector<float>& input, int blockSize, const Settings& s)
{
    const double roomTime = (int) s.roomSize * 0.00294;
    const double wet = 0.125 * s.mix;
    const long n = (long) input.size ();
    std::vector<double> dry (input.begin (), input.end ());
    std::vector<double> x = dry;

    auto at = [] (const std::vector<double>& v, long t) { return t < 0 ? 0.0 : v[(size_t) t]; };

    for (int unit = 0; unit < numUnits; ++unit)
    {
        const long lag = (long) (delayNumbers[unit] * roomTime / 1618.0 * s.sampleRate) - 1;
        const double g = gainConstants[unit] * s.attenuation / 0.828;
        const bool comb = unit < Reverb::numCombs;

        // A comb's line input u, an all-pass's line input w.
        std::vector<double> line ((size_t) n);
        std::vector<double> added ((size_t) n);

        for (long t = 0; t < n; ++t)
        {
            const double in = comb ? dry[(size_t) t] : x[(size_t) t];
            const double fedBack = at (line, t - blockSize - lag);
            line[(size_t) t] = comb ? in + g * fedBack : in - g * fedBack;
            const double out = comb ? at (line, t - lag) : at (line, t - lag) + g * line[(size_t) t];
            added[(size_t) t] = out * wet;
        }

        for (long t = 0; t < n; ++t)
            x[(size_t) t] += added[(size_t) t];
    }

    return x;
}
} // namespace

TEST (ReverbTiming, RoomTimeAndUnitDelays)
{
    struct Case
    {
        float roomSize;
        double roomTime;
        double delaysMs[numUnits];
    };

    const Case cases[] {
        { 10.0f, 0.0294, { 20.28, 24.64, 25.84, 29.38, 4.09, 6.20, 8.01 } },
        { 25.0f, 0.0735, { 50.70, 61.60, 64.60, 73.45, 10.22, 15.49, 20.03 } },
        { 100.0f, 0.294, { 202.78, 246.39, 258.39, 293.82, 40.88, 61.96, 80.13 } },
        // Whole steps only.
        { 25.9f, 0.0735, { 50.70, 61.60, 64.60, 73.45, 10.22, 15.49, 20.03 } },
        { 10.99f, 0.0294, { 20.28, 24.64, 25.84, 29.38, 4.09, 6.20, 8.01 } },
    };

    for (const auto& c : cases)
    {
        EXPECT_FLOAT_EQ (quarbell::reverbRoomTime (c.roomSize), (float) c.roomTime) << c.roomSize;

        auto reverb = std::make_unique<Reverb> ();
        run (*reverb, std::vector<float> (64, 0.0f), 64, { 48000, c.roomSize, 1.0f, 0.828f });

        for (int unit = 0; unit < numUnits; ++unit)
            EXPECT_NEAR (timing (*reverb, unit).delayTime * 1000.0, c.delaysMs[unit], 0.006)
                << "roomSize " << c.roomSize << " unit " << unit;
    }
}

TEST (ReverbTiming, HistoryLengths)
{
    struct Case
    {
        int sampleRate;
        float roomSize;
        int unit;
        int history;
    };

    const Case cases[] {
        // 48000 Hz, default room: lags of 50.67, 61.56, 64.56 and 73.42 ms.
        { 48000, 25.0f, 0, 2432 },
        { 48000, 25.0f, 1, 2955 },
        { 48000, 25.0f, 2, 3099 },
        { 48000, 25.0f, 3, 3524 },
        { 48000, 25.9f, 3, 3524 },
        // The longest line of all.
        { 192000, 100.0f, 3, 56412 },
    };

    for (const auto& c : cases)
    {
        auto reverb = std::make_unique<Reverb> ();
        run (*reverb, std::vector<float> (16, 0.0f), 16, { c.sampleRate, c.roomSize, 0.5f, 0.7f });
        EXPECT_EQ (timing (*reverb, c.unit).history, c.history) << c.sampleRate << " " << c.roomSize;
    }
}

TEST (ReverbTiming, GainsFollowAttenuation)
{
    struct Case
    {
        float attenuation;
        double gains[numUnits];
        double tolerance;
    };

    const Case cases[] {
        // The table's own values at the reference attenuation.
        { 0.828f, { 0.805, 0.827, 0.783, 0.764, 0.7, 0.7, 0.7 }, 1e-7 },
        { 0.95f, { 0.9236, 0.9489, 0.8984, 0.8766, 0.8031, 0.8031, 0.8031 }, 6e-5 },
        { 0.2f, { 0.19444, 0.19976, 0.18913, 0.18454, 0.16908, 0.16908, 0.16908 }, 1e-5 },
    };

    for (const auto& c : cases)
    {
        auto reverb = std::make_unique<Reverb> ();
        run (*reverb, std::vector<float> (16, 0.0f), 16, { 48000, 25.0f, 1.0f, c.attenuation });

        for (int unit = 0; unit < numUnits; ++unit)
            EXPECT_NEAR (timing (*reverb, unit).gain, c.gains[unit], c.tolerance)
                << "attenuation " << c.attenuation << " unit " << unit;
    }
}

TEST (ReverbTiming, ExtremeRatesStayInsideTheLines)
{
    // Above 192000 Hz the history is capped at the line's capacity; at no rate
    // does it go negative.
    for (int rate : { 0, 1, 100, 384000, 768000 })
    {
        auto reverb = std::make_unique<Reverb> ();
        const auto out = run (*reverb, noise (3 * 8192, 3), 8192, { rate, 100.0f, 1.0f, 0.95f });

        for (int unit = 0; unit < numUnits; ++unit)
        {
            EXPECT_GE (timing (*reverb, unit).history, 0) << rate;
            EXPECT_LE (timing (*reverb, unit).history, quarbell::ReverbLimits::maxHistory) << rate;
        }

        for (float y : out)
            ASSERT_TRUE (std::isfinite (y)) << rate;
    }
}

// The all-passes' immediate share g * 0.125 of a sample, compounded over the
// three units, at the reference attenuation (g = 0.7).
const double allPassShare = std::pow (1.0 + 0.7 * 0.125, 3.0);

TEST (Reverb, ZeroMixPassesInputButKeepsFillingTheLines)
{
    const Settings dryOnly { 48000, 25.0f, 0.0f, 0.828f };

    auto reverb = std::make_unique<Reverb> ();
    const auto noisy = noise (20000, 7);
    EXPECT_EQ (run (*reverb, noisy, 512, dryOnly), noisy);

    // An impulse goes into the units while the mix is 0 and passes unchanged;
    // once the mix is up, the first comb's echo comes out 2432 samples after it.
    auto filled = std::make_unique<Reverb> ();
    EXPECT_EQ (run (*filled, impulse (960), 480, dryOnly), impulse (960));

    Settings wet = dryOnly;
    wet.mix = 1.0f;
    const auto later = run (*filled, std::vector<float> (1920, 0.0f), 480, wet);
    EXPECT_NEAR (later[2432 - 960], 0.125 * allPassShare, 1e-6);
}

TEST (Reverb, ImpulseGivesTheCombEchoes)
{
    // With blocks of 480 at 48000 Hz and room size 25, no all-pass echo of the
    // impulse lands on a comb's first or second echo, so those carry only the
    // comb itself, passed through the all-passes' immediate share.
    constexpr int blockSize = 480;
    const int lags[Reverb::numCombs] { 2432, 2955, 3099, 3524 };

    auto reverb = std::make_unique<Reverb> ();
    const auto out = run (*reverb, impulse (8192), blockSize, { 48000, 25.0f, 1.0f, 0.828f });

    EXPECT_NEAR (out[0], allPassShare, 1e-6);

    // Nothing before the first all-pass lag (10.22 ms, 489 samples).
    for (int i = 1; i < 489; ++i)
        ASSERT_EQ (out[(size_t) i], 0.0f) << i;
    EXPECT_NE (out[489], 0.0f);

    for (int c = 0; c < Reverb::numCombs; ++c)
    {
        const double first = 0.125 * allPassShare;
        EXPECT_NEAR (out[(size_t) lags[c]], first, 1e-6) << "comb " << c;
        EXPECT_NEAR (out[(size_t) (2 * lags[c] + blockSize)], first * gainConstants[c], 1e-6) << "comb " << c;
    }
}

TEST (Reverb, MatchesSampleBySampleModel)
{
    // The model assumes one block size throughout (the loops span L + N), so
    // every run is a whole number of blocks.
    struct Case
    {
        Settings settings;
        int blockSize;
        size_t blocks;
    };

    const Case cases[] {
        { { 48000, 25.0f, 1.0f, 0.828f }, 512, 48 },
        { { 48000, 25.0f, 0.21f, 0.7f }, 256, 96 },
        // Blocks longer than several lags: lines with less history than a block.
        { { 44100, 10.0f, 1.0f, 0.95f }, 1024, 30 },
        { { 96000, 40.0f, 0.6f, 0.95f }, 333, 120 },
        // The largest lines with the largest block.
        { { 192000, 100.0f, 1.0f, 0.95f }, 8192, 20 },
    };

    for (const auto& c : cases)
    {
        auto input = noise (c.blocks * (size_t) c.blockSize, 11);
        input[0] = 1.0f;

        auto reverb = std::make_unique<Reverb> ();
        const auto out = run (*reverb, input, c.blockSize, c.settings);
        const auto expected = referenceReverb (input, c.blockSize, c.settings);

        double worst = 0.0;

        for (size_t i = 0; i < out.size (); ++i)
            worst = std::max (worst, std::abs (out[i] - expected[i]) / std::max (1.0, std::abs (expected[i])));

        EXPECT_LT (worst, 2e-5) << c.settings.sampleRate << " block " << c.blockSize;
    }
}

TEST (Reverb, RoomSizeIsTruncated)
{
    const auto input = noise (30000, 5);
    auto whole = std::make_unique<Reverb> ();
    auto fraction = std::make_unique<Reverb> ();

    EXPECT_EQ (run (*whole, input, 512, { 48000, 25.0f, 0.5f, 0.9f }),
        run (*fraction, input, 512, { 48000, 25.9f, 0.5f, 0.9f }));
}

TEST (Reverb, SilenceStaysSilent)
{
    const Settings cases[] { { 48000, 25.0f, 1.0f, 0.95f }, { 44100, 10.0f, 0.21f, 0.2f },
        { 192000, 100.0f, 1.0f, 0.95f } };

    for (const auto& s : cases)
    {
        auto reverb = std::make_unique<Reverb> ();
        const std::vector<float> silence (50000, 0.0f);
        EXPECT_EQ (run (*reverb, silence, 4096, s), silence) << s.sampleRate;
    }
}

TEST (Reverb, OverlongBlockIsTakenInPieces)
{
    const auto input = noise (20000, 9);
    const Settings s { 48000, 30.0f, 0.8f, 0.9f };

    auto whole = std::make_unique<Reverb> ();
    auto pieces = std::make_unique<Reverb> ();
    EXPECT_EQ (run (*whole, input, 20000, s), run (*pieces, input, Reverb::maxBlockSize, s));
}

TEST (ReverbLine, HistoryFollowsTheNewestSamples)
{
    // With no feedback a comb is a plain delay of its history length. Blocks
    // of changing size must not disturb it; after a change of length the line
    // reads the newest samples, and history it never kept reads as silence.
    struct Case
    {
        const char* name;
        std::vector<int> blockSizes;
        std::vector<int> histories;
    };

    const Case cases[] {
        { "steady", { 64, 64, 64, 64, 64, 64, 64, 64 }, { 100, 100, 100, 100, 100, 100, 100, 100 } },
        { "changing blocks", { 64, 17, 300, 1, 250, 5, 512, 40 }, { 100, 100, 100, 100, 100, 100, 100, 100 } },
        { "longer", { 128, 128, 128, 128, 128, 128 }, { 100, 100, 300, 300, 300, 300 } },
        { "shorter", { 128, 128, 128, 128, 128, 128 }, { 300, 300, 100, 100, 100, 100 } },
        { "history below block", { 200, 33, 200, 200 }, { 7, 7, 150, 0 } },
    };

    for (const auto& c : cases)
    {
        auto comb = std::make_unique<quarbell::ReverbComb> ();
        size_t total = 0;

        for (int n : c.blockSizes)
            total += (size_t) n;

        std::vector<float> input (total);

        for (size_t t = 0; t < total; ++t)
            input[t] = (float) (t + 1);

        size_t start = 0;
        size_t keptFrom = 0; // oldest sample the line still holds

        for (size_t b = 0; b < c.blockSizes.size (); ++b)
        {
            const int n = c.blockSizes[b];
            const int history = c.histories[b];
            comb->process (input.data () + start, n, history, 0.0f);

            for (int i = 0; i < n; ++i)
            {
                const long source = (long) (start + (size_t) i) - history;
                const float expected = source >= (long) keptFrom ? input[(size_t) source] : 0.0f;
                ASSERT_EQ (comb->output ()[i], expected) << c.name << " block " << b << " sample " << i;
            }

            // The line now holds its history and this block; anything older is gone.
            keptFrom = std::max (keptFrom, start > (size_t) history ? start - (size_t) history : 0);
            start += (size_t) n;
        }
    }
}
