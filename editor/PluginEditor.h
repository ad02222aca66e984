#pragma once

#include "GUI.h"
#include "lookAndField.h"

#include <juce_audio_processors/juce_audio_processors.h>

class VelmoranAudioProcessor;

// The organ's window: one control per parameter over the background picture,
// and the factory-preset menu along the bottom edge. The controls keep no
// values of their own: user edits go straight to the parameters, and a 200 ms
// poll brings every other change (automation, presets, the engine) back.
class VelmoranAudioProcessorEditor : public juce::AudioProcessorEditor,
                                     public juce::Timer,
                                     public juce::Slider::Listener,
                                     public juce::Button::Listener
{
public:
    static constexpr int editorWidth = 925;
    static constexpr int editorHeight = 510;
    static constexpr int refreshIntervalMs = 200;

    // Item IDs of the preset menu: the prompt, then preset k at firstPresetItemId + k.
    static constexpr int chooseItemId = 1;
    static constexpr int firstPresetItemId = 2;

    explicit VelmoranAudioProcessorEditor (VelmoranAudioProcessor& processor);
    ~VelmoranAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    void timerCallback() override;
    void sliderValueChanged (juce::Slider* slider) override;
    void buttonClicked (juce::Button* button) override;

    // Entry i is the control of parameter i of the processor's parameter list.
    const juce::Array<juce::Component*>& getControls() const noexcept { return controls; }
    juce::ComboBox& getPresetBox() noexcept { return presetBox; }

private:
    void addFloatSlider (juce::AudioParameterFloat& parameter);
    void addIntSlider (juce::AudioParameterInt& parameter);
    void addToggleButton (juce::AudioParameterBool& parameter);
    void applyChosenPreset();

    // Declared before the look and feel, so the controls outlive it: the
    // destructor detaches it from them first.
    juce::OwnedArray<juce::Slider> floatSliders;
    juce::OwnedArray<juce::Slider> intSliders;
    juce::OwnedArray<juce::ToggleButton> toggleButtons;
    juce::Array<juce::Component*> controls;

    // Only holds the background picture; never shown.
    GUI gui;

    VelmoranAudioProcessor& audioProcessor;
    OtherLookAndFeel otherLookAndFeel;
    juce::ComboBox presetBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelmoranAudioProcessorEditor)
};
