#include "OrganHarness.h"

#include <engine/tables/Tonewheels.h>

#include <cmath>
#include <gtest/gtest.h>

using namespace quarbell;

TEST (TonewheelTables, WheelFrequencies)
{
    EXPECT_NEAR (wheelFrequency (0), 32.6923, 1e-4);
    EXPECT_EQ (wheelFrequency (45), 440.0);
    EXPECT_NEAR (wheelFrequency (83), 3949.7143, 1e-4);
    EXPECT_NEAR (wheelFrequency (84), 4189.0909, 1e-4);
    EXPECT_NEAR (wheelFrequency (90), 5924.5714, 1e-4);

    // The top seven wheels sit 1.3 to 2.7 cents above twice wheels 72 ... 78.
    for (int w = 84; w <= 90; ++w)
    {
        const double cents = 1200.0 * std::log2 (wheelFrequency (w) / (2.0 * wheelFrequency (w - 12)));
        EXPECT_GT (cents, 1.3);
        EXPECT_LT (cents, 2.7);
    }
}

TEST (TonewheelTables, TotalsAndContiguousLoopsAtEveryRate)
{
    const std::pair<int, int> totals[] { { 44100, 68050 }, { 48000, 66396 },   { 88200, 91212 },
                                         { 96000, 90518 }, { 176400, 135635 }, { 192000, 140259 } };

    for (auto [rate, total] : totals)
    {
        const auto* t = tonewheelTablesForRate (rate);
        ASSERT_NE (t, nullptr) << rate;
        EXPECT_EQ (t->total, total) << rate;
        EXPECT_EQ (t->start[0], 0);

        for (int w = 1; w < numTonewheels; ++w)
            EXPECT_EQ (t->start[w], t->start[w - 1] + t->length[w - 1]) << rate << " wheel " << w;

        EXPECT_EQ (t->start[90] + t->length[90], total);
    }

    EXPECT_EQ (tonewheelTablesForRate (32000), nullptr);
}

TEST (TonewheelTables, TellingRows)
{
    struct Row
    {
        int wheel, rate, cycles, length;
    };
    const Row rows[] {
        { 0, 44100, 2, 2697 },   { 0, 48000, 1, 1468 },   { 0, 96000, 1, 2936 },    { 0, 192000, 1, 5872 },
        { 1, 44100, 1, 1273 },   { 1, 48000, 2, 2771 },   { 1, 96000, 1, 2771 },    { 1, 192000, 1, 5543 },
        { 45, 44100, 5, 501 },   { 45, 48000, 11, 1200 }, { 45, 96000, 6, 1309 },   { 45, 192000, 3, 1309 },
        { 84, 44100, 19, 200 },  { 84, 48000, 11, 126 },  { 84, 96000, 11, 252 },   { 84, 192000, 6, 275 },
        { 90, 44100, 25, 186 },  { 90, 48000, 10, 81 },   { 90, 96000, 5, 81 },     { 90, 192000, 5, 162 },
        { 0, 176400, 0, 5395 },  { 1, 176400, 0, 5093 },  { 10, 48000, 0, 1647 },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (testing::Message() << "wheel " << row.wheel << " at " << row.rate);
        const auto* t = tonewheelTablesForRate (row.rate);
        const int length = t->length[row.wheel];
        EXPECT_EQ (length, row.length);

        if (row.cycles > 0)
        {
            // The loop holds whole cycles and sounds less than 0.05 % sharp.
            const double f = wheelFrequency (row.wheel);
            EXPECT_EQ ((int) std::floor (row.cycles * (double) row.rate / f), length);
            const double loopPitch = row.cycles * (double) row.rate / length;
            EXPECT_GE (loopPitch, f);
            EXPECT_LT (loopPitch, f * 1.0005);
        }
    }
}

// Every loop of every rate, length and samples, against the rule written out
// independently: the fewest whole cycles whose loop is less than 0.05 % sharp,
// and the exact sine of the wheel rounded to float.
TEST (TonewheelTables, EveryLoopFollowsTheRuleBitForBit)
{
    for (int rate : supportedSampleRates)
    {
        const auto* t = tonewheelTablesForRate (rate);

        for (int w = 0; w < numTonewheels; ++w)
        {
            const double f = wheelFrequency (w);
            int length = 0;

            for (int c = 1; length == 0; ++c)
            {
                const int candidate = (int) std::floor (c * (double) rate / f);

                if (c * (double) rate / candidate < f * 1.0005)
                    length = candidate;
            }

            ASSERT_EQ (t->length[w], length) << rate << " wheel " << w;

            int mismatches = 0;

            for (int n = 0; n < length; ++n)
            {
                const auto expected = (float) std::sin (2.0 * M_PI * f * n / rate);
                mismatches += t->samples[t->start[w] + n] != expected ? 1 : 0;
            }

            EXPECT_EQ (mismatches, 0) << rate << " wheel " << w;
        }
    }
}

TEST (TonewheelTables, PrepareSelectsTheRateAndStaggersTheWheels)
{
    OrganHarness organ (48000.0);
    const auto& gen = organ.processor.generator();
    EXPECT_EQ (gen.tables().sampleRate, 48000);

    // Wheel 90 (81 samples) starts at its loop start, wheel 10 (1647) at offset 50.
    EXPECT_EQ (gen.wheelPosition (90), gen.tables().start[90]);
    EXPECT_EQ (gen.wheelPosition (10), gen.tables().start[10] + 50);

    const std::pair<double, int> rates[] { { 48000.7, 48000 }, { 176400.0, 176400 }, { 44100.0, 44100 } };

    for (auto [requested, selected] : rates)
    {
        organ.processor.prepareToPlay (requested, 512);
        EXPECT_EQ (gen.tables().sampleRate, selected) << requested;
    }

    EXPECT_EQ (gen.tables().length[0], 2697);

    // Any other rate gets loops of its own, made by the same rule.
    organ.processor.prepareToPlay (32000.0, 512);
    EXPECT_EQ (gen.tables().sampleRate, 32000);
    EXPECT_EQ (gen.tables().length[45], quarbell::wheelLoopLength (45, 32000));
}

TEST (TonewheelTables, AFreshProcessorUsesTheHighestRateTables)
{
    VelmoranAudioProcessor processor;
    EXPECT_EQ (processor.generator().tables().sampleRate, 192000);
}
