// Runs the built quarbell program the way a user does.

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

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

TEST (Binary, FailsWithOneLineErrorAndNoOutput)
{
    struct Case
    {
        std::vector<const char*> args;
        const char* message;
    };

    const Case cases[] {
        { { "render", "missing.mid", "-o", "out.wav" }, "cannot read" },
        { { "render", "in.mid", "-o", "out.wav", "--set", "drawbar12=3" }, "unknown parameter 'drawbar12'" },
        { { "render", "in.mid", "-o", "out.wav", "--set", "drawbar3=9" }, "drawbar3 needs a value from 0 to 8" },
        { { "render", "in.mid", "-o", "out.wav", "--set", "vcMode=1.5" }, "vcMode needs a whole number" },
        { { "render", "in.mid", "-o", "out.wav", "--frobnicate" }, "unknown option" },
        { { "render", "in.mid" }, "needs an output file" },
        { { "render", "in.mid", "-o", "no/such/folder/out.wav" }, "cannot write" },
        { { "render", "bad.mid", "-o", "out.wav" }, "not a valid MIDI file" },
    };

    for (const auto& c : cases)
    {
        Workspace space;
        writeMidiFile (space.work.getChildFile ("in.mid"), { { 1, 60, 0.0, 0.1 } });
        space.work.getChildFile ("bad.mid").replaceWithText ("MThd garbage");

        juce::StringArray args;
        for (auto* a : c.args)
            args.add (a);

        SCOPED_TRACE (args.joinIntoString (" "));
        const auto result = runCli (space.work, args);

        EXPECT_EQ (result.exitCode, 2);
        EXPECT_TRUE (result.err.startsWith ("quarbell: error: ")) << result.err;
        EXPECT_TRUE (result.err.contains (c.message)) << result.err;
        EXPECT_EQ (result.err.indexOfChar ('\n'), result.err.length() - 1) << "not one line: " << result.err;
        EXPECT_TRUE (result.out.isEmpty()) << result.out;
        EXPECT_EQ (filesIn (space.work), juce::StringArray ({ "bad.mid", "in.mid" }));
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

    const auto help = runCli (space.work, { "--help" });
    EXPECT_EQ (help.exitCode, 0);
    EXPECT_TRUE (help.out.startsWith ("usage: quarbell render")) << help.out;
    EXPECT_TRUE (help.out.contains ("leslieOnOff")) << help.out;
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
