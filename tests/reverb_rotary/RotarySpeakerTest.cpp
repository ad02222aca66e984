#include <engine/RotarySpeaker.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

using quarbell::RotarySpeaker;
using quarbell::SosSet;

namespace
{
// One section b0 = 1, everything else 0: passes the signal unchanged.
constexpr float passCoefficients[6] { 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f };
constexpr float passGains[2] { 1.0f, 1.0f };
constexpr float muteGains[2] { 1.0f, 0.0f };
// A small low-pass with memory, to show the filter state carrying on.
constexpr float smoothCoefficients[6] { 0.25f, 0.3f, 0.1f, 1.0f, -0.4f, 0.05f };

const SosSet pass { passCoefficients, passGains, 1 };
const SosSet mute { passCoefficients, muteGains, 1 };
const SosSet smooth { smoothCoefficients, passGains, 1 };

// The description's path gains, directions 0, 30, ... 330 degrees.
constexpr double pathGains[12] { 1.0, 0.07, 0.25, 0.12, 0.22, 0.09, 1.0, 0.14, 0.27, 0.08, 0.21, 0.1 };

struct Settings
{
    int sampleRate = 48000;
    bool on = true;
    bool fast = false;
    float hornBassMix = 0.4f;
};

struct Stereo
{
    std::vector<float> left, right;
};

std::unique_ptr<RotarySpeaker> makeSpeaker (
    const SosSet& horn = pass, const SosSet& hornHighPass = pass, const SosSet& bass = pass)
{
    auto speaker = std::make_unique<RotarySpeaker> ();
    speaker->prepare (horn, hornHighPass, bass);
    return speaker;
}

Stereo run (RotarySpeaker& speaker, const std::vector<float>& input, int blockSize, const Settings& s)
{
    Stereo out { input, std::vector<float> (input.size (), -99.0f) };

    for (size_t done = 0; done < input.size (); done += (size_t) blockSize)
    {
        const int n = (int) std::min<size_t> ((size_t) blockSize, input.size () - done);
        speaker.process (
            out.left.data () + done, out.right.data () + done, n, s.sampleRate, s.on, s.fast, s.hornBassMix);
    }

    return out;
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

constexpr int supportedRates[6] { 44100, 48000, 88200, 96000, 176400, 192000 };
} // namespace

TEST (RotaryLines, HistoryLengthsAndLargestBlock)
{
    const int rotor[6] { 212, 231, 424, 461, 847, 922 };
    const int output[6] { 5, 5, 9, 10, 18, 20 };

    for (int r = 0; r < 6; ++r)
    {
        EXPECT_EQ (RotarySpeaker::rotorHistory (supportedRates[r]), rotor[r]) << supportedRates[r];
        EXPECT_EQ (RotarySpeaker::outputHistory (supportedRates[r]), output[r]) << supportedRates[r];
    }

    EXPECT_EQ (RotarySpeaker::maxBlockSize, 7270);
}

TEST (RotaryBypass, ScalesLeftAndDelaysRight)
{
    const int delays[6] { 5, 5, 9, 10, 18, 20 };

    for (int r = 0; r < 6; ++r)
    {
        // Blocks shorter than the delay, too.
        for (int blockSize : { 3, 64, 1000 })
        {
            auto speaker = makeSpeaker (smooth, smooth, smooth);
            const auto input = noise (3000, 1);
            const auto out = run (*speaker, input, blockSize, { supportedRates[r], false, true, 0.4f });

            for (size_t i = 0; i < input.size (); ++i)
            {
                const float left = input[i] * 0.15f;
                ASSERT_FLOAT_EQ (out.left[i], left) << i;
                const float delayed = i < (size_t) delays[r] ? 0.0f : input[i - (size_t) delays[r]] * 0.15f;
                ASSERT_FLOAT_EQ (out.right[i], delayed) << supportedRates[r] << " block " << blockSize << " at " << i;
            }

            // The rotor stands still while bypassed.
            EXPECT_EQ (speaker->speed (), 1.0f);
            EXPECT_EQ (speaker->hornAngleRevolutions (), 0.0);
            EXPECT_EQ (speaker->bassAngleRevolutions (), 0.0);
        }
    }
}

TEST (RotarySpeed, StartsAtOneAndSettlesToSlow)
{
    auto speaker = makeSpeaker ();
    EXPECT_EQ (speaker->speed (), 1.0f);
    EXPECT_EQ (speaker->hornAngleRevolutions (), 0.0);

    // 0.2 rev/s down at 2.0 rev/s per second: 0.1 s.
    const std::vector<float> one (1, 0.0f);
    int samples = 0;

    while ((double) speaker->speed () > 0.8 && samples < 48000)
    {
        run (*speaker, one, 1, { 48000, true, false, 0.4f });
        ++samples;
    }

    EXPECT_NEAR (samples, 4800, 5);
    const float settled = speaker->speed ();
    EXPECT_GT (settled + 2.0f / 48000.0f, 0.8f);

    run (*speaker, std::vector<float> (48000, 0.0f), 512, { 48000, true, false, 0.4f });
    EXPECT_EQ (speaker->speed (), settled);
}

TEST (RotarySpeed, RunUpAndRunDown)
{
    for (int rate : { 44100, 48000, 192000 })
    {
        auto speaker = makeSpeaker ();
        const float step = 2.0f / (float) rate;
        const std::vector<float> one (1, 0.0f);

        run (*speaker, std::vector<float> ((size_t) rate / 5, 0.0f), 1024, { rate, true, false, 0.4f });
        const float slow = speaker->speed ();
        ASSERT_LE (slow, 0.8f);

        // Linear: 2.0 rev/s more after each half second. The speed is a float
        // that gathers rounding from tens of thousands of tiny steps, hence the
        // slack of about half a percent.
        const std::vector<float> halfSecond ((size_t) rate / 2, 0.0f);
        run (*speaker, halfSecond, 4096, { rate, true, true, 0.4f });
        EXPECT_NEAR (speaker->speed (), slow + 1.0f, 0.01) << rate;
        run (*speaker, halfSecond, 4096, { rate, true, true, 0.4f });
        EXPECT_NEAR (speaker->speed (), slow + 2.0f, 0.01) << rate;

        // Stops at its first value of 6.6 or more, about 2.9 s after slow.
        int samples = rate;

        while ((double) speaker->speed () < 6.6 && samples < 4 * rate)
        {
            run (*speaker, one, 1, { rate, true, true, 0.4f });
            ++samples;
        }

        EXPECT_NEAR ((double) samples / rate, (6.6 - slow) / 2.0, 0.02) << rate;
        const float fast = speaker->speed ();
        EXPECT_GE ((double) fast, 6.6);
        EXPECT_LT ((double) (fast - step), 6.6);

        run (*speaker, halfSecond, 4096, { rate, true, true, 0.4f });
        EXPECT_EQ (speaker->speed (), fast);

        // And down again, to just at or below 0.8.
        samples = 0;

        while ((double) speaker->speed () > 0.8 && samples < 4 * rate)
        {
            run (*speaker, one, 1, { rate, true, false, 0.4f });
            ++samples;
        }

        EXPECT_NEAR ((double) samples / rate, (fast - 0.8) / 2.0, 0.02) << rate;
        EXPECT_LE ((double) speaker->speed (), 0.8);
        EXPECT_GT ((double) (speaker->speed () + step), 0.8);
    }
}

TEST (RotarySpeed, AnglesFollowTheSpeed)
{
    auto speaker = makeSpeaker ();
    run (*speaker, std::vector<float> (9600, 0.0f), 480, { 48000, true, false, 0.4f });

    // At a steady speed the horn turns speed revolutions per second, the bass 0.93 of that.
    const float speed = speaker->speed ();
    const double horn = speaker->hornAngleRevolutions ();
    const double bass = speaker->bassAngleRevolutions ();
    run (*speaker, std::vector<float> (48000, 0.0f), 480, { 48000, true, false, 0.4f });

    EXPECT_NEAR (speaker->hornAngleRevolutions () - horn, speed, 1e-4);
    EXPECT_NEAR (speaker->bassAngleRevolutions () / speaker->hornAngleRevolutions (), 0.93, 1e-9);
    EXPECT_NEAR (speaker->bassAngleRevolutions () - bass, 0.93 * speed, 1e-4);
}

TEST (RotaryMix, BassOnlyAtZero)
{
    // Both channels carry the same bass signal; the horn is absent.
    auto speaker = makeSpeaker (pass, pass, smooth);
    auto hornless = makeSpeaker (mute, mute, smooth);
    const auto input = noise (30000, 2);
    const Settings s { 48000, true, true, 0.0f };

    const auto out = run (*speaker, input, 500, s);
    EXPECT_EQ (out.left, out.right);
    EXPECT_EQ (out.left, run (*hornless, input, 500, s).left);

    // A constant through a pass-through bass filter reads back as itself
    // whatever the tap: the output is 0.3 times it.
    auto steady = makeSpeaker ();
    const auto dc = run (*steady, std::vector<float> (5000, 1.0f), 256, s);

    for (size_t i = 231; i < dc.left.size (); ++i)
    {
        ASSERT_FLOAT_EQ (dc.left[i], 0.3f) << i;
        ASSERT_FLOAT_EQ (dc.right[i], 0.3f) << i;
    }
}

TEST (RotaryMix, HornOnlyAtOne)
{
    // The bass rotor is absent from both channels.
    const auto input = noise (30000, 4);
    const Settings s { 48000, true, false, 1.0f };
    auto speaker = makeSpeaker (smooth, pass, pass);
    auto bassless = makeSpeaker (smooth, pass, mute);

    const auto out = run (*speaker, input, 700, s);
    const auto reference = run (*bassless, input, 700, s);
    EXPECT_EQ (out.left, reference.left);
    EXPECT_EQ (out.right, reference.right);
    EXPECT_NE (out.left, out.right);
}

TEST (RotaryMix, HornPathsAndQuarterTurn)
{
    // A constant horn signal reads back as itself on every path, so each
    // channel shows the sum of the path weights: the left with the horn at
    // angle theta, the right with it a quarter turn behind and D2 samples later.
    auto pathSum = [] (double theta)
    {
        double sum = 0.0;

        for (int k = 0; k < 12; ++k)
        {
            const double m = (1.0 + std::sin (theta + k * M_PI / 6.0)) / 2.0;
            sum += m * m * pathGains[k];
        }

        return sum;
    };

    for (int k = 0; k < 12; ++k)
        EXPECT_FLOAT_EQ (makeSpeaker ()->pathGainOf (k), (float) pathGains[k]) << k;

    constexpr int rate = 48000;
    constexpr int d2 = 5;
    auto speaker = makeSpeaker ();
    const Settings s { rate, true, true, 1.0f };

    // Fill the horn line, then follow the angle sample by sample.
    run (*speaker, std::vector<float> (1000, 1.0f), 100, s);

    std::vector<double> angles;
    std::vector<float> left, right;
    const std::vector<float> one (1, 1.0f);

    for (int i = 0; i < 20000; ++i)
    {
        const auto out = run (*speaker, one, 1, s);
        angles.push_back (2.0 * M_PI * speaker->hornAngleRevolutions ());
        left.push_back (out.left[0]);
        right.push_back (out.right[0]);
    }

    double lowest = 10.0, highest = 0.0;

    for (size_t i = 0; i + d2 < angles.size (); ++i)
    {
        ASSERT_NEAR (left[i], 0.3 * pathSum (angles[i]), 2e-6) << i;
        ASSERT_NEAR (right[i + d2], 0.3 * pathSum (angles[i] - M_PI / 2.0), 2e-6) << i;
        lowest = std::min (lowest, (double) left[i]);
        highest = std::max (highest, (double) left[i]);
    }

    // Over more than a turn the beaming swings the level.
    EXPECT_LT (lowest, 0.8 * highest);
}

TEST (RotaryTaps, DelaysStayWithinTheirRange)
{
    // Impulses far apart: each one's response must lie within 1.56 ms to
    // 4.8 ms (horn) or 3.6 ms to 4.8 ms (bass) after it, plus the interpolation's
    // neighbour sample; the right channel comes D2 samples later still.
    for (int rate : { 44100, 48000, 96000, 192000 })
    {
        const int spacing = rate / 100;
        const int longest = (int) std::ceil (0.0048 * rate) + 1;
        const int d2 = RotarySpeaker::outputHistory (rate);

        struct Case
        {
            float hornBassMix;
            double shortestMs;
        };

        for (const Case c : { Case { 0.0f, 3.6 }, Case { 1.0f, 1.56 } })
        {
            auto speaker = makeSpeaker ();
            std::vector<float> input ((size_t) spacing * 300, 0.0f);

            for (size_t i = 0; i < input.size (); i += (size_t) spacing)
                input[i] = 1.0f;

            const auto out = run (*speaker, input, 1024, { rate, true, true, c.hornBassMix });
            const int shortest = (int) std::floor (c.shortestMs * 0.001 * rate);
            int earliest = spacing, latest = 0;

            for (size_t i = 0; i < input.size (); ++i)
            {
                const int sinceLeft = (int) (i % (size_t) spacing);
                const int sinceRight = (int) ((i + (size_t) (spacing - d2)) % (size_t) spacing);

                if (out.left[i] != 0.0f)
                {
                    earliest = std::min (earliest, sinceLeft);
                    latest = std::max (latest, sinceLeft);
                }

                // With the bass alone the right channel is the left one (tested elsewhere).
                if (c.hornBassMix > 0.0f && out.right[i] != 0.0f)
                {
                    EXPECT_GE (sinceRight, shortest) << rate << " at " << i;
                    EXPECT_LE (sinceRight, longest) << rate << " at " << i;
                }
            }

            EXPECT_GE (earliest, shortest) << rate << " mix " << c.hornBassMix;
            EXPECT_LE (latest, longest) << rate << " mix " << c.hornBassMix;
            // The sweep really moves the tap across most of its range.
            EXPECT_LT (earliest, shortest + (longest - shortest) / 4) << rate << " mix " << c.hornBassMix;
            EXPECT_GT (latest, longest - (longest - shortest) / 4) << rate << " mix " << c.hornBassMix;
        }
    }
}

TEST (RotaryState, BlockSplitDoesNotMatter)
{
    // 192000 Hz keeps the longest rotor lines, so 7270 is the largest block
    // that fits; longer calls are taken in pieces.
    const auto input = noise (40000, 6);
    const Settings s { 192000, true, true, 0.6f };

    auto whole = makeSpeaker (smooth, pass, smooth);
    const auto reference = run (*whole, input, RotarySpeaker::maxBlockSize, s);

    for (int blockSize : { 1, 17, 230, 4096, 40000 })
    {
        auto speaker = makeSpeaker (smooth, pass, smooth);
        const auto out = run (*speaker, input, blockSize, s);
        EXPECT_EQ (out.left, reference.left) << blockSize;
        EXPECT_EQ (out.right, reference.right) << blockSize;
    }
}

TEST (RotaryState, PrepareKeepsRotorAndLines)
{
    const auto input = noise (20000, 8);
    const Settings s { 48000, true, true, 0.5f };
    auto steady = makeSpeaker ();
    auto prepared = makeSpeaker ();

    const auto first = run (*steady, input, 512, s);
    EXPECT_EQ (run (*prepared, input, 512, s).left, first.left);

    prepared->prepare (pass, pass, pass);
    EXPECT_EQ (prepared->speed (), steady->speed ());
    EXPECT_EQ (prepared->hornAngleRevolutions (), steady->hornAngleRevolutions ());

    // The pass-through filters hold no state, so only the lines and the rotor
    // could tell the two apart.
    const auto a = run (*steady, input, 512, s);
    const auto b = run (*prepared, input, 512, s);
    EXPECT_EQ (a.left, b.left);
    EXPECT_EQ (a.right, b.right);
}

TEST (RotaryState, BypassFreezesTheRotorLines)
{
    // The last audio heard with the speaker on comes out when it is switched
    // on again, after any time in bypass.
    auto speaker = makeSpeaker ();
    std::vector<float> lastBlock (256, 0.0f);
    lastBlock.back () = 1.0f;

    run (*speaker, lastBlock, 256, { 48000, true, false, 0.5f });
    const float speed = speaker->speed ();
    run (*speaker, noise (5000, 10), 256, { 48000, false, false, 0.5f });
    EXPECT_EQ (speaker->speed (), speed);

    const auto resumed = run (*speaker, std::vector<float> (256, 0.0f), 256, { 48000, true, false, 0.5f });
    float heard = 0.0f;

    for (float y : resumed.left)
        heard += std::abs (y);

    EXPECT_GT (heard, 0.1f);
}

TEST (RotaryState, SilenceStaysSilent)
{
    for (const Settings s : { Settings { 48000, true, false, 0.4f }, Settings { 44100, true, true, 1.0f },
             Settings { 192000, false, true, 0.0f } })
    {
        auto speaker = makeSpeaker (smooth, smooth, smooth);
        const std::vector<float> silence (30000, 0.0f);
        const auto out = run (*speaker, silence, 1024, s);
        EXPECT_EQ (out.left, silence);
        EXPECT_EQ (out.right, silence);
    }
}

TEST (RotaryState, UnsupportedRatesStayInsideTheLines)
{
    for (int rate : { 1, 8000, 384000 })
    {
        auto speaker = makeSpeaker ();
        const auto out = run (*speaker, noise (20000, 12), 8192, { rate, true, true, 0.5f });

        for (size_t i = 0; i < out.left.size (); ++i)
        {
            ASSERT_TRUE (std::isfinite (out.left[i])) << rate;
            ASSERT_TRUE (std::isfinite (out.right[i])) << rate;
        }
    }
}
