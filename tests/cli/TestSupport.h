#pragma once

#include <tests/common/MeasureFrequency.h>

#include <juce_audio_formats/juce_audio_formats.h>

#include <vector>

namespace quarbell::cli::test
{

// A folder under the system temp folder, removed with its contents at the end.
struct TempFolder
{
    TempFolder();
    ~TempFolder();

    juce::File folder;
};

struct Note
{
    int channel;
    int note;
    double onSeconds;
    double offSeconds;
};

// Writes a format 1 file at the default 120 bpm: one track per MIDI channel
// used, plus an end-of-track marker at endSeconds when that is later.
juce::File writeMidiFile (const juce::File& file, const std::vector<Note>& notes, double endSeconds = 0.0);

struct WavContents
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 0.0;
    int bitsPerSample = 0;
    bool isFloat = false;
};

// Reads a WAV file through JUCE; fails the current test when it cannot.
WavContents readWavFile (const juce::File& file);

using quarbell::test::measureFrequency;

} // namespace quarbell::cli::test
