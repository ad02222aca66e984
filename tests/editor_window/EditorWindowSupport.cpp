#include "EditorWindowSupport.h"

namespace juce
{
// The message loop's single step, as MessageManager::runDispatchLoop uses it
// (JUCE's Linux event loop); runDispatchLoopUntil needs modal loops, which the
// library is built without.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

int NotificationCounter::countFor (int index) const
{
    int n = 0;

    for (const auto& call : calls)
        if (call.index == index)
            ++n;

    return n;
}

EditorWindowTest::EditorWindowTest()
{
    for (auto* p : processor.getParameters())
        p->addListener (&host);
}

EditorWindowTest::~EditorWindowTest()
{
    editor.reset();

    for (auto* p : processor.getParameters())
        p->removeListener (&host);
}

void EditorWindowTest::openEditor()
{
    editor = std::make_unique<VelmoranAudioProcessorEditor> (processor);
}

void EditorWindowTest::deliverPendingMessages()
{
    // Bounded: the editor's own timer keeps posting while we run.
    for (int i = 0; i < 1000 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
    {
    }
}

juce::RangedAudioParameter& EditorWindowTest::parameter (const char* id) const
{
    auto* p = processor.findParameter (id);
    EXPECT_NE (p, nullptr) << id;
    return *p;
}

int EditorWindowTest::indexOf (const char* id) const
{
    return parameter (id).getParameterIndex();
}

juce::Component& EditorWindowTest::control (const char* id) const
{
    return *editor->getControls()[indexOf (id)];
}

juce::Slider& EditorWindowTest::slider (const char* id) const
{
    auto* s = dynamic_cast<juce::Slider*> (&control (id));
    EXPECT_NE (s, nullptr) << id;
    return *s;
}

juce::ToggleButton& EditorWindowTest::button (const char* id) const
{
    auto* b = dynamic_cast<juce::ToggleButton*> (&control (id));
    EXPECT_NE (b, nullptr) << id;
    return *b;
}

std::vector<float> EditorWindowTest::normalisedValues() const
{
    std::vector<float> values;

    for (auto* p : processor.getParameters())
        values.push_back (p->getValue());

    return values;
}
