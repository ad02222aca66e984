#include "OrganHarness.h"

#include <gtest/gtest.h>

namespace
{
float envelope (const OrganHarness& organ) { return organ.processor.generator().percussionEnvelope(); }

// Seconds until the envelope first reaches 0.1 or less.
double decayTime (OrganHarness& organ)
{
    int samples = 0;

    while (envelope (organ) > 0.1f && samples < 48000 * 5)
    {
        organ.render (1);
        ++samples;
    }

    return samples / 48000.0;
}
} // namespace

TEST (Percussion, DecayTimes)
{
    struct Case
    {
        bool fast, soft;
        double seconds;
    };

    // 29.5 dB from 3.0 and 35.6 dB from 6.0, at 20 dB per 400 or 100 ms.
    const Case cases[] { { false, true, 0.5908 }, { true, true, 0.1477 }, { false, false, 0.7113 },
                         { true, false, 0.1778 } };

    for (const auto& c : cases)
    {
        OrganHarness organ;
        organ.set ("percSpeed", c.fast ? 1.0f : 0.0f);
        organ.set ("percVol", c.soft ? 1.0f : 0.0f);
        organ.noteOn (60);
        organ.render (0);
        EXPECT_EQ (envelope (organ), c.soft ? 3.0f : 6.0f);
        EXPECT_NEAR (decayTime (organ), c.seconds, 0.002) << c.fast << c.soft;

        // It stops at its first value at or below 0.1 and stays there.
        const float finished = envelope (organ);
        organ.render (4800);
        EXPECT_EQ (envelope (organ), finished);
        EXPECT_GT (finished, 0.0f);
    }
}

TEST (Percussion, SingleTriggerAndReArm)
{
    OrganHarness organ;
    organ.set ("percSpeed", 1.0f);

    // A chord in one block triggers once.
    organ.noteOn (60);
    organ.noteOn (64);
    organ.noteOn (67);
    organ.render (4800);
    const float afterChord = envelope (organ);

    // Legato: a new key while others are held does not retrigger.
    organ.noteOn (72);
    organ.render (1);
    EXPECT_LT (envelope (organ), afterChord);

    // Decay finished but keys still held: no retrigger.
    decayTime (organ);
    organ.noteOn (74);
    organ.render (1);
    EXPECT_LE (envelope (organ), 0.1f);

    // Released and struck again before the release ramp ends: no retrigger.
    for (int note : { 60, 64, 67, 72, 74 })
        organ.noteOff (note);
    organ.render (20);
    organ.noteOn (60);
    organ.render (1);
    EXPECT_LE (envelope (organ), 0.1f);

    // All keys up and their ramps complete: the next key triggers.
    organ.noteOff (60);
    organ.render (60);
    EXPECT_TRUE (organ.processor.generator().isUpperManualIdle());
    organ.noteOn (62);
    organ.render (0);
    EXPECT_EQ (envelope (organ), 3.0f);
}

TEST (Percussion, ReleaseAndRestrikeInOneBlockDoesNotRetrigger)
{
    OrganHarness organ;
    organ.set ("percSpeed", 1.0f);
    organ.noteOn (60);
    organ.render (48000); // decay finished, key held
    organ.noteOff (60);
    organ.noteOn (60);
    organ.render (1);
    EXPECT_LE (envelope (organ), 0.1f);
}

TEST (Percussion, LowerManualNeitherTriggersNorBlocks)
{
    OrganHarness organ;
    organ.set ("percSpeed", 1.0f);
    organ.noteOn (48, 2);
    organ.render (10);
    EXPECT_EQ (envelope (organ), 0.0f);

    organ.noteOn (60, 1);
    organ.render (48000);
    organ.noteOff (60, 1);
    organ.render (100); // the lower key still sounds
    organ.noteOn (62, 1);
    organ.render (0);
    EXPECT_EQ (envelope (organ), 3.0f);
}

TEST (Percussion, SoundsThroughSilentDrawbarsOnlyWhenSwitchedOn)
{
    auto play = [] (bool percussionOn, float balance)
    {
        OrganHarness organ;
        organ.soloDrawbars ({});
        organ.set ("percussion", percussionOn ? 1.0f : 0.0f);
        organ.set ("upperLowerBalance", balance);
        organ.noteOn (60);
        return organ.render (2000).left;
    };

    const auto off = play (false, 0.5f);
    const auto on = play (true, 0.5f);
    EXPECT_EQ (*std::max_element (off.begin(), off.end()), 0.0f);
    EXPECT_GT (*std::max_element (on.begin(), on.end()), 0.1f);
    EXPECT_EQ (play (true, 0.0f), off);

    // Percussion heard from the first sample: it skips the key's contacts and envelope.
    EXPECT_NE (on[1], 0.0f);
}

TEST (Percussion, SwitchingOnDuringADecayMakesTheRestHeard)
{
    OrganHarness organ;
    organ.soloDrawbars ({});
    organ.noteOn (60);
    organ.render (4800);
    const float running = envelope (organ);
    EXPECT_LT (running, 3.0f);
    EXPECT_GT (running, 0.1f);

    organ.set ("percussion", 1.0f);
    const auto heard = organ.render (256).left;
    EXPECT_GT (*std::max_element (heard.begin(), heard.end()), 0.0f);
}

TEST (Percussion, ThirdHarmonicUsesTheTwoAndTwoThirdsWheel)
{
    auto play = [] (bool third)
    {
        OrganHarness organ;
        organ.soloDrawbars ({});
        organ.set ("percussion", 1.0f);
        organ.set ("percFreq", third ? 1.0f : 0.0f);
        organ.noteOn (60);
        return organ.render (48000).left;
    };

    auto crossings = [] (const std::vector<float>& x)
    {
        int count = 0;
        for (size_t i = 1; i < 9600; ++i)
            count += (x[i - 1] < 0.0f && x[i] >= 0.0f) ? 1 : 0;
        return count;
    };

    // Note 60: the 4' wheel 48 is 523 Hz, the 2 2/3' wheel 55 is 784 Hz; 0.2 s of each.
    EXPECT_NEAR (crossings (play (false)), 104.7, 2);
    EXPECT_NEAR (crossings (play (true)), 156.8, 2);
}
