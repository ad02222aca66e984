#include "OrganHarness.h"

OrganHarness::OrganHarness (double sampleRate, VelmoranAudioProcessor::Tap tap)
{
    processor.setOutputTap (tap);
    processor.setRateAndBufferSizeDetails (sampleRate, 512);
    processor.prepareToPlay (sampleRate, 512);
}

void OrganHarness::set (const char* id, float valueInOwnRange)
{
    auto* p = processor.findParameter (id);
    jassert (p != nullptr);
    p->setValueNotifyingHost (p->convertTo0to1 (valueInOwnRange));
}

float OrganHarness::get (const char* id) const
{
    auto* p = processor.findParameter (id);
    return p->convertFrom0to1 (p->getValue());
}

void OrganHarness::soloDrawbars (std::initializer_list<int> drawbars, bool lower)
{
    const juce::String prefix = lower ? "lowdrawbar" : "drawbar";

    for (int k = 0; k < 9; ++k)
        set ((prefix + juce::String (k)).toRawUTF8(), 8.0f);

    for (int k : drawbars)
        set ((prefix + juce::String (k)).toRawUTF8(), 0.0f);
}

void OrganHarness::noteOn (int note, int channel)
{
    pending.addEvent (juce::MidiMessage::noteOn (channel, note, (juce::uint8) 100), 0);
}

void OrganHarness::noteOff (int note, int channel)
{
    pending.addEvent (juce::MidiMessage::noteOff (channel, note), 0);
}

void OrganHarness::controller (int number, int value, int channel)
{
    pending.addEvent (juce::MidiMessage::controllerEvent (channel, number, value), 0);
}

OrganHarness::Block OrganHarness::render (int numSamples)
{
    juce::AudioBuffer<float> buffer (2, std::max (numSamples, 1));
    buffer.clear();
    juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), 2, numSamples);
    processor.processBlock (view, pending);
    pending.clear();

    Block block;
    block.left.assign (buffer.getReadPointer (0), buffer.getReadPointer (0) + numSamples);
    block.right.assign (buffer.getReadPointer (1), buffer.getReadPointer (1) + numSamples);
    return block;
}

int OrganHarness::slotOf (int note) const
{
    for (int i = 0; i < quarbell::ToneGenerator::numKeySlots; ++i)
        if (processor.generator().slot (i).active && processor.generator().slot (i).note == note)
            return i;

    return -1;
}

int OrganHarness::activeSlots() const
{
    int count = 0;

    for (int i = 0; i < quarbell::ToneGenerator::numKeySlots; ++i)
        count += processor.generator().slot (i).active ? 1 : 0;

    return count;
}
