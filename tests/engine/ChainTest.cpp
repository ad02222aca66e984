#include "OrganHarness.h"

#include <gtest/gtest.h>

using Tap = VelmoranAudioProcessor::Tap;

namespace
{
void everyEffectOn (OrganHarness& organ)
{
    organ.set ("vcUpOnOff", 1.0f);
    organ.set ("vcDownOnOff", 1.0f);
    organ.set ("vcMode", 3.0f);
    organ.set ("reverbMix", 0.6f);
    organ.set ("leslieGain", 0.5f);
    organ.set ("FastLeslie", 1.0f);
}

std::vector<float> interleave (const OrganHarness::Block& block)
{
    std::vector<float> both (block.left);
    both.insert (both.end(), block.right.begin(), block.right.end());
    return both;
}
} // namespace

TEST (Chain, SilenceStaysSilentThroughEveryStage)
{
    OrganHarness organ (48000.0, Tap::output);
    everyEffectOn (organ);

    for (int i = 0; i < 20; ++i)
    {
        const auto block = organ.render (512);
        ASSERT_EQ (*std::max_element (block.left.begin(), block.left.end()), 0.0f);
        ASSERT_EQ (*std::min_element (block.right.begin(), block.right.end()), 0.0f);
    }
}

// A host block longer than the stages hold is rendered in pieces, exactly as
// a host handing over those pieces would get it; MIDI lands in the first.
TEST (Chain, LongBlocksRenderAsTheirPieces)
{
    const int n = 3 * VelmoranAudioProcessor::maxPieceSize + 123;

    OrganHarness whole (96000.0, Tap::output), pieces (96000.0, Tap::output);

    for (auto* organ : { &whole, &pieces })
    {
        everyEffectOn (*organ);
        organ->noteOn (60);
        organ->noteOn (43, 2);
    }

    const auto expected = whole.render (n);
    std::vector<float> left, right;

    for (int done = 0; done < n; done += VelmoranAudioProcessor::maxPieceSize)
    {
        const auto part = pieces.render (std::min (VelmoranAudioProcessor::maxPieceSize, n - done));
        left.insert (left.end(), part.left.begin(), part.left.end());
        right.insert (right.end(), part.right.begin(), part.right.end());
    }

    EXPECT_EQ (expected.left, left);
    EXPECT_EQ (expected.right, right);
    EXPECT_GT (*std::max_element (left.begin(), left.end()), 0.01f);
}

TEST (Chain, SpeakerMakesStereoAndItsBypassScalesTheMonoOrgan)
{
    auto play = [] (Tap tap, bool speakerOn)
    {
        OrganHarness organ (48000.0, tap);
        organ.set ("leslieOnOff", speakerOn ? 1.0f : 0.0f);
        organ.noteOn (60);
        organ.noteOn (48, 2);
        return organ.render (9600);
    };

    const auto spinning = play (Tap::output, true);
    EXPECT_NE (spinning.left, spinning.right);

    // Bypassed: 0.15 times the organ on the left, the same 5 samples later on the right.
    const auto organ = play (Tap::reverb, false).left;
    const auto bypassed = play (Tap::output, false);

    for (size_t i = 0; i < organ.size(); ++i)
    {
        ASSERT_FLOAT_EQ (bypassed.left[i], 0.15f * organ[i]) << i;
        ASSERT_FLOAT_EQ (bypassed.right[i], i < 5 ? 0.0f : 0.15f * organ[i - 5]) << i;
    }
}

TEST (Chain, EachTapStopsAfterItsStage)
{
    auto play = [] (Tap tap)
    {
        OrganHarness organ (48000.0, tap);
        everyEffectOn (organ);
        organ.noteOn (60);
        organ.noteOn (48, 2);
        return interleave (organ.render (4096));
    };

    const auto generator = play (Tap::generator), scanner = play (Tap::scanner), drive = play (Tap::drive),
               reverb = play (Tap::reverb), output = play (Tap::output);

    EXPECT_NE (generator, scanner);
    EXPECT_NE (scanner, drive);
    EXPECT_NE (drive, reverb);
    EXPECT_NE (reverb, output);
}
