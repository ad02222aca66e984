// What a freshly opened editor holds: its size, one control per parameter with
// the identifying strings the drawing code relies on, every control at its
// place, the preset menu and the painted background.

#include "EditorWindowSupport.h"

#include <map>

namespace
{
enum class Kind
{
    vertical,
    horizontal,
    rotary,
    toggle
};

struct ExpectedControl
{
    const char* name;       // component name: the parameter ID
    Kind kind;
    const char* idOrText;   // component ID of a slider, button text of a toggle
    int x, y, w, h;
};

// Host order. Drawbars stand 32 pixels apart; the lower set starts 52 pixels
// after the last upper one.
const ExpectedControl expectedControls[] = {
    { "drawbar0", Kind::vertical, "0", 160, 25, 40, 180 },
    { "drawbar1", Kind::vertical, "1", 192, 25, 40, 180 },
    { "drawbar2", Kind::vertical, "2", 224, 25, 40, 180 },
    { "drawbar3", Kind::vertical, "3", 256, 25, 40, 180 },
    { "drawbar4", Kind::vertical, "4", 288, 25, 40, 180 },
    { "drawbar5", Kind::vertical, "5", 320, 25, 40, 180 },
    { "drawbar6", Kind::vertical, "6", 352, 25, 40, 180 },
    { "drawbar7", Kind::vertical, "7", 384, 25, 40, 180 },
    { "drawbar8", Kind::vertical, "8", 416, 25, 40, 180 },
    { "lowdrawbar0", Kind::vertical, "l0", 468, 25, 40, 180 },
    { "lowdrawbar1", Kind::vertical, "l1", 500, 25, 40, 180 },
    { "lowdrawbar2", Kind::vertical, "l2", 532, 25, 40, 180 },
    { "lowdrawbar3", Kind::vertical, "l3", 564, 25, 40, 180 },
    { "lowdrawbar4", Kind::vertical, "l4", 596, 25, 40, 180 },
    { "lowdrawbar5", Kind::vertical, "l5", 628, 25, 40, 180 },
    { "lowdrawbar6", Kind::vertical, "l6", 660, 25, 40, 180 },
    { "lowdrawbar7", Kind::vertical, "l7", 692, 25, 40, 180 },
    { "lowdrawbar8", Kind::vertical, "l8", 724, 25, 40, 180 },
    { "upperLowerBalance", Kind::horizontal, "Upper/Lower Mix", 305, 400, 170, 70 },
    { "leslieHQBass", Kind::horizontal, "Leslie horn/bass Mix", 140, 320, 170, 70 },
    { "leslieGain", Kind::horizontal, "Leslie Gain", 140, 400, 170, 70 },
    { "leslieOnOff", Kind::toggle, "Leslie On/Off", 0, 320, 150, 70 },
    { "keyClickLevel", Kind::horizontal, "Key Click", 305, 320, 170, 70 },
    { "FastLeslie", Kind::toggle, "Slow/Fast", 0, 400, 150, 70 },
    { "percussion", Kind::toggle, "Percussion On/Off", 780, 50, 60, 70 },
    { "percVol", Kind::toggle, "Percussion Soft/Normal", 840, 50, 60, 70 },
    { "percSpeed", Kind::toggle, "Perc Slow/Fast", 780, 140, 60, 70 },
    { "percFreq", Kind::toggle, "Perc Third/Second", 840, 140, 60, 70 },
    { "splitkeyboard", Kind::toggle, "Split Keyboard", 800, 320, 100, 70 },
    { "splitlearn", Kind::toggle, "Split Learn", 800, 400, 100, 70 },
    { "vcUpOnOff", Kind::toggle, "Vib Great On/Off", 40, 50, 60, 70 },
    { "vcDownOnOff", Kind::toggle, "Vib Swell On / Off", 95, 50, 60, 70 },
    { "vcMode", Kind::rotary, "Vibrato and Chorus", 28, 140, 110, 120 },
    { "roomSize", Kind::rotary, "Reverb Size", 640, 320, 80, 80 },
    { "reverbMix", Kind::rotary, "Reverb Mix", 640, 400, 80, 80 },
    { "leakageLevel", Kind::horizontal, "Leakage", 470, 320, 170, 70 },
    { "reverbAttenuation", Kind::rotary, "Reverb Attenuation", 720, 400, 80, 80 },
};

juce::Slider::SliderStyle styleOf (Kind kind)
{
    switch (kind)
    {
        case Kind::vertical: return juce::Slider::LinearVertical;
        case Kind::horizontal: return juce::Slider::LinearHorizontal;
        case Kind::rotary:
        case Kind::toggle: break;
    }

    return juce::Slider::RotaryHorizontalVerticalDrag;
}

template <typename T>
std::vector<T*> childrenOfType (juce::Component& parent)
{
    std::vector<T*> found;

    for (auto* child : parent.getChildren())
        if (auto* t = dynamic_cast<T*> (child))
            found.push_back (t);

    return found;
}

class EditorLayoutTest : public EditorWindowTest
{
protected:
    void SetUp() override { openEditor(); }
};
} // namespace

TEST_F (EditorLayoutTest, WindowIsFixedAt925By510)
{
    EXPECT_EQ (editor->getWidth(), 925);
    EXPECT_EQ (editor->getHeight(), 510);
    EXPECT_FALSE (editor->isResizable());
}

TEST_F (EditorLayoutTest, HoldsOneVisibleControlOfEachKindPerParameter)
{
    ASSERT_EQ (std::size (expectedControls), (size_t) processor.getParameters().size());

    std::map<int, int> slidersByStyle;

    for (auto* s : childrenOfType<juce::Slider> (*editor))
    {
        EXPECT_TRUE (s->isVisible()) << s->getName();
        ++slidersByStyle[s->getSliderStyle()];
    }

    EXPECT_EQ (slidersByStyle[juce::Slider::LinearVertical], 18);
    EXPECT_EQ (slidersByStyle[juce::Slider::LinearHorizontal], 5);
    EXPECT_EQ (slidersByStyle[juce::Slider::RotaryHorizontalVerticalDrag], 4);
    EXPECT_EQ (slidersByStyle.size(), 3u);

    const auto buttons = childrenOfType<juce::ToggleButton> (*editor);
    EXPECT_EQ (buttons.size(), 10u);

    for (auto* b : buttons)
        EXPECT_TRUE (b->isVisible()) << b->getName();

    const auto boxes = childrenOfType<juce::ComboBox> (*editor);
    ASSERT_EQ (boxes.size(), 1u);
    EXPECT_EQ (boxes[0], &editor->getPresetBox());
    EXPECT_TRUE (boxes[0]->isVisible());

    // Lies on top of everything else.
    EXPECT_EQ (editor->getChildren().getLast(), &editor->getPresetBox());
}

TEST_F (EditorLayoutTest, EachControlCarriesItsParameterAndSitsAtItsPlace)
{
    const auto& controls = editor->getControls();
    ASSERT_EQ (controls.size(), (int) std::size (expectedControls));

    for (int i = 0; i < controls.size(); ++i)
    {
        const auto& e = expectedControls[i];
        SCOPED_TRACE (e.name);
        auto* c = controls[i];
        ASSERT_NE (c, nullptr);

        EXPECT_EQ (c->getParentComponent(), editor.get());
        EXPECT_EQ (c->getName(), juce::String (e.name));
        EXPECT_EQ (c->getBounds(), juce::Rectangle<int> (e.x, e.y, e.w, e.h));

        if (e.kind == Kind::toggle)
        {
            auto* b = dynamic_cast<juce::ToggleButton*> (c);
            ASSERT_NE (b, nullptr);
            EXPECT_EQ (b->getButtonText(), juce::String (e.idOrText));
            EXPECT_EQ (b->getComponentID(), juce::String());
            EXPECT_TRUE (b->getClickingTogglesState());
        }
        else
        {
            auto* s = dynamic_cast<juce::Slider*> (c);
            ASSERT_NE (s, nullptr);
            EXPECT_EQ (s->getComponentID(), juce::String (e.idOrText));
            EXPECT_EQ (s->getSliderStyle(), styleOf (e.kind));
            EXPECT_EQ (s->getTextBoxPosition(), juce::Slider::NoTextBox);
        }
    }
}

TEST_F (EditorLayoutTest, LowerSixteenFootDrawbarExample)
{
    auto& s = slider ("lowdrawbar0");
    EXPECT_EQ (s.getName(), "lowdrawbar0");
    EXPECT_EQ (s.getComponentID(), "l0");
    EXPECT_EQ (s.getBounds(), juce::Rectangle<int> (468, 25, 40, 180));
}

TEST_F (EditorLayoutTest, PercussionHarmonicSwitchExample)
{
    auto& b = button ("percFreq");
    EXPECT_EQ (b.getName(), "percFreq");
    EXPECT_EQ (b.getButtonText(), "Perc Third/Second");
}

TEST_F (EditorLayoutTest, SliderRangesAndSteps)
{
    struct Case
    {
        const char* id;
        double minimum, maximum, interval;
    };

    const Case cases[] = {
        { "drawbar0", 0.0, 8.0, 1.0 },
        { "drawbar8", 0.0, 8.0, 1.0 },
        { "lowdrawbar0", 0.0, 8.0, 1.0 },
        { "lowdrawbar8", 0.0, 8.0, 1.0 },
        { "upperLowerBalance", 0.0, 1.0, 0.0 },
        { "leslieHQBass", 0.0, 1.0, 0.0 },
        { "leslieGain", 0.01, 1.0, 0.0 },
        { "keyClickLevel", 0.0, 5.0, 0.0 },
        { "leakageLevel", 0.0, 1.0, 0.0 },
        { "roomSize", 10.0, 100.0, 0.0 },
        { "reverbMix", 0.0, 1.0, 0.0 },
        { "reverbAttenuation", 0.2, 0.95, 0.0 },
        { "vcMode", 0.0, 5.0, 1.0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        auto& s = slider (c.id);
        EXPECT_NEAR (s.getMinimum(), c.minimum, 1e-6);
        EXPECT_NEAR (s.getMaximum(), c.maximum, 1e-6);
        EXPECT_EQ (s.getInterval(), c.interval);
    }
}

TEST_F (EditorLayoutTest, ControlsDrawThroughTheOrganLookAndFeelButTheMenuDoesNot)
{
    const auto& controls = editor->getControls();
    auto* organLook = dynamic_cast<OtherLookAndFeel*> (&controls[0]->getLookAndFeel());
    ASSERT_NE (organLook, nullptr);

    for (auto* c : controls)
        EXPECT_EQ (&c->getLookAndFeel(), organLook) << c->getName();

    EXPECT_EQ (dynamic_cast<OtherLookAndFeel*> (&editor->getPresetBox().getLookAndFeel()), nullptr);
}

TEST_F (EditorLayoutTest, PresetMenuListsThePromptASeparatorAndThirteenPresets)
{
    auto& box = editor->getPresetBox();
    EXPECT_EQ (box.getBounds(), juce::Rectangle<int> (0, 484, 925, 25));
    EXPECT_EQ (box.getSelectedId(), 1);
    EXPECT_EQ (box.getText(), "Choose factory preset");

    const char* names[] = { "Corvo Jazz", "Lord of rock", "Mabrek Gospel", "Purple Rock", "House Church",
                            "Theater Organ", "Born To B3", "America", "5th organ", "Shade of Pale White",
                            "Wendle's sound of coaster", "Dark Solo", "Gentle Balad" };

    std::vector<std::pair<int, juce::String>> entries; // ID 0 marks a separator
    juce::PopupMenu::MenuItemIterator it (*box.getRootMenu());

    while (it.next())
    {
        const auto& item = it.getItem();
        entries.emplace_back (item.isSeparator ? 0 : item.itemID, item.text);
    }

    ASSERT_EQ (entries.size(), 15u);
    EXPECT_EQ (entries[0], std::make_pair (1, juce::String ("Choose factory preset")));
    EXPECT_EQ (entries[1].first, 0);

    for (int k = 0; k < 13; ++k)
        EXPECT_EQ (entries[(size_t) k + 2], std::make_pair (k + 2, juce::String (names[k])));
}

TEST_F (EditorLayoutTest, PresetMenuColours)
{
    auto& box = editor->getPresetBox();
    const juce::uint32 antiqueWhite = 0xfffaebd7;

    EXPECT_EQ (box.findColour (juce::ComboBox::backgroundColourId).getARGB(), 0xff0e0e0eu);
    EXPECT_EQ (box.findColour (juce::ComboBox::outlineColourId).getARGB(), 0xff000000u);

    for (auto id : { juce::ComboBox::textColourId, juce::ComboBox::arrowColourId, juce::ComboBox::buttonColourId,
                     juce::ComboBox::focusedOutlineColourId })
        EXPECT_EQ (box.findColour (id).getARGB(), antiqueWhite) << std::hex << id;
}

TEST_F (EditorLayoutTest, PaintsTheBackgroundPictureTheStripBelowAndTheVersion)
{
    const GUI pictures;
    const auto& back = pictures.backImage;
    ASSERT_EQ (back.getWidth(), 925);
    ASSERT_EQ (back.getHeight(), 480);

    // The picture at its own size in the top-left corner over the dark fill.
    juce::Image expected (juce::Image::ARGB, 925, 510, true);
    {
        juce::Graphics g (expected);
        g.fillAll (juce::Colour (0xff0e0e0e));
        g.drawImageAt (back, 0, 0);
    }

    // The editor's own painting, without its children.
    juce::Image painted (juce::Image::ARGB, 925, 510, true);
    {
        juce::Graphics g (painted);
        editor->paint (g);
    }

    const juce::Rectangle<int> versionArea (330, 262, 45, 20);
    int strayPixels = 0;
    int textPixels = 0;
    int darkGreyTextPixels = 0;

    for (int y = 0; y < 510; ++y)
        for (int x = 0; x < 925; ++x)
        {
            const auto c = painted.getPixelAt (x, y);

            if (c == expected.getPixelAt (x, y))
                continue;

            if (! versionArea.contains (x, y))
            {
                ++strayPixels;
                continue;
            }

            ++textPixels;

            if (std::abs (c.getRed() - 0x3c) <= 8 && std::abs (c.getGreen() - 0x3c) <= 8
                && std::abs (c.getBlue() - 0x3c) <= 8)
                ++darkGreyTextPixels;
        }

    EXPECT_EQ (painted.getPixelAt (10, 495).getARGB(), 0xff0e0e0eu);
    EXPECT_EQ (strayPixels, 0);
    EXPECT_GT (textPixels, 20) << "no version text in its box";
    EXPECT_GT (darkGreyTextPixels, 0) << "version text not in 0x3c3c3c";
}
