// Draws the controls through OtherLookAndFeel into images and samples them at
// the places the editor's layout puts their parts.

#include "EditorTestSupport.h"

#include <cmath>

namespace
{
const juce::uint32 antiqueWhite = 0xfaebd7;

int maxAlpha (const juce::Image& img, juce::Rectangle<int> area)
{
    int best = 0;
    area = area.getIntersection (img.getBounds ());

    for (int y = area.getY (); y < area.getBottom (); ++y)
        for (int x = area.getX (); x < area.getRight (); ++x)
            best = juce::jmax (best, (int) img.getPixelAt (x, y).getAlpha ());

    return best;
}

bool fontsAvailable ()
{
    return !juce::Font::findAllTypefaceNames ().isEmpty ();
}

// A point at a distance from a knob's centre in the direction of an angle
// measured clockwise from 12 o'clock.
juce::Point<int> alongAngle (float cx, float cy, double degrees, double distance)
{
    const double a = juce::degreesToRadians (degrees);
    return { juce::roundToInt (cx + distance * std::sin (a)), juce::roundToInt (cy - distance * std::cos (a)) };
}

class ControlDrawing : public GuiTest
{
protected:
    OtherLookAndFeel lookAndFeel;
};

class MissingPictures : public GuiTest
{
protected:
    OtherLookAndFeel lookAndFeel { brokenSources () };
};
} // namespace

//==============================================================================
TEST_F (ControlDrawing, DrawbarFullyOutShowsWholeBarFromTrackTop)
{
    const auto img = renderSlider (lookAndFeel, "drawbar0", "0", juce::Slider::LinearVertical, 0, 8, 0, 40, 180);

    // Shaft from the track top (y 12), its dark middle between the digits,
    // and the brown handle at the bottom of the track.
    EXPECT_EQ (img.getPixelAt (14, 40).getAlpha (), 255);
    EXPECT_LT (brightness (img.getPixelAt (14, 40)), 0x40);
    EXPECT_LE (colourDistance (img.getPixelAt (7, 40), 0xe4d8c4), 0x20);
    EXPECT_LE (colourDistance (img.getPixelAt (14, 150), 0x744f30), 0x20);
    // Nothing above the track but the blur of the top band.
    EXPECT_EQ (maxAlpha (img, { 0, 0, 40, 7 }), 0);
}

TEST_F (ControlDrawing, DrawbarPushedInShowsOnlyTheHandleAtTheTop)
{
    const auto img = renderSlider (lookAndFeel, "drawbar0", "0", juce::Slider::LinearVertical, 0, 8, 8, 40, 180);

    EXPECT_LE (colourDistance (img.getPixelAt (14, 40), 0x744f30), 0x20);
    // Below the handle and its shadow the track is empty.
    EXPECT_EQ (maxAlpha (img, { 0, 80, 40, 100 }), 0);
}

TEST_F (ControlDrawing, DrawbarHandleColourFollowsItsId)
{
    const struct
    {
        const char* id;
        juce::uint32 handle;
    } cases[] = { { "l1", 0x744f30 }, { "l4", 0x141414 }, { "4", 0x141414 }, { "2", 0xe4d8c4 }, { "l9", 0xe4d8c4 } };

    for (auto& c : cases)
    {
        const auto img = renderSlider (lookAndFeel, "drawbar", c.id, juce::Slider::LinearVertical, 0, 8, 8, 40, 180);
        EXPECT_LE (colourDistance (img.getPixelAt (14, 40), c.handle), 0x20) << c.id;
    }
}

TEST_F (ControlDrawing, DrawbarTopCarriesTheSoftPanelShadow)
{
    const auto img = renderSlider (lookAndFeel, "drawbar3", "3", juce::Slider::LinearVertical, 0, 8, 8, 40, 180);
    const auto band = img.getPixelAt (32, 18);
    EXPECT_GT (band.getAlpha (), 0x10);
    EXPECT_LE (band.getAlpha (), 0x66);
    EXPECT_LT (brightness (band), 0x08);
}

TEST_F (MissingPictures, DrawbarStillCastsItsShadows)
{
    const auto img = renderSlider (lookAndFeel, "drawbar0", "0", juce::Slider::LinearVertical, 0, 8, 8, 40, 180);

    // No picture: nothing where the handle would be ...
    EXPECT_EQ (img.getPixelAt (14, 38).getAlpha (), 0);
    // ... but the handle's shadow block (0, r - 15, 30, 15) moved by (5, 15),
    // with r = 156 - 110.76, and the band at the top are drawn.
    EXPECT_GT (img.getPixelAt (20, 52).getAlpha (), 0x80);
    EXPECT_GT (img.getPixelAt (20, 18).getAlpha (), 0x10);
}

//==============================================================================
TEST_F (ControlDrawing, HorizontalSliderTicksSitAtTheirColumns)
{
    const struct
    {
        const char* name;
        double minimum, maximum;
        std::vector<int> xs;
        int longX;
    } cases[] = {
        { "leslieHQBass", 0.0, 1.0, { 10, 22, 35, 47, 60, 73, 85, 98, 110, 123, 136 }, 73 },
        { "leakageLevel", 0.0, 1.0, { 10, 22, 35, 47, 60, 73, 85, 98, 110, 123, 136 }, 35 },
        { "keyClickLevel", 0.0, 5.0, { 10, 35, 60, 85, 110, 136 }, 35 },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto img = renderSlider (
            lookAndFeel, c.name, "x", juce::Slider::LinearHorizontal, c.minimum, c.maximum, c.minimum, 170, 70);

        for (int x : c.xs)
        {
            EXPECT_LE (colourDistance (img.getPixelAt (x, 19), antiqueWhite), 2) << "tick at " << x;
            EXPECT_EQ (img.getPixelAt (x + 4, 19).getAlpha (), 0) << "gap after " << x;
            EXPECT_EQ (img.getPixelAt (x, 14).getAlpha () == 255, x == c.longX) << "length of tick at " << x;
        }
    }
}

TEST_F (ControlDrawing, HorizontalThumbRunsFromLeftEdgeToRightEnd)
{
    // leslieGain runs from 0.01 to 1; the thumb ignores the track's x of 12.
    const auto atMin
        = renderSlider (lookAndFeel, "leslieGain", "x", juce::Slider::LinearHorizontal, 0.01, 1.0, 0.01, 170, 70);
    const auto atMax
        = renderSlider (lookAndFeel, "leslieGain", "x", juce::Slider::LinearHorizontal, 0.01, 1.0, 1.0, 170, 70);

    EXPECT_LE (colourDistance (atMin.getPixelAt (3, 30), 0xe4d8c4), 0x28);
    EXPECT_LE (colourDistance (atMax.getPixelAt (129, 30), 0xe4d8c4), 0x28);
    EXPECT_NE (atMax.getPixelAt (3, 30).getAlpha (), 255);
    EXPECT_NE (atMin.getPixelAt (129, 30).getAlpha (), 255);

    // Thumb top at y 20, bottom at 59.
    EXPECT_EQ (atMin.getPixelAt (3, 20).getAlpha (), 255);
    EXPECT_EQ (atMin.getPixelAt (3, 59).getAlpha (), 255);
    EXPECT_NE (atMin.getPixelAt (3, 61).getAlpha (), 255);

    // The groove is a shadow at y 39 to 41 under the travel.
    EXPECT_GT (atMin.getPixelAt (90, 40).getAlpha (), 0x20);
    EXPECT_EQ (atMin.getPixelAt (90, 33).getAlpha (), 0);
}

TEST_F (ControlDrawing, HorizontalCaptionsOnlyForKnownSliders)
{
    if (!fontsAvailable ())
        GTEST_SKIP () << "no fonts to draw captions with";

    const auto named
        = renderSlider (lookAndFeel, "leslieHQBass", "x", juce::Slider::LinearHorizontal, 0, 1, 1, 170, 70);
    const auto unnamed = renderSlider (lookAndFeel, "other", "x", juce::Slider::LinearHorizontal, 0, 1, 1, 170, 70);

    EXPECT_GT (maxAlpha (named, { 0, 0, 30, 10 }), 0x80); // left caption
    EXPECT_GT (maxAlpha (named, { 116, 0, 30, 10 }), 0x80); // right caption, ends at the track width
    EXPECT_EQ (maxAlpha (named, { 150, 0, 20, 12 }), 0);
    EXPECT_EQ (maxAlpha (unnamed, { 0, 0, 170, 11 }), 0);
}

TEST_F (MissingPictures, HorizontalSliderStillDrawsTicksAndCaptions)
{
    const auto img = renderSlider (lookAndFeel, "keyClickLevel", "x", juce::Slider::LinearHorizontal, 0, 5, 1, 170, 70);

    // A 0 x 0 thumb leaves the whole width as travel: ticks at 0, 29, 58, ...
    // (the groove's shadow now runs at y 19, so look below it).
    EXPECT_LE (colourDistance (img.getPixelAt (0, 27), antiqueWhite), 2);
    EXPECT_LE (colourDistance (img.getPixelAt (29, 14), antiqueWhite), 2);
    EXPECT_LE (colourDistance (img.getPixelAt (146, 27), antiqueWhite), 2);

    if (fontsAvailable ())
    {
        EXPECT_GT (maxAlpha (img, { 0, 0, 146, 10 }), 0x80);
    }
}

//==============================================================================
TEST_F (ControlDrawing, RockerMirrorsAndMovesItsShadowWhenOn)
{
    const auto off = renderToggle (lookAndFeel, "percussion", "Percussion On/Off", false, 60, 70);
    const auto on = renderToggle (lookAndFeel, "percussion", "Percussion On/Off", true, 60, 70);

    // The plate is 42 x 70: the highlight band is at the top when off and at the bottom when on.
    EXPECT_GE (off.getPixelAt (40, 35).getAlpha (), 250);
    EXPECT_LT (off.getPixelAt (40, 35).getRed (), 0xff);
    EXPECT_GT (brightness (off.getPixelAt (12, 3)), brightness (off.getPixelAt (12, 67)) + 20);
    EXPECT_GT (brightness (on.getPixelAt (12, 67)), brightness (on.getPixelAt (12, 3)) + 20);

    // The shadow wedge right of the plate is widest at the top when off, at the bottom when on.
    EXPECT_GT (off.getPixelAt (45, 12).getAlpha (), off.getPixelAt (45, 66).getAlpha () + 40);
    EXPECT_GT (on.getPixelAt (45, 66).getAlpha (), on.getPixelAt (45, 12).getAlpha () + 40);
}

TEST_F (ControlDrawing, RockerCaptionsMoveUpByFiveWhenOn)
{
    if (!fontsAvailable ())
        GTEST_SKIP () << "no fonts to draw captions with";

    const auto off = renderToggle (lookAndFeel, "percussion", "Percussion On/Off", false, 60, 70);
    const auto on = renderToggle (lookAndFeel, "percussion", "Percussion On/Off", true, 60, 70);

    // Black caption pixels: first dark row of the top caption "ON".
    auto firstDarkRow = [] (const juce::Image& img)
    {
        for (int y = 0; y < 30; ++y)
            for (int x = 10; x < 32; ++x)
                if (brightness (img.getPixelAt (x, y)) < 0x60 && img.getPixelAt (x, y).getAlpha () == 255)
                    return y;
        return -1;
    };

    const int offRow = firstDarkRow (off);
    ASSERT_GE (offRow, 0);
    EXPECT_EQ (firstDarkRow (on), offRow - 5);
}

TEST_F (ControlDrawing, HoverAndPressChangeNothing)
{
    for (auto* name : { "percFreq", "splitlearn" })
    {
        juce::ToggleButton button ("Split Learn");
        button.setName (name);
        button.setBounds (0, 0, 100, 70);

        auto draw = [&] (bool highlighted, bool down)
        {
            juce::Image img (juce::Image::ARGB, 100, 70, true);
            juce::Graphics g (img);
            lookAndFeel.drawToggleButton (g, button, highlighted, down);
            return img;
        };

        const auto plain = draw (false, false);

        for (auto flags : { std::pair<bool, bool> { true, false }, { false, true }, { true, true } })
        {
            const auto other = draw (flags.first, flags.second);
            bool same = true;

            for (int y = 0; y < 70 && same; ++y)
                for (int x = 0; x < 100 && same; ++x)
                    same = plain.getPixelAt (x, y) == other.getPixelAt (x, y);

            EXPECT_TRUE (same) << name;
        }
    }
}

TEST_F (ControlDrawing, LampButtonLightsItsLamp)
{
    for (int width : { 150, 100 })
    {
        const int ix = width == 150 ? 52 : 27;
        const auto on = renderToggle (lookAndFeel, "leslieOnOff", "Leslie On/Off", true, width, 70);
        const auto off = renderToggle (lookAndFeel, "leslieOnOff", "Leslie On/Off", false, width, 70);

        // Lamp at (22, 7) of the 45 x 45 picture placed at (ix, 16).
        const auto lit = on.getPixelAt (ix + 22, 16 + 7);
        const auto dark = off.getPixelAt (ix + 22, 16 + 7);
        EXPECT_GT (lit.getRed (), lit.getGreen () + 0x60) << width;
        EXPECT_LT (dark.getRed (), dark.getGreen () + 0x30) << width;

        // Body of the button, and nothing of it left of the picture.
        EXPECT_LE (colourDistance (on.getPixelAt (ix + 22, 16 + 30), 0x4f504f), 0x14) << width;
        EXPECT_EQ (on.getPixelAt (ix - 6, 40).getAlpha (), 0) << width;
    }
}

TEST_F (MissingPictures, SwitchesStillDrawShadowsAndLampText)
{
    const auto rocker = renderToggle (lookAndFeel, "percussion", "Percussion On/Off", false, 60, 70);
    // A 0-wide plate: the wedge from x -10 to 0, moved 10 to the right.
    EXPECT_GT (maxAlpha (rocker, { 0, 5, 10, 20 }), 0x40);

    const auto lamp = renderToggle (lookAndFeel, "splitlearn", "Split Learn", true, 100, 70);
    EXPECT_EQ (maxAlpha (lamp, { 0, 14, 100, 56 }), 0);

    if (fontsAvailable ())
    {
        EXPECT_GT (maxAlpha (lamp, { 0, 0, 100, 12 }), 0x80);
    }
}

//==============================================================================
TEST_F (ControlDrawing, SelectorPointsAtFirstAndLastLabel)
{
    const struct
    {
        double value;
        double degrees;
        double otherDegrees;
    } cases[] = { { 0.0, 216.0, 144.0 }, { 5.0, 144.0, 216.0 } };

    for (auto& c : cases)
    {
        juce::Slider selector ("vcMode");
        selector.setComponentID ("Vibrato and Chorus");
        selector.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        selector.setTextBoxStyle (juce::Slider::NoTextBox, true, 300, 20);
        selector.setRange (0.0, 5.0, 1.0);
        selector.setValue (c.value, juce::dontSendNotification);
        const auto img = renderControl (selector, lookAndFeel, 110, 120);

        // The pointer runs from 23.5 to 8.7 pixels from the centre (55, 60).
        const auto pointer = alongAngle (55.0f, 60.0f, c.degrees, 16.0);
        const auto elsewhere = alongAngle (55.0f, 60.0f, c.otherDegrees, 16.0);
        EXPECT_TRUE (areaContains (img, juce::Rectangle<int> (3, 3).withCentre (pointer), antiqueWhite, 0x20))
            << c.value;
        EXPECT_FALSE (areaContains (img, juce::Rectangle<int> (5, 5).withCentre (elsewhere), antiqueWhite, 0x40))
            << c.value;

        // Six ticks, 57.6 degrees apart from 216, at 37.6 pixels from the centre.
        for (int k = 0; k < 6; ++k)
            EXPECT_GT (maxAlpha (img,
                           juce::Rectangle<int> (3, 3).withCentre (alongAngle (55.0f, 60.0f, 216.0 + 57.6 * k, 37.6))),
                0x40)
                << "tick " << k;

        EXPECT_EQ (maxAlpha (img, juce::Rectangle<int> (3, 3).withCentre (alongAngle (55.0f, 60.0f, 244.8, 37.6))), 0);

        // No title above the selector.
        EXPECT_EQ (maxAlpha (img, { 0, 0, 110, 19 }), 0);
    }
}

TEST_F (ControlDrawing, ReverbKnobAtMinimumPointsLowerLeftWhateverItsRange)
{
    for (auto value : { 10.0, 100.0 })
    {
        juce::Slider knob ("roomSize");
        knob.setComponentID ("Reverb Size");
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setTextBoxStyle (juce::Slider::NoTextBox, true, 300, 20);
        knob.setRange (10.0, 100.0);
        knob.setValue (value, juce::dontSendNotification);
        const auto img = renderControl (knob, lookAndFeel, 80, 80);

        // Pointer from 15.48 to 4.68 above the centre (40, 40), turned to 216 or 144 degrees.
        const double degrees = value == 10.0 ? 216.0 : 144.0;
        EXPECT_TRUE (areaContains (
            img, juce::Rectangle<int> (3, 3).withCentre (alongAngle (40.0f, 40.0f, degrees, 10.0)), antiqueWhite, 0x20))
            << value;

        // Eleven ticks, 28.8 degrees apart, at 25.4 pixels from the centre.
        for (int k = 0; k < 11; ++k)
            EXPECT_GT (maxAlpha (img,
                           juce::Rectangle<int> (3, 3).withCentre (alongAngle (40.0f, 40.0f, 216.0 + 28.8 * k, 25.4))),
                0x30)
                << "tick " << k;

        // Light body, dark cap: the body's rim at 20 px, the cap at 14 px from the centre.
        EXPECT_GT (brightness (img.getPixelAt (40, 20)), 0x40);
        EXPECT_LT (brightness (img.getPixelAt (40 + 10, 40 - 10)), 0x40);

        if (fontsAvailable ())
        {
            EXPECT_GT (maxAlpha (img, { 0, 0, 80, 14 }), 0x80);
        }
    }
}
