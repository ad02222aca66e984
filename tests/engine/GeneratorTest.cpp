#include "OrganHarness.h"

#include <cmath>
#include <gtest/gtest.h>

using quarbell::ToneGenerator;

namespace
{
bool allZero (const std::vector<float>& samples, size_t from = 0, size_t to = SIZE_MAX)
{
    for (size_t i = from; i < std::min (to, samples.size()); ++i)
        if (samples[i] != 0.0f)
            return false;
    return true;
}
} // namespace

TEST (Generator, SilentWithoutKeysAndIgnoresTheInput)
{
    OrganHarness organ;
    juce::AudioBuffer<float> buffer (2, 256);

    for (int ch = 0; ch < 2; ++ch)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 0.5f, 256);

    juce::MidiBuffer midi;
    organ.processor.processBlock (buffer, midi);
    EXPECT_EQ (buffer.getMagnitude (0, 256), 0.0f);
}

// One key, the 8' drawbar alone: channel 0 carries 0.08 x (wheel + leakage share).
TEST (Generator, SingleKeyOutputFollowsTheFormulaExactly)
{
    OrganHarness organ;
    organ.soloDrawbars ({ 2 });
    organ.noteOn (69); // wheel 45, leakage partner 88
    const auto block = organ.render (2400);

    const auto& t = organ.processor.generator().tables();
    const int wheel = 45, partner = 88;
    const int startPhase = 5 * wheel, partnerPhase = 5 * partner < t.length[partner] ? 5 * partner : 0;
    const float leakage = 0.2f;

    for (int i = 0; i < 2400; ++i)
    {
        float expected = 0.0f;

        if (i >= 7) // the 8' contact closes after 7 samples at 48000 Hz
        {
            const float s = t.samples[t.start[wheel] + (startPhase + i) % t.length[wheel]];
            const float p = t.samples[t.start[partner] + (partnerPhase + i) % t.length[partner]];
            expected = (float) (s + 0.01 * leakage * p);
            expected = (float) (expected * 0.08);
        }

        ASSERT_EQ (block.left[(size_t) i], expected) << "sample " << i;
    }

    EXPECT_TRUE (allZero (block.right));
}

TEST (Generator, DrawbarLaw)
{
    EXPECT_EQ (ToneGenerator::drawbarGain (8.0f), 0.0f);
    EXPECT_EQ (ToneGenerator::drawbarGain (0.0f), 1.0f);
    EXPECT_NEAR (ToneGenerator::drawbarGain (1.0f), 0.708, 5e-4);
    EXPECT_NEAR (ToneGenerator::drawbarGain (7.0f), 0.089, 5e-4);
    EXPECT_FLOAT_EQ (ToneGenerator::drawbarGain (7.5f), (float) std::pow (10.0, -1.125));
}

TEST (Generator, BalanceMovesGainBetweenTheManuals)
{
    auto play = [] (float balance)
    {
        OrganHarness organ;
        organ.set ("upperLowerBalance", balance);
        organ.noteOn (60, 1);
        organ.noteOn (48, 2);
        return organ.render (1024);
    };

    const auto centre = play (0.5f), lowerOnly = play (0.0f), upperOnly = play (1.0f);
    EXPECT_TRUE (allZero (lowerOnly.left));
    EXPECT_TRUE (allZero (upperOnly.right));

    for (size_t i = 0; i < 1024; ++i)
    {
        ASSERT_EQ (lowerOnly.right[i], 2.0f * centre.right[i]);
        ASSERT_EQ (upperOnly.left[i], 2.0f * centre.left[i]);
    }
}

TEST (Generator, TheFiveAndAThirdContactClosesLast)
{
    OrganHarness organ;
    organ.soloDrawbars ({ 1 });
    organ.noteOn (60);
    const auto block = organ.render (200);
    EXPECT_TRUE (allZero (block.left, 0, 57));
    EXPECT_NE (block.left[57], 0.0f);
}

TEST (Generator, KeyClickRampsFromTheClickLevelToOneIn2ms)
{
    for (float level : { 5.0f, 0.0f, 2.5f })
    {
        SCOPED_TRACE (level);
        OrganHarness organ;
        organ.set ("keyClickLevel", level);
        organ.noteOn (60);
        organ.render (1);

        const float step = std::abs (level - 1.0f) / (1.35f * 1.5f * 48.0f);
        const auto& key = organ.processor.generator().slot (0);
        EXPECT_NEAR (key.envelope, level + (level > 1 ? -step : step), 1e-5);

        organ.render (96); // 97 samples: 2.02 ms, not quite there
        EXPECT_NE (key.envelope, 1.0f);
        organ.render (1);
        EXPECT_EQ (key.envelope, 1.0f);
    }
}

TEST (Generator, AnUnfinishedRampHoldsWhileTheClickLevelIsOne)
{
    OrganHarness organ;
    organ.set ("keyClickLevel", 3.0f);
    organ.noteOn (60);
    organ.render (10);
    const float reached = organ.processor.generator().slot (0).envelope;
    organ.set ("keyClickLevel", 1.0f);
    organ.render (200);
    EXPECT_EQ (organ.processor.generator().slot (0).envelope, reached);
}

// The ramp reaches zero after 1 ms; float rounding may leave a last step of
// 1e-9 or so, which frees the slot one sample later.
TEST (Generator, ReleaseSilencesAndFreesTheSlotAfterOneMillisecond)
{
    const std::pair<double, int> rates[] { { 48000.0, 48 }, { 44100.0, 45 }, { 96000.0, 96 } };

    for (auto [rate, samples] : rates)
    {
        SCOPED_TRACE (rate);
        OrganHarness organ (rate);
        organ.noteOn (60);
        organ.render (300);
        organ.noteOff (60);
        organ.render (samples - 1);
        ASSERT_EQ (organ.activeSlots(), 1);
        EXPECT_GT (organ.processor.generator().slot (0).envelope, 0.001f);

        organ.render (1);
        const auto& key = organ.processor.generator().slot (0);
        EXPECT_TRUE (! key.active || std::abs (key.envelope) < 1e-6f);

        organ.render (1);
        EXPECT_EQ (organ.activeSlots(), 0);
        EXPECT_TRUE (allZero (organ.render (64).left));
    }
}

TEST (Generator, LeakageReachesOnlyWheelsWithPartners)
{
    auto play = [] (int note, float leakage)
    {
        OrganHarness organ;
        organ.set ("leakageLevel", leakage);
        organ.soloDrawbars ({ 0 });
        organ.noteOn (note);
        return organ.render (512).left;
    };

    // Drawbar 0 of note n sounds wheel n - 36.
    for (int wheel : { 0, 4, 12, 16, 36, 40 })
        EXPECT_EQ (play (wheel + 36, 0.0f), play (wheel + 36, 1.0f)) << "wheel " << wheel;

    for (int wheel : { 5, 11, 24, 29, 41, 48, 53 })
        EXPECT_NE (play (wheel + 36, 0.0f), play (wheel + 36, 1.0f)) << "wheel " << wheel;
}

TEST (Generator, LeakagePairsAreSymmetric)
{
    int paired = 0;

    for (int w = 0; w < 91; ++w)
    {
        const int partner = quarbell::leakageMap[w];

        if (partner < 0)
            continue;

        ++paired;
        EXPECT_EQ (quarbell::leakageMap[partner - 1], w + 1) << "wheel " << w;
    }

    EXPECT_EQ (paired, 91 - 15);
}
