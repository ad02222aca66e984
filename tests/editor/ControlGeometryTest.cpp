// The geometry rules of the controls, through the small functions the
// drawing routines use. Expected numbers are those of the editor's layout.

#include "EditorTestSupport.h"

#include <cmath>

using namespace ControlGeometry;

TEST (DrawbarGeometry, ColourFollowsTheComponentId)
{
    const struct
    {
        const char* id;
        DrawbarColour colour;
    } cases[] = {
        { "0", DrawbarColour::brown },
        { "1", DrawbarColour::brown },
        { "l0", DrawbarColour::brown },
        { "l1", DrawbarColour::brown },
        { "4", DrawbarColour::black },
        { "6", DrawbarColour::black },
        { "7", DrawbarColour::black },
        { "l4", DrawbarColour::black },
        { "l6", DrawbarColour::black },
        { "l7", DrawbarColour::black },
        { "2", DrawbarColour::white },
        { "3", DrawbarColour::white },
        { "5", DrawbarColour::white },
        { "8", DrawbarColour::white },
        { "l8", DrawbarColour::white },
        { "l9", DrawbarColour::white },
        { "L4", DrawbarColour::white },
        { "", DrawbarColour::white },
    };

    for (auto& c : cases)
        EXPECT_EQ (drawbarColourFor (c.id), c.colour) << "id \"" << c.id << "\"";
}

TEST (DrawbarGeometry, PullOutCutsAtMostSeventyOnePercent)
{
    // Track of a 40 x 180 drawbar: (0, 12, 40, 156).
    EXPECT_EQ (drawbarVisibleArea (0, 40, 156, 0.0), juce::Rectangle<int> (0, 0, 40, 156));
    EXPECT_EQ (drawbarVisibleArea (0, 40, 156, 0.5), juce::Rectangle<int> (0, 55, 40, 100)); // d = 55.38
    EXPECT_EQ (drawbarVisibleArea (0, 40, 156, 1.0), juce::Rectangle<int> (0, 110, 40, 45)); // d = 110.76
    EXPECT_FLOAT_EQ (drawbarOffset (156, 1.0), 110.76f);

    // Even fully pushed in, the cut stays above the handle (row 216 of 291).
    EXPECT_LT (drawbarOffset (156, 1.0) / 156.0f, 216.0f / 291.0f);
}

TEST (DrawbarGeometry, PictureScalesToTheTrackHeight)
{
    const juce::Image bar (juce::Image::ARGB, 54, 291, true);
    const auto size = scaledSize (bar, 156.0f / 291.0f);
    EXPECT_EQ (size.x, 28);
    EXPECT_GE (size.y, 155);
    EXPECT_LE (size.y, 156);

    EXPECT_EQ (scaledSize (juce::Image (), 156.0f / 291.0f), juce::Point<int> ());
    EXPECT_EQ (scaledSize (juce::Image (), std::numeric_limits<float>::infinity ()), juce::Point<int> ());
}

TEST (HorizontalSliderGeometry, ThumbIsTwentyByFortyOnASeventyPixelTrack)
{
    const juce::Image cap (juce::Image::ARGB, 100, 200, true);
    EXPECT_EQ (scaledSize (cap, thumbScale (70, 200)), juce::Point<int> (20, 40));
    EXPECT_EQ (thumbScale (70, 0), 0.0f);
}

TEST (HorizontalSliderGeometry, TickPositionsAndLongTicks)
{
    const struct
    {
        const char* name;
        double minimum, maximum;
        std::vector<int> xs;
        int longTick;
    } cases[] = {
        { "leslieHQBass", 0.0, 1.0, { 10, 22, 35, 47, 60, 73, 85, 98, 110, 123, 136 }, 5 },
        { "leslieGain", 0.01, 1.0, { 10, 22, 35, 47, 60, 73, 85, 98, 110, 123, 136 }, 5 },
        { "leakageLevel", 0.0, 1.0, { 10, 22, 35, 47, 60, 73, 85, 98, 110, 123, 136 }, 2 },
        { "keyClickLevel", 0.0, 5.0, { 10, 35, 60, 85, 110, 136 }, 1 },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto t = horizontalTicks (c.name, c.minimum, c.maximum, 126);
        ASSERT_EQ (t.count, (int) c.xs.size ());
        EXPECT_EQ (t.longTick, c.longTick);

        for (int i = 0; i < t.count; ++i)
            EXPECT_EQ (tickX (i, t.step, 20), c.xs[(size_t) i]) << "tick " << i;
    }

    // A range with a maximum above 1 but less than one unit wide gets one tick, not a NaN.
    const auto single = horizontalTicks ("odd", 1.2, 1.5, 126);
    EXPECT_EQ (single.count, 1);
    EXPECT_EQ (tickX (0, single.step, 20), 10);
}

TEST (HorizontalSliderGeometry, ThumbTravelsTheWholeSpan)
{
    // leslieGain runs from 0.01 to 1: its ends put the thumb at the ends.
    EXPECT_EQ (thumbX (126, (0.01 - 0.01) / 0.99), 0);
    EXPECT_EQ (thumbX (126, (1.0 - 0.01) / 0.99), 126);
    EXPECT_EQ (thumbX (126, 0.5), 63);
}

TEST (HorizontalSliderGeometry, CaptionsBySliderName)
{
    const struct
    {
        const char* name;
        double maximum;
        const char* left;
        const char* right;
        const char* title;
    } cases[] = {
        { "keyClickLevel", 5.0, "SMOOTH", "HARD", "KEY CLICK" },
        { "leslieHQBass", 1.0, "BASS", "HORN", "LESLIE MIX" },
        { "leslieGain", 1.0, "CLEAN", "DIRTY", "LESLIE DRIVE" },
        { "upperLowerBalance", 1.0, "LOWER", "UPPER", "KEYBOARD MIX" },
        { "leakageLevel", 1.0, "LOW", "HIGH", "LEAKAGE LEVEL" },
    };

    for (auto& c : cases)
    {
        auto* captions = sliderCaptionsFor (c.name, c.maximum);
        ASSERT_NE (captions, nullptr) << c.name;
        EXPECT_STREQ (captions->left, c.left);
        EXPECT_STREQ (captions->right, c.right);
        EXPECT_STREQ (captions->title, c.title);
    }

    EXPECT_EQ (sliderCaptionsFor ("somethingElse", 1.0), nullptr);
    EXPECT_EQ (sliderCaptionsFor ("leslieHQBass", 1.0)->titleHeight, 12);
    EXPECT_EQ (sliderCaptionsFor ("leslieGain", 1.0)->titleFont, 10.0f);
}

TEST (SwitchGeometry, RockerCaptionsByButtonName)
{
    const struct
    {
        const char* name;
        const char* top;
        const char* bottom;
        const char* title;
    } cases[] = {
        { "percussion", "ON", "OFF", "PERCUSSION" },
        { "percFreq", "THIRD", "SECOND", "PERCUSSION HARMONIC" },
        { "percVol", "SOFT", "NORMAL", "PERCUSSION VOLUME" },
        { "percSpeed", "FAST", "SLOW", "PERCUSSION DECAY" },
        { "vcUpOnOff", "ON", "OFF", "VIBRATO GREAT" },
        { "vcDownOnOff", "ON", "OFF", "VIBRATO SWELL" },
    };

    for (auto& c : cases)
    {
        auto* captions = rockerCaptionsFor (c.name);
        ASSERT_NE (captions, nullptr) << c.name;
        EXPECT_STREQ (captions->top, c.top);
        EXPECT_STREQ (captions->bottom, c.bottom);
        EXPECT_STREQ (captions->title, c.title);
    }

    for (auto* lamp : { "leslieOnOff", "FastLeslie", "splitkeyboard", "splitlearn", "Percussion" })
        EXPECT_EQ (rockerCaptionsFor (lamp), nullptr) << lamp;
}

TEST (SwitchGeometry, RockerAndLampSizes)
{
    const juce::Image face (juce::Image::ARGB, 92, 152, true);
    EXPECT_EQ (scaledSize (face, 70.0f / 152.0f), juce::Point<int> (42, 70));

    EXPECT_EQ (lampPosition (150, 70, 45, 45), juce::Point<int> (52, 16));
    EXPECT_EQ (lampPosition (100, 70, 45, 45), juce::Point<int> (27, 16));
}

TEST (KnobGeometry, SelectorPointsAtTheSixLabels)
{
    const float start = 1.2f * juce::MathConstants<float>::pi;
    const float end = 2.8f * juce::MathConstants<float>::pi;
    const double degrees[] = { 216.0, 273.6, 331.2, 388.8, 446.4, 504.0 };

    for (int v = 0; v <= 5; ++v)
        EXPECT_NEAR (juce::radiansToDegrees (knobAngle ((float) v / 5.0f, start, end)), degrees[v], 1.0e-3) << v;

    EXPECT_EQ (knobTickCount ("vcMode"), 6);
    EXPECT_FALSE (isReverbKnob ("vcMode"));

    for (auto* reverb : { "roomSize", "reverbMix", "reverbAttenuation" })
    {
        EXPECT_TRUE (isReverbKnob (reverb));
        EXPECT_EQ (knobTickCount (reverb), 11);
    }
}
