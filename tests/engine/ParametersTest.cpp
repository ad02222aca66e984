#include "OrganHarness.h"

#include <gtest/gtest.h>

namespace
{
struct ExpectedParameter
{
    const char* id;
    const char* name;
    char kind; // f float, b bool, i int
    float minimum, maximum, defaultValue;
};

const ExpectedParameter expectedParameters[] {
    { "drawbar0", "0", 'f', 0, 8, 0 },       { "drawbar1", "1", 'f', 0, 8, 0 },
    { "drawbar2", "2", 'f', 0, 8, 0 },       { "drawbar3", "3", 'f', 0, 8, 8 },
    { "drawbar4", "4", 'f', 0, 8, 8 },       { "drawbar5", "5", 'f', 0, 8, 8 },
    { "drawbar6", "6", 'f', 0, 8, 8 },       { "drawbar7", "7", 'f', 0, 8, 8 },
    { "drawbar8", "8", 'f', 0, 8, 8 },       { "lowdrawbar0", "l0", 'f', 0, 8, 0 },
    { "lowdrawbar1", "l1", 'f', 0, 8, 0 },   { "lowdrawbar2", "l2", 'f', 0, 8, 0 },
    { "lowdrawbar3", "l3", 'f', 0, 8, 8 },   { "lowdrawbar4", "l4", 'f', 0, 8, 8 },
    { "lowdrawbar5", "l5", 'f', 0, 8, 8 },   { "lowdrawbar6", "l6", 'f', 0, 8, 8 },
    { "lowdrawbar7", "l7", 'f', 0, 8, 8 },   { "lowdrawbar8", "l8", 'f', 0, 8, 8 },
    { "upperLowerBalance", "Upper/Lower Mix", 'f', 0, 1, 0.5f },
    { "leslieHQBass", "Leslie horn/bass Mix", 'f', 0, 1, 0.4f },
    { "leslieGain", "Leslie Gain", 'f', 0.01f, 1, 0.01f },
    { "leslieOnOff", "Leslie On/Off", 'b', 0, 1, 1 },
    { "keyClickLevel", "Key Click", 'f', 0, 5, 1 },
    { "FastLeslie", "Slow/Fast", 'b', 0, 1, 0 },
    { "percussion", "Percussion On/Off", 'b', 0, 1, 0 },
    { "percVol", "Percussion Soft/Normal", 'b', 0, 1, 1 },
    { "percSpeed", "Perc Slow/Fast", 'b', 0, 1, 0 },
    { "percFreq", "Perc Third/Second", 'b', 0, 1, 0 },
    { "splitkeyboard", "Split Keyboard", 'b', 0, 1, 0 },
    { "splitlearn", "Split Learn", 'b', 0, 1, 0 },
    { "vcUpOnOff", "Vib Great On/Off", 'b', 0, 1, 0 },
    { "vcDownOnOff", "Vib Swell On / Off", 'b', 0, 1, 0 },
    { "vcMode", "Vibrato and Chorus", 'i', 0, 5, 1 },
    { "roomSize", "Reverb Size", 'f', 10, 100, 25 },
    { "reverbMix", "Reverb Mix", 'f', 0, 1, 0.21f },
    { "leakageLevel", "Leakage", 'f', 0, 1, 0.2f },
    { "reverbAttenuation", "Reverb Attenuation", 'f', 0.2f, 0.95f, 0.7f },
};
} // namespace

TEST (Parameters, TableMatchesOrderIdsNamesKindsRangesAndDefaults)
{
    VelmoranAudioProcessor processor;
    const auto& params = processor.getParameters();
    ASSERT_EQ (params.size(), 37);

    for (int i = 0; i < params.size(); ++i)
    {
        const auto& expected = expectedParameters[i];
        SCOPED_TRACE (expected.id);
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (params[i]);
        ASSERT_NE (ranged, nullptr);

        EXPECT_EQ (ranged->getParameterID(), expected.id);
        EXPECT_EQ (ranged->getName (100), expected.name);
        EXPECT_EQ (&processor.parameter (i), ranged);

        switch (expected.kind)
        {
            case 'f':
                ASSERT_NE (dynamic_cast<juce::AudioParameterFloat*> (ranged), nullptr);
                // Continuous: no step, no skew.
                EXPECT_EQ (ranged->getNormalisableRange().interval, 0.0f);
                EXPECT_EQ (ranged->getNormalisableRange().skew, 1.0f);
                break;
            case 'b': ASSERT_NE (dynamic_cast<juce::AudioParameterBool*> (ranged), nullptr); break;
            case 'i': ASSERT_NE (dynamic_cast<juce::AudioParameterInt*> (ranged), nullptr); break;
        }

        EXPECT_FLOAT_EQ (ranged->getNormalisableRange().start, expected.minimum);
        EXPECT_FLOAT_EQ (ranged->getNormalisableRange().end, expected.maximum);
        EXPECT_FLOAT_EQ (ranged->convertFrom0to1 (ranged->getValue()), expected.defaultValue);
        EXPECT_FLOAT_EQ (ranged->convertFrom0to1 (ranged->getDefaultValue()), expected.defaultValue);
    }
}

TEST (Parameters, ContinuousValuesSurviveANormalisedRoundTrip)
{
    VelmoranAudioProcessor processor;

    for (const char* id : { "leslieGain", "keyClickLevel", "drawbar4", "reverbAttenuation" })
    {
        auto* p = processor.findParameter (id);
        p->setValueNotifyingHost (0.3333333f);
        EXPECT_EQ (p->getValue(), 0.3333333f) << id;
    }
}

TEST (Parameters, FixedAnswersToTheHost)
{
    VelmoranAudioProcessor processor;
    EXPECT_EQ (processor.getName(), "Quarbell");
    EXPECT_TRUE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_TRUE (processor.getProgramName (0).isEmpty());
    EXPECT_STREQ (JucePlugin_VersionString, "1.1.1");
    EXPECT_EQ (JucePlugin_VersionCode, 0x10101);

    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getBus (false, 0)->getDefaultLayout(), juce::AudioChannelSet::stereo());
}

TEST (Parameters, OnlyAStereoOutputIsAccepted)
{
    VelmoranAudioProcessor processor;
    using Set = juce::AudioChannelSet;
    juce::AudioProcessor::BusesLayout layout;

    layout.inputBuses = { Set::stereo() };
    layout.outputBuses = { Set::stereo() };
    EXPECT_TRUE (processor.checkBusesLayoutSupported (layout));

    layout.inputBuses = { Set::disabled() };
    EXPECT_TRUE (processor.checkBusesLayoutSupported (layout));

    layout.outputBuses = { Set::mono() };
    EXPECT_FALSE (processor.checkBusesLayoutSupported (layout));

    layout.outputBuses = { Set::create5point1() };
    EXPECT_FALSE (processor.checkBusesLayoutSupported (layout));
}

TEST (Parameters, StateRoundTripThroughTheProcessor)
{
    auto sourceOwner = std::make_unique<VelmoranAudioProcessor>(), targetOwner = std::make_unique<VelmoranAudioProcessor>();
    auto& source = *sourceOwner;
    auto& target = *targetOwner;
    source.findParameter ("drawbar4")->setValueNotifyingHost (0.375f);
    source.findParameter ("vcMode")->setValueNotifyingHost (0.6f);
    source.findParameter ("splitkeyboard")->setValueNotifyingHost (1.0f);

    juce::MemoryBlock blob;
    source.getStateInformation (blob);
    target.setStateInformation (blob.getData(), (int) blob.getSize());

    for (int i = 0; i < 37; ++i)
        EXPECT_EQ (target.parameter (i).getValue(), source.parameter (i).getValue()) << i;

    // A refused blob changes nothing.
    const char garbage[] = "VC2!garbage";
    target.setStateInformation (garbage, (int) sizeof (garbage));
    EXPECT_EQ (target.findParameter ("drawbar4")->getValue(), 0.375f);
}
