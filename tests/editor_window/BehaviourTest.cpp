// How the editor's controls read and write the parameters: user edits notify
// the host once per real change, the refresh only shows values, the preset
// menu writes silently, and the editor's lifetime ends cleanly.

#include "EditorWindowSupport.h"

#include "FactoryPresets.h"

namespace
{
void setPlain (juce::RangedAudioParameter& p, float plain)
{
    // What host automation and a restored state do: the normalised setter only.
    p.setValue (p.convertTo0to1 (plain));
}

float plainOf (juce::RangedAudioParameter& p)
{
    return p.convertFrom0to1 (p.getValue());
}
} // namespace

// ---------------------------------------------------------------------------
// Opening

TEST_F (EditorWindowTest, CreateEditorBuildsTheOrganWindow)
{
    EXPECT_TRUE (processor.hasEditor());
    std::unique_ptr<juce::AudioProcessorEditor> e (processor.createEditor());
    EXPECT_NE (dynamic_cast<VelmoranAudioProcessorEditor*> (e.get()), nullptr);
}

TEST_F (EditorWindowTest, ControlsStartAtTheParameterValues)
{
    setPlain (parameter ("drawbar4"), 2.0f);
    setPlain (parameter ("keyClickLevel"), 3.5f);
    setPlain (parameter ("roomSize"), 25.0f);
    setPlain (parameter ("vcMode"), 4.0f);
    setPlain (parameter ("percussion"), 1.0f);
    setPlain (parameter ("leslieOnOff"), 0.0f);
    openEditor();

    EXPECT_EQ (slider ("drawbar4").getValue(), 2.0);
    EXPECT_NEAR (slider ("keyClickLevel").getValue(), 3.5, 1e-6);
    EXPECT_NEAR (slider ("roomSize").getValue(), 25.0, 1e-4);
    EXPECT_EQ (slider ("vcMode").getValue(), 4.0);
    EXPECT_TRUE (button ("percussion").getToggleState());
    EXPECT_FALSE (button ("leslieOnOff").getToggleState());
}

TEST_F (EditorWindowTest, OpeningAtWholeValuesWritesNothing)
{
    setPlain (parameter ("roomSize"), 25.0f);
    setPlain (parameter ("drawbar2"), 3.0f);
    const auto before = normalisedValues();

    openEditor();
    deliverPendingMessages();

    EXPECT_EQ (normalisedValues(), before);
    EXPECT_TRUE (host.calls.empty());
    EXPECT_NEAR (slider ("roomSize").getValue(), 25.0, 1e-4);
    EXPECT_EQ (editor->getPresetBox().getSelectedId(), 1);
}

TEST_F (EditorWindowTest, DrawbarBetweenStepsIsStoredRoundedOnOpening)
{
    struct Case
    {
        float held;
        float stored;
        int notifications;
    };

    const Case cases[] = { { 3.4f, 3.0f, 1 }, { 3.6f, 4.0f, 1 }, { 0.3f, 0.0f, 1 }, { 3.0f, 3.0f, 0 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.held);
        editor.reset();
        host.calls.clear();

        auto& drawbar2 = parameter ("drawbar2");
        setPlain (drawbar2, c.held);
        openEditor();
        EXPECT_EQ (slider ("drawbar2").getValue(), c.stored);

        deliverPendingMessages();

        EXPECT_EQ (plainOf (drawbar2), c.stored);
        ASSERT_EQ ((int) host.calls.size(), c.notifications);

        if (c.notifications == 1)
        {
            EXPECT_EQ (host.calls[0].index, indexOf ("drawbar2"));
            EXPECT_FLOAT_EQ (host.calls[0].value, c.stored / 8.0f);
        }
    }

    EXPECT_EQ (host.gestures, 0);
}

// ---------------------------------------------------------------------------
// User edits

TEST_F (EditorWindowTest, DrawbarDragNotifiesOncePerWholeStep)
{
    openEditor();
    deliverPendingMessages();
    auto& s = slider ("drawbar3");
    ASSERT_EQ (s.getValue(), 8.0);

    // A drag from 8 to 5, as the mouse reports it: positions between steps.
    for (double position : { 7.9, 7.4, 7.1, 6.6, 6.2, 5.8, 5.4, 5.0 })
        s.setValue (position, juce::sendNotificationSync);

    std::vector<float> reported;
    for (const auto& call : host.calls)
    {
        EXPECT_EQ (call.index, indexOf ("drawbar3"));
        reported.push_back (call.value);
    }

    EXPECT_EQ (reported, (std::vector<float> { 0.875f, 0.75f, 0.625f }));
    EXPECT_EQ (parameter ("drawbar3").getValue(), 0.625f);
    EXPECT_EQ (host.gestures, 0);
}

TEST_F (EditorWindowTest, SliderEditsNotifyOnlyRealChanges)
{
    openEditor();
    deliverPendingMessages();

    struct Case
    {
        const char* id;
        double edit;
        float expectedPlain;
    };

    // A continuous fader, a knob in its own range, and the integer selector.
    const Case cases[] = { { "leakageLevel", 0.7, 0.7f }, { "roomSize", 64.0, 64.0f }, { "vcMode", 3.0, 3.0f } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        host.calls.clear();
        auto& p = parameter (c.id);
        auto& s = slider (c.id);

        s.setValue (c.edit, juce::sendNotificationSync);
        ASSERT_EQ (host.calls.size(), 1u);
        EXPECT_EQ (host.calls[0].index, indexOf (c.id));
        EXPECT_NEAR (plainOf (p), c.expectedPlain, 1e-4);
        EXPECT_FLOAT_EQ (host.calls[0].value, p.convertTo0to1 (c.expectedPlain));

        // The slider reporting a value the parameter already holds writes nothing.
        editor->timerCallback();
        editor->sliderValueChanged (&s);
        EXPECT_EQ (host.calls.size(), 1u);
    }
}

TEST_F (EditorWindowTest, IntegerSelectorCountsWholePositionsOnly)
{
    setPlain (parameter ("vcMode"), 2.0f);
    openEditor();
    deliverPendingMessages();
    ASSERT_TRUE (host.calls.empty());

    auto& s = slider ("vcMode");
    s.setValue (2.4, juce::sendNotificationSync); // snaps back to 2: no change
    EXPECT_TRUE (host.calls.empty());

    s.setValue (5.0, juce::sendNotificationSync);
    ASSERT_EQ (host.calls.size(), 1u);
    EXPECT_FLOAT_EQ (host.calls[0].value, 1.0f);
    EXPECT_EQ (plainOf (parameter ("vcMode")), 5.0f);
}

TEST_F (EditorWindowTest, ClickingASwitchNotifiesOnceAndTheRefreshAgrees)
{
    openEditor();
    deliverPendingMessages();

    auto& percussion = parameter ("percussion");
    ASSERT_EQ (percussion.getValue(), 0.0f);
    auto& b = button ("percussion");

    b.triggerClick();
    deliverPendingMessages();

    EXPECT_TRUE (b.getToggleState());
    EXPECT_EQ (percussion.getValue(), 1.0f);
    ASSERT_EQ (host.calls.size(), 1u);
    EXPECT_EQ (host.calls[0].index, indexOf ("percussion"));
    EXPECT_EQ (host.calls[0].value, 1.0f);

    editor->timerCallback();
    deliverPendingMessages();
    EXPECT_TRUE (b.getToggleState());
    EXPECT_EQ (host.calls.size(), 1u);

    // Clicking again turns it off with one more notification.
    b.triggerClick();
    deliverPendingMessages();
    EXPECT_EQ (percussion.getValue(), 0.0f);
    ASSERT_EQ (host.calls.size(), 2u);
    EXPECT_EQ (host.calls[1].value, 0.0f);

    // A click report for a state the parameter already has writes nothing.
    editor->buttonClicked (&b);
    EXPECT_EQ (host.calls.size(), 2u);
    EXPECT_EQ (host.gestures, 0);
}

TEST_F (EditorWindowTest, EachControlWritesOnlyItsOwnParameter)
{
    openEditor();
    deliverPendingMessages();
    const auto& controls = editor->getControls();

    for (int i = 0; i < controls.size(); ++i)
    {
        SCOPED_TRACE (controls[i]->getName());
        host.calls.clear();

        if (auto* s = dynamic_cast<juce::Slider*> (controls[i]))
        {
            const double target = s->getValue() == s->getMaximum() ? s->getMinimum() : s->getMaximum();
            s->setValue (target, juce::sendNotificationSync);
        }
        else if (auto* b = dynamic_cast<juce::Button*> (controls[i]))
        {
            b->setToggleState (! b->getToggleState(), juce::sendNotificationSync);
        }

        ASSERT_EQ (host.calls.size(), 1u);
        EXPECT_EQ (host.calls[0].index, i);
    }
}

// ---------------------------------------------------------------------------
// Refresh

TEST_F (EditorWindowTest, RefreshShowsEveryParameterAndNeverNotifies)
{
    openEditor();
    deliverPendingMessages();
    ASSERT_TRUE (host.calls.empty());

    // Automation moves every parameter to the other end of its range.
    for (auto* p : processor.getParameters())
        p->setValue (p->getValue() >= 0.5f ? 0.0f : 1.0f);

    const auto automated = normalisedValues();
    editor->timerCallback();
    deliverPendingMessages();

    EXPECT_TRUE (host.calls.empty());
    EXPECT_EQ (normalisedValues(), automated);

    const auto& controls = editor->getControls();

    for (int i = 0; i < controls.size(); ++i)
    {
        auto& p = *processor.getParameters()[i];
        SCOPED_TRACE (controls[i]->getName());

        if (auto* s = dynamic_cast<juce::Slider*> (controls[i]))
            EXPECT_EQ (s->getValue(), p.getValue() >= 0.5f ? s->getMaximum() : s->getMinimum());
        else if (auto* b = dynamic_cast<juce::Button*> (controls[i]))
            EXPECT_EQ (b->getToggleState(), p.getValue() >= 0.5f);
    }
}

TEST_F (EditorWindowTest, AutomatedDrawbarMovesItsSliderAtTheNextRefresh)
{
    openEditor();
    deliverPendingMessages();
    auto& drawbar3 = parameter ("drawbar3");

    setPlain (drawbar3, 2.0f);
    EXPECT_EQ (slider ("drawbar3").getValue(), 8.0); // not before the refresh
    editor->timerCallback();
    EXPECT_EQ (slider ("drawbar3").getValue(), 2.0);

    // Between steps the slider shows the nearest step but the value stays.
    setPlain (drawbar3, 5.4f);
    editor->timerCallback();
    deliverPendingMessages();
    EXPECT_EQ (slider ("drawbar3").getValue(), 5.0);
    EXPECT_FLOAT_EQ (plainOf (drawbar3), 5.4f);
    EXPECT_TRUE (host.calls.empty());
}

TEST_F (EditorWindowTest, RefreshRunsEvery200Milliseconds)
{
    openEditor();
    EXPECT_TRUE (editor->isTimerRunning());
    EXPECT_EQ (editor->getTimerInterval(), 200);
}

TEST_F (EditorWindowTest, SplitLearnSwitchGoesOffOnceTheEngineLearnsAKey)
{
    processor.prepareToPlay (48000.0, 256);
    openEditor();
    deliverPendingMessages();

    auto& learn = button ("splitlearn");
    learn.triggerClick();
    deliverPendingMessages();
    ASSERT_EQ (parameter ("splitlearn").getValue(), 1.0f);

    juce::AudioBuffer<float> buffer (2, 256);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 53, (juce::uint8) 100), 0);
    processor.processBlock (buffer, midi);

    EXPECT_EQ (processor.getSplitPoint(), 53);
    EXPECT_EQ (parameter ("splitlearn").getValue(), 0.0f);
    EXPECT_TRUE (learn.getToggleState()); // until the refresh

    host.calls.clear();
    editor->timerCallback();
    EXPECT_FALSE (learn.getToggleState());
    EXPECT_TRUE (host.calls.empty());
}

// ---------------------------------------------------------------------------
// Preset menu

namespace
{
// The preset's normalised value of every parameter it names.
std::map<juce::String, float> presetValues (int k)
{
    std::map<juce::String, float> values;
    const auto xml = juce::parseXML (juce::String (quarbell::factoryPresetsXml[(size_t) k]));

    if (xml != nullptr)
        for (int a = 0; a < xml->getNumAttributes(); ++a)
            values[xml->getAttributeName (a)] = (float) xml->getAttributeValue (a).getDoubleValue();

    return values;
}
} // namespace

TEST_F (EditorWindowTest, ChoosingAPresetSetsEveryParameterButTheSplitSilently)
{
    openEditor();
    deliverPendingMessages();
    auto& box = editor->getPresetBox();

    for (int k = 0; k < quarbell::numFactoryPresets; ++k)
    {
        SCOPED_TRACE (quarbell::factoryPresetsNames[(size_t) k]);
        const auto preset = presetValues (k);
        ASSERT_EQ (preset.size(), 37u);

        // Start every parameter away from the preset's value.
        for (auto* p : processor.getParameters())
        {
            const auto id = dynamic_cast<juce::AudioProcessorParameterWithID*> (p)->getParameterID();
            p->setValue (preset.at (id) >= 0.5f ? 0.0f : 1.0f);
        }

        const float splitBefore = parameter ("splitkeyboard").getValue();
        host.calls.clear();

        box.setSelectedId (k + 2);
        deliverPendingMessages();

        EXPECT_EQ (box.getText(), juce::String (quarbell::factoryPresetsNames[(size_t) k]));
        EXPECT_TRUE (host.calls.empty());

        for (auto* p : processor.getParameters())
        {
            const auto id = dynamic_cast<juce::AudioProcessorParameterWithID*> (p)->getParameterID();

            if (id == "splitkeyboard")
                EXPECT_EQ (p->getValue(), splitBefore);
            else
                EXPECT_NEAR (p->getValue(), preset.at (id), 1e-6) << id;
        }

        // The controls follow at the next refresh.
        editor->timerCallback();
        EXPECT_EQ (slider ("drawbar3").getValue(), std::round (preset.at ("drawbar3") * 8.0f));
        EXPECT_EQ (button ("percussion").getToggleState(), preset.at ("percussion") >= 0.5f);
        EXPECT_TRUE (host.calls.empty());
    }
}

TEST_F (EditorWindowTest, CorvoJazzPullsOutTheDrawbarsItNames)
{
    openEditor();
    deliverPendingMessages();
    editor->getPresetBox().setSelectedId (2);
    deliverPendingMessages();
    editor->timerCallback();

    // Upper 000 888 888, lower 050 888 888.
    const int upper[] = { 0, 0, 0, 8, 8, 8, 8, 8, 8 };
    const int lower[] = { 0, 5, 0, 8, 8, 8, 8, 8, 8 };

    for (int d = 0; d < 9; ++d)
    {
        const auto up = "drawbar" + std::to_string (d);
        const auto low = "lowdrawbar" + std::to_string (d);
        EXPECT_EQ (slider (up.c_str()).getValue(), upper[d]) << up;
        EXPECT_EQ (slider (low.c_str()).getValue(), lower[d]) << low;
    }
}

TEST_F (EditorWindowTest, SplitKeyboardSurvivesAPresetAndSplitLearnDoesNot)
{
    setPlain (parameter ("splitkeyboard"), 1.0f);
    setPlain (parameter ("splitlearn"), 1.0f);
    openEditor();
    deliverPendingMessages();

    editor->getPresetBox().setSelectedId (2);
    deliverPendingMessages();

    EXPECT_EQ (parameter ("splitkeyboard").getValue(), 1.0f);
    EXPECT_EQ (parameter ("splitlearn").getValue(), 0.0f);
}

TEST_F (EditorWindowTest, ThePromptAndTheShownPresetApplyNothing)
{
    openEditor();
    deliverPendingMessages();
    auto& box = editor->getPresetBox();

    box.setSelectedId (14); // "Gentle Balad"
    deliverPendingMessages();

    // The user changes something after the preset...
    setPlain (parameter ("drawbar0"), 6.0f);
    setPlain (parameter ("percussion"), 1.0f);
    const auto edited = normalisedValues();

    // ...then picks the same preset again, and the prompt: neither writes.
    box.setSelectedId (14);
    deliverPendingMessages();
    EXPECT_EQ (normalisedValues(), edited);

    box.setSelectedId (1);
    deliverPendingMessages();
    EXPECT_EQ (normalisedValues(), edited);
    EXPECT_TRUE (host.calls.empty());
}

TEST_F (EditorWindowTest, ReopenedEditorStartsAtThePromptWithCurrentValues)
{
    openEditor();
    deliverPendingMessages();
    editor->getPresetBox().setSelectedId (5); // "Purple Rock": upper 004 488 888
    deliverPendingMessages();

    editor.reset();
    openEditor();

    EXPECT_EQ (editor->getPresetBox().getSelectedId(), 1);
    EXPECT_EQ (editor->getPresetBox().getText(), "Choose factory preset");
    EXPECT_EQ (slider ("drawbar2").getValue(), 4.0);
    EXPECT_EQ (slider ("drawbar3").getValue(), 4.0);
}

// ---------------------------------------------------------------------------
// Closing

namespace
{
// Sees the first member of the editor go (the preset box, last declared),
// while the look and feel and the controls still exist, and checks that by
// then no control still draws through the look and feel.
class FirstMemberWatcher : public juce::ComponentListener
{
public:
    FirstMemberWatcher (const juce::Array<juce::Component*>& c, juce::LookAndFeel* l) : controls (c), look (l) {}

    void componentBeingDeleted (juce::Component&) override
    {
        called = true;

        for (auto* c : controls)
            if (&c->getLookAndFeel() == look)
                stillAttached.add (c->getName());
    }

    juce::Array<juce::Component*> controls;
    juce::LookAndFeel* look;
    bool called = false;
    juce::StringArray stillAttached;
};
} // namespace

TEST_F (EditorWindowTest, ClosingDetachesTheLookAndFeelFromEveryControlFirst)
{
    openEditor();
    const auto& controls = editor->getControls();
    ASSERT_EQ (controls.size(), 37);
    auto* look = &controls[0]->getLookAndFeel();
    ASSERT_NE (dynamic_cast<OtherLookAndFeel*> (look), nullptr);

    FirstMemberWatcher watcher (controls, look);
    editor->getPresetBox().addComponentListener (&watcher);
    editor.reset();

    EXPECT_TRUE (watcher.called);
    EXPECT_TRUE (watcher.stillAttached.isEmpty()) << watcher.stillAttached.joinIntoString (", ");
}

TEST_F (EditorWindowTest, ProcessorOutlivesItsEditors)
{
    for (int round = 0; round < 3; ++round)
    {
        openEditor();
        deliverPendingMessages();
        editor->timerCallback();
        editor.reset();
    }

    juce::MemoryBlock state;
    processor.getStateInformation (state);
    EXPECT_GT (state.getSize(), 0u);
}
