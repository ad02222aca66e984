#include "EditorTestSupport.h"

juce::Image renderControl (juce::Component& control, juce::LookAndFeel& lookAndFeel, int width, int height)
{
    control.setLookAndFeel (&lookAndFeel);
    control.setBounds (0, 0, width, height);

    juce::Image img (juce::Image::ARGB, width, height, true);
    {
        juce::Graphics g (img);
        control.paintEntireComponent (g, false);
    }

    control.setLookAndFeel (nullptr);
    return img;
}

juce::Image renderSlider (juce::LookAndFeel& lookAndFeel, const juce::String& name, const juce::String& componentId,
    juce::Slider::SliderStyle style, double minimum, double maximum, double value, int width, int height)
{
    juce::Slider slider (name);
    slider.setComponentID (componentId);
    slider.setSliderStyle (style);
    slider.setTextBoxStyle (juce::Slider::NoTextBox, true, 300, 20);
    slider.setRange (minimum, maximum);
    slider.setValue (value, juce::dontSendNotification);
    return renderControl (slider, lookAndFeel, width, height);
}

juce::Image renderToggle (
    juce::LookAndFeel& lookAndFeel, const juce::String& name, const juce::String& text, bool on, int width, int height)
{
    juce::ToggleButton button (text);
    button.setName (name);
    button.setToggleState (on, juce::dontSendNotification);
    return renderControl (button, lookAndFeel, width, height);
}

GUI::Sources brokenSources ()
{
    static const char notAPicture[] = "this is not a PNG file";
    GUI::Sources s;

    for (auto& entry : s)
        entry = { notAPicture, (int) sizeof (notAPicture) };

    return s;
}

int colourDistance (juce::Colour actual, juce::uint32 expectedRgb)
{
    const juce::Colour e (0xff000000 | expectedRgb);
    return juce::jmax (std::abs (actual.getRed () - e.getRed ()), std::abs (actual.getGreen () - e.getGreen ()),
        std::abs (actual.getBlue () - e.getBlue ()));
}

float brightness (juce::Colour c)
{
    return (c.getRed () + c.getGreen () + c.getBlue ()) / 3.0f;
}

bool areaContains (const juce::Image& img, juce::Rectangle<int> area, juce::uint32 rgb, int tolerance)
{
    for (int y = area.getY (); y < area.getBottom (); ++y)
        for (int x = area.getX (); x < area.getRight (); ++x)
        {
            const auto c = img.getPixelAt (x, y);

            if (c.getAlpha () == 255 && colourDistance (c, rgb) <= tolerance)
                return true;
        }

    return false;
}
