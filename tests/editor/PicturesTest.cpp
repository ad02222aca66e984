// The eight embedded pictures: sizes, sharing, failure, and the layout
// features the rest of the editor relies on.

#include "BinaryData.h"
#include "EditorTestSupport.h"

namespace
{
struct PictureCase
{
    const char* name;
    juce::Image GUI::*member;
    const char* data;
    int size;
    int width;
    int height;
};

const PictureCase pictures[] = {
    { "back", &GUI::backImage, BinaryData::resource_GUI_back_png, BinaryData::resource_GUI_back_pngSize, 925, 480 },
    { "button", &GUI::buttonImage, BinaryData::resource_GUI_button_png, BinaryData::resource_GUI_button_pngSize, 92,
        152 },
    { "buttonOn", &GUI::buttonOnImage, BinaryData::resource_GUI_buttonOn_png, BinaryData::resource_GUI_buttonOn_pngSize,
        50, 50 },
    { "buttonOff", &GUI::buttonOffImage, BinaryData::resource_GUI_buttonOff_png,
        BinaryData::resource_GUI_buttonOff_pngSize, 50, 50 },
    { "slidderbutton", &GUI::slidderbuttonImage, BinaryData::resource_GUI_slidderbutton_png,
        BinaryData::resource_GUI_slidderbutton_pngSize, 100, 200 },
    { "dbblack", &GUI::dbblackImage, BinaryData::resource_GUI_dbblack_png, BinaryData::resource_GUI_dbblack_pngSize, 54,
        291 },
    { "dbwhite", &GUI::dbwhiteImage, BinaryData::resource_GUI_dbwhite_png, BinaryData::resource_GUI_dbwhite_pngSize, 54,
        291 },
    { "dbbrown", &GUI::dbbrownImage, BinaryData::resource_GUI_dbbrown_png, BinaryData::resource_GUI_dbbrown_pngSize, 54,
        291 },
};

class Pictures : public GuiTest
{
protected:
    GUI gui;
};
} // namespace

TEST_F (Pictures, EachDecodesAtItsSize)
{
    for (auto& p : pictures)
    {
        SCOPED_TRACE (p.name);
        const auto& img = gui.*(p.member);
        ASSERT_TRUE (img.isValid ());
        EXPECT_EQ (img.getWidth (), p.width);
        EXPECT_EQ (img.getHeight (), p.height);
        EXPECT_TRUE (img.hasAlphaChannel ());

        // The embedded bytes are PNG files.
        ASSERT_GT (p.size, 8);
        EXPECT_EQ (juce::String (p.data + 1, 3), "PNG");
    }
}

TEST_F (Pictures, HolderIsAHiddenComponentOfFixedSize)
{
    EXPECT_EQ (gui.getWidth (), 600);
    EXPECT_EQ (gui.getHeight (), 400);
    EXPECT_FALSE (gui.isVisible ());
}

TEST_F (Pictures, SecondHolderSharesTheDecodedImages)
{
    GUI second;

    for (auto& p : pictures)
    {
        SCOPED_TRACE (p.name);
        EXPECT_TRUE (gui.*(p.member) == second.*(p.member));
    }
}

TEST_F (Pictures, UndecodableDataGivesNullImageAndTheOthersStillLoad)
{
    auto sources = GUI::embeddedSources ();
    sources[4] = brokenSources ()[4];
    GUI partial (sources);

    EXPECT_FALSE (partial.slidderbuttonImage.isValid ());
    EXPECT_TRUE (partial.backImage.isValid ());
    EXPECT_TRUE (partial.dbbrownImage.isValid ());
}

TEST_F (Pictures, BackgroundHasWoodPanelPlateAndShadowBand)
{
    const auto& back = gui.backImage;

    // Orange-brown wood in the top band and around the panel's corners.
    for (auto pt :
        { juce::Point<int> (462, 18), juce::Point<int> (5, 40), juce::Point<int> (920, 40), juce::Point<int> (20, 45) })
    {
        const auto c = back.getPixelAt (pt.x, pt.y);
        SCOPED_TRACE (pt.toString ());
        EXPECT_GT (c.getRed (), 0x80);
        EXPECT_GT (c.getRed (), c.getGreen () + 0x20);
        EXPECT_GT (c.getGreen (), c.getBlue () + 0x20);
    }

    // Near-black panel: 070707 at its top, 0E0E0E lower down, the darker band
    // at rows 287 to 292, and 0E0E0E again at the bottom edge.
    EXPECT_LE (colourDistance (back.getPixelAt (462, 40), 0x070707), 1);
    EXPECT_LE (colourDistance (back.getPixelAt (462, 150), 0x0e0e0e), 1);
    EXPECT_LE (colourDistance (back.getPixelAt (462, 290), 0x070707), 1);
    EXPECT_LE (colourDistance (back.getPixelAt (462, 479), 0x0e0e0e), 1);
    EXPECT_LE (colourDistance (back.getPixelAt (2, 102), 0x0e0e0e), 2);
    EXPECT_LE (colourDistance (back.getPixelAt (70, 38), 0x070707), 2);

    // Grey vibrato plate with an empty centre.
    const auto plate = back.getPixelAt (81, 199);
    EXPECT_GE (plate.getRed (), 0x26);
    EXPECT_LE (plate.getRed (), 0x3e);

    // The six labels are white near their stated centres.
    const juce::Point<int> labels[]
        = { { 53, 158 }, { 103, 158 }, { 33, 198 }, { 131, 197 }, { 54, 239 }, { 112, 239 } };

    for (auto l : labels)
    {
        SCOPED_TRACE (l.toString ());
        EXPECT_TRUE (areaContains (back, juce::Rectangle<int> (9, 7).withCentre (l), 0xf0f0f0, 0x18));
        EXPECT_FALSE (
            areaContains (back, juce::Rectangle<int> (9, 7).withCentre (l + juce::Point<int> (0, 14)), 0xf0f0f0, 0x30));
    }

    // The title sits in its area and nowhere above it.
    EXPECT_TRUE (areaContains (back, { 330, 227, 372, 42 }, 0x323232, 0x0a));
    EXPECT_FALSE (areaContains (back, { 330, 190, 372, 30 }, 0x323232, 0x0a));
}

TEST_F (Pictures, RockerFaceHasFrameHighlightAndShading)
{
    const auto& b = gui.buttonImage;
    EXPECT_LE (colourDistance (b.getPixelAt (0, 0), 0x060606), 2);
    EXPECT_LE (colourDistance (b.getPixelAt (91, 151), 0x060606), 2);
    EXPECT_LE (colourDistance (b.getPixelAt (46, 10), 0xfff5df), 10);
    EXPECT_LE (colourDistance (b.getPixelAt (46, 70), 0xe4d8c4), 12);
    EXPECT_LE (colourDistance (b.getPixelAt (46, 149), 0xb7ad9d), 14);
    EXPECT_EQ (b.getPixelAt (46, 70).getAlpha (), 255);
}

TEST_F (Pictures, LampButtonsDifferOnlyInTheLamp)
{
    const auto on = gui.buttonOnImage.getPixelAt (26, 10);
    const auto off = gui.buttonOffImage.getPixelAt (26, 10);
    EXPECT_LE (colourDistance (on, 0xef3333), 0x30);
    EXPECT_LE (colourDistance (off, 0x907e79), 0x18);

    for (auto* img : { &gui.buttonOnImage, &gui.buttonOffImage })
    {
        EXPECT_EQ (img->getPixelAt (0, 0).getAlpha (), 0); // curved, transparent corners
        EXPECT_LE (colourDistance (img->getPixelAt (25, 30), 0x4f504f), 10);
    }
}

TEST_F (Pictures, FaderCapHasItsGroove)
{
    const auto& cap = gui.slidderbuttonImage;
    EXPECT_LE (colourDistance (cap.getPixelAt (50, 24), 0x3c3c40), 8);
    EXPECT_LE (colourDistance (cap.getPixelAt (50, 182), 0x0d0d0f), 8);
    EXPECT_LE (colourDistance (cap.getPixelAt (25, 100), 0xe4d8c4), 12);
    EXPECT_GT (brightness (cap.getPixelAt (5, 5)), brightness (cap.getPixelAt (94, 194)));
    EXPECT_EQ (cap.getPixelAt (0, 0).getAlpha (), 255);
}

TEST_F (Pictures, DrawbarsHaveShaftDigitsAndHandle)
{
    const struct
    {
        juce::Image GUI::*member;
        juce::uint32 handle;
    } bars[] = { { &GUI::dbblackImage, 0x141414 }, { &GUI::dbwhiteImage, 0xe4d8c4 }, { &GUI::dbbrownImage, 0x744f30 } };

    for (auto& bar : bars)
    {
        const auto& img = gui.*(bar.member);
        SCOPED_TRACE (juce::String::toHexString ((int) bar.handle));

        for (int row : { 0, 100, 215 })
        {
            EXPECT_EQ (img.getPixelAt (9, row).getAlpha (), 0);
            EXPECT_EQ (img.getPixelAt (44, row).getAlpha (), 0);
            EXPECT_LE (colourDistance (img.getPixelAt (12, row), 0xe4d8c4), 12);
            EXPECT_LE (colourDistance (img.getPixelAt (41, row), 0xe4d8c4), 12);
        }

        EXPECT_LE (colourDistance (img.getPixelAt (20, 2), 0x282422), 8);

        // Digits 8..1, 15 rows tall, tops at 7 + 26 k; nothing cream between them.
        for (int k = 0; k < 8; ++k)
        {
            const int top = 7 + 26 * k;
            EXPECT_TRUE (areaContains (img, { 15, top, 24, 2 }, 0xe4d8c4, 0x30)) << "digit " << 8 - k;
            EXPECT_TRUE (areaContains (img, { 15, top + 13, 24, 2 }, 0xe4d8c4, 0x30)) << "digit " << 8 - k;
            EXPECT_FALSE (areaContains (img, { 16, top - 5, 22, 5 }, 0xe4d8c4, 0x60)) << "digit " << 8 - k;
            EXPECT_FALSE (areaContains (img, { 16, top + 16, 22, 3 }, 0xe4d8c4, 0x60)) << "digit " << 8 - k;
        }

        // Handle: rows 216 to 290, full width, darker along its lower edge.
        EXPECT_EQ (img.getPixelAt (0, 240).getAlpha (), 255);
        EXPECT_EQ (img.getPixelAt (53, 240).getAlpha (), 255);
        EXPECT_LE (colourDistance (img.getPixelAt (27, 250), bar.handle), 14);
        EXPECT_LT (brightness (img.getPixelAt (27, 288)), brightness (img.getPixelAt (27, 250)) + 0.5f);
    }

    // The white and brown handles darken visibly towards the bottom.
    EXPECT_LT (
        brightness (gui.dbwhiteImage.getPixelAt (27, 288)), brightness (gui.dbwhiteImage.getPixelAt (27, 250)) - 20);
}
