#include "Error.h"
#include "Options.h"

#include <engine/FactoryPresets.h>

#include <gtest/gtest.h>

using namespace quarbell::cli;

namespace
{
    juce::StringArray split (const char* args) { return juce::StringArray::fromTokens (args, " ", ""); }
} // namespace

TEST (Options, AcceptsValidRenderCommands)
{
    struct Case
    {
        const char* args;
        int rate;
        int block;
        double tail;
        std::vector<std::pair<const char*, float>> settings;
    };

    const Case cases[] {
        { "render in.mid -o out.wav", 48000, 512, 2.5, {} },
        { "render -o out.wav in.mid --rate 44100 --block 64 --tail 0.5 --quiet", 44100, 64, 0.5, {} },
        { "render in.mid --output out.wav --rate 22050 --block 8192 --tail 0", 22050, 8192, 0.0, {} },
        { "render in.mid -o out.wav --block 1", 48000, 1, 2.5, {} },
        { "render in.mid -o out.wav --set drawbar3=4.5 --set vcMode=3", 48000, 512, 2.5,
          { { "drawbar3", 4.5f }, { "vcMode", 3.0f } } },
        { "render in.mid -o out.wav --set roomSize=10 --set roomSize=100 --set reverbAttenuation=0.95", 48000, 512, 2.5,
          { { "roomSize", 10.0f }, { "roomSize", 100.0f }, { "reverbAttenuation", 0.95f } } },
        { "render in.mid -o out.wav --set leslieOnOff=off --set FastLeslie=ON --set percussion=true", 48000, 512, 2.5,
          { { "leslieOnOff", 0.0f }, { "FastLeslie", 1.0f }, { "percussion", 1.0f } } },
        { "render in.mid -o out.wav --set percVol=False --set splitkeyboard=1 --set vcUpOnOff=0", 48000, 512, 2.5,
          { { "percVol", 0.0f }, { "splitkeyboard", 1.0f }, { "vcUpOnOff", 0.0f } } },
        { "render in.mid -o out.wav --set vcMode=5.0 --set drawbar0=8", 48000, 512, 2.5,
          { { "vcMode", 5.0f }, { "drawbar0", 8.0f } } },
    };

    const auto cwd = juce::File::getCurrentWorkingDirectory();

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.args);
        const auto options = parseArguments (split (c.args));

        EXPECT_EQ (options.command, Command::render);
        ASSERT_EQ (options.jobs.size(), 1u);
        EXPECT_EQ (options.jobs[0].input, cwd.getChildFile ("in.mid"));
        EXPECT_EQ (options.jobs[0].output, cwd.getChildFile ("out.wav"));
        EXPECT_EQ (options.render.sampleRate, c.rate);
        EXPECT_EQ (options.render.blockSize, c.block);
        EXPECT_DOUBLE_EQ (options.render.tailSeconds, c.tail);
        const auto& parameters = options.render.setup.parameters;
        ASSERT_EQ (parameters.size(), c.settings.size());

        for (size_t i = 0; i < c.settings.size(); ++i)
        {
            EXPECT_EQ (parameters[i].id, c.settings[i].first);
            EXPECT_FLOAT_EQ (parameters[i].value, c.settings[i].second);
        }
    }
}

TEST (Options, RejectsBadArguments)
{
    struct Case
    {
        const char* args;
        const char* message; // part of the error
    };

    const Case cases[] {
        { "", "no command" },
        { "play in.mid -o out.wav", "unknown command 'play'" },
        { "render -o out.wav", "needs an input MIDI file" },
        { "render in.mid", "needs an output file" },
        { "render a.mid b.mid -o out.wav", "-o takes one input" },
        { "render a.mid -o out.wav -d renders", "either -o FILE or -d FOLDER" },
        { "render a.mid -o out.wav --format flac", "--format goes with -d" },
        { "render a.mid sub/a.mid -d renders", "would both write" },
        { "render in.mid -o out.mp3", "unsupported extension '.mp3'" },
        { "render in.mid -o out", "no file extension" },
        { "render in.mid -o out.aiff --bits 32", "AIFF output takes --bits 16 or 24" },
        { "render in.mid -o out.flac --bits 32", "FLAC output takes --bits 16 or 24" },
        { "render in.mid -o out.wav --bits 8", "--bits takes 16, 24 or 32" },
        { "render in.mid -d renders --format mp3", "--format takes wav, aiff or flac" },
        { "render in.mid -o out.wav --preset Jazz", "unknown preset \"Jazz\"" },
        { "render in.mid -o out.wav --preset corvo_jazz", "did you mean \"Corvo Jazz\"?" },
        { "render in.mid -o out.wav --preset", "--preset needs a value" },
        { "state", "state needs an output file" },
        { "state -o s.bin in.mid", "unexpected argument 'in.mid'" },
        { "state -o s.bin --rate 48000", "unknown option '--rate'" },
        { "filters --rate 0", "--rate needs a whole number" },
        { "presets --all", "unknown option '--all'" },
        { "render in.mid -o", "-o needs a value" },
        { "render in.mid -o out.wav extra.mid", "-o takes one input" },
        { "render in.mid -o out.wav -x", "unknown option '-x'" },
        { "render in.mid -o out.wav --loud", "unknown option '--loud'" },
        { "render in.mid -o in.mid", "unsupported extension '.mid'" },
        { "render song.wav -o song.wav", "must not be the input" },
        { "render in.mid -o out.wav --rate 0", "--rate needs a whole number" },
        { "render in.mid -o out.wav --rate -44100", "--rate needs a whole number" },
        { "render in.mid -o out.wav --rate 44.1k", "--rate needs a whole number" },
        { "render in.mid -o out.wav --rate 48000.5", "--rate needs a whole number" },
        { "render in.mid -o out.wav --block 0", "--block needs a whole number from 1 to 8192" },
        { "render in.mid -o out.wav --block 8193", "--block needs a whole number from 1 to 8192" },
        { "render in.mid -o out.wav --tail -1", "--tail needs seconds" },
        { "render in.mid -o out.wav --tail nan", "--tail needs seconds" },
        { "render in.mid -o out.wav --set drawbar3", "--set needs ID=VALUE" },
        { "render in.mid -o out.wav --set =3", "--set needs ID=VALUE" },
        { "render in.mid -o out.wav --set drawbar9=3", "unknown parameter 'drawbar9'; did you mean 'drawbar0'?" },
        { "render in.mid -o out.wav --set Drawbar3=3", "unknown parameter 'Drawbar3'; did you mean 'drawbar3'?" },
        { "render in.mid -o out.wav --set fastleslie=on", "did you mean 'FastLeslie'?" },
        { "render in.mid -o out.wav --set percusion=on", "did you mean 'percussion'?" },
        { "render in.mid -o out.wav --set volume=3", "unknown parameter 'volume' ('quarbell params'" },
        { "render in.mid -o out.wav --set drawbar3=", "drawbar3 needs a number" },
        { "render in.mid -o out.wav --set drawbar3=loud", "drawbar3 needs a number" },
        { "render in.mid -o out.wav --set drawbar3=4.5x", "drawbar3 needs a number" },
        { "render in.mid -o out.wav --set drawbar3=inf", "drawbar3 needs a number" },
        { "render in.mid -o out.wav --set drawbar3=8.01", "drawbar3 needs a value from 0 to 8" },
        { "render in.mid -o out.wav --set drawbar3=-0.5", "drawbar3 needs a value from 0 to 8" },
        { "render in.mid -o out.wav --set roomSize=9.99", "roomSize needs a value from 10 to 100" },
        { "render in.mid -o out.wav --set reverbAttenuation=0.1", "reverbAttenuation needs a value from 0.2 to 0.95" },
        { "render in.mid -o out.wav --set vcMode=2.5", "vcMode needs a whole number" },
        { "render in.mid -o out.wav --set vcMode=6", "vcMode needs a value from 0 to 5" },
        { "render in.mid -o out.wav --set leslieOnOff=maybe", "leslieOnOff needs on/off" },
        { "render in.mid -o out.wav --set leslieOnOff=0.5", "leslieOnOff needs on/off" },
        { "render in.mid -o out.wav --set percussion=2", "percussion needs on/off" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.args);

        try
        {
            parseArguments (split (c.args));
            ADD_FAILURE() << "accepted";
        }
        catch (const CliError& e)
        {
            EXPECT_NE (std::string (e.what()).find (c.message), std::string::npos) << e.what();
            EXPECT_EQ (std::string (e.what()).find ('\n'), std::string::npos);
        }
    }
}

TEST (Options, RecognisesCommandsAndHelpTopics)
{
    struct Case
    {
        const char* args;
        Command command;
        Command helpTopic;
    };

    const Case cases[] {
        { "--help", Command::help, Command::help },
        { "-h", Command::help, Command::help },
        { "help", Command::help, Command::help },
        { "render --help", Command::help, Command::render },
        { "render in.mid -h", Command::help, Command::render },
        { "state --help", Command::help, Command::state },
        { "filters -h", Command::help, Command::filters },
        { "presets --help", Command::help, Command::presets },
        { "--version", Command::version, Command::help },
        { "presets", Command::presets, Command::help },
        { "params", Command::params, Command::help },
        { "filters", Command::filters, Command::help },
        { "state -o s.bin", Command::state, Command::help },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.args);
        const auto options = parseArguments (split (c.args));
        EXPECT_EQ (options.command, c.command);
        EXPECT_EQ (options.helpTopic, c.helpTopic);
    }

    EXPECT_EQ (parseArguments (split ("filters")).filterRate, 48000);
    EXPECT_EQ (parseArguments (split ("filters --rate 96000")).filterRate, 96000);
}

// Each help names the options its command takes; the main help also
// documents the filter listing's layout.
TEST (Options, HelpTextsCoverTheirCommands)
{
    const std::pair<Command, std::vector<const char*>> cases[] {
        { Command::help, { "render", "state", "filters", "presets", "params", "# NAME N sections at R Hz", "gain G" } },
        { Command::render, { "-o", "-d", "--format", "--bits", "--quiet", "--preset", "--state", "--set", "--rate",
                             "--block", "--tail", "--tap", "examples:" } },
        { Command::state, { "-o FILE", "--state", "--preset", "--set" } },
        { Command::filters, { "--rate", "b0 b1 b2 a0 a1 a2" } },
    };

    for (const auto& [topic, words] : cases)
        for (const char* word : words)
            EXPECT_TRUE (usageText (topic).contains (word)) << (int) topic << ": " << word;
}

TEST (Options, ReadsTheOrganSetup)
{
    const auto options = parseArguments ({ "render", "in.mid", "-o", "out.wav", "--set", "drawbar0=8", "--state",
                                           "saved.bin", "--preset", "Dark Solo", "--set", "percussion=on" });
    const auto& setup = options.render.setup;

    EXPECT_EQ (setup.stateFile, juce::File::getCurrentWorkingDirectory().getChildFile ("saved.bin"));
    EXPECT_EQ (setup.presetIndex, 11);
    ASSERT_EQ (setup.parameters.size(), 2u);
    EXPECT_EQ (setup.parameters[0].id, "drawbar0");
    EXPECT_EQ (setup.parameters[1].id, "percussion");

    // Every preset is found by its exact name, and only by it.
    for (int i = 0; i < quarbell::numFactoryPresets; ++i)
    {
        const juce::String name (quarbell::factoryPresetsNames[(size_t) i]);
        EXPECT_EQ (findPreset (name), i) << name;
        EXPECT_THROW (findPreset (name.toUpperCase()), CliError) << name;
    }

    // The unknown-preset message lists every name.
    try
    {
        findPreset ("Funk");
        ADD_FAILURE() << "accepted";
    }
    catch (const CliError& e)
    {
        for (const char* name : quarbell::factoryPresetsNames)
            EXPECT_NE (std::string (e.what()).find (std::string ("\"") + name + "\""), std::string::npos) << name;
    }
}

TEST (Options, OutputFormatsFollowExtensionsAndBits)
{
    struct Case
    {
        const char* args;
        AudioFileType type;
        int bits;
        const char* output; // relative to the working directory
    };

    const Case cases[] {
        { "render in.mid -o out.wav", AudioFileType::wav, 32, "out.wav" },
        { "render in.mid -o OUT.WAV --bits 16", AudioFileType::wav, 16, "OUT.WAV" },
        { "render in.mid -o out.wav --bits 24", AudioFileType::wav, 24, "out.wav" },
        { "render in.mid -o out.aif", AudioFileType::aiff, 24, "out.aif" },
        { "render in.mid -o out.aiff --bits 16", AudioFileType::aiff, 16, "out.aiff" },
        { "render in.mid -o out.flac", AudioFileType::flac, 24, "out.flac" },
        { "render in.mid -o out.Flac --bits 16", AudioFileType::flac, 16, "out.Flac" },
        { "render in.mid -d renders", AudioFileType::wav, 32, "renders/in.wav" },
        { "render in.mid -d renders --format aif", AudioFileType::aiff, 24, "renders/in.aiff" },
        { "render songs/in.mid -d renders --format FLAC --bits 16", AudioFileType::flac, 16, "renders/in.flac" },
    };

    const auto cwd = juce::File::getCurrentWorkingDirectory();

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.args);
        const auto options = parseArguments (split (c.args));

        EXPECT_EQ (options.format.type, c.type);
        EXPECT_EQ (options.format.bitsPerSample, c.bits);
        ASSERT_EQ (options.jobs.size(), 1u);
        EXPECT_EQ (options.jobs[0].output, cwd.getChildFile (c.output));
    }

    const auto several = parseArguments (split ("render a.mid songs/b.mid c.midi -d out"));
    ASSERT_EQ (several.jobs.size(), 3u);

    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ (several.jobs[i].output, cwd.getChildFile ("out").getChildFile (juce::String::charToString ((juce::juce_wchar) ('a' + i)) + ".wav"));
}
