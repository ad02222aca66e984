#pragma once

#include "PluginProcessor.h"
#include "editor/PluginEditor.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Records every set-and-notify that reaches a parameter's listeners: what the
// host layer hears.
class NotificationCounter : public juce::AudioProcessorParameter::Listener
{
public:
    struct Call
    {
        int index;
        float value;
    };

    void parameterValueChanged (int parameterIndex, float newValue) override { calls.push_back ({ parameterIndex, newValue }); }
    void parameterGestureChanged (int, bool) override { ++gestures; }

    int countFor (int index) const;

    std::vector<Call> calls;
    int gestures = 0;
};

// A processor, a counter on all its parameters, and an editor opened on demand.
class EditorWindowTest : public ::testing::Test
{
protected:
    EditorWindowTest();
    ~EditorWindowTest() override;

    void openEditor();

    // Runs the message loop until nothing is pending: the sliders' and the
    // preset box's asynchronous notifications, and queued button clicks.
    static void deliverPendingMessages();

    juce::RangedAudioParameter& parameter (const char* id) const;
    int indexOf (const char* id) const;
    juce::Component& control (const char* id) const;
    juce::Slider& slider (const char* id) const;
    juce::ToggleButton& button (const char* id) const;

    // Every parameter's normalised value, in host order.
    std::vector<float> normalisedValues() const;

    juce::ScopedJuceInitialiser_GUI juceInit;
    VelmoranAudioProcessor processor;
    NotificationCounter host;
    std::unique_ptr<VelmoranAudioProcessorEditor> editor;
};
