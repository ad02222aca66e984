#include "OrganHarness.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

namespace
{
std::atomic<bool> counting { false };
std::atomic<int> allocations { 0 };

void* countedAllocation (std::size_t size)
{
    if (counting.load())
        ++allocations;

    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}
} // namespace

void* operator new (std::size_t size) { return countedAllocation (size); }
void* operator new[] (std::size_t size) { return countedAllocation (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept { return std::malloc (size == 0 ? 1 : size); }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { return std::malloc (size == 0 ? 1 : size); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }

TEST (Realtime, ProcessBlockNeverAllocates)
{
    // Every stage of the chain running.
    OrganHarness organ (48000.0, VelmoranAudioProcessor::Tap::output);
    organ.set ("percussion", 1.0f);
    organ.set ("vcUpOnOff", 1.0f);
    organ.set ("vcDownOnOff", 1.0f);
    organ.set ("vcMode", 5.0f);
    organ.set ("reverbMix", 0.5f);
    organ.set ("leslieGain", 0.8f);

    for (int k = 0; k < 9; ++k)
        organ.set (("drawbar" + juce::String (k)).toRawUTF8(), 0.0f);

    juce::AudioBuffer<float> buffer (2, 512);
    juce::AudioBuffer<float> longBuffer (2, 20000);
    juce::MidiBuffer midi;
    midi.ensureSize (4096);

    // Keys on both manuals, a split learn, speed switches and releases.
    for (int n = 0; n < 70; ++n)
        midi.addEvent (juce::MidiMessage::noteOn (1 + n % 2, 30 + n, (juce::uint8) 90), n);
    midi.addEvent (juce::MidiMessage::controllerEvent (1, 1, 127), 10);
    midi.addEvent (juce::MidiMessage::controllerEvent (1, 1, 0), 20);
    const juce::uint8 sysex[] { 0xf0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xf7 };
    midi.addEvent (sysex, (int) sizeof (sysex), 30);

    juce::MidiBuffer releases;
    releases.ensureSize (4096);
    for (int n = 0; n < 70; n += 3)
        releases.addEvent (juce::MidiMessage::noteOff (1, 30 + n), 0);

    organ.set ("splitlearn", 1.0f);
    juce::MidiBuffer learn;
    learn.ensureSize (256);
    learn.addEvent (juce::MidiMessage::noteOn (1, 50, (juce::uint8) 90), 0);

    counting = true;
    organ.processor.processBlock (buffer, learn);
    organ.processor.processBlock (buffer, midi);
    for (int i = 0; i < 20; ++i)
        organ.processor.processBlock (buffer, i == 5 ? releases : learn);
    organ.processor.processBlock (longBuffer, learn);
    counting = false;

    EXPECT_EQ (allocations.load(), 0);
    EXPECT_GT (buffer.getMagnitude (0, 512), 0.0f);
}
