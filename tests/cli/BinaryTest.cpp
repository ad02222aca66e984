// Runs the built quarbell program the way a user does.

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstring>
#include <tuple>

using namespace quarbell::cli::test;

namespace
{
    struct RunResult
    {
        int exitCode = -1;
        juce::String out, err;
    };

    juce::String shellQuote (const juce::String& s) { return "'" + s.replace ("'", "'\\''") + "'"; }

    // Runs in `folder`; stdout and stderr are captured beside it so they do
    // not show up among the files the run leaves.
    RunResult runCli (const juce::File& folder, const juce::StringArray& args)
    {
        const auto outFile = folder.getSiblingFile (folder.getFileName() + ".out");
        const auto errFile = folder.getSiblingFile (folder.getFileName() + ".err");

        juce::String command = "cd " + shellQuote (folder.getFullPathName()) + " && " + shellQuote (QUARBELL_CLI_PATH);

        for (const auto& arg : args)
            command << " " << shellQuote (arg);

        command << " >" << shellQuote (outFile.getFullPathName()) << " 2>" << shellQuote (errFile.getFullPathName());

        RunResult result;
        const int status = std::system (command.toRawUTF8());
        result.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
        result.out = outFile.loadFileAsString();
        result.err = errFile.loadFileAsString();
        outFile.deleteFile();
        errFile.deleteFile();
        return result;
    }

    juce::StringArray filesIn (const juce::File& folder)
    {
        juce::StringArray names;

        for (const auto& f : folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*"))
            names.add (f.getFileName());

        names.sort (false);
        return names;
    }

    // A work folder inside a temp folder, so the capture files sit outside it.
    struct Workspace
    {
        Workspace() { work.createDirectory(); }

        TempFolder temp;
        juce::File work = temp.folder.getChildFile ("work");
    };
} // namespace

// Every mistake a user can make gives one line on stderr, status 2, nothing on
// stdout and no file: all inputs and settings are checked before writing.
TEST (Binary, FailsWithOneLineErrorAndNoOutput)
{
    struct Case
    {
        std::vector<const char*> args;
        std::vector<const char*> messages;
    };

    const Case cases[] {
        { { "render", "missing.mid", "-o", "out.wav" }, { "cannot read", "missing.mid", "no such file" } },
        { { "render", "bad.mid", "-o", "out.wav" }, { "bad.mid is not a valid MIDI file" } },
        { { "render", "silent.mid", "-o", "out.wav" }, { "silent.mid: no notes to play" } },
        { { "render", "in.mid", "bad.mid", "-d", "renders" }, { "bad.mid is not a valid MIDI file" } },
        { { "render", "in.mid", "-o", "out.wav", "--set", "drawbar12=3" },
          { "unknown parameter 'drawbar12'; did you mean 'drawbar1'?" } },
        { { "render", "in.mid", "-o", "out.wav", "--set", "leslieGian=0.5" }, { "did you mean 'leslieGain'?" } },
        { { "render", "in.mid", "-o", "out.wav", "--set", "drawbar3=9" }, { "drawbar3 needs a value from 0 to 8, got '9'" } },
        { { "render", "in.mid", "-o", "out.wav", "--set", "reverbAttenuation=1" }, { "from 0.2 to 0.95" } },
        { { "render", "in.mid", "-o", "out.wav", "--set", "vcMode=1.5" }, { "vcMode needs a whole number" } },
        { { "render", "in.mid", "-o", "out.wav", "--preset", "Gospel" },
          { "unknown preset \"Gospel\"", "\"Corvo Jazz\"", "\"Wendle's sound of coaster\"", "\"Gentle Balad\"" } },
        { { "render", "in.mid", "-o", "out.wav", "--state", "none.bin" }, { "cannot read", "none.bin" } },
        { { "render", "in.mid", "-o", "out.wav", "--state", "in.mid" }, { "in.mid is not a Quarbell settings blob" } },
        { { "render", "in.mid", "-o", "out.wav", "--frobnicate" }, { "unknown option" } },
        { { "render", "in.mid" }, { "needs an output file" } },
        { { "render", "in.mid", "-o", "no/such/folder/out.wav" }, { "cannot write", "its folder does not exist" } },
        { { "render", "in.mid", "-o", "bad.mid.wav/" }, { "cannot write" } },
        { { "render", "in.mid", "-o", "out.mp3" }, { "cannot write", "out.mp3", "unsupported extension '.mp3'" } },
        { { "render", "in.mid", "-o", "out.flac", "--bits", "32" }, { "FLAC output takes --bits 16 or 24" } },
        { { "render", "in.mid", "in.mid", "-d", "renders" }, { "would both write" } },
        { { "state", "-o", "no/such/folder/s.bin" }, { "cannot write", "its folder does not exist" } },
    };

    for (const auto& c : cases)
    {
        Workspace space;
        writeMidiFile (space.work.getChildFile ("in.mid"), { { 1, 60, 0.0, 0.1 } });
        writeMidiFile (space.work.getChildFile ("silent.mid"), {}, 1.0);
        space.work.getChildFile ("bad.mid").replaceWithText ("MThd garbage");
        space.work.getChildFile ("bad.mid.wav").createDirectory();

        juce::StringArray args;
        for (auto* a : c.args)
            args.add (a);

        SCOPED_TRACE (args.joinIntoString (" "));
        const auto result = runCli (space.work, args);

        EXPECT_EQ (result.exitCode, 2);
        EXPECT_TRUE (result.err.startsWith ("quarbell: error: ")) << result.err;
        for (const char* message : c.messages)
            EXPECT_TRUE (result.err.contains (message)) << result.err;
        EXPECT_EQ (result.err.indexOfChar ('\n'), result.err.length() - 1) << "not one line: " << result.err;
        EXPECT_TRUE (result.out.isEmpty()) << result.out;
        EXPECT_EQ (filesIn (space.work), juce::StringArray ({ "bad.mid", "bad.mid.wav", "in.mid", "silent.mid" }));
        EXPECT_EQ (space.work.getChildFile ("bad.mid.wav").getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    }
}

TEST (Binary, WritesFloatStereoWavAtTheRequestedRate)
{
    Workspace space;
    writeMidiFile (space.work.getChildFile ("in.mid"), { { 1, 60, 0.0, 0.2 }, { 2, 43, 0.1, 0.3 } });

    const auto result = runCli (space.work, { "render", "in.mid", "-o", "out.wav", "--rate", "44100", "--block", "300",
                                              "--tail", "0.25", "--set", "vcMode=2", "--set", "leslieOnOff=off" });

    ASSERT_EQ (result.exitCode, 0) << result.err;
    EXPECT_TRUE (result.err.isEmpty()) << result.err;
    EXPECT_TRUE (result.out.contains (space.work.getChildFile ("out.wav").getFullPathName())) << result.out;
    EXPECT_TRUE (result.out.contains ("dBFS")) << result.out;
    EXPECT_EQ (result.out.indexOfChar ('\n'), result.out.length() - 1) << result.out;
    EXPECT_EQ (filesIn (space.work), juce::StringArray ({ "in.mid", "out.wav" }));

    const auto wav = readWavFile (space.work.getChildFile ("out.wav"));
    EXPECT_EQ (wav.sampleRate, 44100.0);
    EXPECT_EQ (wav.bitsPerSample, 32);
    EXPECT_TRUE (wav.isFloat);
    ASSERT_EQ (wav.samples.getNumChannels(), 2);
    EXPECT_EQ (wav.samples.getNumSamples(), juce::roundToInt ((0.3 + 0.25) * 44100));
    EXPECT_GT (wav.samples.getMagnitude (0, 0, wav.samples.getNumSamples()), 0.05f);
    EXPECT_GT (wav.samples.getMagnitude (1, 0, wav.samples.getNumSamples()), 0.05f);
}

TEST (Binary, PrintsVersionAndHelp)
{
    Workspace space;

    const auto version = runCli (space.work, { "--version" });
    EXPECT_EQ (version.exitCode, 0);
    EXPECT_EQ (version.out, juce::String (JucePlugin_VersionString) + "\n");

    EXPECT_EQ (version.out, "1.1.1\n");

    const auto help = runCli (space.work, { "--help" });
    EXPECT_EQ (help.exitCode, 0);
    EXPECT_TRUE (help.out.startsWith ("usage: quarbell render")) << help.out;
    EXPECT_TRUE (help.out.contains ("leslieOnOff")) << help.out;
    EXPECT_TRUE (help.out.contains ("# NAME N sections at R Hz")) << help.out;

    const auto renderHelp = runCli (space.work, { "render", "--help" });
    EXPECT_EQ (renderHelp.exitCode, 0);
    EXPECT_TRUE (renderHelp.out.contains ("--preset NAME")) << renderHelp.out;
    EXPECT_TRUE (renderHelp.out.contains ("examples:")) << renderHelp.out;
    EXPECT_NE (renderHelp.out, help.out);
}

TEST (Binary, ListsPresetsAndParameters)
{
    Workspace space;

    const auto presets = runCli (space.work, { "presets" });
    EXPECT_EQ (presets.exitCode, 0);
    const auto presetLines = juce::StringArray::fromLines (presets.out.trimEnd());
    ASSERT_EQ (presetLines.size(), 13) << presets.out;
    EXPECT_EQ (presetLines[0], " 1  Corvo Jazz");
    EXPECT_EQ (presetLines[10], "11  Wendle's sound of coaster");
    EXPECT_EQ (presetLines[12], "13  Gentle Balad");

    const auto params = runCli (space.work, { "params" });
    EXPECT_EQ (params.exitCode, 0);
    auto lines = juce::StringArray::fromLines (params.out);
    lines.removeEmptyStrings();

    // A header, 37 rows and a note on drawbars; the ID column lines up.
    ASSERT_EQ (lines.size(), 39) << params.out;
    const int idColumn = lines[0].indexOf ("ID");
    const std::pair<int, const char*> rows[] { { 1, " 0  drawbar0 " }, { 24, "23  FastLeslie " },
                                               { 33, "32  vcMode " }, { 37, "36  reverbAttenuation " } };

    for (const auto& [row, start] : rows)
    {
        EXPECT_TRUE (lines[row].startsWith (start)) << lines[row];
        EXPECT_EQ (lines[row].indexOf (juce::String (start).trim().fromFirstOccurrenceOf ("  ", false, false)), idColumn)
            << lines[row];
    }

    EXPECT_TRUE (lines[33].contains ("0 to 5 (whole)")) << lines[33];
    EXPECT_TRUE (lines[37].contains ("0.2 to 0.95")) << lines[37];
    EXPECT_TRUE (lines[37].trimEnd().endsWith ("0.7")) << lines[37];
    EXPECT_TRUE (lines[22].contains ("off/on") && lines[22].trimEnd().endsWith ("on")) << lines[22];
}

TEST (Binary, PrintsTheFilterSets)
{
    Workspace space;
    const auto result = runCli (space.work, { "filters", "--rate", "48000" });
    ASSERT_EQ (result.exitCode, 0) << result.err;

    const auto lines = juce::StringArray::fromLines (result.out.trimEnd());
    const int header = lines.indexOf ("# low-cut 1 section at 48000 Hz");
    ASSERT_GE (header, 0) << result.out;

    const auto section = juce::StringArray::fromTokens (lines[header + 1], " ", "");
    ASSERT_EQ (section.size(), 6);
    EXPECT_EQ (section[0], "1");
    EXPECT_EQ (section[1], "-2");
    EXPECT_NEAR (section[4].getDoubleValue(), -1.9944464, 1e-7);
    EXPECT_TRUE (lines[header + 2].startsWith ("gain 0.99722707")) << lines[header + 2];

    // Five sets: 25 + 1 + 30 + 2 + 25 sections, each with a header and a gain line.
    EXPECT_EQ (lines.size(), 83 + 5 * 2);
    EXPECT_TRUE (lines[0] == "# preamp 25 sections at 48000 Hz") << lines[0];
}

TEST (Binary, WritesAiffAndFlac)
{
    struct Case
    {
        std::vector<const char*> args;
        const char* file;
        int rate;
        int bits;
    };

    const Case cases[] {
        { { "-o", "out.aif", "--rate", "44100" }, "out.aif", 44100, 24 },
        { { "-o", "out.aiff", "--bits", "16" }, "out.aiff", 48000, 16 },
        { { "-o", "out.flac", "--rate", "96000" }, "out.flac", 96000, 24 },
        { { "-o", "out.FLAC", "--bits", "16", "--rate", "88200" }, "out.FLAC", 88200, 16 },
        { { "-o", "out.wav", "--bits", "24" }, "out.wav", 48000, 24 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.file);
        Workspace space;
        writeMidiFile (space.work.getChildFile ("in.mid"), { { 1, 60, 0.0, 0.2 } });

        juce::StringArray args { "render", "in.mid", "--tail", "0.3" };
        for (auto* a : c.args)
            args.add (a);

        const auto result = runCli (space.work, args);
        ASSERT_EQ (result.exitCode, 0) << result.err;
        EXPECT_TRUE (result.out.contains (juce::String (c.bits) + "-bit")) << result.out;
        EXPECT_EQ (filesIn (space.work), juce::StringArray ({ "in.mid", c.file }));

        const auto audio = readWavFile (space.work.getChildFile (c.file));
        EXPECT_EQ (audio.sampleRate, c.rate);
        EXPECT_EQ (audio.bitsPerSample, c.bits);
        EXPECT_FALSE (audio.isFloat);
        EXPECT_EQ (audio.samples.getNumChannels(), 2);
        EXPECT_EQ (audio.samples.getNumSamples(), juce::roundToInt (0.5 * c.rate));
        EXPECT_GT (audio.samples.getMagnitude (0, audio.samples.getNumSamples()), 0.001f);
    }
}

// Length: the last event plus the tail, 2.5 s unless given.
TEST (Binary, LengthIsLastEventPlusTail)
{
    const std::tuple<const char*, const char*, double> cases[] { { "96000", nullptr, 2.5 }, { "22050", "0", 0.0 },
                                                                 { "44100", "1.25", 1.25 } };

    for (const auto& [rate, tail, tailSeconds] : cases)
    {
        SCOPED_TRACE (rate);
        Workspace space;
        writeMidiFile (space.work.getChildFile ("in.mid"), { { 1, 60, 0.0, 0.2 }, { 2, 40, 0.5, 0.75 } }, 5.0);

        juce::StringArray args { "render", "in.mid", "-o", "out.wav", "--rate", rate };
        if (tail != nullptr)
            args.addArray ({ "--tail", tail });

        ASSERT_EQ (runCli (space.work, args).exitCode, 0);
        const auto wav = readWavFile (space.work.getChildFile ("out.wav"));
        const int expected = juce::roundToInt (0.75 * juce::String (rate).getIntValue())
                             + std::max (1, juce::roundToInt (tailSeconds * juce::String (rate).getIntValue()));
        EXPECT_EQ (wav.samples.getNumSamples(), expected);
    }
}

TEST (Binary, PresetStateAndSettingsShapeTheSound)
{
    Workspace space;
    writeMidiFile (space.work.getChildFile ("in.mid"), { { 1, 67, 0.0, 0.4 }, { 2, 43, 0.0, 0.4 } });

    const auto render = [&] (const juce::String& output, juce::StringArray extra)
    {
        juce::StringArray args { "render", "in.mid", "-o", output, "--tail", "0.2", "--rate", "44100" };
        args.addArray (extra);
        const auto result = runCli (space.work, args);
        EXPECT_EQ (result.exitCode, 0) << result.err;
        return readWavFile (space.work.getChildFile (output)).samples;
    };

    const auto same = [] (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
    {
        if (a.getNumSamples() != b.getNumSamples() || a.getNumChannels() != b.getNumChannels())
            return false;

        for (int ch = 0; ch < a.getNumChannels(); ++ch)
            if (std::memcmp (a.getReadPointer (ch), b.getReadPointer (ch), sizeof (float) * (size_t) a.getNumSamples()) != 0)
                return false;

        return true;
    };

    const juce::StringArray settings { "--set", "drawbar3=2", "--set", "percussion=on", "--set", "roomSize=40",
                                       "--set", "leslieOnOff=off" };

    // quarbell state writes the blob and prints its text.
    juce::StringArray stateArgs { "state", "-o", "organ.bin" };
    stateArgs.addArray (settings);
    const auto state = runCli (space.work, stateArgs);
    ASSERT_EQ (state.exitCode, 0) << state.err;

    juce::MemoryBlock blob;
    ASSERT_TRUE (space.work.getChildFile ("organ.bin").loadFileAsData (blob));
    ASSERT_GT (blob.getSize(), 9u);
    EXPECT_EQ (std::memcmp (blob.getData(), "VC2!", 4), 0);
    EXPECT_EQ (state.out, juce::String::fromUTF8 (static_cast<const char*> (blob.getData()) + 8, (int) blob.getSize() - 9) + "\n");
    EXPECT_TRUE (state.out.contains (" drawbar3=\"0.25\" ")) << state.out;
    EXPECT_TRUE (state.out.contains (" leslieOnOff=\"0.0\" ")) << state.out;

    const auto plain = render ("plain.wav", {});
    const auto viaSet = render ("set.wav", settings);
    const auto viaState = render ("state.wav", { "--state", "organ.bin" });
    const auto preset = render ("preset.wav", { "--preset", "Purple Rock" });
    const auto presetThenSet = render ("preset-set.wav", { "--preset", "Purple Rock", "--set", "leslieOnOff=off" });
    const auto stateThenPreset = render ("state-preset.wav", { "--state", "organ.bin", "--preset", "Purple Rock" });

    EXPECT_FALSE (same (plain, viaSet));
    EXPECT_TRUE (same (viaSet, viaState));
    EXPECT_FALSE (same (plain, preset));
    EXPECT_FALSE (same (preset, presetThenSet));
    EXPECT_TRUE (same (preset, stateThenPreset)); // the preset sets everything the blob did
}

// A format 1 file whose conductor track slows from 120 to 60 bpm after two
// beats: the note on beat 4 starts at 3 s, as the generator's output shows.
TEST (Binary, TempoMapPlacesNotes)
{
    Workspace space;
    constexpr int tpq = 96;

    juce::MidiMessageSequence conductor, upper, lower;
    conductor.addEvent (juce::MidiMessage::tempoMetaEvent (500000), 0);
    conductor.addEvent (juce::MidiMessage::tempoMetaEvent (1000000), 2 * tpq);
    lower.addEvent (juce::MidiMessage::noteOn (2, 48, (juce::uint8) 90), 1 * tpq);   // 0.5 s
    lower.addEvent (juce::MidiMessage::noteOff (2, 48), 3 * tpq);                    // 2 s
    upper.addEvent (juce::MidiMessage::noteOn (1, 72, (juce::uint8) 90), 4 * tpq);   // 3 s
    upper.addEvent (juce::MidiMessage::noteOff (1, 72), 4 * tpq + tpq / 4);          // 3.25 s

    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (tpq);
    midi.addTrack (conductor);
    midi.addTrack (upper);
    midi.addTrack (lower);
    {
        juce::FileOutputStream stream (space.work.getChildFile ("tempo.mid"));
        ASSERT_TRUE (midi.writeTo (stream, 1));
    }

    const auto result = runCli (space.work, { "render", "tempo.mid", "-o", "gen.wav", "--tap", "generator", "--block",
                                              "100", "--tail", "0.1", "--quiet" });
    ASSERT_EQ (result.exitCode, 0) << result.err;
    EXPECT_TRUE (result.out.isEmpty()) << result.out;

    const auto wav = readWavFile (space.work.getChildFile ("gen.wav"));
    ASSERT_EQ (wav.samples.getNumSamples(), juce::roundToInt (3.35 * 48000));

    const auto onset = [&] (int channel)
    {
        for (int i = 0; i < wav.samples.getNumSamples(); ++i)
            if (wav.samples.getSample (channel, i) != 0.0f)
                return i;
        return -1;
    };

    EXPECT_EQ (onset (0), 3 * 48000);
    EXPECT_EQ (onset (1), 24000);
}

TEST (Binary, RendersSeveralInputsIntoAFolder)
{
    Workspace space;
    writeMidiFile (space.work.getChildFile ("one.mid"), { { 1, 60, 0.0, 0.1 } });
    writeMidiFile (space.work.getChildFile ("two.mid"), { { 2, 48, 0.0, 0.3 } });

    const auto result = runCli (space.work, { "render", "one.mid", "two.mid", "-d", "renders/flac", "--format", "flac",
                                              "--bits", "16", "--tail", "0.1" });
    ASSERT_EQ (result.exitCode, 0) << result.err;

    // One summary line each: duration, peak, overs, speed.
    const auto lines = juce::StringArray::fromLines (result.out.trimEnd());
    ASSERT_EQ (lines.size(), 2) << result.out;
    for (const auto& line : lines)
    {
        EXPECT_TRUE (line.contains (" s, peak ") && line.contains (" dBFS, 0 samples above full scale, ")
                     && line.endsWith ("x real time"))
            << line;
    }

    const auto folder = space.work.getChildFile ("renders/flac");
    EXPECT_EQ (filesIn (folder), juce::StringArray ({ "one.flac", "two.flac" }));
    EXPECT_EQ (readWavFile (folder.getChildFile ("one.flac")).samples.getNumSamples(), juce::roundToInt (0.2 * 48000));
    EXPECT_EQ (readWavFile (folder.getChildFile ("two.flac")).samples.getNumSamples(), juce::roundToInt (0.4 * 48000));
}

// With only the 8' drawbar out, key A4 sounds tonewheel 45 alone. At 44.1 kHz
// its loop holds 5 cycles in 501 samples, so it plays 44100 * 5 / 501 Hz.
TEST (Binary, PitchOfA4AtEachRate)
{
    const std::pair<int, double> cases[] { { 48000, 440.0 }, { 44100, 44100.0 * 5.0 / 501.0 } };

    for (const auto& [rate, expected] : cases)
    {
        SCOPED_TRACE (rate);
        Workspace space;
        writeMidiFile (space.work.getChildFile ("a4.mid"), { { 1, 69, 0.0, 2.0 } });

        const auto result = runCli (space.work, { "render", "a4.mid", "-o", "a4.wav", "--rate", juce::String (rate), "--tail",
                                                  "0.1", "--set", "drawbar0=8", "--set", "drawbar1=8" });
        ASSERT_EQ (result.exitCode, 0) << result.err;

        const auto wav = readWavFile (space.work.getChildFile ("a4.wav"));
        ASSERT_EQ (wav.sampleRate, rate);
        ASSERT_GE (wav.samples.getNumSamples(), 2 * rate);

        const double measured =
            measureFrequency (wav.samples.getReadPointer (0), rate / 10, rate * 19 / 10, wav.sampleRate);
        EXPECT_NEAR (measured, expected, 0.02);
    }
}
