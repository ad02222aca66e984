#pragma once

#include "Options.h"

#include <engine/PluginProcessor.h>

#include <juce_audio_basics/juce_audio_basics.h>

#include <functional>
#include <vector>

namespace quarbell::cli
{

// The channel events of a MIDI file, all tracks merged, timestamps in seconds.
struct MidiSong
{
    std::vector<juce::MidiMessage> events; // in time order
};

// Sets the organ up: the saved state, then the preset, then each single
// setting. Throws CliError.
void configureOrgan (VelmoranAudioProcessor& processor, const OrganSetup& setup);

// Reads a format 0 or 1 Standard MIDI File. Throws CliError.
MidiSong loadMidiFile (const juce::File& file);

// Merges the tracks of a file read with ticks as timestamps. Throws CliError
// when the file holds no note-on.
MidiSong songFromMidiFile (juce::MidiFile file);

// Sample at which an event at this time is handed to the processor.
juce::int64 sampleOfTime (double seconds, int sampleRate);

// Samples rendered: up to the last event, then the tail.
juce::int64 renderLength (const MidiSong& song, const RenderSettings& settings);

// Receives each rendered block in order; the block's channels 0 and 1 hold
// the left and right output.
using BlockSink = std::function<void (const juce::AudioBuffer<float>& block)>;

// Runs the organ over the song block by block. Every event whose sample falls
// inside a block goes into that block's MIDI buffer. Throws CliError.
void renderSong (const MidiSong& song, const RenderSettings& settings, const BlockSink& sink);

// The same, collected into one stereo buffer.
juce::AudioBuffer<float> renderSong (const MidiSong& song, const RenderSettings& settings);

} // namespace quarbell::cli
