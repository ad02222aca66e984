#include "PluginEditor.h"

#include "FactoryPresets.h"
#include "PluginProcessor.h"
#include "Settings.h"

#include <cmath>

namespace
{
struct FixedPlace
{
    const char* name;
    int x, y, width, height;
};

// Controls with a place of their own, by component name. The drawbars and the
// integer knob are placed by rule in resized().
constexpr FixedPlace fixedPlaces[] = {
    { "leslieHQBass", 140, 320, 170, 70 },
    { "keyClickLevel", 305, 320, 170, 70 },
    { "leakageLevel", 470, 320, 170, 70 },
    { "leslieGain", 140, 400, 170, 70 },
    { "upperLowerBalance", 305, 400, 170, 70 },
    { "roomSize", 640, 320, 80, 80 },
    { "reverbMix", 640, 400, 80, 80 },
    { "reverbAttenuation", 720, 400, 80, 80 },
    { "leslieOnOff", 0, 320, 150, 70 },
    { "FastLeslie", 0, 400, 150, 70 },
    { "vcUpOnOff", 40, 50, 60, 70 },
    { "vcDownOnOff", 95, 50, 60, 70 },
    { "percussion", 780, 50, 60, 70 },
    { "percVol", 840, 50, 60, 70 },
    { "percSpeed", 780, 140, 60, 70 },
    { "percFreq", 840, 140, 60, 70 },
    { "splitkeyboard", 800, 320, 100, 70 },
    { "splitlearn", 800, 400, 100, 70 },
};

const FixedPlace* fixedPlaceOf (const juce::String& name)
{
    for (const auto& place : fixedPlaces)
        if (name == place.name)
            return &place;

    return nullptr;
}

bool isHorizontalSlider (const juce::String& id)
{
    return id == "leslieHQBass" || id == "keyClickLevel" || id == "leakageLevel" || id == "leslieGain"
           || id == "upperLowerBalance";
}

bool isReverbKnob (const juce::String& id)
{
    return id == "roomSize" || id == "reverbMix" || id == "reverbAttenuation";
}

// A parameter's current value in its own range.
double plainValue (juce::AudioProcessorParameter& parameter)
{
    if (auto* f = dynamic_cast<juce::AudioParameterFloat*> (&parameter))
        return f->get();

    if (auto* i = dynamic_cast<juce::AudioParameterInt*> (&parameter))
        return i->get();

    if (auto* r = dynamic_cast<juce::RangedAudioParameter*> (&parameter))
        return r->convertFrom0to1 (r->getValue());

    return parameter.getValue();
}

bool isOn (juce::AudioProcessorParameter& parameter)
{
    return plainValue (parameter) >= 0.5;
}

// Sets a slider's starting value with an asynchronous change report. A slider
// reports only a change from the value it holds, and a new one holds 0: a
// drawbar opened at 0.3 would show 0 and never store that step. Moving it off
// its shown value first makes every slider report once; sliderValueChanged
// then writes only where the shown step differs from the parameter.
void setStartingValue (juce::Slider& slider, double value)
{
    slider.setValue (value, juce::dontSendNotification);
    const double shown = slider.getValue();
    slider.setValue (shown == slider.getMaximum() ? slider.getMinimum() : slider.getMaximum(),
                     juce::dontSendNotification);
    slider.setValue (value, juce::sendNotificationAsync);
}

// Set-and-notify: the host hears of every edit the user makes. No gestures:
// a drag reaches the host as a series of values.
void setAndNotify (juce::RangedAudioParameter& parameter, float plain)
{
    const float normalised = parameter.convertTo0to1 (plain);
    parameter.setValue (normalised);
    parameter.sendValueChangedMessageToListeners (normalised);
}
} // namespace

VelmoranAudioProcessorEditor::VelmoranAudioProcessorEditor (VelmoranAudioProcessor& p)
    : AudioProcessorEditor (&p), audioProcessor (p), presetBox (juce::String())
{
    for (auto* parameter : audioProcessor.getParameters())
    {
        if (auto* f = dynamic_cast<juce::AudioParameterFloat*> (parameter))
            addFloatSlider (*f);
        else if (auto* b = dynamic_cast<juce::AudioParameterBool*> (parameter))
            addToggleButton (*b);
        else if (auto* i = dynamic_cast<juce::AudioParameterInt*> (parameter))
            addIntSlider (*i);
    }

    // Last child, so it lies on top. It keeps the default look and feel.
    addAndMakeVisible (presetBox);
    const juce::Colour text = juce::Colours::antiquewhite;
    presetBox.setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xff0e0e0e));
    presetBox.setColour (juce::ComboBox::outlineColourId, juce::Colour (0xff000000));
    presetBox.setColour (juce::ComboBox::textColourId, text);
    presetBox.setColour (juce::ComboBox::arrowColourId, text);
    presetBox.setColour (juce::ComboBox::buttonColourId, text);
    presetBox.setColour (juce::ComboBox::focusedOutlineColourId, text);

    presetBox.addItem ("Choose factory preset", chooseItemId);
    presetBox.addSeparator();

    for (int k = 0; k < quarbell::numFactoryPresets; ++k)
        presetBox.addItem (quarbell::factoryPresetsNames[(size_t) k], firstPresetItemId + k);

    presetBox.setSelectedId (chooseItemId, juce::sendNotificationAsync);
    presetBox.onChange = [this] { applyChosenPreset(); };

    setSize (editorWidth, editorHeight);
    startTimer (refreshIntervalMs);
}

VelmoranAudioProcessorEditor::~VelmoranAudioProcessorEditor()
{
    // otherLookAndFeel dies before the lists that own the controls.
    for (auto* slider : floatSliders)
        slider->setLookAndFeel (nullptr);

    for (auto* button : toggleButtons)
        button->setLookAndFeel (nullptr);

    for (auto* slider : intSliders)
        slider->setLookAndFeel (nullptr);
}

void VelmoranAudioProcessorEditor::addFloatSlider (juce::AudioParameterFloat& parameter)
{
    const juce::String id = parameter.getParameterID();
    auto* slider = floatSliders.add (new juce::Slider (id));
    slider->setComponentID (parameter.getName (1024));

    const double minimum = parameter.range.start;
    const double maximum = parameter.range.end;

    if (isHorizontalSlider (id))
    {
        slider->setSliderStyle (juce::Slider::LinearHorizontal);
        slider->setRange (minimum, maximum);
    }
    else if (isReverbKnob (id))
    {
        slider->setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        slider->setRange (minimum, maximum);
    }
    else
    {
        // Drawbars click into whole steps although their parameters are continuous.
        slider->setSliderStyle (juce::Slider::LinearVertical);
        slider->setRange (minimum, maximum, 1.0);
    }

    // Asynchronous, so that a drawbar opened between steps stores its step
    // through sliderValueChanged once the window is up.
    setStartingValue (*slider, parameter.get());
    slider->setTextBoxStyle (juce::Slider::NoTextBox, true, 300, 20);
    slider->setLookAndFeel (&otherLookAndFeel);
    slider->addListener (this);
    addAndMakeVisible (slider);
    controls.add (slider);
}

void VelmoranAudioProcessorEditor::addIntSlider (juce::AudioParameterInt& parameter)
{
    auto* slider = new juce::Slider (parameter.getParameterID());
    slider->setComponentID (parameter.getName (1024));
    slider->setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    // The selector's six positions are drawn into the background picture.
    slider->setRange (0.0, 5.0, 1.0);
    setStartingValue (*slider, juce::roundToInt (plainValue (parameter)));
    slider->setTextBoxStyle (juce::Slider::NoTextBox, true, 300, 20);
    slider->addListener (this);
    intSliders.add (slider);
    controls.add (slider);
    slider->setLookAndFeel (&otherLookAndFeel);
    addAndMakeVisible (slider);
}

void VelmoranAudioProcessorEditor::addToggleButton (juce::AudioParameterBool& parameter)
{
    auto* button = new juce::ToggleButton();
    button->setClickingTogglesState (true);
    button->setName (parameter.getParameterID());
    button->setToggleState (isOn (parameter), juce::dontSendNotification);
    button->addListener (this);
    button->setButtonText (parameter.getName (1024));
    button->setLookAndFeel (&otherLookAndFeel);
    addAndMakeVisible (button);
    toggleButtons.add (button);
    controls.add (button);
}

void VelmoranAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff0e0e0e));

    // At its own size from the top-left corner; the strip below it is the
    // preset box's.
    const auto& back = gui.backImage;
    g.drawImage (back, juce::Rectangle<int> (0, 0, back.getWidth(), back.getHeight()).toFloat(),
                 juce::RectanglePlacement::centred);

    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.setColour (juce::Colour (0xff3c3c3c));
    g.drawFittedText ("1.1.1", 330, 262, 45, 20, juce::Justification::topLeft, 1);
}

void VelmoranAudioProcessorEditor::resized()
{
    presetBox.setBounds (0, 484, 925, 25);

    int drawbar = 0;

    for (auto* slider : floatSliders)
    {
        if (auto* place = fixedPlaceOf (slider->getName()))
        {
            slider->setBounds (place->x, place->y, place->width, place->height);
            continue;
        }

        // The lower set starts 52 pixels after the upper one, not 32.
        const int k = drawbar++;
        slider->setBounds (k <= 8 ? 160 + 32 * k : 180 + 32 * k, 25, 40, 180);
    }

    for (auto* button : toggleButtons)
        if (auto* place = fixedPlaceOf (button->getName()))
            button->setBounds (place->x, place->y, place->width, place->height);

    for (auto* slider : intSliders)
        slider->setBounds (28, 140, 110, 120);
}

void VelmoranAudioProcessorEditor::timerCallback()
{
    const auto& parameters = audioProcessor.getParameters();
    const int count = juce::jmin (controls.size(), parameters.size());

    // Without notification: showing a value must never write it back.
    for (int i = 0; i < count; ++i)
    {
        auto& parameter = *parameters.getUnchecked (i);

        if (auto* slider = dynamic_cast<juce::Slider*> (controls.getUnchecked (i)))
            slider->setValue (plainValue (parameter), juce::dontSendNotification);
        else if (auto* button = dynamic_cast<juce::Button*> (controls.getUnchecked (i)))
            button->setToggleState (isOn (parameter), juce::dontSendNotification);
    }
}

void VelmoranAudioProcessorEditor::sliderValueChanged (juce::Slider* slider)
{
    const auto& parameters = audioProcessor.getParameters();
    const int i = controls.indexOf (slider);

    if (i < 0 || i >= parameters.size())
        return;

    auto* parameter = parameters.getUnchecked (i);

    // Only real changes reach the host; a drawbar reports whole steps only.
    if (auto* f = dynamic_cast<juce::AudioParameterFloat*> (parameter))
    {
        const auto value = static_cast<float> (slider->getValue());

        if (value != f->get())
            setAndNotify (*f, value);
    }
    else if (auto* n = dynamic_cast<juce::AudioParameterInt*> (parameter))
    {
        const auto value = static_cast<int> (slider->getValue());

        if (value != juce::roundToInt (plainValue (*n)))
            setAndNotify (*n, static_cast<float> (value));
    }
}

void VelmoranAudioProcessorEditor::buttonClicked (juce::Button* button)
{
    const auto& parameters = audioProcessor.getParameters();
    const int i = controls.indexOf (button);

    if (i < 0 || i >= parameters.size())
        return;

    if (auto* b = dynamic_cast<juce::AudioParameterBool*> (parameters.getUnchecked (i)))
    {
        const bool on = button->getToggleState();

        if (on != isOn (*b))
            setAndNotify (*b, on ? 1.0f : 0.0f);
    }
}

void VelmoranAudioProcessorEditor::applyChosenPreset()
{
    const int id = presetBox.getSelectedId();

    if (id < firstPresetItemId)
        return;

    // Silent: the host reads the new values when it next asks, and the
    // controls catch up at the next refresh.
    quarbell::applyFactoryPreset (audioProcessor.getParameters(), id - firstPresetItemId);
}
