#include "PluginProcessor.h"

#include "Settings.h"
#include "editor/PluginEditor.h"
#include "tables/FilterSets.h"

using namespace quarbell;

namespace
{
    std::unique_ptr<juce::RangedAudioParameter> createParameter (const ParameterInfo& info)
    {
        const juce::ParameterID id { info.id, 1 };

        switch (info.kind)
        {
            case ParameterKind::toggle:
                return std::make_unique<juce::AudioParameterBool> (id, info.name, info.defaultValue >= 0.5f);

            case ParameterKind::integer:
                return std::make_unique<juce::AudioParameterInt> (id, info.name, (int) info.minimum, (int) info.maximum,
                                                                  (int) info.defaultValue);

            case ParameterKind::continuous:
            default:
                // An explicit range: the short constructor would add a 0.01 step.
                return std::make_unique<juce::AudioParameterFloat> (
                    id, info.name, juce::NormalisableRange<float> (info.minimum, info.maximum), info.defaultValue);
        }
    }

    constexpr bool isOn (float value) noexcept { return value >= 0.5f; }
} // namespace

VelmoranAudioProcessor::VelmoranAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    for (size_t i = 0; i < parameterTable.size(); ++i)
    {
        auto created = createParameter (parameterTable[i]);
        allParameters[i] = created.get();
        addParameter (created.release());
    }

    auto boolean = [this] (const char* id) { return dynamic_cast<juce::AudioParameterBool*> (findParameter (id)); };
    auto real = [this] (const char* id) { return dynamic_cast<juce::AudioParameterFloat*> (findParameter (id)); };

    splitkeyboard = boolean ("splitkeyboard");
    splitlearn = boolean ("splitlearn");
    percussion = boolean ("percussion");
    percFreq = boolean ("percFreq");
    percVol = boolean ("percVol");
    vcUpOnOff = boolean ("vcUpOnOff");
    vcDownOnOff = boolean ("vcDownOnOff");
    vcMode = dynamic_cast<juce::AudioParameterInt*> (findParameter ("vcMode"));
    percSpeed = boolean ("percSpeed");
    leslieHQBass = real ("leslieHQBass");
    leakageLevel = real ("leakageLevel");
    leslieGain = real ("leslieGain");
    leslieOnOff = boolean ("leslieOnOff");
    upperLowerBalance = real ("upperLowerBalance");
    roomSize = real ("roomSize");
    reverbMix = real ("reverbMix");
    reverbAttenuation = real ("reverbAttenuation");
    keyClickLevel = real ("keyClickLevel");

    for (int k = 0; k < numDrawbars; ++k)
    {
        drawbar[k] = real (("drawbar" + juce::String (k)).toRawUTF8());
        lowdrawbar[k] = real (("lowdrawbar" + juce::String (k)).toRawUTF8());
    }

    FastLeslie = boolean ("FastLeslie");

    bindFilterSets (48000);
}

void VelmoranAudioProcessor::bindFilterSets (int sampleRate) noexcept
{
    // Rates without sets of their own get those of the nearest rate, with the
    // simple high-passes designed for the rate itself.
    rateFilterSets.design (sampleRate);
    const auto set = [this] (FilterFamily family) { return rateFilterSets.get (family); };
    preampDrive.prepare (set (FilterFamily::preamp), set (FilterFamily::lowCut));
    rotarySpeaker.prepare (set (FilterFamily::horn), set (FilterFamily::hornHighPass), set (FilterFamily::bass));
}

juce::RangedAudioParameter* VelmoranAudioProcessor::findParameter (const juce::String& id) const
{
    const int index = parameterIndex (id.toRawUTF8());
    return index < 0 ? nullptr : allParameters[(size_t) index];
}

bool VelmoranAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    // The organ renders its two manuals into two channels and leaves as stereo.
    if (layouts.getMainOutputChannelSet() != juce::AudioChannelSet::stereo())
        return false;

    const auto input = layouts.getMainInputChannelSet();
    return input.isDisabled() || input == juce::AudioChannelSet::stereo();
}

void VelmoranAudioProcessor::prepareToPlay (double sampleRate, int)
{
    // Checked as a double first: converting NaN or a huge value to int is undefined.
    playable = sampleRate >= (double) minSampleRate && sampleRate < (double) maxSampleRate + 1.0;

    if (! playable)
        return;

    currentSampleRate = sampleRate;
    sampleRateHz = static_cast<int> (sampleRate);
    bindFilterSets (sampleRateHz);
    toneGenerator.prepare (sampleRateHz);
}

void VelmoranAudioProcessor::setAndNotify (juce::AudioParameterBool& parameter, bool on)
{
    const float normalised = on ? 1.0f : 0.0f;
    juce::AudioProcessorParameter& base = parameter;
    base.setValue (normalised);
    base.sendValueChangedMessageToListeners (normalised);
}

void VelmoranAudioProcessor::handleNoteOn (int channel, int note)
{
    if (splitlearn->get())
    {
        // The learned note only sets the split point; it does not sound.
        splitPoint = note;
        setAndNotify (*splitlearn, false);
        return;
    }

    int manual = 1;
    int wheelNote = note;

    if (splitkeyboard->get())
    {
        if (note < splitPoint)
        {
            manual = 2;
            wheelNote = note + 12;
        }
    }
    else if (channel == 2)
    {
        manual = 2;
    }
    else if (channel != 1)
    {
        return;
    }

    toneGenerator.noteOn (note, manual, wheelNote, keyClickLevel->get(), percVol->get());
}

void VelmoranAudioProcessor::handleModulationWheel (int value)
{
    const bool fast = value >= 65;

    if (FastLeslie->get() != fast)
        setAndNotify (*FastLeslie, fast);
}

void VelmoranAudioProcessor::handleMidiEvent (const juce::uint8* data, int size)
{
    if (size < 3)
        return;

    const int status = data[0];
    const int type = status & 0xf0;
    const int channel = (status & 0x0f) + 1;
    const int data1 = data[1] & 0x7f;
    const int data2 = data[2] & 0x7f;

    if (type == 0x90 && data2 > 0)
        handleNoteOn (channel, data1);
    else if (type == 0x80 || type == 0x90)
        toneGenerator.noteOff (data1);
    else if (type == 0xb0 && data1 == 1)
        handleModulationWheel (data2);
}

GeneratorBlockSettings VelmoranAudioProcessor::makeGeneratorSettings() const noexcept
{
    GeneratorBlockSettings settings;

    for (int k = 0; k < numDrawbars; ++k)
    {
        settings.upperGain[k] = ToneGenerator::drawbarGain (drawbar[k]->get());
        settings.lowerGain[k] = ToneGenerator::drawbarGain (lowdrawbar[k]->get());
    }

    settings.releaseStep = toneGenerator.releaseStep();
    settings.keyClickStep = toneGenerator.keyClickStep (keyClickLevel->get());
    settings.percDecayFactor = toneGenerator.percussionDecayFactor (percSpeed->get());
    settings.percDrawbar = percFreq->get() ? 4 : 3;
    settings.balance = upperLowerBalance->get();
    settings.leakage = leakageLevel->get();
    settings.percussionOn = percussion->get();
    return settings;
}

void VelmoranAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;

    if (! playable)
    {
        buffer.clear();
        return;
    }

    const int numSamples = buffer.getNumSamples();

    for (int ch = getTotalNumInputChannels(); ch < buffer.getNumChannels(); ++ch)
        buffer.clear (ch, 0, numSamples);

    for (const auto event : midi)
        handleMidiEvent (event.data, event.numBytes);

    if (buffer.getNumChannels() < 2)
    {
        buffer.clear();
        return;
    }

    float* upper = buffer.getWritePointer (0);
    float* lower = buffer.getWritePointer (1);

    for (int done = 0; done < numSamples; done += maxPieceSize)
        renderPiece (upper + done, lower + done, std::min (maxPieceSize, numSamples - done));
}

void VelmoranAudioProcessor::renderPiece (float* upper, float* lower, int numSamples) noexcept
{
    const Tap tap = outputTap;
    toneGenerator.render (upper, lower, numSamples, makeGeneratorSettings());

    if (tap == Tap::generator)
        return;

    upperFrame = { upper, numSamples, sampleRateHz };
    lowerFrame = { lower, numSamples, sampleRateHz };

    const auto scanner = vibratoSetting ((float) vcMode->get());

    if (vcUpOnOff->get())
        upperVibrato.Apply (upperFrame, scanner.mix, scanner.depth, currentSampleRate);

    if (vcDownOnOff->get())
        lowerVibrato.Apply (lowerFrame, scanner.mix, scanner.depth, currentSampleRate);

    if (tap == Tap::scanner)
        return;

    // From here channel 0 carries the mono organ.
    preampDrive.process (upperFrame, lowerFrame, leslieGain->get());

    if (tap == Tap::drive)
        return;

    reverb.process (upper, numSamples, sampleRateHz, roomSize->get(), reverbMix->get(), reverbAttenuation->get());

    if (tap == Tap::reverb)
        return;

    rotarySpeaker.process (upper, lower, numSamples, sampleRateHz, leslieOnOff->get(), FastLeslie->get(),
                           leslieHQBass->get());
}

juce::AudioProcessorEditor* VelmoranAudioProcessor::createEditor()
{
    return new VelmoranAudioProcessorEditor (*this);
}

void VelmoranAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    writeSettingsBlob (getParameters(), destData);
}

void VelmoranAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (! restoreSettingsBlob (getParameters(), data, sizeInBytes))
        return;

    // The values are set silently. An LV2 host only learns of parameter values
    // through change messages, so there it would keep showing (and could send
    // back) the values from before the restore: tell it the new ones.
    if (wrapperType == wrapperType_LV2)
        for (auto* p : getParameters())
            p->sendValueChangedMessageToListeners (p->getValue());
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VelmoranAudioProcessor();
}
