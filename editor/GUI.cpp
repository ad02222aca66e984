#include "GUI.h"

#include "BinaryData.h"

GUI::Sources GUI::embeddedSources ()
{
    return { { { BinaryData::resource_GUI_back_png, BinaryData::resource_GUI_back_pngSize },
        { BinaryData::resource_GUI_button_png, BinaryData::resource_GUI_button_pngSize },
        { BinaryData::resource_GUI_buttonOn_png, BinaryData::resource_GUI_buttonOn_pngSize },
        { BinaryData::resource_GUI_buttonOff_png, BinaryData::resource_GUI_buttonOff_pngSize },
        { BinaryData::resource_GUI_slidderbutton_png, BinaryData::resource_GUI_slidderbutton_pngSize },
        { BinaryData::resource_GUI_dbblack_png, BinaryData::resource_GUI_dbblack_pngSize },
        { BinaryData::resource_GUI_dbwhite_png, BinaryData::resource_GUI_dbwhite_pngSize },
        { BinaryData::resource_GUI_dbbrown_png, BinaryData::resource_GUI_dbbrown_pngSize } } };
}

GUI::GUI ()
    : GUI (embeddedSources ())
{
}

GUI::GUI (const Sources& sources)
{
    // The cache keys each picture by the address of its bytes, so the editor's
    // holder and the look and feel's holder share one decoded copy.
    auto load = [] (const Source& s)
    { return s.data != nullptr && s.size > 0 ? juce::ImageCache::getFromMemory (s.data, s.size) : juce::Image (); };

    backImage = load (sources[0]);
    buttonImage = load (sources[1]);
    buttonOnImage = load (sources[2]);
    buttonOffImage = load (sources[3]);
    slidderbuttonImage = load (sources[4]);
    dbblackImage = load (sources[5]);
    dbwhiteImage = load (sources[6]);
    dbbrownImage = load (sources[7]);

    setSize (600, 400);
}

GUI::~GUI ()
{
    dbbrownImage = {};
    dbwhiteImage = {};
    dbblackImage = {};
    slidderbuttonImage = {};
    buttonOffImage = {};
    buttonOnImage = {};
    buttonImage = {};
    backImage = {};
}
