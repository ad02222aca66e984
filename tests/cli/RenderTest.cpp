#include "Error.h"
#include "Render.h"
#include "TestSupport.h"
#include "WavWriter.h"

#include <gtest/gtest.h>

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
        settings.parameters = std::move (parameters);
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

TEST (Render, WavWriterLeavesNothingBehindWithoutCommit)
{
    TempFolder temp;
    const auto target = temp.folder.getChildFile ("out.wav");

    juce::AudioBuffer<float> buffer (2, 1000);
    buffer.clear();
    buffer.setSample (0, 10, 0.5f);
    buffer.setSample (1, 20, -0.25f);

    {
        WavWriter writer (target, 96000, 2);
        writer.write (buffer);
        EXPECT_FALSE (target.exists());
    }

    EXPECT_FALSE (target.exists());
    EXPECT_EQ (temp.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 0);

    writeWavFile (target, buffer, 96000);
    const auto wav = readWavFile (target);

    EXPECT_EQ (wav.sampleRate, 96000.0);
    EXPECT_TRUE (wav.isFloat);
    ASSERT_EQ (wav.samples.getNumSamples(), 1000);
    EXPECT_EQ (wav.samples.getSample (0, 10), 0.5f);
    EXPECT_EQ (wav.samples.getSample (1, 20), -0.25f);

    EXPECT_THROW (WavWriter (temp.folder.getChildFile ("no/such/folder.wav"), 48000, 2), CliError);
}
