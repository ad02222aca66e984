// Renders a short score through the engine library directly, without any
// plug-in wrapper, so the host test can compare the hosted plug-ins with it.
// It links the engine's own JUCE build; the host test links one with plug-in
// hosting, and the two must not meet in one binary.
//
//   quarbell_reference_render --rate R --block N --blocks B --out FILE
//                             [--midi BLOCK:B0,B1,B2]... [--param BLOCK:INDEX:NORMALISED]...
//
// Every MIDI event and parameter change takes effect at the start of block
// BLOCK, in the order given. FILE receives the left channel's samples, then
// the right channel's, as native 32-bit floats.

#include <engine/PluginProcessor.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace
{
    struct MidiAt
    {
        int block;
        std::vector<juce::uint8> bytes;
    };

    struct ParamAt
    {
        int block;
        int index;
        float normalised;
    };

    [[noreturn]] void fail (const std::string& message)
    {
        std::cerr << "quarbell_reference_render: " << message << std::endl;
        std::exit (2);
    }

    MidiAt parseMidi (const juce::String& text)
    {
        MidiAt m;
        m.block = text.upToFirstOccurrenceOf (":", false, false).getIntValue();

        for (const auto& b : juce::StringArray::fromTokens (text.fromFirstOccurrenceOf (":", false, false), ",", {}))
            m.bytes.push_back ((juce::uint8) b.getHexValue32());

        if (m.bytes.empty())
            fail ("empty MIDI event: " + text.toStdString());

        return m;
    }

    ParamAt parseParam (const juce::String& text)
    {
        const auto parts = juce::StringArray::fromTokens (text, ":", {});

        if (parts.size() != 3)
            fail ("bad --param: " + text.toStdString());

        return { parts[0].getIntValue(), parts[1].getIntValue(), parts[2].getFloatValue() };
    }
} // namespace

int main (int argc, char* argv[])
{
    int rate = 48000, block = 512, blocks = 0;
    juce::String out;
    std::vector<MidiAt> events;
    std::vector<ParamAt> params;

    for (int i = 1; i + 1 < argc; i += 2)
    {
        const juce::String key (argv[i]), value (argv[i + 1]);

        if (key == "--rate")
            rate = value.getIntValue();
        else if (key == "--block")
            block = value.getIntValue();
        else if (key == "--blocks")
            blocks = value.getIntValue();
        else if (key == "--out")
            out = value;
        else if (key == "--midi")
            events.push_back (parseMidi (value));
        else if (key == "--param")
            params.push_back (parseParam (value));
        else
            fail ("unknown option " + key.toStdString());
    }

    if (out.isEmpty() || block <= 0 || blocks <= 0 || rate <= 0)
        fail ("need --rate, --block, --blocks and --out");

    VelmoranAudioProcessor processor;
    const int numParameters = (int) quarbell::parameterTable.size();

    processor.setRateAndBufferSizeDetails (rate, block);
    processor.prepareToPlay (rate, block);

    std::vector<float> left, right;
    juce::AudioBuffer<float> buffer (2, block);
    juce::MidiBuffer midi;

    for (int b = 0; b < blocks; ++b)
    {
        for (const auto& p : params)
        {
            if (p.block != b)
                continue;

            if (p.index < 0 || p.index >= numParameters)
                fail ("parameter index out of range");

            // What a plug-in wrapper does with a host's change: the silent setter.
            processor.parameter (p.index).setValue (p.normalised);
        }

        midi.clear();

        for (const auto& e : events)
            if (e.block == b)
                midi.addEvent (e.bytes.data(), (int) e.bytes.size(), 0);

        buffer.clear();
        processor.processBlock (buffer, midi);

        left.insert (left.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + block);
        right.insert (right.end(), buffer.getReadPointer (1), buffer.getReadPointer (1) + block);
    }

    processor.releaseResources();

    std::FILE* file = std::fopen (out.toRawUTF8(), "wb");

    if (file == nullptr)
        fail ("cannot write " + out.toStdString());

    const bool written = std::fwrite (left.data(), sizeof (float), left.size(), file) == left.size()
                         && std::fwrite (right.data(), sizeof (float), right.size(), file) == right.size();

    if (std::fclose (file) != 0 || ! written)
        fail ("cannot write " + out.toStdString());

    return 0;
}
