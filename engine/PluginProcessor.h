#pragma once

#include "Frame.h"
#include "Parameters.h"
#include "PreampDrive.h"
#include "Reverb.h"
#include "RotarySpeaker.h"
#include "ToneGenerator.h"
#include "VibratoChorus.h"
#include "tables/FilterSets.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <algorithm>
#include <atomic>

// The organ's audio processor: owns the parameters and all engine state and
// runs the stages of the organ over every block.
class VelmoranAudioProcessor : public juce::AudioProcessor
{
public:
    VelmoranAudioProcessor();
    ~VelmoranAudioProcessor() override = default;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override {}
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using AudioProcessor::processBlock;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    const juce::String getName() const override { return "Quarbell"; }
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    // The parameter at a host index, in its own range through get().
    juce::RangedAudioParameter& parameter (int index) const { return *allParameters[(size_t) index]; }
    juce::RangedAudioParameter* findParameter (const juce::String& id) const;

    // Where the block leaves the chain: the output, or the signal as it stands
    // after an earlier stage (both channels), for analysing the chain.
    enum class Tap
    {
        generator,
        scanner,
        drive,
        reverb,
        output
    };
    void setOutputTap (Tap stage) noexcept { outputTap = stage; }
    Tap getOutputTap() const noexcept { return outputTap; }

    int getSplitPoint() const noexcept { return splitPoint; }
    const quarbell::ToneGenerator& generator() const noexcept { return toneGenerator; }

private:
    void handleMidiEvent (const juce::uint8* data, int size);
    void handleNoteOn (int channel, int note);
    void handleModulationWheel (int value);
    static void setAndNotify (juce::AudioParameterBool& parameter, bool on);
    quarbell::GeneratorBlockSettings makeGeneratorSettings() const noexcept;
    void bindFilterSets (int sampleRate) noexcept;
    void renderPiece (float* upper, float* lower, int numSamples) noexcept;

    int splitPoint = 60;
    quarbell::ToneGenerator toneGenerator;

    std::array<juce::RangedAudioParameter*, quarbell::parameterTable.size()> allParameters {};

    juce::AudioParameterBool* splitkeyboard = nullptr;
    juce::AudioParameterBool* splitlearn = nullptr;
    juce::AudioParameterBool* percussion = nullptr;
    juce::AudioParameterBool* percFreq = nullptr;
    juce::AudioParameterBool* percVol = nullptr;
    juce::AudioParameterBool* vcUpOnOff = nullptr;
    juce::AudioParameterBool* vcDownOnOff = nullptr;
    juce::AudioParameterInt* vcMode = nullptr;
    juce::AudioParameterBool* percSpeed = nullptr;
    juce::AudioParameterFloat* leslieHQBass = nullptr;
    juce::AudioParameterFloat* leakageLevel = nullptr;
    juce::AudioParameterFloat* leslieGain = nullptr;
    juce::AudioParameterBool* leslieOnOff = nullptr;
    juce::AudioParameterFloat* upperLowerBalance = nullptr;
    juce::AudioParameterFloat* roomSize = nullptr;
    juce::AudioParameterFloat* reverbMix = nullptr;
    juce::AudioParameterFloat* reverbAttenuation = nullptr;
    juce::AudioParameterFloat* keyClickLevel = nullptr;
    juce::AudioParameterFloat* drawbar[quarbell::numDrawbars] {};
    juce::AudioParameterFloat* lowdrawbar[quarbell::numDrawbars] {};
    juce::AudioParameterBool* FastLeslie = nullptr;

    quarbell::VibratoChorus upperVibrato, lowerVibrato;
    quarbell::PreampDrive preampDrive;
    quarbell::Reverb reverb;
    quarbell::RotarySpeaker rotarySpeaker;

    quarbell::Frame upperFrame, lowerFrame;
    std::atomic<Tap> outputTap { Tap::output };
    double currentSampleRate = 48000.0;
    int sampleRateHz = 48000;
    quarbell::RateFilterSets rateFilterSets;
    // Set by a prepare at a rate the organ can play at; until then, and after a
    // prepare at any other rate, blocks come out silent.
    bool playable = false;

public:
    // The longest stretch the stages take in one go; longer host blocks are
    // rendered in pieces of this size.
    static constexpr int maxPieceSize = std::min ({ quarbell::VibratoChorus::maxBlockSize,
                                                    quarbell::Reverb::maxBlockSize,
                                                    quarbell::RotarySpeaker::maxBlockSize });

private:

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelmoranAudioProcessor)
};
