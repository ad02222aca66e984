#include "Error.h"
#include "Render.h"
#include "TestSupport.h"
#include "AudioWriter.h"
#include "Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace quarbell::cli;
using namespace quarbell::cli::test;

namespace
{
    // By default the generator alone: the upper manual on the left, the lower on the right.
    RenderSettings settingsWith (int blockSize, double tailSeconds, std::vector<ParameterSetting> parameters = {},
                                 VelmoranAudioProcessor::Tap tap = VelmoranAudioProcessor::Tap::generator)
    {
        RenderSettings settings;
        settings.tap = tap;
        settings.blockSize = blockSize;
        settings.tailSeconds = tailSeconds;
        settings.setup.parameters = std::move (parameters);
        return settings;
    }

    // Index of the first sample that is not exactly zero, or -1.
    int firstSound (const juce::AudioBuffer<float>& buffer, int channel)
    {
        const float* x = buffer.getReadPointer (channel);

        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (x[i] != 0.0f)
                return i;

        return -1;
    }
} // namespace

TEST (Render, LastEventPlusTailBothManualsSounding)
{
    TempFolder temp;
    // An end-of-track marker at 3 s: meta events must not lengthen the render.
    const auto file = writeMidiFile (temp.folder.getChildFile ("two.mid"),
                                     { { 1, 60, 0.0, 0.5 }, { 2, 48, 0.25, 0.75 } }, 3.0);

    const auto song = loadMidiFile (file);
    const auto settings = settingsWith (480, 0.5);
    const auto buffer = renderSong (song, settings);

    ASSERT_EQ (buffer.getNumChannels(), 2);
    EXPECT_EQ (buffer.getNumSamples(), (0.75 + 0.5) * 48000);

    // Channel 1 plays the upper manual (left), channel 2 the lower (right).
    EXPECT_EQ (firstSound (buffer, 0), 0);
    EXPECT_EQ (firstSound (buffer, 1), 12000);
    EXPECT_GT (buffer.getMagnitude (0, 0, 24000), 0.05f);
    EXPECT_GT (buffer.getMagnitude (1, 12000, 24000), 0.05f);

    // Both notes are released and have died out well before the end.
    EXPECT_EQ (buffer.getMagnitude (0, 48000, 12000), 0.0f);
    EXPECT_EQ (buffer.getMagnitude (1, 48000, 12000), 0.0f);
}

TEST (Render, EventSoundsFromTheBlockHoldingIt)
{
    TempFolder temp;
    // The note-on falls on sample 12000 at 48 kHz.
    const auto song = loadMidiFile (writeMidiFile (temp.folder.getChildFile ("late.mid"), { { 1, 60, 0.25, 0.5 } }));

    for (int blockSize : { 1, 100, 512, 4096 })
    {
        SCOPED_TRACE (blockSize);
        const auto buffer = renderSong (song, settingsWith (blockSize, 0.1));
        const int blockStart = 12000 / blockSize * blockSize;

        EXPECT_EQ (firstSound (buffer, 0), blockStart);
        EXPECT_EQ (firstSound (buffer, 1), -1);
    }
}

TEST (Render, AppliesParameterSettings)
{
    TempFolder temp;
    const auto song = loadMidiFile (writeMidiFile (temp.folder.getChildFile ("both.mid"),
                                                   { { 1, 72, 0.0, 0.3 }, { 2, 48, 0.0, 0.3 } }));

    // Pushing in all upper drawbars silences the upper manual only.
    const auto buffer = renderSong (song, settingsWith (256, 0.1, { { "drawbar0", 8.0f }, { "drawbar1", 8.0f },
                                                                    { "drawbar2", 8.0f } }));

    EXPECT_EQ (buffer.getMagnitude (0, 0, buffer.getNumSamples()), 0.0f);
    EXPECT_GT (buffer.getMagnitude (1, 0, buffer.getNumSamples()), 0.05f);
}

TEST (Render, DemoSongPlaysBothManuals)
{
    const auto song = loadMidiFile (juce::File (QUARBELL_DEMO_MIDI));
    const auto buffer = renderSong (song, settingsWith (512, 2.0));
    const int n = buffer.getNumSamples();

    EXPECT_GE (n, 14 * 48000);
    EXPECT_LE (n, 18 * 48000);

    for (int ch = 0; ch < 2; ++ch)
    {
        SCOPED_TRACE (ch);
        EXPECT_GT (buffer.getMagnitude (ch, 0, n), 0.05f);
        EXPECT_EQ (buffer.getMagnitude (ch, n - 48000, 48000), 0.0f); // silent through the tail
    }
}

// The demo through the whole chain at the default settings, as a listener
// would judge it: sounding, not far above full scale, the speaker making the
// two channels differ, and the tail dying away.
TEST (Render, DemoSongThroughTheWholeChain)
{
    const auto song = loadMidiFile (juce::File (QUARBELL_DEMO_MIDI));
    const auto buffer = renderSong (song, settingsWith (512, 2.5, {}, VelmoranAudioProcessor::Tap::output));
    const int n = buffer.getNumSamples();

    const float peak = buffer.getMagnitude (0, n);
    EXPECT_GT (peak, juce::Decibels::decibelsToGain (-30.0f));
    EXPECT_LT (peak, juce::Decibels::decibelsToGain (6.0f));

    int differing = 0;
    for (int i = 0; i < n; ++i)
        differing += buffer.getSample (0, i) != buffer.getSample (1, i) ? 1 : 0;
    EXPECT_GT (differing, n / 2);

    EXPECT_LT (buffer.getMagnitude (n - 4800, 4800), juce::Decibels::decibelsToGain (-60.0f));
}

TEST (Render, TapNamesTheStages)
{
    using Tap = VelmoranAudioProcessor::Tap;
    const std::pair<const char*, Tap> stages[] { { "generator", Tap::generator }, { "scanner", Tap::scanner },
                                                 { "drive", Tap::drive },         { "reverb", Tap::reverb },
                                                 { "output", Tap::output } };

    for (const auto& [name, tap] : stages)
        EXPECT_EQ (parseTap (name), tap) << name;

    for (const char* bad : { "", "Output", "leslie", "rotary" })
        EXPECT_THROW (parseTap (bad), CliError) << bad;
}

TEST (Render, RejectsUnusableMidiFiles)
{
    TempFolder temp;
    const auto dir = temp.folder;

    dir.getChildFile ("text.mid").replaceWithText ("not a MIDI file");
    dir.getChildFile ("empty.mid").create();
    writeMidiFile (dir.getChildFile ("no-notes.mid"), {}, 1.0);

    juce::MidiFile format2;
    format2.addTrack (juce::MidiMessageSequence());
    juce::MidiMessageSequence track;
    track.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100), 0);
    format2.addTrack (track);
    {
        juce::FileOutputStream stream (dir.getChildFile ("format2.mid"));
        format2.writeTo (stream, 2);
    }

    const std::pair<const char*, const char*> cases[] {
        { "missing.mid", "no such file" },
        { "", "is a directory" },
        { "text.mid", "not a valid MIDI file" },
        { "empty.mid", "not a valid MIDI file" },
        { "no-notes.mid", "no note-on events" },
        { "format2.mid", "format 2" },
    };

    for (const auto& [name, message] : cases)
    {
        SCOPED_TRACE (name);

        try
        {
            loadMidiFile (dir.getChildFile (name));
            ADD_FAILURE() << "accepted";
        }
        catch (const CliError& e)
        {
            EXPECT_NE (std::string (e.what()).find (message), std::string::npos) << e.what();
        }
    }
}

TEST (Render, AudioWriterLeavesNothingBehindWithoutCommit)
{
    TempFolder temp;
    const auto target = temp.folder.getChildFile ("out.wav");

    juce::AudioBuffer<float> buffer (2, 1000);
    buffer.clear();
    buffer.setSample (0, 10, 0.5f);
    buffer.setSample (1, 20, -0.25f);

    const OutputFormat floatWav { AudioFileType::wav, 32 };

    for (const auto type : { AudioFileType::wav, AudioFileType::aiff, AudioFileType::flac })
    {
        AudioFileWriter writer (target, makeOutputFormat (type, 0), 96000, 2);
        writer.write (buffer);
        EXPECT_FALSE (target.exists());
    }

    EXPECT_FALSE (target.exists());
    EXPECT_EQ (temp.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 0);

    writeAudioFile (target, floatWav, buffer, 96000);
    const auto wav = readWavFile (target);

    EXPECT_EQ (wav.sampleRate, 96000.0);
    EXPECT_TRUE (wav.isFloat);
    ASSERT_EQ (wav.samples.getNumSamples(), 1000);
    EXPECT_EQ (wav.samples.getSample (0, 10), 0.5f);
    EXPECT_EQ (wav.samples.getSample (1, 20), -0.25f);

    EXPECT_THROW (AudioFileWriter (temp.folder.getChildFile ("no/such/folder.wav"), floatWav, 48000, 2), CliError);
    EXPECT_THROW (AudioFileWriter (temp.folder, floatWav, 48000, 2), CliError);
}

// Integer formats round to their grid and clip at full scale; the writer
// counts what went over.
TEST (Render, AudioWriterIntegerFormatsRoundTrip)
{
    TempFolder temp;

    juce::AudioBuffer<float> buffer (2, 4800);
    for (int i = 0; i < buffer.getNumSamples(); ++i)
    {
        buffer.setSample (0, i, 0.5f * std::sin (0.01f * (float) i));
        buffer.setSample (1, i, i < 3 ? 1.5f : -0.25f);
    }

    struct Case
    {
        const char* name;
        AudioFileType type;
        int bits;
        int rate;
    };

    const Case cases[] {
        { "a.aiff", AudioFileType::aiff, 24, 44100 }, { "b.aif", AudioFileType::aiff, 16, 88200 },
        { "c.flac", AudioFileType::flac, 24, 96000 }, { "d.flac", AudioFileType::flac, 16, 48000 },
        { "e.wav", AudioFileType::wav, 16, 192000 },  { "f.wav", AudioFileType::wav, 24, 176400 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto target = temp.folder.getChildFile (c.name);
        AudioFileWriter writer (target, makeOutputFormat (c.type, c.bits), c.rate, 2);
        writer.write (buffer);
        writer.commit();

        EXPECT_EQ (writer.samplesOverFullScale(), 3);
        EXPECT_FLOAT_EQ (writer.peak(), 1.5f);

        const auto read = readWavFile (target);
        EXPECT_EQ (read.sampleRate, c.rate);
        EXPECT_EQ (read.bitsPerSample, c.bits);
        EXPECT_FALSE (read.isFloat);
        ASSERT_EQ (read.samples.getNumSamples(), buffer.getNumSamples());

        const float step = std::ldexp (1.0f, 1 - c.bits);
        for (int i = 0; i < buffer.getNumSamples(); i += 97)
            EXPECT_NEAR (read.samples.getSample (0, i), buffer.getSample (0, i), step) << i;

        EXPECT_NEAR (read.samples.getSample (1, 0), 1.0f, step); // clipped
        EXPECT_NEAR (read.samples.getSample (1, 10), -0.25f, step);
    }
}

// A format 1 file whose conductor track halves the tempo after two beats, and
// the same events in a format 0 file: both place notes by the tempo map.
TEST (Render, TempoChangesPlaceNotes)
{
    TempFolder temp;

    for (const int format : { 0, 1 })
    {
        SCOPED_TRACE (format);
        constexpr int tpq = 480;

        juce::MidiMessageSequence conductor, notes;
        conductor.addEvent (juce::MidiMessage::tempoMetaEvent (500000), 0);  // 120 bpm: beat 2 at 1 s
        conductor.addEvent (juce::MidiMessage::tempoMetaEvent (1000000), 2 * tpq); // 60 bpm after it

        notes.addEvent (juce::MidiMessage::noteOn (2, 48, (juce::uint8) 100), 1 * tpq); // 0.5 s
        notes.addEvent (juce::MidiMessage::noteOff (2, 48), 2 * tpq);                   // 1 s
        notes.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100), 4 * tpq); // 1 + 2 = 3 s
        notes.addEvent (juce::MidiMessage::noteOff (1, 60), 5 * tpq);                   // 4 s

        juce::MidiFile midi;
        midi.setTicksPerQuarterNote (tpq);

        if (format == 0)
        {
            conductor.addSequence (notes, 0);
            conductor.updateMatchedPairs();
            midi.addTrack (conductor);
        }
        else
        {
            midi.addTrack (conductor);
            midi.addTrack (notes);
        }

        const auto file = temp.folder.getChildFile ("tempo" + juce::String (format) + ".mid");
        {
            juce::FileOutputStream stream (file);
            ASSERT_TRUE (midi.writeTo (stream, format));
        }

        const auto song = loadMidiFile (file);
        ASSERT_EQ (song.events.size(), 4u);

        const std::pair<int, double> expected[] { { 2, 0.5 }, { 2, 1.0 }, { 1, 3.0 }, { 1, 4.0 } };

        for (size_t i = 0; i < 4; ++i)
        {
            EXPECT_EQ (song.events[i].getChannel(), expected[i].first) << i;
            EXPECT_NEAR (song.events[i].getTimeStamp(), expected[i].second, 1e-9) << i;
        }

        EXPECT_EQ (renderLength (song, settingsWith (512, 0.5)), (4 + 0.5) * 48000);
    }
}

// The saved state goes first, the preset over it (leaving the split keyboard
// switch alone), the single settings last.
TEST (Render, OrganSetupOrder)
{
    TempFolder temp;
    const auto blobFile = temp.folder.getChildFile ("saved.bin");

    OrganSetup saved;
    saved.parameters = { { "splitkeyboard", 1.0f }, { "drawbar4", 2.0f }, { "roomSize", 40.0f } };
    writeFileAtomically (blobFile, settingsBlobFor (saved));

    OrganSetup setup;
    setup.stateFile = blobFile;
    setup.presetIndex = 1; // Lord of rock: every upper drawbar out
    setup.parameters = { { "drawbar8", 6.0f }, { "vcMode", 4.0f } };

    const auto processor = std::make_unique<VelmoranAudioProcessor>(); // megabytes: not on the stack
    configureOrgan (*processor, setup);

    const auto value = [&] (const char* id)
    {
        auto* parameter = processor->findParameter (id);
        return parameter->convertFrom0to1 (parameter->getValue());
    };

    EXPECT_EQ (value ("splitkeyboard"), 1.0f); // from the state; presets keep it
    EXPECT_EQ (value ("drawbar4"), 0.0f);      // the preset over the state
    EXPECT_NEAR (value ("roomSize"), 10.0f + 90.0f * 0.28399998f, 1e-4f);
    EXPECT_EQ (value ("drawbar8"), 6.0f);      // the setting over the preset
    EXPECT_EQ (value ("vcMode"), 4.0f);

    // Unusable state files are refused with the file's name.
    temp.folder.getChildFile ("text.bin").replaceWithText ("VC2! not really");
    const std::pair<const char*, const char*> bad[] { { "missing.bin", "no such file" },
                                                      { "text.bin", "is not a Quarbell settings blob" } };

    for (const auto& [name, message] : bad)
    {
        OrganSetup broken;
        broken.stateFile = temp.folder.getChildFile (name);

        try
        {
            configureOrgan (*std::make_unique<VelmoranAudioProcessor>(), broken);
            ADD_FAILURE() << name << " accepted";
        }
        catch (const CliError& e)
        {
            EXPECT_NE (std::string (e.what()).find (message), std::string::npos) << e.what();
            EXPECT_NE (std::string (e.what()).find (name), std::string::npos) << e.what();
        }
    }
}

// Every example loads and, set up as examples/README.md says, sounds on the
// manuals it is written for.
TEST (Render, ExamplesPlayTheirManuals)
{
    struct Case
    {
        const char* file;
        int preset; // 0-based
        std::vector<ParameterSetting> settings;
        bool upper, lower;
    };

    const Case cases[] {
        { "gospel.mid", 2, {}, true, true },
        { "ballad.mid", 12, { { "vcDownOnOff", 1.0f }, { "vcMode", 5.0f } }, false, true },
        { "split.mid", 6, { { "splitkeyboard", 1.0f } }, true, true },
        { "split.mid", 6, {}, true, false }, // without the split all is upper manual
    };

    const juce::File folder (QUARBELL_EXAMPLES_DIR);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.file);
        const auto song = loadMidiFile (folder.getChildFile (c.file));
        const double seconds = song.events.back().getTimeStamp();
        EXPECT_GT (seconds, 10.0);
        EXPECT_LT (seconds, 30.0);

        auto settings = settingsWith (4096, 0.0, c.settings);
        settings.sampleRate = 44100;
        settings.setup.presetIndex = c.preset;
        const auto buffer = renderSong (song, settings);
        const int n = buffer.getNumSamples();

        EXPECT_EQ (buffer.getMagnitude (0, 0, n) > 0.01f, c.upper);
        EXPECT_EQ (buffer.getMagnitude (1, 0, n) > 0.01f, c.lower);
    }

    // The gospel and split pieces turn the Leslie fast part way through.
    for (const char* name : { "gospel.mid", "split.mid" })
    {
        const auto song = loadMidiFile (folder.getChildFile (name));
        const bool fast = std::any_of (song.events.begin(), song.events.end(), [] (const auto& m)
                                       { return m.isController() && m.getControllerNumber() == 1 && m.getControllerValue() >= 65 && m.getTimeStamp() > 5.0; });
        EXPECT_TRUE (fast) << name;
    }
}
