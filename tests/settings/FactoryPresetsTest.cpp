#include "SettingsTestSupport.h"

#include <engine/FactoryPresets.h>

#include <map>

namespace
{
struct PresetDrawbars
{
    const char* name;
    const char* upper; // drawbar0..8 in eighths
    const char* lower; // lowdrawbar0..8 in eighths
};

const PresetDrawbars presetDrawbars[] {
    { "Corvo Jazz", "000888888", "050888888" },
    { "Lord of rock", "000000000", "000888888" },
    { "Mabrek Gospel", "000488808", "050888888" },
    { "Purple Rock", "004488888", "050888888" },
    { "House Church", "080080880", "008086788" },
    { "Theater Organ", "010232421", "004488888" },
    { "Born To B3", "000080770", "116348888" },
    { "America", "001164778", "228288888" },
    { "5th organ", "088080088", "008828888" },
    { "Shade of Pale White", "200288888", "008818118" },
    { "Wendle's sound of coaster", "000088888", "004488888" },
    { "Dark Solo", "060688888", "282888888" },
    { "Gentle Balad", "088888888", "153888888" },
};

struct PresetRow
{
    const char* id;
    float values[13];
};

// By preset number 1..13, as normalised values.
const PresetRow presetRows[] {
    { "upperLowerBalance", { 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f } },
    { "leslieHQBass",
      { 0.47f, 0.39999998f, 0.47f, 0.47f, 0.48999998f, 0.48999998f, 0.48999998f, 0.48999998f, 0.48999998f, 0.47f,
        0.47f, 0.47f, 0.47f } },
    { "leslieGain",
      { 0.3333333f, 0.67676765f, 0.2929293f, 0.67676765f, 0.07070707f, 0.2929293f, 0.2929293f, 0.2929293f, 0.2929293f,
        0.1919192f, 0.1919192f, 0.27272725f, 0.0f } },
    { "leslieOnOff", { 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 } },
    { "keyClickLevel",
      { 0.248f, 0.2f, 0.222f, 0.222f, 0.288f, 0.222f, 0.222f, 0.222f, 0.222f, 0.222f, 0.222f, 0.2f, 0.2f } },
    { "FastLeslie", { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
    { "percussion", { 1, 0, 1, 1, 0, 0, 0, 0, 0, 1, 1, 1, 0 } },
    { "percVol", { 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1 } },
    { "percSpeed", { 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1 } },
    { "percFreq", { 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0 } },
    { "splitkeyboard", { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
    { "splitlearn", { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
    { "vcUpOnOff", { 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0 } },
    { "vcDownOnOff", { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0 } },
    { "vcMode", { 0.6f, 0.2f, 1, 1, 1, 0.6f, 0.6f, 0.6f, 0.6f, 0.6f, 0.6f, 1, 1 } },
    { "roomSize",
      { 0.5892222f, 0.28399998f, 0.5892222f, 0.5892222f, 0.5892222f, 0.5892222f, 0.5892222f, 0.5892222f, 0.5892222f,
        0.5892222f, 0.5892222f, 0.0f, 0.31599998f } },
    { "reverbMix", { 0.47f, 0.21f, 0.47f, 0.47f, 0.47f, 0.47f, 0.47f, 0.47f, 0.47f, 0.47f, 0.47f, 0.47f, 0.47f } },
    { "leakageLevel",
      { 0.14f, 0.19999999f, 0.099999994f, 0.099999994f, 0.19f, 0.19f, 0.19f, 0.19f, 0.19f, 0.099999994f, 0.099999994f,
        0.099999994f, 0.099999994f } },
    { "reverbAttenuation",
      { 0.3333333f, 0.6666667f, 0.3333333f, 0.3333333f, 0.3333333f, 0.3333333f, 0.3333333f, 0.3333333f, 0.3333333f,
        0.3333333f, 0.3333333f, 0.3333333f, 0.3333333f } },
};

// Preset k's 37 normalised values by parameter ID.
std::map<std::string, float> expectedPreset (int k)
{
    std::map<std::string, float> values;
    const auto& drawbars = presetDrawbars[k];

    for (int i = 0; i < 9; ++i)
    {
        values["drawbar" + std::to_string (i)] = float (drawbars.upper[i] - '0') / 8.0f;
        values["lowdrawbar" + std::to_string (i)] = float (drawbars.lower[i] - '0') / 8.0f;
    }

    for (const auto& row : presetRows)
        values[row.id] = row.values[k];

    return values;
}
} // namespace

TEST (FactoryPresets, ThirteenNamesInMenuOrder)
{
    ASSERT_EQ (quarbell::numFactoryPresets, 13);

    for (int k = 0; k < quarbell::numFactoryPresets; ++k)
        EXPECT_STREQ (quarbell::factoryPresetsNames[std::size_t (k)], presetDrawbars[k].name);
}

TEST (FactoryPresets, EachTextHoldsTheTablesValuesForAll37ParametersInOrder)
{
    for (int k = 0; k < quarbell::numFactoryPresets; ++k)
    {
        SCOPED_TRACE (presetDrawbars[k].name);
        const auto expected = expectedPreset (k);
        ASSERT_EQ (expected.size(), 37u);

        const auto element = juce::parseXML (quarbell::factoryPresetsXml[std::size_t (k)]);
        ASSERT_NE (element, nullptr);
        EXPECT_EQ (element->getTagName(), "QUARBELLSETTINGS");
        EXPECT_EQ (element->getNumChildElements(), 0);
        ASSERT_EQ (element->getNumAttributes(), 37);

        for (int i = 0; i < 37; ++i)
        {
            const std::string id = quarbell::parameterTable[std::size_t (i)].id;
            const auto text = element->getAttributeValue (i).toStdString();
            const float stored = expected.at (id);

            EXPECT_EQ (element->getAttributeName (i).toStdString(), id);
            EXPECT_EQ (float (quarbell::parseSettingsValue (text.c_str())), stored) << id;
            // Spelled like a saved blob would spell that value.
            EXPECT_EQ (text, quarbell::formatSettingsValue (double (stored))) << id;
        }
    }
}

TEST_F (SettingsTest, EveryFactoryPresetSetsAllButTheSplitSwitch)
{
    for (int k = 0; k < quarbell::numFactoryPresets; ++k)
    {
        SCOPED_TRACE (presetDrawbars[k].name);

        for (auto* parameter : parameters())
            parameter->setValue (0.75f);

        ASSERT_TRUE (quarbell::applyFactoryPreset (parameters(), k));

        const auto expected = expectedPreset (k);
        VelmoranAudioProcessor reference;

        for (int i = 0; i < parameters().size(); ++i)
        {
            const char* id = quarbell::parameterTable[std::size_t (i)].id;
            auto* target = reference.getParameters()[i];
            setNormalised (*target, std::string (id) == "splitkeyboard" ? 0.75f : expected.at (id));

            // Exactly what the parameter's own setter makes of the table value.
            EXPECT_EQ (parameters()[i]->getValue(), target->getValue()) << id;

            if (std::string (id) != "splitkeyboard")
            {
                EXPECT_NEAR (parameters()[i]->getValue(), expected.at (id), 1.0e-6f) << id;
            }
        }
    }
}

TEST_F (SettingsTest, PresetOneKeepsTheSplitKeyboardOnAndStopsSplitLearning)
{
    setNormalised ("splitkeyboard", 1.0f);
    setNormalised ("splitlearn", 1.0f);

    EXPECT_TRUE (quarbell::applyFactoryPreset (parameters(), 0));

    EXPECT_EQ (normalised ("splitkeyboard"), 1.0f);
    EXPECT_EQ (normalised ("splitlearn"), 0.0f);
    EXPECT_EQ (value ("lowdrawbar1"), 5.0f);
}

TEST_F (SettingsTest, PresetIndexOutsideTheMenuChangesNothing)
{
    const auto before = snapshot();

    for (const int k : { -1, 13, 1000 })
        EXPECT_FALSE (quarbell::applyFactoryPreset (parameters(), k));

    EXPECT_EQ (snapshot(), before);
}
