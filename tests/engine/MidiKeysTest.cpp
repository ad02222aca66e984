#include "OrganHarness.h"

#include <gtest/gtest.h>

namespace
{
std::vector<int> wheelsOf (const OrganHarness& organ, int slot)
{
    const auto& key = organ.processor.generator().slot (slot);
    return { std::begin (key.wheel), std::end (key.wheel) };
}

std::vector<int> contactDelaysOf (const OrganHarness& organ, int slot)
{
    const auto& key = organ.processor.generator().slot (slot);
    return { std::begin (key.contactDelay), std::end (key.contactDelay) };
}

// Counts value changes a parameter reports to its listeners.
struct ChangeCounter : juce::AudioProcessorParameter::Listener
{
    void parameterValueChanged (int, float newValue) override { values.push_back (newValue); }
    void parameterGestureChanged (int, bool) override {}
    std::vector<float> values;
};
} // namespace

TEST (MidiKeys, WheelAssignment)
{
    const std::pair<int, std::vector<int>> examples[] {
        { 24, { 0, 7, 0, 12, 19, 24, 28, 31, 36 } },
        { 36, { 0, 19, 12, 24, 31, 36, 40, 43, 48 } },
        { 60, { 24, 43, 36, 48, 55, 60, 64, 67, 72 } },
        { 96, { 60, 79, 72, 84, 79, 84, 88, 79, 84 } },
        { 127, { 79, 86, 79, 79, 86, 79, 83, 86, 79 } },
        { 0, { 0, 7, 0, 0, 7, 0, 4, 7, 12 } },
    };

    for (const auto& [note, wheels] : examples)
    {
        OrganHarness organ;
        organ.noteOn (note);
        organ.render (0);
        EXPECT_EQ (wheelsOf (organ, 0), wheels) << "note " << note;
        EXPECT_EQ (organ.processor.generator().slot (0).manual, 1);
    }
}

TEST (MidiKeys, ContactDelays)
{
    const std::pair<double, std::vector<int>> rates[] {
        { 48000.0, { 0, 57, 7, 50, 14, 36, 21, 28, 0 } },
        { 44100.0, { 0, 52, 6, 46, 13, 33, 19, 26, 0 } },
    };

    for (const auto& [rate, delays] : rates)
    {
        OrganHarness organ (rate);
        organ.noteOn (60);
        organ.render (1);
        EXPECT_EQ (contactDelaysOf (organ, 0), delays) << rate;
    }
}

TEST (MidiKeys, ChannelsPickTheManual)
{
    OrganHarness organ;
    organ.noteOn (60, 1);
    organ.noteOn (62, 2);
    organ.noteOn (64, 3);
    organ.noteOn (65, 16);
    organ.render (16);

    ASSERT_EQ (organ.activeSlots(), 2);
    EXPECT_EQ (organ.processor.generator().slot (organ.slotOf (60)).manual, 1);
    EXPECT_EQ (organ.processor.generator().slot (organ.slotOf (62)).manual, 2);

    // A note-off on any channel releases every slot of that note.
    organ.noteOff (60, 5);
    organ.render (1);
    EXPECT_TRUE (organ.processor.generator().slot (organ.slotOf (60)).released);
}

TEST (MidiKeys, RepeatedNotesTakeSlotsAndOneNoteOffReleasesAll)
{
    OrganHarness organ;
    organ.noteOn (60);
    organ.noteOn (60);
    organ.controller (123, 0); // all notes off is ignored
    organ.controller (64, 127);
    organ.render (64);
    EXPECT_EQ (organ.activeSlots(), 2);

    organ.pending.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 0), 0); // velocity 0 = note-off
    organ.render (1);
    EXPECT_TRUE (organ.processor.generator().slot (0).released);
    EXPECT_TRUE (organ.processor.generator().slot (1).released);
}

TEST (MidiKeys, The65thKeyIsDroppedUntilASlotFrees)
{
    OrganHarness organ;

    for (int i = 0; i < 65; ++i)
        organ.noteOn (20 + i);

    organ.render (8);
    EXPECT_EQ (organ.activeSlots(), 64);
    EXPECT_EQ (organ.slotOf (20 + 64), -1);

    organ.noteOff (20);
    organ.render (64); // the release ramp frees the slot
    organ.noteOn (100);
    organ.render (1);
    EXPECT_EQ (organ.slotOf (100), 0);
}

TEST (MidiKeys, SplitKeyboard)
{
    OrganHarness organ;
    organ.set ("splitkeyboard", 1.0f);
    organ.noteOn (59, 3);
    organ.noteOn (60, 3);
    organ.render (4);

    const auto& lowerKey = organ.processor.generator().slot (organ.slotOf (59));
    EXPECT_EQ (lowerKey.manual, 2);
    EXPECT_EQ (lowerKey.note, 59);
    EXPECT_EQ (wheelsOf (organ, organ.slotOf (59)), (std::vector<int> { 35, 54, 47, 59, 66, 71, 75, 78, 83 }));
    EXPECT_EQ (organ.processor.generator().slot (organ.slotOf (60)).manual, 1);
}

TEST (MidiKeys, SplitLearnTakesTheNextNoteSilentlyAndSwitchesItselfOff)
{
    OrganHarness organ;
    ChangeCounter learnChanges;
    organ.processor.findParameter ("splitlearn")->addListener (&learnChanges);
    organ.set ("splitlearn", 1.0f);
    learnChanges.values.clear();

    organ.noteOn (48, 7);
    const auto block = organ.render (0); // a block of no samples still runs the MIDI pass

    EXPECT_EQ (organ.processor.getSplitPoint(), 48);
    EXPECT_EQ (organ.activeSlots(), 0);
    EXPECT_EQ (organ.get ("splitlearn"), 0.0f);
    EXPECT_EQ (learnChanges.values, std::vector<float> { 0.0f });

    organ.set ("splitkeyboard", 1.0f);
    organ.noteOn (48);
    organ.noteOn (47);
    organ.render (1);
    EXPECT_EQ (organ.processor.generator().slot (organ.slotOf (48)).manual, 1);
    EXPECT_EQ (organ.processor.generator().slot (organ.slotOf (47)).manual, 2);

    // The split point outlives a new sample rate.
    organ.processor.prepareToPlay (44100.0, 256);
    EXPECT_EQ (organ.processor.getSplitPoint(), 48);
    organ.processor.findParameter ("splitlearn")->removeListener (&learnChanges);
}

TEST (MidiKeys, ModulationWheelSwitchesTheRotorSpeedOnEdgesOnly)
{
    OrganHarness organ;
    ChangeCounter speedChanges;
    organ.processor.findParameter ("FastLeslie")->addListener (&speedChanges);

    const std::pair<int, std::vector<float>> steps[] {
        { 64, {} }, { 65, { 1.0f } }, { 127, {} }, { 80, {} }, { 64, { 0.0f } }, { 0, {} }, { 100, { 1.0f } },
    };

    for (const auto& [value, expected] : steps)
    {
        speedChanges.values.clear();
        organ.controller (1, value, 9);
        organ.render (32);
        EXPECT_EQ (speedChanges.values, expected) << "value " << value;
        EXPECT_EQ (organ.get ("FastLeslie"), value >= 65 ? 1.0f : 0.0f) << "value " << value;
    }

    organ.processor.findParameter ("FastLeslie")->removeListener (&speedChanges);
}

TEST (MidiKeys, PrepareCutsSoundingKeys)
{
    OrganHarness organ;
    organ.noteOn (60);
    organ.render (32);
    ASSERT_EQ (organ.activeSlots(), 1);
    organ.processor.prepareToPlay (48000.0, 512);
    EXPECT_EQ (organ.activeSlots(), 0);
}
