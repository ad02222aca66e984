#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace quarbell::cli::test
{

namespace
{
    constexpr int ticksPerQuarter = 960;

    // 120 bpm: two quarter notes a second.
    double ticksOf (double seconds) { return seconds * 2.0 * ticksPerQuarter; }
} // namespace

// A unique name: tests run as parallel processes, and two of them asking for
// the next free name at once would share a folder.
TempFolder::TempFolder()
    : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                  .getChildFile ("quarbell_cli_test_" + juce::Uuid().toString()))
{
    folder.createDirectory();
}

TempFolder::~TempFolder()
{
    folder.deleteRecursively();
}

juce::File writeMidiFile (const juce::File& file, const std::vector<Note>& notes, double endSeconds)
{
    std::map<int, juce::MidiMessageSequence> tracks;

    for (const auto& n : notes)
    {
        auto& track = tracks[n.channel];
        track.addEvent (juce::MidiMessage::noteOn (n.channel, n.note, (juce::uint8) 100), ticksOf (n.onSeconds));
        track.addEvent (juce::MidiMessage::noteOff (n.channel, n.note), ticksOf (n.offSeconds));
    }

    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (ticksPerQuarter);

    juce::MidiMessageSequence conductor;
    conductor.addEvent (juce::MidiMessage::endOfTrack(), ticksOf (endSeconds));
    midi.addTrack (conductor);

    for (auto& [channel, track] : tracks)
    {
        track.updateMatchedPairs();
        midi.addTrack (track);
    }

    file.deleteFile();
    juce::FileOutputStream stream (file);
    EXPECT_TRUE (stream.openedOk());
    EXPECT_TRUE (midi.writeTo (stream, 1));
    return file;
}

WavContents readWavFile (const juce::File& file)
{
    WavContents contents;
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();

    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));

    if (reader == nullptr)
    {
        ADD_FAILURE() << "cannot read " << file.getFullPathName();
        return contents;
    }

    contents.sampleRate = reader->sampleRate;
    contents.bitsPerSample = (int) reader->bitsPerSample;
    contents.isFloat = reader->usesFloatingPointData;
    contents.samples.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    reader->read (&contents.samples, 0, (int) reader->lengthInSamples, 0, true, true);
    return contents;
}

} // namespace quarbell::cli::test
