#pragma once

#include "GUI.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Geometry of the custom controls, kept as small pure functions so that the
// drawing routines and the tests share one definition.
namespace ControlGeometry
{
// Size of an image scaled by s, each side truncated; a missing image is 0 x 0.
juce::Point<int> scaledSize (const juce::Image& image, float s);

// Which picture a drawbar uses, chosen by its component ID ("0".."8", "l0".."l8").
enum class DrawbarColour
{
    brown,
    black,
    white
};
DrawbarColour drawbarColourFor (const juce::String& componentId);

// How far the drawbar picture is cut from the top for a value proportion p:
// at most 71 % of the track height, so the handle (from 74 % of the picture) stays.
float drawbarOffset (int trackHeight, double p);

// The part of the scaled drawbar picture that stays visible.
juce::Rectangle<int> drawbarVisibleArea (int x, int width, int trackHeight, double p);

// Ticks of a horizontal slider: tick i sits at truncate(i * step) + thumbWidth / 2.
struct TickLayout
{
    int count = 0;
    float step = 0.0f;
    int longTick = -1;
};
TickLayout horizontalTicks (const juce::String& name, double minimum, double maximum, int span);
int tickX (int index, float step, int thumbWidth);

// Scale of the fader cap for a track of the given height.
float thumbScale (int trackHeight, int imageHeight);

// Left edge of the fader cap for a value proportion p.
int thumbX (int span, double p);

// Captions printed around a horizontal slider; null when it has none.
struct SliderCaptions
{
    const char* left;
    const char* right;
    float sideFont;
    int sideHeight;
    const char* title;
    float titleFont;
    int titleHeight;
};
const SliderCaptions* sliderCaptionsFor (const juce::String& name, double maximum);

// Captions of a rocker switch; null when the button is drawn as a lamp button.
struct RockerCaptions
{
    const char* top;
    const char* bottom;
    const char* title;
};
const RockerCaptions* rockerCaptionsFor (const juce::String& name);

// Top left corner of the lamp picture of the given size in a button.
juce::Point<int> lampPosition (int width, int height, int imageWidth, int imageHeight);

// Angle (radians, clockwise from 12 o'clock) a knob points at.
float knobAngle (float sliderPos, float startAngle, float endAngle);

// The three reverb knobs carry a title and eleven ticks, the selector six.
bool isReverbKnob (const juce::String& name);
int knobTickCount (const juce::String& name);
} // namespace ControlGeometry

// Draws the drawbars, faders, rocker switches, lamp buttons and knobs of the organ.
class OtherLookAndFeel : public juce::LookAndFeel_V4
{
public:
    OtherLookAndFeel ();
    explicit OtherLookAndFeel (const GUI::Sources& pictures);
    ~OtherLookAndFeel () override;

    void drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool shouldDrawButtonAsHighlighted,
        bool shouldDrawButtonAsDown) override;

    void drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos, float minSliderPos,
        float maxSliderPos, juce::Slider::SliderStyle style, juce::Slider& slider) override;

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
        float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;

    // The knob's shapes in JUCE's serialised path format: the seven-lobed cap
    // outline and a circle of radius 50 about (100, 150) as a polygon.
    static const unsigned char pathData[564];
    static const unsigned char pathCircle[1165];

    GUI gui;

private:
    void drawDrawbar (juce::Graphics& g, int x, int y, int width, int height, double p, juce::Slider& slider);
    void drawHorizontal (juce::Graphics& g, int x, int y, int width, int height, double p, juce::Slider& slider);
    void drawRocker (juce::Graphics& g, juce::ToggleButton& button, const ControlGeometry::RockerCaptions& captions);
    void drawLampButton (juce::Graphics& g, juce::ToggleButton& button);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OtherLookAndFeel)
};
