#pragma once

#include "editor/lookAndField.h"

#include <gtest/gtest.h>

// Sets up JUCE's message manager for the GUI classes under test.
class GuiTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI juceInit;
};

// Paints a control through the look and feel into a transparent image of the
// control's size.
juce::Image renderControl (juce::Component& control, juce::LookAndFeel& lookAndFeel, int width, int height);

juce::Image renderSlider (juce::LookAndFeel& lookAndFeel, const juce::String& name, const juce::String& componentId,
    juce::Slider::SliderStyle style, double minimum, double maximum, double value, int width, int height);

juce::Image renderToggle (
    juce::LookAndFeel& lookAndFeel, const juce::String& name, const juce::String& text, bool on, int width, int height);

// Pictures that do not decode, for drawing with missing images.
GUI::Sources brokenSources ();

// Channel distance between a pixel and an expected RGB colour.
int colourDistance (juce::Colour actual, juce::uint32 expectedRgb);

float brightness (juce::Colour c);

// True when some pixel of the area is close to the colour.
bool areaContains (const juce::Image& img, juce::Rectangle<int> area, juce::uint32 rgb, int tolerance);
