// Renders every kind of editor control through OtherLookAndFeel, at its
// editor size and over its part of the background picture, into PNG files,
// plus an overview of all controls in their editor places.
//
//   quarbell_snapshot DIR

#include "Parameters.h"
#include "editor/lookAndField.h"

#include <iostream>
#include <memory>

namespace
{
// Where the editor puts each control (component name -> bounds).
juce::Rectangle<int> editorBounds (const juce::String& id, int drawbarIndex)
{
    static const std::pair<const char*, juce::Rectangle<int>> fixed[] = {
        { "leslieHQBass", { 140, 320, 170, 70 } },
        { "keyClickLevel", { 305, 320, 170, 70 } },
        { "leakageLevel", { 470, 320, 170, 70 } },
        { "leslieGain", { 140, 400, 170, 70 } },
        { "upperLowerBalance", { 305, 400, 170, 70 } },
        { "roomSize", { 640, 320, 80, 80 } },
        { "reverbMix", { 640, 400, 80, 80 } },
        { "reverbAttenuation", { 720, 400, 80, 80 } },
        { "leslieOnOff", { 0, 320, 150, 70 } },
        { "FastLeslie", { 0, 400, 150, 70 } },
        { "vcUpOnOff", { 40, 50, 60, 70 } },
        { "vcDownOnOff", { 95, 50, 60, 70 } },
        { "percussion", { 780, 50, 60, 70 } },
        { "percVol", { 840, 50, 60, 70 } },
        { "percSpeed", { 780, 140, 60, 70 } },
        { "percFreq", { 840, 140, 60, 70 } },
        { "splitkeyboard", { 800, 320, 100, 70 } },
        { "splitlearn", { 800, 400, 100, 70 } },
        { "vcMode", { 28, 140, 110, 120 } },
    };

    for (auto& f : fixed)
        if (id == f.first)
            return f.second;

    const int k = drawbarIndex;
    return { k <= 8 ? 160 + 32 * k : 180 + 32 * k, 25, 40, 180 };
}

std::unique_ptr<juce::Component> makeControl (const quarbell::ParameterInfo& info, double value)
{
    const juce::String id (info.id);

    if (info.kind == quarbell::ParameterKind::toggle)
    {
        auto button = std::make_unique<juce::ToggleButton> (info.name);
        button->setName (id);
        button->setToggleState (value >= 0.5, juce::dontSendNotification);
        return button;
    }

    auto slider = std::make_unique<juce::Slider> (id);
    slider->setComponentID (info.name);
    slider->setTextBoxStyle (juce::Slider::NoTextBox, true, 300, 20);

    if (info.kind == quarbell::ParameterKind::integer)
    {
        slider->setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        slider->setRange (0.0, 5.0, 1.0);
    }
    else if (id.startsWith ("drawbar") || id.startsWith ("lowdrawbar"))
    {
        slider->setSliderStyle (juce::Slider::LinearVertical);
        slider->setRange (info.minimum, info.maximum, 1.0);
    }
    else if (id == "roomSize" || id == "reverbMix" || id == "reverbAttenuation")
    {
        slider->setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        slider->setRange (info.minimum, info.maximum);
    }
    else
    {
        slider->setSliderStyle (juce::Slider::LinearHorizontal);
        slider->setRange (info.minimum, info.maximum);
    }

    slider->setValue (value, juce::dontSendNotification);
    return slider;
}

const quarbell::ParameterInfo& info (const char* id)
{
    return quarbell::parameterTable[(size_t) quarbell::parameterIndex (id)];
}

int drawbarIndexOf (const juce::String& id)
{
    if (id.startsWith ("lowdrawbar"))
        return 9 + id.getTrailingIntValue ();

    return id.getTrailingIntValue ();
}

bool writePng (const juce::Image& img, const juce::File& file)
{
    file.deleteFile ();
    juce::FileOutputStream out (file);

    if (!out.openedOk () || !juce::PNGImageFormat ().writeImageToStream (img, out))
    {
        std::cerr << "cannot write " << file.getFullPathName () << "\n";
        return false;
    }

    std::cout << file.getFileName () << "\n";
    return true;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: quarbell_snapshot DIR\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    OtherLookAndFeel lookAndFeel;
    const auto& back = lookAndFeel.gui.backImage;

    const juce::File dir = juce::File::getCurrentWorkingDirectory ().getChildFile (argv[1]);
    dir.createDirectory ();
    bool ok = true;

    // One control in its editor size, over the background it covers there.
    auto snapshot = [&] (const char* id, double value, const juce::String& fileName)
    {
        auto control = makeControl (info (id), value);
        const auto bounds = editorBounds (id, drawbarIndexOf (id));
        control->setLookAndFeel (&lookAndFeel);
        control->setBounds (bounds.withZeroOrigin ());

        juce::Image img (juce::Image::ARGB, bounds.getWidth (), bounds.getHeight (), true);
        {
            juce::Graphics g (img);
            g.fillAll (juce::Colour (0xff0e0e0e));
            g.drawImageAt (back, -bounds.getX (), -bounds.getY ());
            control->paintEntireComponent (g, false);
        }
        control->setLookAndFeel (nullptr);
        ok = writePng (img, dir.getChildFile (fileName + ".png")) && ok;
    };

    for (auto* id : { "drawbar0", "drawbar4", "drawbar2" })
        for (int v : { 0, 4, 8 })
            snapshot (id, v, juce::String (id) + "_" + juce::String (v));

    for (auto* id : { "leslieHQBass", "keyClickLevel", "leakageLevel", "leslieGain", "upperLowerBalance" })
    {
        const auto& p = info (id);
        snapshot (id, p.minimum, juce::String (id) + "_min");
        snapshot (id, p.defaultValue, juce::String (id) + "_default");
        snapshot (id, p.maximum, juce::String (id) + "_max");
    }

    for (auto* id : { "percussion", "percFreq" })
    {
        snapshot (id, 0.0, juce::String (id) + "_off");
        snapshot (id, 1.0, juce::String (id) + "_on");
    }

    for (auto* id : { "leslieOnOff", "splitlearn" })
    {
        snapshot (id, 0.0, juce::String (id) + "_off");
        snapshot (id, 1.0, juce::String (id) + "_on");
    }

    for (auto* id : { "roomSize", "reverbAttenuation" })
    {
        const auto& p = info (id);
        snapshot (id, p.minimum, juce::String (id) + "_min");
        snapshot (id, p.defaultValue, juce::String (id) + "_default");
    }

    snapshot ("vcMode", 0.0, "vcMode_0");
    snapshot ("vcMode", 5.0, "vcMode_5");

    // Every control at its default value in its editor place.
    juce::Image overview (juce::Image::ARGB, 925, 510, true);
    {
        juce::Graphics g (overview);
        g.fillAll (juce::Colour (0xff0e0e0e));
        g.drawImageAt (back, 0, 0);

        int drawbar = 0;

        for (auto& p : quarbell::parameterTable)
        {
            auto control = makeControl (p, p.defaultValue);
            const bool isDrawbar = juce::String (p.id).contains ("drawbar");
            const auto bounds = editorBounds (p.id, isDrawbar ? drawbar++ : 0);
            control->setLookAndFeel (&lookAndFeel);
            control->setBounds (bounds);

            juce::Graphics::ScopedSaveState state (g);
            g.setOrigin (bounds.getPosition ());
            g.reduceClipRegion (bounds.withZeroOrigin ());
            control->paintEntireComponent (g, false);
            control->setLookAndFeel (nullptr);
        }
    }
    ok = writePng (overview, dir.getChildFile ("overview.png")) && ok;

    return ok ? 0 : 1;
}
