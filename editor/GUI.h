#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

// Holds the eight embedded pictures of the editor, decoded once through the
// image cache. Nothing displays it: it is only a holder for the images.
class GUI : public juce::Component
{
public:
    // One encoded picture: its bytes and their count.
    struct Source
    {
        const void* data;
        int size;
    };

    // In the order of the members below.
    using Sources = std::array<Source, 8>;

    // The pictures compiled into the plug-in.
    static Sources embeddedSources ();

    GUI ();

    // Decodes the given pictures instead; a source that does not decode
    // leaves its image null and the others are still loaded.
    explicit GUI (const Sources& sources);

    ~GUI () override;

    void resized () override { }

    juce::Image backImage;
    juce::Image buttonImage;
    juce::Image buttonOnImage;
    juce::Image buttonOffImage;
    juce::Image slidderbuttonImage;
    juce::Image dbblackImage;
    juce::Image dbwhiteImage;
    juce::Image dbbrownImage;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GUI)
};
