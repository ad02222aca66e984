#pragma once

#include <engine/PluginProcessor.h>

#include <vector>

// A prepared processor with helpers to set parameters in their own range,
// send MIDI and render blocks.
struct OrganHarness
{
    // By default the harness listens to the generator alone (channel 0 upper,
    // channel 1 lower manual).
    explicit OrganHarness (double sampleRate = 48000.0,
                           VelmoranAudioProcessor::Tap tap = VelmoranAudioProcessor::Tap::generator);

    void set (const char* id, float valueInOwnRange);
    float get (const char* id) const;

    // Only the drawbars listed sound on the given manual (all others at 8).
    void soloDrawbars (std::initializer_list<int> drawbars, bool lower = false);

    void noteOn (int note, int channel = 1);
    void noteOff (int note, int channel = 1);
    void controller (int number, int value, int channel = 1);

    // Renders with the MIDI queued since the last call; returns channel 0 and 1.
    struct Block
    {
        std::vector<float> left, right;
    };
    Block render (int numSamples);

    // Index of the first slot holding this note, or -1.
    int slotOf (int note) const;
    int activeSlots() const;

    // On the heap: the processor's delay lines are too large for several on a stack.
    std::unique_ptr<VelmoranAudioProcessor> owned = std::make_unique<VelmoranAudioProcessor>();
    VelmoranAudioProcessor& processor = *owned;
    juce::MidiBuffer pending;
};
