#include "Render.h"

#include "Error.h"

#include <engine/PluginProcessor.h>
#include <engine/Settings.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>

namespace quarbell::cli
{

namespace
{
    juce::String describe (const juce::File& file) { return file.getFullPathName(); }

    // At equal times a note-off goes first, so a key struck again at the
    // instant it is let go sounds.
    bool comesBefore (const juce::MidiMessage& a, const juce::MidiMessage& b)
    {
        if (a.getTimeStamp() != b.getTimeStamp())
            return a.getTimeStamp() < b.getTimeStamp();

        return a.isNoteOff() && ! b.isNoteOff();
    }

} // namespace

void configureOrgan (VelmoranAudioProcessor& processor, const OrganSetup& setup)
{
    const auto& parameters = processor.getParameters();

    if (setup.stateFile != juce::File())
    {
        const auto& file = setup.stateFile;

        if (! file.existsAsFile())
            throw CliError (("cannot read " + describe (file) + ": no such file").toStdString());

        juce::MemoryBlock blob;

        if (! file.loadFileAsData (blob))
            throw CliError (("cannot read " + describe (file)).toStdString());

        if (! restoreSettingsBlob (parameters, blob.getData(), (int) std::min<size_t> (blob.getSize(), INT_MAX)))
            throw CliError ((describe (file) + " is not a Quarbell settings blob (write one with 'quarbell state')")
                                .toStdString());
    }

    if (setup.presetIndex >= 0 && ! applyFactoryPreset (parameters, setup.presetIndex))
        throw CliError (("no factory preset " + juce::String (setup.presetIndex + 1)).toStdString());

    for (const auto& setting : setup.parameters)
    {
        auto* parameter = processor.findParameter (setting.id);

        if (parameter == nullptr)
            throw CliError (("unknown parameter '" + setting.id + "'").toStdString());

        parameter->setValueNotifyingHost (parameter->convertTo0to1 (setting.value));
    }
}

MidiSong loadMidiFile (const juce::File& file)
{
    if (file.isDirectory())
        throw CliError ((describe (file) + " is a directory, not a MIDI file").toStdString());

    if (! file.existsAsFile())
        throw CliError (("cannot read " + describe (file) + ": no such file").toStdString());

    juce::FileInputStream stream (file);

    if (stream.failedToOpen())
        throw CliError (("cannot read " + describe (file) + ": " + stream.getStatus().getErrorMessage()).toStdString());

    juce::MidiFile midi;
    int format = -1;

    if (! midi.readFrom (stream, true, &format))
        throw CliError ((describe (file) + " is not a valid MIDI file").toStdString());

    // Format 2 tracks are separate songs, not parts to be played together.
    if (format != 0 && format != 1)
        throw CliError ((describe (file) + " is a format " + juce::String (format)
                         + " MIDI file; only formats 0 and 1 are supported")
                            .toStdString());

    try
    {
        return songFromMidiFile (std::move (midi));
    }
    catch (const CliError& e)
    {
        throw CliError ((describe (file) + ": " + e.what()).toStdString());
    }
}

MidiSong songFromMidiFile (juce::MidiFile file)
{
    file.convertTimestampTicksToSeconds();

    MidiSong song;

    for (int t = 0; t < file.getNumTracks(); ++t)
        for (const auto* holder : *file.getTrack (t))
            if (! holder->message.isMetaEvent())
                song.events.push_back (holder->message);

    std::stable_sort (song.events.begin(), song.events.end(), comesBefore);

    const bool hasNoteOn =
        std::any_of (song.events.begin(), song.events.end(), [] (const auto& m) { return m.isNoteOn(); });

    if (! hasNoteOn)
        throw CliError ("no notes to play (no note-on events)");

    return song;
}

juce::int64 sampleOfTime (double seconds, int sampleRate)
{
    return std::llround (std::max (0.0, seconds) * sampleRate);
}

juce::int64 renderLength (const MidiSong& song, const RenderSettings& settings)
{
    const double lastTime = song.events.empty() ? 0.0 : song.events.back().getTimeStamp();
    const auto lastSample = sampleOfTime (lastTime, settings.sampleRate);
    const auto tail = std::llround (settings.tailSeconds * settings.sampleRate);

    // At least one sample past the last event, so it reaches the processor.
    return lastSample + std::max<juce::int64> (tail, 1);
}

void renderSong (const MidiSong& song, const RenderSettings& settings, const BlockSink& sink)
{
    // On the heap: the processor holds megabytes of fixed-size state.
    auto owner = std::make_unique<VelmoranAudioProcessor>();
    auto& processor = *owner;
    configureOrgan (processor, settings.setup);
    processor.setOutputTap (settings.tap);

    processor.setRateAndBufferSizeDetails (settings.sampleRate, settings.blockSize);
    processor.prepareToPlay (settings.sampleRate, settings.blockSize);

    juce::AudioBuffer<float> buffer (2, settings.blockSize);
    juce::MidiBuffer midi;

    const auto total = renderLength (song, settings);
    auto next = song.events.begin();

    for (juce::int64 blockStart = 0; blockStart < total; blockStart += settings.blockSize)
    {
        const int n = static_cast<int> (std::min<juce::int64> (settings.blockSize, total - blockStart));

        midi.clear();

        for (; next != song.events.end(); ++next)
        {
            const auto sample = sampleOfTime (next->getTimeStamp(), settings.sampleRate);

            if (sample >= blockStart + n)
                break;

            midi.addEvent (*next, static_cast<int> (sample - blockStart));
        }

        juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), 2, n);
        block.clear();
        processor.processBlock (block, midi);
        sink (block);
    }

    processor.releaseResources();
}

juce::AudioBuffer<float> renderSong (const MidiSong& song, const RenderSettings& settings)
{
    const auto total = renderLength (song, settings);

    if (total > std::numeric_limits<int>::max())
        throw CliError ("the song is too long to render into memory");

    juce::AudioBuffer<float> result (2, static_cast<int> (total));
    int written = 0;

    renderSong (song, settings, [&] (const juce::AudioBuffer<float>& block)
    {
        for (int ch = 0; ch < 2; ++ch)
            result.copyFrom (ch, written, block, ch, 0, block.getNumSamples());

        written += block.getNumSamples();
    });

    return result;
}

} // namespace quarbell::cli
